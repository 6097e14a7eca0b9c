#pragma once

#include <QString>

// Process-wide single-instance guard. The operating system releases it when the process
// ends in any way (crash and SIGKILL included), so a dead client never blocks the next.
class InstanceGuard
{
public:
    // lockFolder: where the lock lives on POSIX (default: the user's runtime folder).
    explicit InstanceGuard(const QString &name, const QString &lockFolder = QString());
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard &) = delete;
    InstanceGuard &operator=(const InstanceGuard &) = delete;

    // False when another process holds the guard. When the lock itself cannot be set up
    // (unwritable folder) the guard lets the process run rather than refuse every start.
    bool tryAcquire();
    bool isHeld() const { return m_bHeld; }

private:
    QString m_strName;
    QString m_strFolder;
    bool m_bHeld = false;
#if defined(Q_OS_WIN)
    void *m_hMutex = nullptr;
#else
    int m_iFd = -1;
#endif
};
