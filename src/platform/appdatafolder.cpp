#include "appdatafolder.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString computeFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    if (base.isEmpty() || base == QStringLiteral("/.local/share"))
        base = QDir::tempPath();
    const QString folder = QDir::cleanPath(base + QStringLiteral("/Orvane/QMX-MRL1"));
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder + QLatin1Char('/'));
}

} // namespace

QString applicationDataFolder()
{
    // Computed once: every later caller (settings, log, crash dumps) sees the same folder.
    static const QString folder = computeFolder();
    return folder;
}
