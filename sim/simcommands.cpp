// The command handlers of SimServer: one small handler per command code, each reading its
// payload with the records' own stream operators and answering from the installation.
#include "simconnection.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "trx/catalogue.h"

#include <QDataStream>
#include <QtEndian>

namespace {

using trx::payloadOf;
using trx::PushType;

constexpr int StatusRefused = 0;
constexpr int StatusMalformed = -1;
// The identify values take a few hundred bytes; a larger announced size is not a client of ours
// and must not make us allocate it.
constexpr quint32 MaxIdentifyBytes = 64 * 1024;

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

QString unknownServer(const QString &serverId)
{
    return QStringLiteral("unknown server \"%1\"").arg(serverId);
}

QString unknownClip(const QString &clipId)
{
    return QStringLiteral("unknown clip \"%1\"").arg(clipId);
}

} // namespace

// One request being answered. A handler reads the payload (a malformed one is answered with
// status -1), acts on the installation and fills the reply; refusals answer status 0.
struct SimServer::Call
{
    SimConnection *connection;
    int code;
    const QByteArray &payload;
    Reply &reply;
    SimInstallation &inst;

    template<typename... T> bool read(T &...values)
    {
        if (trx::readPayload(payload, values...))
            return true;
        idbg_api("[%04x] WARNING <TRXMSim> Malformed payload for request %d", logTid(), code);
        reply.status = StatusMalformed;
        return false;
    }

    void refuse(const QString &why)
    {
        idbg_api("[%04x] WARNING <TRXMSim> Request %d refused: %s", logTid(), code, utf8(why).constData());
        reply.status = StatusRefused;
    }

    void push(PushType type, const QByteArray &pushPayload)
    {
        reply.pushes.append({trx::code(type), pushPayload});
    }

    void identify();
    void registerNotifications();
    void serverSettings();
    void recordTrains();
    void startRecord();
    void archiveClip();
    void gateways();
    void loopRecMode();
    void portStates();
    void clipInfo();
    void schedules();
    void addSchedule();
    void removeSchedule();
    void executeSchedule();
    void updateSchedule();
    void fetchFolders();
    void syncScheduleTime();
};

void SimServer::dispatch(SimConnection *connection, int code, const QByteArray &payload, Reply &reply)
{
    Call call{connection, code, payload, reply, *m_pInstallation};
    using trx::Command;
    // Every command has a case, so that a command added to the catalogue without a handler
    // shows up as a switch warning.
    switch (Command(code)) {
    case Command::Identify:
        return call.identify();
    case Command::Heartbeat:
        return;
    case Command::GetServers:
        reply.payload = payloadOf(m_pInstallation->serverInfos());
        return;
    case Command::RegisterNotifications:
        return call.registerNotifications();
    case Command::GetServerSettings:
        return call.serverSettings();
    case Command::GetRecordTrains:
        return call.recordTrains();
    case Command::StartRecord:
        return call.startRecord();
    case Command::ArchiveClip:
        return call.archiveClip();
    case Command::GetMgws:
        return call.gateways();
    case Command::GetLoopRecMode:
        return call.loopRecMode();
    case Command::GetPortStates:
        return call.portStates();
    case Command::GetClipInfo:
        return call.clipInfo();
    case Command::GetSchedules:
        return call.schedules();
    case Command::AddSchedule:
        return call.addSchedule();
    case Command::RemoveSchedule:
        return call.removeSchedule();
    case Command::ExecuteSchedule:
        return call.executeSchedule();
    case Command::UpdateSchedule:
        return call.updateSchedule();
    case Command::FetchMgwFolders:
        return call.fetchFolders();
    case Command::SyncScheduleTime:
        return call.syncScheduleTime();
    }
    call.refuse(QStringLiteral("unknown command"));
}

void SimServer::Call::identify()
{
    if (payload.size() < 4 || qFromBigEndian<quint32>(payload.constData()) > MaxIdentifyBytes) {
        reply.status = StatusMalformed;
        return;
    }
    const QByteArray values = qUncompress(payload);
    QString pad;
    QString identity;
    qint32 type = 0;
    QDateTime stamp;
    if (values.isEmpty() || !trx::readPayload(values, pad, identity, type, stamp)) {
        reply.status = StatusMalformed;
        return;
    }
    const bool padOk = pad.size() == trx::IdentifyPadChars &&
                       std::all_of(pad.cbegin(), pad.cend(), [](QChar c) { return c.unicode() == 0; });
    if (!padOk || identity != QLatin1String(trx::ClientIdentity) || type != trx::ClientType) {
        idbg_api("[%04x] WARNING <TRXMSim> Identify refused: identity %s, type %d", logTid(),
                 utf8(identity).constData(), type);
        reply.status = StatusRefused;
        return;
    }
    reply.payload = payloadOf(true, qint32(0));
}

