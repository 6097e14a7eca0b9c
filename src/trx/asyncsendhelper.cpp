#include "trx/asyncsendhelper.h"

#include <QTcpSocket>

namespace trx {

AsyncSendHelper::AsyncSendHelper(QTcpSocket *socket, std::condition_variable *sendDoneWake,
                                 std::mutex *sendLock, bool *writeOk)
    : m_pSocket(socket), m_pSendDoneWake(sendDoneWake), m_pSendLock(sendLock), m_pWriteOk(writeOk)
{}

void AsyncSendHelper::sendData(const QByteArray &data, int iTimeout)
{
    Q_UNUSED(iTimeout)
    if (!m_pSocket)
        return;
    // No flush and no wait: the event loop of this thread sends the buffered bytes.
    const bool ok = m_pSocket->write(data) != -1;
    std::lock_guard<std::mutex> locker(*m_pSendLock);
    *m_pWriteOk = ok;
    m_pSendDoneWake->notify_all();
}

} // namespace trx
