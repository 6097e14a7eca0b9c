#include "instanceguard.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceGuard::InstanceGuard(const QString &name, const QString &lockFolder)
    : m_strName(name)
    , m_strFolder(lockFolder)
{
}

InstanceGuard::~InstanceGuard()
{
    if (m_iFd >= 0)
        ::close(m_iFd);
}

bool InstanceGuard::tryAcquire()
{
    if (m_bHeld)
        return true;
    QString folder = m_strFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + m_strName + QStringLiteral(".lock"));

    // flock belongs to the open file description: the kernel drops it when the process dies.
    m_iFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_iFd < 0) {
        qWarning("Single-instance lock %s cannot be opened (errno %d); starting unguarded",
                 path.constData(), errno);
        m_bHeld = true;
        return true;
    }
    if (::flock(m_iFd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(m_iFd);
        m_iFd = -1;
        if (err == EWOULDBLOCK)
            return false;
        qWarning("Single-instance lock %s failed (errno %d); starting unguarded", path.constData(), err);
        m_bHeld = true;
        return true;
    }
    m_bHeld = true;
    return true;
}
