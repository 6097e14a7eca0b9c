#include "controller/linkstatustext.h"

namespace {

const char kTimeFormat[] = "hh:mm:ss";

} // namespace

QString linkStateText(bool connected, const QDateTime &since, int retryRemainingMs, bool addressSet)
{
    if (connected) {
        return since.isValid()
                   ? QStringLiteral("TRXM connected since %1").arg(since.toString(QLatin1String(kTimeFormat)))
                   : QStringLiteral("TRXM connected");
    }
    if (retryRemainingMs < 0)
        return QStringLiteral("TRXM connecting...");
    const qint64 seconds = (qint64(retryRemainingMs) + 999) / 1000;
    if (!addressSet)
        return QStringLiteral("TRXM address not set, retrying in %1 s").arg(seconds);
    return QStringLiteral("TRXM disconnected, retrying in %1 s").arg(seconds);
}

QString managerAddressText(const QString &ip, int port)
{
    const QString host = ip.trimmed();
    if (host.isEmpty())
        return QStringLiteral("TRXM address not set");
    const QString shown = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("TRXM %1:%2").arg(shown).arg(port);
}

QString lastPushText(qint64 lastPushMs)
{
    if (lastPushMs <= 0)
        return QStringLiteral("No push received");
    return QStringLiteral("Last push %1")
        .arg(QDateTime::fromMSecsSinceEpoch(lastPushMs).toString(QLatin1String(kTimeFormat)));
}
