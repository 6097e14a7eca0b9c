#include "crashhandler.h"

#include "appdatafolder.h"

#include <QDateTime>
#include <QMutex>

#include <windows.h>
#include <dbghelp.h>

namespace {

QMutex &handlerMutex()
{
    static QMutex mutex;
    return mutex;
}

void writeDump(EXCEPTION_POINTERS *exceptionInfo)
{
    MINIDUMP_EXCEPTION_INFORMATION info;
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = exceptionInfo;
    info.ClientPointers = FALSE;

    const QString name = crashDumpFileName(applicationDataFolder(), QDateTime::currentDateTime(),
                                           GetCurrentThreadId());
    HANDLE file = CreateFileA(name.toUtf8().constData(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &info,
                          nullptr, nullptr);
        CloseHandle(file);
    }
    MessageBoxA(nullptr, crashMessageText(name).toLocal8Bit().constData(), kCrashMessageTitle,
                MB_ICONERROR);
}

LONG WINAPI unhandledFilter(EXCEPTION_POINTERS *exceptionInfo)
{
    QMutexLocker lock(&handlerMutex());
    writeDump(exceptionInfo);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void installCrashHandler()
{
    SetUnhandledExceptionFilter(unhandledFilter);
}
