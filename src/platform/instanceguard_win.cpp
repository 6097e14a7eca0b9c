#include "instanceguard.h"

#include <windows.h>

InstanceGuard::InstanceGuard(const QString &name, const QString &lockFolder)
    : m_strName(name)
    , m_strFolder(lockFolder)
{
}

// The named mutex is never closed while the process lives; Windows releases it at exit.
InstanceGuard::~InstanceGuard() = default;

bool InstanceGuard::tryAcquire()
{
    if (m_bHeld)
        return true;
    m_hMutex = CreateMutexA(nullptr, TRUE, m_strName.toLocal8Bit().constData());
    if (GetLastError() != ERROR_SUCCESS)
        return false;
    m_bHeld = true;
    return true;
}
