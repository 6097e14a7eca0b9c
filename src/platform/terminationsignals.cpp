#include "terminationsignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

std::atomic<int> g_writeFd{-1};
struct sigaction g_previous[kSignalCount];

// Runs inside the signal handler: one write(2), errno kept for the interrupted code.
void onSignal(int sig)
{
    const int savedErrno = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(sig);
        // A full pipe already holds a pending request to end; nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (g_writeFd.load() >= 0) {
        qWarning("TerminationSignals: another instance is active");
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("TerminationSignals: no pipe (errno %d)", errno);
        return;
    }
    m_iReadFd = fds[0];
    g_writeFd = fds[1];
    m_pNotifier = new QSocketNotifier(m_iReadFd, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a signal during the settings write does not cut the write short.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_pNotifier)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    const int writeFd = g_writeFd.exchange(-1);
    ::close(writeFd);
    ::close(m_iReadFd);
}

void TerminationSignals::readPending()
{
    unsigned char bytes[16];
    ssize_t n;
    while ((n = ::read(m_iReadFd, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            emit sigTerminate(bytes[i]);
    }
}
