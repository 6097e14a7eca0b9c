#pragma once

#include <QDateTime>
#include <QString>

// Installs the process-wide handler that writes a dump file into the application data
// folder when any thread crashes, tells the operator where it is and lets the process end.
void installCrashHandler();

// "<folder>OXA.exe-<yyyyMMddHHmmss>-0x<thread id in lower-case hex>.dmp"
QString crashDumpFileName(const QString &folder, const QDateTime &when, unsigned long threadId);

// The text shown to the operator after a crash, naming the dump file.
QString crashMessageText(const QString &dumpFile);

// Title of the crash message box.
extern const char kCrashMessageTitle[];