void SimServer::Call::registerNotifications()
{
    QString serverId;
    qint32 mask = 0;
    if (!read(serverId, mask))
        return;
    if (!inst.hasServer(serverId))
        return refuse(unknownServer(serverId));
    connection->registerServer(serverId);
    reply.payload = payloadOf(true);
    if (inst.isServerConnected(serverId)) {
        push(PushType::PortStates, payloadOf(inst.portStates(serverId), serverId));
        push(PushType::RemainTime, payloadOf(qint32(3), inst.remainText(serverId), serverId));
        push(PushType::RemainTime, payloadOf(qint32(5), inst.remainMinutes(serverId), serverId));
        push(PushType::RecordTrains, payloadOf(serverId, inst.recordTrains(serverId)));
    }
}

void SimServer::Call::serverSettings()
{
    QString serverId;
    if (!read(serverId))
        return;
    if (!inst.hasServer(serverId))
        return refuse(unknownServer(serverId));
    reply.payload = payloadOf(inst.serverSettings(serverId));
}

void SimServer::Call::recordTrains()
{
    QString serverId;
    bool async = false;
    QMap<qint32, QString> filter;
    if (!read(serverId, async, filter))
        return;
    if (!serverId.isEmpty() && !inst.hasServer(serverId))
        return refuse(unknownServer(serverId));
    reply.payload = payloadOf(inst.recordTrains(serverId));
}

void SimServer::Call::startRecord()
{
    QString serverId;
    qint32 cams = 0;
    bool loop = false;
    QString why;
    if (read(serverId, cams, loop) && !inst.startRecord(serverId, cams, &why))
        refuse(why);
}

void SimServer::Call::archiveClip()
{
    QString mgwId, serverId, clipId, driveId, folder;
    if (read(mgwId, serverId, clipId, driveId, folder) && !inst.clipInfo(serverId, clipId))
        refuse(unknownClip(clipId));
}

void SimServer::Call::gateways()
{
    bool async = false;
    if (read(async))
        push(PushType::Mgws, payloadOf(inst.gateways()));
}

void SimServer::Call::loopRecMode()
{
    QString serverId;
    qint32 port = 0;
    if (!read(serverId, port))
        return;
    if (!inst.hasServer(serverId))
        return refuse(unknownServer(serverId));
    const QMap<qint32, qint32> modes = inst.loopModes(serverId);
    const bool all = std::all_of(modes.cbegin(), modes.cend(), [](qint32 m) { return m == 1; });
    reply.payload = payloadOf(qint32(all ? 1 : 0), modes);
}

void SimServer::Call::portStates()
{
    QString serverId;
    if (!read(serverId))
        return;
    if (!serverId.isEmpty() && !inst.hasServer(serverId))
        return refuse(unknownServer(serverId));
    reply.payload = payloadOf(inst.portStates(serverId), inst.allPortStates());
}

void SimServer::Call::clipInfo()
{
    QString serverId, clipId;
    if (!read(serverId, clipId))
        return;
    const std::optional<trx::ClipInfo> clip = inst.clipInfo(serverId, clipId);
    if (!clip)
        return refuse(unknownClip(clipId));
    reply.payload = payloadOf(*clip);
}

void SimServer::Call::schedules()
{
    bool async = false;
    if (!read(async))
        return;
    const QList<trx::ScheduleInfo> list = inst.schedules();
    push(PushType::Schedules, payloadOf(list, qint64(list.size())));
    // Name the master clock once the client has its ports and schedules.
    if (const std::optional<trx::MasterPortSync> master = inst.masterPort())
        push(PushType::MasterPortSynced, payloadOf(*master, qint32(3)));
}

void SimServer::Call::addSchedule()
{
    trx::ScheduleRequest request;
    QString why;
    if (read(request) && !inst.addSchedules(request, &why))
        refuse(why);
}

void SimServer::Call::removeSchedule()
{
    QString id;
    QString why;
    if (read(id) && !inst.removeSchedule(id, &why))
        refuse(why);
}

void SimServer::Call::executeSchedule()
{
    QString id;
    qint32 func = 0;
    QString why;
    if (read(id, func) && !inst.executeSchedule(id, func, &why))
        refuse(why);
}

void SimServer::Call::updateSchedule()
{
    trx::ScheduleInfo known;
    trx::ScheduleRequest values;
    qint32 flags = 0;
    QString why;
    if (read(known, values, flags) && !inst.updateSchedule(known, values, flags, &why))
        refuse(why);
}

void SimServer::Call::fetchFolders()
{
    QString mgwId, driveId, parentId;
    if (!read(mgwId, driveId, parentId))
        return;
    const auto folders = inst.folders(mgwId, driveId, parentId);
    push(PushType::MgwFolders, payloadOf(mgwId, driveId, folders.value_or(QList<trx::MgwFolderInfo>())));
    if (!folders)
        refuse(QStringLiteral("unknown drive \"%1\" of gateway \"%2\"").arg(driveId, mgwId));
}

void SimServer::Call::syncScheduleTime()
{
    QString serverId;
    qint32 port = 0;
    QDate date;
    qint32 mode = 0;
    if (read(serverId, port, date, mode))
        inst.syncScheduleTime(serverId, port, date, mode);
}
