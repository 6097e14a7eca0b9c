#include "crashhandler.h"

const char kCrashMessageTitle[] = "QMX-TRX1";

QString crashDumpFileName(const QString &folder, const QDateTime &when, unsigned long threadId)
{
    return QStringLiteral("%1OXA.exe-%2-0x%3.dmp")
        .arg(folder)
        .arg(when.toString(QStringLiteral("yyyyMMddHHmmss")))
        .arg(static_cast<qulonglong>(threadId), 0, 16);
}

QString crashMessageText(const QString &dumpFile)
{
    return QStringLiteral("A critical error has occurred. \t\t\t\t\t \t\t\t\t\t\t \nPlease send the crash dump file\n ")
           + QLatin1Char('"') + dumpFile + QLatin1Char('"')
           + QStringLiteral("\n to vendor for technical support.");
}
