#include "trx/asynctcpclient.h"

#include "trx/asyncsendhelper.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace trx {

AsyncTcpClient::AsyncTcpClient(int connectTimeoutMs) : m_iConnectBound(connectTimeoutMs) {}

AsyncTcpClient::~AsyncTcpClient()
{
    if (isRunning())
        stop();
}

void AsyncTcpClient::waitUntilStarted()
{
    QMutexLocker locker(&m_startedLock);
    while (!m_bStarted && !m_bStopRequested)
        m_startedWake.wait(&m_startedLock);
}

bool AsyncTcpClient::connectToServer(const QString &host, int port)
{
    {
        QMutexLocker locker(&m_paramLock);
        m_strHost = host;
        m_iPort = port;
        m_iConnectTimeout = m_iConnectBound;
        m_paramsWake.wakeAll();
    }
    QMutexLocker locker(&m_socketLock);
    const QDeadlineTimer deadline(m_iConnectBound);
    while (!m_bConnectDone && !m_bStopRequested) {
        if (!m_connectDoneWake.wait(&m_socketLock, deadline))
            break;
    }
    return m_bConnected;
}

QTcpSocket *AsyncTcpClient::socket()
{
    QMutexLocker locker(&m_socketLock);
    return m_pSocket;
}

void AsyncTcpClient::stop()
{
    m_bStopRequested = true;
    {
        QMutexLocker locker(&m_paramLock);
        m_paramsWake.wakeAll();
    }
    {
        QMutexLocker locker(&m_startedLock);
        m_startedWake.wakeAll();
    }
    {
        QMutexLocker locker(&m_sendLock);
        m_sendDoneWake.wakeAll();
    }
    // Nobody waits for the connect while the client stops us; taking m_socketLock here would
    // only stall behind a connect in progress.
    m_connectDoneWake.wakeAll();
    exit(0);
    wait();
}

bool AsyncTcpClient::lastWriteOk()
{
    QMutexLocker locker(&m_sendLock);
    return m_bWriteOk;
}

void AsyncTcpClient::run()
{
    {
        QMutexLocker locker(&m_socketLock);
        m_pSocket = new QTcpSocket;
        m_pHelper = new AsyncSendHelper(m_pSocket, &m_sendDoneWake, &m_sendLock, &m_bWriteOk);
    }
    connect(this, &AsyncTcpClient::sigSendData, m_pHelper, &AsyncSendHelper::sendData, Qt::QueuedConnection);
    {
        QMutexLocker locker(&m_startedLock);
        m_bStarted = true;
        m_startedWake.wakeAll();
    }

    QString host;
    int port = 0;
    int timeout = 0;
    {
        QMutexLocker locker(&m_paramLock);
        while ((m_strHost.isEmpty() || m_iPort == 0) && !m_bStopRequested)
            m_paramsWake.wait(&m_paramLock);
        host = m_strHost;
        port = m_iPort;
        timeout = m_iConnectTimeout;
    }

    {
        QMutexLocker locker(&m_socketLock);
        if (!m_bStopRequested && !host.isEmpty() && port != 0) {
            m_pSocket->connectToHost(host, static_cast<quint16>(port), QIODevice::ReadWrite,
                                     QAbstractSocket::AnyIPProtocol);
            m_bConnected = m_pSocket->waitForConnected(timeout);
        } else {
            m_bConnected = false;
        }
        if (m_bConnected) {
            m_pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            m_pSocket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        }
        m_bConnectDone = true;
        m_connectDoneWake.wakeAll();
    }

    exec();

    delete m_pHelper;
    m_pHelper = nullptr;
    QTcpSocket *socket = nullptr;
    {
        QMutexLocker locker(&m_socketLock);
        socket = m_pSocket;
        m_pSocket = nullptr;
    }
    delete socket;
}

} // namespace trx
