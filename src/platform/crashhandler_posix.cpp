#include "crashhandler.h"

#include "appdatafolder.h"
#include "idbg.h"

#include <QFile>

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>

#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

// Everything below the install function runs inside a signal handler: no allocation, no
// locks that a crashed thread may hold, only write(2)-style calls on prepared buffers.
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

char g_folder[2048];
std::atomic<long> g_owner{0};
std::atomic<int> g_pending{0};

struct Buf
{
    char data[4096];
    std::size_t len = 0;

    void add(const char *s)
    {
        while (*s && len + 1 < sizeof data)
            data[len++] = *s++;
        data[len] = '\0';
    }
    void addChar(char c)
    {
        if (len + 1 < sizeof data) {
            data[len++] = c;
            data[len] = '\0';
        }
    }
    void addUnsigned(unsigned long long v, unsigned base, int minDigits = 1)
    {
        char tmp[32];
        int n = 0;
        do {
            const unsigned d = static_cast<unsigned>(v % base);
            tmp[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
            v /= base;
        } while (v && n < 32);
        while (n < minDigits && n < 32)
            tmp[n++] = '0';
        while (n > 0)
            addChar(tmp[--n]);
    }
};

void writeAll(int fd, const char *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w <= 0)
            return;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

void writeBuf(int fd, const Buf &b)
{
    writeAll(fd, b.data, b.len);
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "?";
    }
}

void addTimeStamp(Buf &b, const struct tm &t)
{
    b.addUnsigned(static_cast<unsigned>(t.tm_year + 1900), 10, 4);
    b.addUnsigned(static_cast<unsigned>(t.tm_mon + 1), 10, 2);
    b.addUnsigned(static_cast<unsigned>(t.tm_mday), 10, 2);
    b.addUnsigned(static_cast<unsigned>(t.tm_hour), 10, 2);
    b.addUnsigned(static_cast<unsigned>(t.tm_min), 10, 2);
    b.addUnsigned(static_cast<unsigned>(t.tm_sec), 10, 2);
}

void writeDump(int sig, const siginfo_t *info, long tid)
{
    const time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);

    Buf name;
    name.add(g_folder);
    name.add("OXA.exe-");
    addTimeStamp(name, local);
    name.add("-0x");
    name.addUnsigned(static_cast<unsigned long>(tid), 16);
    name.add(".dmp");

    const int fd = ::open(name.data, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        Buf head;
        head.add("Tarsa crash dump\nversion: " TARSA_VERSION "\nsignal: ");
        head.addUnsigned(static_cast<unsigned>(sig), 10);
        head.add(" (");
        head.add(signalName(sig));
        head.add(")\ncode: ");
        head.addUnsigned(static_cast<unsigned>(info ? info->si_code : 0), 10);
        head.add("\nfault address: 0x");
        head.addUnsigned(reinterpret_cast<unsigned long long>(info ? info->si_addr : nullptr), 16);
        head.add("\nthread: 0x");
        head.addUnsigned(static_cast<unsigned long>(tid), 16);
        head.add("\nprocess: ");
        head.addUnsigned(static_cast<unsigned long>(::getpid()), 10);
        head.add("\ntime: ");
        addTimeStamp(head, local);
        head.add("\nbacktrace:\n");
        writeBuf(fd, head);

        void *frames[128];
        const int n = ::backtrace(frames, 128);
        ::backtrace_symbols_fd(frames, n, fd);

        // The memory map lets the addresses above be symbolised later (addr2line, gdb).
        static const char mapsTitle[] = "memory map:\n";
        writeAll(fd, mapsTitle, sizeof mapsTitle - 1);
        const int maps = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
        if (maps >= 0) {
            char chunk[4096];
            ssize_t r;
            while ((r = ::read(maps, chunk, sizeof chunk)) > 0)
                writeAll(fd, chunk, static_cast<std::size_t>(r));
            ::close(maps);
        }
        ::close(fd);
    }

    // The operator's message; shown even when the file could not be written.
    Buf msg;
    msg.add(kCrashMessageTitle);
    msg.add(": A critical error has occurred. \t\t\t\t\t \t\t\t\t\t\t \nPlease send the crash dump file\n \"");
    msg.add(name.data);
    msg.add("\"\n to vendor for technical support.\n");
    writeBuf(STDERR_FILENO, msg);
    logWriteRawUnsafe(msg.data, msg.len);
}

void sleepMs(long ms)
{
    struct timespec ts {ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {
    }
}

[[noreturn]] void terminateWith(int sig)
{
    ::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);
}

void handler(int sig, siginfo_t *info, void *)
{
    g_pending.fetch_add(1);
    const long self = static_cast<long>(::syscall(SYS_gettid));

    // Concurrent crashes take turns; a crash inside the handler itself ends the process.
    long expected = 0;
    while (!g_owner.compare_exchange_weak(expected, self)) {
        if (expected == self)
            terminateWith(sig);
        expected = 0;
        sleepMs(1);
    }
    writeDump(sig, info, self);
    g_owner.store(0);
    g_pending.fetch_sub(1);

    // Let every thread that crashed at the same moment write its own dump before the
    // process goes; the last one out ends it.
    for (int waited = 0; waited < 10000; waited += 100) {
        sleepMs(100);
        if (g_pending.load() == 0)
            break;
    }
    terminateWith(sig);
}

} // namespace

void installCrashHandler()
{
    const QByteArray folder = QFile::encodeName(applicationDataFolder());
    std::strncpy(g_folder, folder.constData(), sizeof g_folder - 1);

    // Warm up what the handler must not load lazily: the unwinder and the time zone.
    void *frames[4];
    ::backtrace(frames, 4);
    ::tzset();

    // The main thread gets an alternate stack so that a stack overflow can still be reported.
    static char altStack[64 * 1024];
    stack_t ss {};
    ss.ss_sp = altStack;
    ss.ss_size = sizeof altStack;
    ::sigaltstack(&ss, nullptr);

    struct sigaction sa {};
    sa.sa_sigaction = handler;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
}
