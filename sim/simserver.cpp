#include "simserver.h"

#include "simconnection.h"
#include "simframes.h"

#include "platform/idbg.h"
#include "trx/catalogue.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

using trx::payloadOf;
using trx::PushType;

constexpr int StormTickMs = 20;
constexpr int SaveDelayMs = 300;
// Push types the client has no decoder for.
constexpr int UnknownPushType = 116;
constexpr qint16 UnknownKind = 7;
constexpr qint64 AbsurdLength = qint64(1) << 40;

} // namespace

SimServer::SimServer(const SimScenario &scenario, QObject *parent) : QObject(parent)
{
    m_pInstallation = new SimInstallation(&m_clock, this);
    m_pInstallation->load(scenario);

    connect(m_pInstallation, &SimInstallation::scheduleAdded, this,
            [this](const trx::ScheduleInfo &s) { broadcast(PushType::ScheduleAdded, payloadOf(s)); });
    connect(m_pInstallation, &SimInstallation::scheduleChanged, this,
            [this](const trx::ScheduleInfo &s, qint32 flags) {
                broadcast(PushType::ScheduleChanged, payloadOf(s, flags));
            });
    connect(m_pInstallation, &SimInstallation::scheduleRemoved, this,
            [this](const QString &id) { broadcast(PushType::ScheduleRemoved, payloadOf(id)); });
    connect(m_pInstallation, &SimInstallation::masterPortSynced, this,
            [this](const trx::MasterPortSync &sync, qint32 flags) {
                broadcast(PushType::MasterPortSynced, payloadOf(sync, flags));
            });
    connect(m_pInstallation, &SimInstallation::serverChanged, this,
            [this](const trx::ServerInfo &info) { broadcast(PushType::ServerInfoChanged, payloadOf(info)); });
    connect(m_pInstallation, &SimInstallation::recordTrainChanged, this,
            [this](const QString &serverId, const trx::RecordTrainInfo &train) {
                notify(serverId, PushType::RecordTrainChanged, payloadOf(serverId, train));
                notify(serverId, PushType::RecordTrains,
                       payloadOf(serverId, m_pInstallation->recordTrains(serverId)));
            });
    connect(m_pInstallation, &SimInstallation::schedulesModified, this, &SimServer::scheduleSave);

    m_pServer = new QTcpServer(this);
    connect(m_pServer, &QTcpServer::newConnection, this, &SimServer::onNewConnection);
    m_pTickTimer = new QTimer(this);
    m_pTickTimer->setInterval(PortStateIntervalMs);
    connect(m_pTickTimer, &QTimer::timeout, this, &SimServer::tick);
    m_pStormTimer = new QTimer(this);
    m_pStormTimer->setInterval(StormTickMs);
    connect(m_pStormTimer, &QTimer::timeout, this, &SimServer::onStormTick);
    m_pChurn = std::make_unique<SimChurn>(m_pInstallation, &m_clock);
    m_pChurnTimer = new QTimer(this);
    connect(m_pChurnTimer, &QTimer::timeout, this, [this] { m_pChurn->step(); });
    m_pSaveTimer = new QTimer(this);
    m_pSaveTimer->setSingleShot(true);
    m_pSaveTimer->setInterval(SaveDelayMs);
    connect(m_pSaveTimer, &QTimer::timeout, this, [this] {
        QString error;
        if (!saveState(&error))
            idbg_api("[%04x] ERROR <TRXMSim> State not saved: %s", logTid(), error.toUtf8().constData());
    });
}

SimServer::~SimServer()
{
    if (m_pSaveTimer->isActive()) {
        QString error;
        saveState(&error);
    }
}

bool SimServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (!m_pServer->listen(address, port)) {
        if (error)
            *error = m_pServer->errorString();
        return false;
    }
    m_pTickTimer->start();
    idbg_api("[%04x] INFO <TRXMSim> Listening on %s:%d", logTid(), address.toString().toUtf8().constData(),
             m_pServer->serverPort());
    return true;
}

