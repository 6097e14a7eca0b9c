#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

class QTcpSocket;

namespace trx {

class AsyncSendHelper;

// The thread that owns the TCP socket to the manager. The socket is created, connected,
// written and destroyed on this thread only; it knows nothing of packet framing.
class AsyncTcpClient : public QThread
{
    Q_OBJECT

public:
    static constexpr int DefaultConnectTimeoutMs = 5000;

    // connectTimeoutMs bounds the connect attempt; tests shorten it.
    explicit AsyncTcpClient(int connectTimeoutMs = DefaultConnectTimeoutMs);
    ~AsyncTcpClient() override;

    // Blocks until run() has created the socket and the send helper.
    void waitUntilStarted();

    // Hands host and port to the thread and waits for the outcome of the connect attempt.
    bool connectToServer(const QString &host, int port);

    // Null before run() has created it and after the thread has ended. Blocks while a
    // connect attempt is in progress.
    QTcpSocket *socket();

    // Ends the thread: wakes every wait, leaves the event loop and waits for the thread.
    void stop();

    bool lastWriteOk();

signals:
    // Queued to the helper on this thread, so packets are written in emission order.
    void sigSendData(const QByteArray &data, int iTimeout);

protected:
    void run() override;

private:
    QTcpSocket *m_pSocket = nullptr;
    QString m_strHost;
    int m_iPort = 0;
    int m_iConnectTimeout = 0;
    bool m_bConnected = false;
    // Standard primitives rather than QMutex: ThreadSanitizer sees these in an uninstrumented Qt.
    std::mutex m_paramLock;
    std::condition_variable m_startedWake;
    std::mutex m_startedLock;
    std::condition_variable m_paramsWake;
    std::condition_variable m_connectDoneWake;
    std::mutex m_socketLock;
    std::mutex m_sendLock;
    std::condition_variable m_sendDoneWake;
    bool m_bWriteOk = false;
    AsyncSendHelper *m_pHelper = nullptr;
    bool m_bStarted = false;

    const int m_iConnectBound;
    // Set under m_socketLock once the attempt has ended, so that a result stored before
    // connectToServer begins to wait is not missed.
    bool m_bConnectDone = false;
    std::atomic<bool> m_bStopRequested{false};
};

} // namespace trx
