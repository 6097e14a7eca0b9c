// A child process for the crash handler tests: crashes in the way the first argument says.
#include "platform/appdatafolder.h"
#include "platform/crashhandler.h"
#include "platform/idbg.h"

#include <QDateTime>
#include <QFile>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

// Not instrumented: under UndefinedBehaviorSanitizer the store would end the process before it faults.
[[gnu::noinline]] __attribute__((no_sanitize("undefined"))) void crashNow()
{
    // A volatile pointer: the compiler cannot prove it null and drop the store.
    static int *volatile nowhere = nullptr;
    *nowhere = 42;
}

void announce(const char *what)
{
    std::printf("%s %lx\n", what, currentThreadId());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    installCrashHandler();
    idbg_api("[%04x] INFO <MRL> crash probe %s", logTid(), argc > 1 ? argv[1] : "");
    const char *mode = argc > 1 ? argv[1] : "";

    if (std::strcmp(mode, "worker") == 0) {
        std::thread worker([] {
            announce("tid");
            crashNow();
        });
        worker.join();
    } else if (std::strcmp(mode, "two") == 0) {
        std::atomic<int> ready{0};
        auto body = [&ready] {
            announce("tid");
            ready.fetch_add(1);
            while (ready.load() < 2) {
            }
            crashNow();
        };
        std::thread a(body);
        std::thread b(body);
        a.join();
        b.join();
    } else if (std::strcmp(mode, "overwrite") == 0) {
        // Old files under the names of this second and the next: the crash lands in one of them.
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 2; ++s) {
            QFile old(crashDumpFileName(applicationDataFolder(), now.addSecs(s), currentThreadId()));
            if (!old.open(QIODevice::WriteOnly))
                return 2;
            old.write(QByteArray(100000, 'O'));
        }
        announce("tid");
        crashNow();
    } else if (std::strcmp(mode, "abort") == 0) {
        announce("tid");
        std::abort();
    }
    return 3;
}