quint16 SimServer::serverPort() const
{
    return m_pServer->serverPort();
}

QHostAddress SimServer::serverAddress() const
{
    return m_pServer->serverAddress();
}

void SimServer::setFaults(const SimFaults &faults)
{
    const bool newDrop = faults.dropLinkAfterMs >= 0 && faults.dropLinkAfterMs != m_faults.dropLinkAfterMs;
    m_faults = faults;
    if (newDrop)
        for (SimConnection *c : qAsConst(m_connections))
            c->dropAfter(faults.dropLinkAfterMs);
    if (faults.pushStormPerSecond > 0 && !m_pStormTimer->isActive())
        m_pStormTimer->start();
    else if (faults.pushStormPerSecond <= 0)
        m_pStormTimer->stop();
}

void SimServer::setChurnIntervalMs(int intervalMs)
{
    if (intervalMs > 0)
        m_pChurnTimer->start(intervalMs);
    else
        m_pChurnTimer->stop();
}

void SimServer::onNewConnection()
{
    while (QTcpSocket *socket = m_pServer->nextPendingConnection()) {
        auto *connection = new SimConnection(socket, this);
        m_connections.append(connection);
        connect(connection, &SimConnection::closed, this, &SimServer::onConnectionClosed);
        idbg_api("[%04x] INFO <TRXMSim> Client %s connected", logTid(),
                 connection->peerName().toUtf8().constData());
        if (m_faults.dropLinkAfterMs >= 0)
            connection->dropAfter(m_faults.dropLinkAfterMs);
        injectScheduled(connection);
    }
}

void SimServer::injectScheduled(SimConnection *connection)
{
    if (!m_faults.injectUnknownPush && !m_faults.injectUnknownKind && !m_faults.injectAbsurdLength)
        return;
    const SimFaults f = m_faults;
    QTimer::singleShot(std::max(0, f.injectAfterMs), connection, [connection, f] {
        if (f.injectUnknownPush)
            connection->sendPush(UnknownPushType, payloadOf(QStringLiteral("unknown")));
        if (f.injectUnknownKind)
            connection->sendFrame(simframes::rawBody(UnknownKind, 0, QByteArray("unknown kind")));
        if (f.injectAbsurdLength)
            connection->sendFrame(simframes::lengthOnly(AbsurdLength));
    });
}

void SimServer::onConnectionClosed(SimConnection *connection)
{
    idbg_api("[%04x] INFO <TRXMSim> Client %s disconnected", logTid(),
             connection->peerName().toUtf8().constData());
    m_connections.removeAll(connection);
    connection->deleteLater();
}

void SimServer::sendUnknownPush()
{
    for (SimConnection *c : qAsConst(m_connections))
        c->sendPush(UnknownPushType, payloadOf(QStringLiteral("unknown")));
}

void SimServer::sendUnknownKind()
{
    for (SimConnection *c : qAsConst(m_connections))
        c->sendFrame(simframes::rawBody(UnknownKind, 0, QByteArray("unknown kind")));
}

void SimServer::sendAbsurdLength()
{
    for (SimConnection *c : qAsConst(m_connections))
        c->sendFrame(simframes::lengthOnly(AbsurdLength));
}

void SimServer::dropLinks()
{
    const QList<SimConnection *> connections = m_connections;
    for (SimConnection *c : connections)
        c->close();
}

void SimServer::advanceClock(qint64 ms)
{
    m_clock.advance(ms);
    m_pInstallation->tick();
}

void SimServer::tick()
{
    m_pInstallation->tick();
    const bool remain = m_iTicks++ % RemainTimeEveryTicks == 0;
    for (const QString &id : m_pInstallation->serverIds()) {
        if (!m_pInstallation->isServerConnected(id))
            continue;
        sendPortStates(id);
        if (remain)
            sendRemainTimes(id);
    }
}

