#include "trx/trxmclient.h"

#include "platform/idbg.h"
#include "trx/asynctcpclient.h"
#include "trx/streamio.h"
#include "trx/trxmclientdelegate.h"

#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QTcpSocket>
#include <QUuid>
#include <QtEndian>

#include <chrono>

namespace trx {

namespace {

constexpr int LengthFieldBytes = 8;

using Lock = std::unique_lock<std::mutex>;

// The sender's stamp is consumed and dropped, without resolving a zone id it may carry and
// without building a QDateTime: a local one would cost a time-zone lookup for every packet.
void skipStamp(QDataStream &stream)
{
    skipWireDateTime(stream);
}

} // namespace

TRXMClient::TRXMClient(TRXMClientDelegate *delegate, const LinkIntervals &intervals)
    : m_pDelegate(delegate), m_intervals(intervals)
{
    registerPushHandlers();
    m_heartbeatThread = std::thread([this] { heartbeatLoop(); });
}

TRXMClient::~TRXMClient()
{
    {
        Lock locker(m_heartbeatLock);
        m_bStopping = true;
        m_heartbeatWake.notify_all();
    }
    if (m_heartbeatThread.joinable())
        m_heartbeatThread.join();
    {
        Lock locker(m_lifecycleLock);
        stopWorker();
    }
    Lock locker(m_pendingLock);
    m_pending.clear();
    m_pushHandlers.clear();
}

void TRXMClient::prepareStream(QDataStream &stream)
{
    prepareWireStream(stream);
}

void TRXMClient::registerPushHandler(int type, PushHandler handler)
{
    m_pushHandlers.insert(type, std::move(handler));
}

void TRXMClient::registerPushHandler(int type, PushDecoder decoder)
{
    m_pushHandlers.insert(type, [this, decoder](QDataStream &stream) { (this->*decoder)(stream); });
}

bool TRXMClient::connectToServer(const QString &host, int port)
{
    if (host.isEmpty() || port == 0)
        return false;

    Lock lifecycle(m_lifecycleLock);
    {
        Lock locker(m_workerLock);
        m_strHost = host;
        m_iPort = port;
    }

    stopWorker();
    auto *worker = new AsyncTcpClient(m_intervals.connectTimeoutMs);
    worker->start(QThread::InheritPriority);
    worker->waitUntilStarted();
    m_iLastError = -1;
    QTcpSocket *socket = worker->socket();
    connect(socket, &QAbstractSocket::disconnected, this, &TRXMClient::onDisconnected, Qt::DirectConnection);
    connect(socket, &QAbstractSocket::errorOccurred, this, &TRXMClient::onSockError, Qt::DirectConnection);
    connect(socket, &QIODevice::readyRead, this, &TRXMClient::onReadyRead, Qt::DirectConnection);
    {
        Lock locker(m_workerLock);
        m_pWorker = worker;
        ++m_iWorkerGeneration;
    }

    const bool connected = worker->connectToServer(host, port);
    m_bConnected = connected;
    if (connected)
        return true;

    qDebug("Connect Failed!");
    idbg_api("[%04x] ERROR <TRXMClient> Connect to %s:%d failed.", logTid(), host.toUtf8().constData(), port);
    return false;
}

bool TRXMClient::sendRequest(int code, const QByteArray &payload, bool async, RequestResult *out)
{
    if (!m_bConnected) {
        QString host;
        int port = 0;
        {
            Lock locker(m_workerLock);
            host = m_strHost;
            port = m_iPort;
        }
        idbg_api(
            "[%04x] ERROR <TRXMClient> TRXMClient attempts to send request but TRXM Not Connected Yet!\n "
            "TRXM IP=%s, TRXM Port = %d\n",
            logTid(), host.toLocal8Bit().constData(), port);
        qDebug("Warning: TRXM Not Conncted Yet!");
        return false;
    }

    const QString id = QUuid::createUuid().toString();
    QByteArray packet;
    packet.reserve(payload.size() + 128);
    {
        QDataStream stream(&packet, QIODevice::WriteOnly);
        prepareStream(stream);
        stream << qint64(0) << qint16(KindRequest) << qint16(code) << QDateTime::currentDateTime() << id
               << qint16(0) << payload;
        const qint64 len = stream.device()->pos() - LengthFieldBytes;
        stream.device()->seek(0);
        stream << len;
        if (len > LargeRequestBytes)
            idbg_api("[%04x] WARNING <TRXMClient> Cmd Packet too large: %d", logTid(), code);
    }

    std::shared_ptr<PendingRequest> entry;
    if (!async) {
        entry = std::make_shared<PendingRequest>();
        Lock locker(m_pendingLock);
        m_pending.insert(id, entry);
    }

    {
        Lock locker(m_workerLock);
        if (m_pWorker)
            emit m_pWorker->sigSendData(packet, m_intervals.requestTimeoutMs);
    }

    if (async)
        return true;

    bool answered = false;
    {
        Lock locker(entry->mutex);
        // bDone covers a response stored before this wait began.
        answered = entry->wake.wait_for(locker, std::chrono::milliseconds(m_intervals.requestTimeoutMs),
                                        [&entry] { return entry->bDone; });
        if (answered && out) {
            out->status = entry->status;
            out->payload = entry->payload;
        }
    }
    if (!answered) {
        qDebug("Send Request Timeout!");
        idbg_api("[%04x] WARNING <TRXMClient> Request timeout: %d", logTid(), code);
    }

    Lock locker(m_pendingLock);
    m_pending.remove(id);
    return answered;
}

QTcpSocket *TRXMClient::currentSocket()
{
    AsyncTcpClient *worker = nullptr;
    {
        Lock locker(m_workerLock);
        worker = m_pWorker;
    }
    // Called on the socket thread: the worker cannot end while this runs.
    return worker ? worker->socket() : nullptr;
}

quint64 TRXMClient::workerGeneration()
{
    Lock locker(m_workerLock);
    return m_iWorkerGeneration;
}

void TRXMClient::onReadyRead()
{
    if (m_bStopping)
        return;
    QTcpSocket *socket = currentSocket();
    if (!socket)
        return;

    if (m_bWaitingForBody) {
        if (socket->bytesAvailable() < m_iExpectedLength)
            return;
        const QByteArray body = socket->read(m_iExpectedLength);
        m_bWaitingForBody = false;
        m_iExpectedLength = 0;
        dispatchBody(body);
    }

    while (socket->bytesAvailable() >= LengthFieldBytes) {
        char head[LengthFieldBytes];
        if (socket->read(head, LengthFieldBytes) != LengthFieldBytes)
            return;
        const qint64 len = qFromBigEndian<qint64>(head);
        if (len < 1)
            return;
        if (len > MaxFrameLength) {
            refuseFrameLength(socket, len);
            return;
        }
        if (socket->bytesAvailable() < len) {
            m_bWaitingForBody = true;
            m_iExpectedLength = len;
            return;
        }
        const QByteArray body = socket->read(len);
        m_bWaitingForBody = false;
        m_iExpectedLength = 0;
        // A body of unknown kind is skipped alone: its length kept the stream aligned, and
        // dropping what is buffered behind it would lose those packets and cut the next frame
        // in two, so that its tail would be read as a length.
        dispatchBody(body);
    }
}

void TRXMClient::refuseFrameLength(QTcpSocket *socket, qint64 length)
{
    qDebug("Frame length refused: %lld", static_cast<long long>(length));
    idbg_api("[%04x] ERROR <TRXMClient> Frame length refused: %lld", logTid(),
             static_cast<long long>(length));
    socket->readAll();
    // Aborting reports the loss through onDisconnected; the second report below is then silent.
    socket->abort();
    reportLinkLost();
}

bool TRXMClient::dispatchBody(const QByteArray &body)
{
    QDataStream stream(body);
    prepareStream(stream);
    qint16 kind = 0;
    qint16 code = 0;
    stream >> kind >> code;
    skipStamp(stream);

    if (kind == KindResponse) {
        QString id;
        qint16 status = 0;
        QByteArray payload;
        stream >> id >> status >> payload;
        responseReceived(id, status, payload);
        return true;
    }
    if (kind == KindPush) {
        QByteArray payload;
        stream >> payload;
        QDataStream pushStream(payload);
        prepareStream(pushStream);
        pushReceived(code, pushStream);
        return true;
    }
    qDebug("Error Packet Type: %d", kind);
    idbg_api("[%04x] ERROR <TRXMClient> Error Packet Type: %d\n", logTid(), kind);
    return false;
}

void TRXMClient::responseReceived(QString strId, int status, QByteArray payload)
{
    std::shared_ptr<PendingRequest> entry;
    {
        Lock locker(m_pendingLock);
        entry = m_pending.value(strId);
    }
    // An unknown id is the answer to an asynchronous or timed-out request.
    if (!entry)
        return;
    {
        Lock locker(entry->mutex);
        entry->payload = std::move(payload);
        entry->status = status;
        entry->bDone = true;
    }
    // Woken after unlocking, so that the waiter does not wake only to block on the mutex.
    entry->wake.notify_one();
}

void TRXMClient::pushReceived(int type, QDataStream &stream)
{
    const auto it = m_pushHandlers.constFind(type);
    if (it == m_pushHandlers.constEnd()) {
        qDebug("Error Push Type: %d", type);
        idbg_api("[%04x] ERROR <TRXMClient> Error Push Type: %d\n", logTid(), type);
        return;
    }
    it.value()(stream);
}

void TRXMClient::onSockError(QAbstractSocket::SocketError e)
{
    qDebug("TRXM Connection Error: %d", static_cast<int>(e));
    m_iLastError = e;
    idbg_api("[%04x] WARNING <TRXMClient> Socket Error: %d\n", logTid(), static_cast<int>(e));
}

void TRXMClient::onDisconnected()
{
    // Our own teardown closes the socket too; that is not a lost link.
    if (m_bStopping)
        return;
    reportLinkLost();
}

void TRXMClient::reportLinkLost()
{
    qDebug("TRXM Disconnected!");
    const bool wasConnected = m_bConnected.exchange(false);
    if (m_pDelegate && wasConnected)
        m_pDelegate->connectionStateChanged(false, m_iLastError);
}

void TRXMClient::stopWorker()
{
    AsyncTcpClient *worker = nullptr;
    {
        Lock locker(m_workerLock);
        worker = m_pWorker;
        m_pWorker = nullptr;
    }
    if (!worker)
        return;
    // Cut the socket off first, so that a stop we order is not reported as a lost link.
    if (QTcpSocket *socket = worker->socket())
        disconnect(socket, nullptr, this, nullptr);
    worker->stop();
    delete worker;
    m_bWaitingForBody = false;
    m_iExpectedLength = 0;
}

void TRXMClient::onHeartbeat()
{
    if (!m_bConnected)
        return;
    const quint64 generation = workerGeneration();
    if (sendRequest(HeartbeatCode, QByteArray(), false, nullptr))
        return;
    // A link lost while the heartbeat was under way has been reported by its own path.
    if (!m_bConnected)
        return;

    idbg_api("[%04x] WARNING <TRXMClient> Heartbeat timeout!!!", logTid());
    Lock lifecycle(m_lifecycleLock);
    // A reconnect while the heartbeat waited has already replaced the dead link.
    if (generation != workerGeneration())
        return;
    stopWorker();
    m_iLastError = QAbstractSocket::SocketTimeoutError;
    reportLinkLost();
}

void TRXMClient::heartbeatLoop()
{
    Lock locker(m_heartbeatLock);
    while (!m_bStopping) {
        if (m_heartbeatWake.wait_for(locker, std::chrono::milliseconds(m_intervals.heartbeatIntervalMs),
                                     [this] { return m_bStopping.load(); }))
            break;
        onHeartbeat();
    }
}

} // namespace trx
