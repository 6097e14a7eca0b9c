#pragma once

#include <QObject>

#include <condition_variable>
#include <mutex>

class QTcpSocket;

namespace trx {

// Lives on the socket thread and performs every write there, one write per packet.
class AsyncSendHelper : public QObject
{
    Q_OBJECT

public:
    AsyncSendHelper(QTcpSocket *socket, std::condition_variable *sendDoneWake, std::mutex *sendLock,
                    bool *writeOk);

public slots:
    // iTimeout is carried for callers that want to wait; the write itself never blocks.
    void sendData(const QByteArray &data, int iTimeout);

private:
    QTcpSocket *m_pSocket = nullptr;
    std::condition_variable *m_pSendDoneWake = nullptr;
    std::mutex *m_pSendLock = nullptr;
    bool *m_pWriteOk = nullptr;
};

} // namespace trx
