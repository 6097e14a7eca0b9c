#include "trx/asynctcpclient.h"

#include "trx/asyncsendhelper.h"

#include <QTcpSocket>

#include <chrono>

namespace trx {

using Lock = std::unique_lock<std::mutex>;

AsyncTcpClient::AsyncTcpClient(int connectTimeoutMs) : m_iConnectBound(connectTimeoutMs) {}

AsyncTcpClient::~AsyncTcpClient()
{
    if (isRunning())
        stop();
}

void AsyncTcpClient::waitUntilStarted()
{
    Lock locker(m_startedLock);
    m_startedWake.wait(locker, [this] { return m_bStarted || m_bStopRequested; });
}

bool AsyncTcpClient::connectToServer(const QString &host, int port)
{
    {
        Lock locker(m_paramLock);
        m_strHost = host;
        m_iPort = port;
        m_iConnectTimeout = m_iConnectBound;
        m_paramsWake.notify_all();
    }
    Lock locker(m_socketLock);
    // m_bConnectDone covers an attempt that ended before this wait began.
    m_connectDoneWake.wait_for(locker, std::chrono::milliseconds(m_iConnectBound),
                               [this] { return m_bConnectDone || m_bStopRequested; });
    return m_bConnected;
}

QTcpSocket *AsyncTcpClient::socket()
{
    Lock locker(m_socketLock);
    return m_pSocket;
}

void AsyncTcpClient::stop()
{
    m_bStopRequested = true;
    {
        Lock locker(m_paramLock);
        m_paramsWake.notify_all();
    }
    {
        Lock locker(m_startedLock);
        m_startedWake.notify_all();
    }
    {
        Lock locker(m_sendLock);
        m_sendDoneWake.notify_all();
    }
    // Nobody waits for the connect while the client stops us; taking m_socketLock here would
    // only stall behind a connect in progress.
    m_connectDoneWake.notify_all();
    exit(0);
    wait();
    // QThread::wait synchronises through Qt's own primitives; this lock makes the end of run()
    // visible to ThreadSanitizer as well.
    Lock locker(m_startedLock);
}

bool AsyncTcpClient::lastWriteOk()
{
    Lock locker(m_sendLock);
    return m_bWriteOk;
}

void AsyncTcpClient::run()
{
    {
        Lock locker(m_socketLock);
        m_pSocket = new QTcpSocket;
        m_pHelper = new AsyncSendHelper(m_pSocket, &m_sendDoneWake, &m_sendLock, &m_bWriteOk);
    }
    connect(this, &AsyncTcpClient::sigSendData, m_pHelper, &AsyncSendHelper::sendData, Qt::QueuedConnection);
    {
        Lock locker(m_startedLock);
        m_bStarted = true;
        m_startedWake.notify_all();
    }

    QString host;
    int port = 0;
    int timeout = 0;
    {
        Lock locker(m_paramLock);
        m_paramsWake.wait(locker,
                          [this] { return (!m_strHost.isEmpty() && m_iPort != 0) || m_bStopRequested; });
        host = m_strHost;
        port = m_iPort;
        timeout = m_iConnectTimeout;
    }

    {
        Lock locker(m_socketLock);
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
        m_connectDoneWake.notify_all();
    }

    exec();

    delete m_pHelper;
    m_pHelper = nullptr;
    QTcpSocket *socket = nullptr;
    {
        Lock locker(m_socketLock);
        socket = m_pSocket;
        m_pSocket = nullptr;
    }
    delete socket;
    // Pairs with the lock taken in stop() after wait().
    Lock locker(m_startedLock);
}

} // namespace trx
