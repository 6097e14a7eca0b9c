#pragma once

#include <QObject>

class QMutex;
class QTcpSocket;
class QWaitCondition;

namespace trx {

// Lives on the socket thread and performs every write there, one write per packet.
class AsyncSendHelper : public QObject
{
    Q_OBJECT

public:
    AsyncSendHelper(QTcpSocket *socket, QWaitCondition *sendDoneWake, QMutex *sendLock, bool *writeOk);

public slots:
    // iTimeout is carried for callers that want to wait; the write itself never blocks.
    void sendData(const QByteArray &data, int iTimeout);

private:
    QTcpSocket *m_pSocket = nullptr;
    QWaitCondition *m_pSendDoneWake = nullptr;
    QMutex *m_pSendLock = nullptr;
    bool *m_pWriteOk = nullptr;
};

} // namespace trx
