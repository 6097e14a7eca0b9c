#include "idbg.h"

#include "appdatafolder.h"

#include <QByteArray>
#include <QDir>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#define TARSA_OPEN ::_open
#define TARSA_WRITE ::_write
#define TARSA_CLOSE ::_close
#else
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>
#define TARSA_OPEN ::open
#define TARSA_WRITE ::write
#define TARSA_CLOSE ::close
#endif

namespace {

struct LogState
{
    std::mutex mutex;
    std::string path;        // empty: not resolved yet
    std::string defaultPath; // resolved lazily from the application data folder
    int fd = -1;
    std::size_t size = 0;
    std::size_t maxBytes = 10u * 1024u * 1024u;
    int keepFiles = 5;
};

LogState &state()
{
    static LogState s;
    return s;
}

// The crash handler reads this without taking the mutex.
std::atomic<int> g_rawFd{-1};

std::string resolveDefaultPath()
{
    const QString folder = applicationDataFolder() + QStringLiteral("Logs");
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder + QStringLiteral("/Tarsa.log")).toStdString();
}

void closeLocked(LogState &s)
{
    if (s.fd >= 0) {
        g_rawFd.store(-1);
        TARSA_CLOSE(s.fd);
        s.fd = -1;
    }
}

bool openLocked(LogState &s)
{
    if (s.fd >= 0)
        return true;
    if (s.path.empty()) {
        if (s.defaultPath.empty())
            s.defaultPath = resolveDefaultPath();
        s.path = s.defaultPath;
    }
#if defined(_WIN32)
    s.fd = TARSA_OPEN(s.path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    s.fd = TARSA_OPEN(s.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
#endif
    if (s.fd < 0)
        return false;
    struct stat st {};
    s.size = (::fstat(s.fd, &st) == 0) ? static_cast<std::size_t>(st.st_size) : 0;
    g_rawFd.store(s.fd);
    return true;
}

void rotateLocked(LogState &s)
{
    closeLocked(s);
    if (s.keepFiles <= 0) {
        std::remove(s.path.c_str());
    } else {
        std::remove((s.path + '.' + std::to_string(s.keepFiles)).c_str());
        for (int i = s.keepFiles - 1; i >= 1; --i) {
            std::rename((s.path + '.' + std::to_string(i)).c_str(),
                        (s.path + '.' + std::to_string(i + 1)).c_str());
        }
        std::rename(s.path.c_str(), (s.path + ".1").c_str());
    }
    openLocked(s);
}

// "2026-12-08 08:54:19.123 "
std::size_t formatStamp(char *buf, std::size_t size)
{
#if defined(_WIN32)
    SYSTEMTIME t;
    GetLocalTime(&t);
    const int n = std::snprintf(buf, size, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth,
                                t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
#else
    struct timeval tv {};
    ::gettimeofday(&tv, nullptr);
    struct tm lt {};
    const time_t secs = tv.tv_sec;
    ::localtime_r(&secs, &lt);
    const int n = std::snprintf(buf, size, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", lt.tm_year + 1900,
                                lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec,
                                static_cast<int>(tv.tv_usec / 1000));
#endif
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

} // namespace

extern "C" void idbg_api(const char *format, ...)
{
    if (!format)
        return;

    char stamp[40];
    const std::size_t stampLen = formatStamp(stamp, sizeof stamp);

    // Format into a stack buffer; fall back to the heap for long lines.
    char small[1024];
    std::string line(stamp, stampLen);
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        va_end(copy);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        line.append(small, static_cast<std::size_t>(n));
    } else {
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(&big[0], big.size(), format, copy);
        big.resize(static_cast<std::size_t>(n));
        line += big;
    }
    va_end(copy);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    line += '\n';

    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!openLocked(s))
        return;
    const char *p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const auto w = TARSA_WRITE(s.fd, p, static_cast<unsigned>(left));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    s.size += line.size();
    if (s.maxBytes > 0 && s.size >= s.maxBytes)
        rotateLocked(s);
}

unsigned long currentThreadId()
{
#if defined(_WIN32)
    return static_cast<unsigned long>(GetCurrentThreadId());
#else
    return static_cast<unsigned long>(::syscall(SYS_gettid));
#endif
}

void setLogFilePath(const char *path)
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    closeLocked(s);
    s.path = path ? path : "";
}

const char *logFilePath()
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.path.empty()) {
        if (s.defaultPath.empty())
            s.defaultPath = resolveDefaultPath();
        s.path = s.defaultPath;
    }
    return s.path.c_str();
}

void setLogRotation(std::size_t maxBytes, int keepFiles)
{
    LogState &s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.maxBytes = maxBytes;
    s.keepFiles = keepFiles;
}

void logWriteRawUnsafe(const char *data, std::size_t size)
{
    const int fd = g_rawFd.load();
    if (fd < 0 || !data)
        return;
    while (size > 0) {
        const auto w = TARSA_WRITE(fd, data, static_cast<unsigned>(size));
        if (w <= 0)
            return;
        data += w;
        size -= static_cast<std::size_t>(w);
    }
}