void SimServer::sendPortStates(const QString &serverId, SimConnection *only)
{
    const QByteArray payload = payloadOf(m_pInstallation->portStates(serverId), serverId);
    if (only)
        only->sendPush(trx::code(PushType::PortStates), payload);
    else
        notify(serverId, PushType::PortStates, payload);
}

void SimServer::sendRemainTimes(const QString &serverId, SimConnection *only)
{
    const QByteArray kind3 = payloadOf(qint32(3), m_pInstallation->remainText(serverId), serverId);
    const QByteArray kind5 = payloadOf(qint32(5), m_pInstallation->remainMinutes(serverId), serverId);
    if (only) {
        only->sendPush(trx::code(PushType::RemainTime), kind3);
        only->sendPush(trx::code(PushType::RemainTime), kind5);
    } else {
        notify(serverId, PushType::RemainTime, kind3);
        notify(serverId, PushType::RemainTime, kind5);
    }
}

void SimServer::broadcast(trx::PushType type, const QByteArray &payload)
{
    const QByteArray frame = simframes::push(trx::code(type), payload);
    for (SimConnection *c : qAsConst(m_connections))
        c->sendFrame(frame);
}

void SimServer::notify(const QString &serverId, trx::PushType type, const QByteArray &payload)
{
    const QByteArray frame = simframes::push(trx::code(type), payload);
    for (SimConnection *c : qAsConst(m_connections))
        if (c->isRegistered(serverId))
            c->sendFrame(frame);
}

void SimServer::onStormTick()
{
    const QStringList ids = m_pInstallation->serverIds();
    if (m_connections.isEmpty() || ids.isEmpty())
        return;
    m_dStormCredit += m_faults.pushStormPerSecond * StormTickMs / 1000.0;
    const QString serverId = ids.first();
    const QByteArray frame = simframes::push(trx::code(PushType::PortStates),
                                             payloadOf(m_pInstallation->portStates(serverId), serverId));
    while (m_dStormCredit >= 1.0) {
        m_dStormCredit -= 1.0;
        for (SimConnection *c : qAsConst(m_connections))
            c->sendFrame(frame);
    }
}

bool SimServer::useStateFile(const QString &path, QString *error)
{
    m_strStateFile = path;
    QFile file(path);
    if (!file.exists())
        return saveState(error);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!m_pInstallation->restoreSchedules(file.readAll(), &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    m_pInstallation->tick();
    return true;
}

void SimServer::scheduleSave()
{
    if (!m_strStateFile.isEmpty() && !m_pSaveTimer->isActive())
        m_pSaveTimer->start();
}

bool SimServer::saveState(QString *error)
{
    m_pSaveTimer->stop();
    if (m_strStateFile.isEmpty())
        return true;
    QSaveFile file(m_strStateFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_pInstallation->saveSchedules()) < 0 ||
        !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_strStateFile, file.errorString());
        return false;
    }
    return true;
}

void SimServer::handleRequest(SimConnection *connection, int code, const QString &requestId,
                              const QByteArray &payload)
{
    m_receivedCodes.append(code);
    if (code == m_faults.dropOnRequestCode) {
        m_faults.dropOnRequestCode = -1;
        idbg_api("[%04x] INFO <TRXMSim> Request %d from %s: dropping the link instead of answering", logTid(),
                 code, connection->peerName().toUtf8().constData());
        connection->close();
        return;
    }
    if (code == trx::code(trx::Command::Heartbeat) && m_faults.noHeartbeatAnswer)
        return;
    Reply reply;
    dispatch(connection, code, payload, reply);
    if (reply.status != 1)
        idbg_api("[%04x] WARNING <TRXMSim> Request %d from %s answered with status %d", logTid(), code,
                 connection->peerName().toUtf8().constData(), reply.status);
    connection->sendResponse(code, requestId, reply.status, reply.payload);
    for (const auto &push : qAsConst(reply.pushes))
        connection->sendPush(push.first, push.second);
}
