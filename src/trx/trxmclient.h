#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QDataStream;
class QTcpSocket;

namespace trx {

class AsyncTcpClient;
class TRXMClientDelegate;

// What a synchronous caller gets back; status 1 is success.
struct RequestResult
{
    int status = 0;
    QByteArray payload;
};

// The link's time bounds. The program keeps the defaults; tests shorten them.
struct LinkIntervals
{
    int requestTimeoutMs = 5000;
    int connectTimeoutMs = 5000;
    int heartbeatIntervalMs = 15000;
};

// The program's link to the manager: frames requests, waits for responses by request id,
// hands pushes to the decoder registered for their type and keeps the link alive with a
// heartbeat. It never reconnects by itself; the delegate hears of a lost link once.
class TRXMClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int HeartbeatCode = 99;
    // A frame longer than this is refused and the link dropped: far above any real payload,
    // and it keeps a bad length prefix from buffering input without bound.
    static constexpr qint64 MaxFrameLength = 64 * 1024 * 1024;
    static constexpr int LargeRequestBytes = 0x100000;

    explicit TRXMClient(TRXMClientDelegate *delegate, const LinkIntervals &intervals = LinkIntervals());
    ~TRXMClient() override;

    bool connectToServer(const QString &host, int port);
    bool isConnected() const { return m_bConnected; }

    // Frames and sends one request. Synchronous (async false): blocks until the response with
    // the same request id arrives (true, status and payload copied into out when given) or the
    // request timeout passes (false). Asynchronous: true once the packet is handed to the socket
    // thread. False at once when not connected.
    bool sendRequest(int code, const QByteArray &payload, bool async, RequestResult *out);

    // Sets the wire conventions (stream version 5.5, big-endian) on a payload stream.
    static void prepareStream(QDataStream &stream);

public slots:
    void onReadyRead();
    void onSockError(QAbstractSocket::SocketError e);
    void onDisconnected();
    void responseReceived(QString strId, int status, QByteArray payload);
    void pushReceived(int type, QDataStream &stream);
    void onHeartbeat();

protected:
    using PushHandler = std::function<void(QDataStream &)>;
    using PushDecoder = void (TRXMClient::*)(QDataStream &);

    // Push decoders run on the socket thread. Register them before connecting.
    void registerPushHandler(int type, PushHandler handler);
    void registerPushHandler(int type, PushDecoder decoder);

    TRXMClientDelegate *delegate() const { return m_pDelegate; }

private:
    struct PendingRequest
    {
        int status = 0;
        QByteArray payload;
        bool bDone = false;
        QMutex mutex;
        QWaitCondition wake;
    };

    // Fills the push table with the catalogue's decoders (trxmclient_pushtable.cpp).
    void registerPushHandlers();

    bool dispatchBody(const QByteArray &body);
    void refuseFrameLength(QTcpSocket *socket, qint64 length);
    void stopWorker();
    void reportLinkLost();
    void heartbeatLoop();
    QTcpSocket *currentSocket();
    quint64 workerGeneration();

    TRXMClientDelegate *m_pDelegate = nullptr;
    QString m_strHost;
    int m_iPort = 0;
    std::atomic<bool> m_bConnected{false};
    QMap<QString, std::shared_ptr<PendingRequest>> m_pending;
    QMutex m_pendingLock;
    std::atomic<bool> m_bStopping{false};
    QMap<int, PushHandler> m_pushHandlers;
    AsyncTcpClient *m_pWorker = nullptr;
    bool m_bWaitingForBody = false;
    qint64 m_iExpectedLength = 0;
    std::thread m_heartbeatThread;
    QMutex m_heartbeatLock;
    QWaitCondition m_heartbeatWake;
    std::atomic<int> m_iLastError{-1};

    const LinkIntervals m_intervals;
    // Guards m_pWorker, m_strHost, m_iPort and m_iWorkerGeneration; never held while waiting
    // for the socket thread, which takes it in the receive path.
    QMutex m_workerLock;
    quint64 m_iWorkerGeneration = 0;
    // Serialises replacing and stopping the worker (connect, heartbeat failure, destruction).
    QMutex m_lifecycleLock;
};

} // namespace trx
