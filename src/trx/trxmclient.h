#pragma once

#include "trx/catalogue.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QDataStream;
class QTcpSocket;

namespace trx {

class AsyncTcpClient;
class TRXMClientDelegate;
class ClipInfo;
class RecordTrainInfo;
class ScheduleInfo;
struct PortState;
struct ScheduleRequest;
struct ServerInfo;
struct ServerPort;
struct ServerSettings;

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
    static constexpr int HeartbeatCode = code(Command::Heartbeat);
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

    // The command catalogue (trxmclient_commands.cpp). Synchronous commands return true when the
    // response status is 1 (record trains: whenever a response arrived) and leave their
    // out-arguments untouched otherwise; asynchronous ones return true once the packet is
    // handed to the socket thread, their outcome arriving as a push.
    bool sendHeartbeat();
    bool identify();
    bool getServers(QVector<ServerInfo> &servers);
    bool getMgws();
    bool getServerSettings(const QString &serverId, ServerSettings &settings);
    bool registerServerNotifications(const QString &serverId, qint32 mask);
    bool getRecordTrains(const QString &serverId, const QMap<qint32, QString> &filter,
                         QVector<RecordTrainInfo> &trains);
    bool startRecord(const QString &serverId, qint32 cams);
    // port is not sent: the manager is always asked about every port (255).
    bool getLoopRecMode(const QString &serverId, qint32 port, qint32 &mode, QMap<qint32, qint32> &portModes);
    // allStates, when given, receives the second map of the response.
    bool getPortStates(const QString &serverId, QMap<qint32, PortState> &states,
                       QMap<ServerPort, PortState> *allStates = nullptr);
    bool getClipInfo(const QString &serverId, const QString &clipId, ClipInfo &clip);
    bool archiveClip(const QString &mgwId, const QString &serverId, const QString &clipId, const QString &driveId,
                     const QString &folder);
    bool getSchedules();
    bool addSchedule(const ScheduleRequest &request);
    bool removeSchedule(const QString &scheduleId);
    // func 1 ends an open-end schedule now, 2 stops the schedule's transfer.
    bool executeSchedule(const QString &scheduleId, qint32 func);
    // Sends the schedule as known, then the new values.
    bool updateSchedule(const ScheduleInfo &schedule, const ScheduleRequest &values, qint32 flags);
    bool fetchMgwFolders(const QString &mgwId, const QString &driveId, const QString &parentId);
    bool syncScheduleTime(const QString &serverId, qint32 portNo, const QDate &date, qint32 mode);

    // The identify payload before compression, and as sent.
    static QByteArray identifyValues(const QDateTime &now);
    static QByteArray identifyPayload(const QDateTime &now);
    static constexpr qint32 ClientType = trx::ClientType;

    // For fuzzing and tests without a socket: dispatches one frame body exactly as the receive
    // path does (defined in trxmclient_pushes.cpp). False where the receive path would drop the
    // rest of its input.
    bool dispatchBodyForTesting(const QByteArray &body);

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
        std::mutex mutex;
        std::condition_variable wake;
    };

    // Fills the push table (trxmclient_pushes.cpp).
    void registerPushHandlers();

    // Registers a decoder that reads the operation's arguments from the push, in order, into
    // default-constructed values and calls the operation with them.
    template<typename... Args>
    void registerPush(PushType type, void (TRXMClientDelegate::*operation)(Args...));
    // The pushes whose payload does not map one to one onto their operation's arguments.
    void decodeClipRemoved(QDataStream &s);
    void decodeRemainTime(QDataStream &s);
    void decodePortStates(QDataStream &s);
    void decodePush114(QDataStream &s);

    // Sends a synchronous command; true with the response payload when its status is 1.
    bool requestDecoded(Command command, const QByteArray &payload, QByteArray &response);
    // Sends an asynchronous command; true once the packet is handed to the socket thread.
    bool sendAsync(Command command, const QByteArray &payload);

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
    // Standard primitives rather than QMutex: ThreadSanitizer sees these in an uninstrumented Qt.
    std::mutex m_pendingLock;
    std::atomic<bool> m_bStopping{false};
    QMap<int, PushHandler> m_pushHandlers;
    AsyncTcpClient *m_pWorker = nullptr;
    bool m_bWaitingForBody = false;
    qint64 m_iExpectedLength = 0;
    std::thread m_heartbeatThread;
    std::mutex m_heartbeatLock;
    std::condition_variable m_heartbeatWake;
    std::atomic<int> m_iLastError{-1};

    const LinkIntervals m_intervals;
    // Guards m_pWorker, m_strHost, m_iPort and m_iWorkerGeneration; never held while waiting
    // for the socket thread, which takes it in the receive path.
    std::mutex m_workerLock;
    quint64 m_iWorkerGeneration = 0;
    // Serialises replacing and stopping the worker (connect, heartbeat failure, destruction).
    std::mutex m_lifecycleLock;
};

} // namespace trx
