#include "trx/trxmclient.h"

#include "platform/idbg.h"
#include "trx/records.h"

#include <QDataStream>

namespace trx {

namespace {

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

QByteArray TRXMClient::identifyValues(const QDateTime &now)
{
    return trx::identifyValues(now);
}

QByteArray TRXMClient::identifyPayload(const QDateTime &now)
{
    return qCompress(identifyValues(now));
}

bool TRXMClient::requestDecoded(Command command, const QByteArray &payload, QByteArray &response)
{
    RequestResult result;
    if (!sendRequest(code(command), payload, false, &result) || result.status != 1)
        return false;
    response = result.payload;
    return true;
}

bool TRXMClient::sendAsync(Command command, const QByteArray &payload)
{
    return sendRequest(code(command), payload, true, nullptr);
}

bool TRXMClient::sendHeartbeat()
{
    return sendRequest(HeartbeatCode, QByteArray(), false, nullptr);
}

bool TRXMClient::identify()
{
    idbg_api("[%04x] INFO <TRXMClient> Identify as: %d", logTid(), ClientType);
    QByteArray response;
    if (!requestDecoded(Command::Identify, identifyPayload(QDateTime::currentDateTime()), response))
        return false;
    bool accepted = false;
    qint32 unused = 0;
    readPayload(response, accepted, unused);
    return accepted;
}

bool TRXMClient::getServers(QVector<ServerInfo> &servers)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Servers.", logTid());
    QByteArray response;
    if (!requestDecoded(Command::GetServers, QByteArray(), response))
        return false;
    QVector<ServerInfo> list;
    readPayload(response, list);
    servers = list;
    return true;
}

bool TRXMClient::getMgws()
{
    idbg_api("[%04x] INFO <TRXMClient> Get Mediagateways: async = %d", logTid(), 1);
    return sendAsync(Command::GetMgws, payloadOf(true));
}

bool TRXMClient::getServerSettings(const QString &serverId, ServerSettings &settings)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Settings of Server[%s]", logTid(), utf8(serverId).constData());
    QByteArray response;
    if (!requestDecoded(Command::GetServerSettings, payloadOf(serverId), response))
        return false;
    ServerSettings decoded;
    readPayload(response, decoded);
    settings = decoded;
    return true;
}

bool TRXMClient::registerServerNotifications(const QString &serverId, qint32 mask)
{
    idbg_api("[%04x] INFO <TRXMClient> Register Server Notifications: [%s] %d", logTid(),
             utf8(serverId).constData(), mask);
    QByteArray response;
    if (!requestDecoded(Command::RegisterNotifications, payloadOf(serverId, mask), response))
        return false;
    bool registered = false;
    readPayload(response, registered);
    return registered;
}

bool TRXMClient::getRecordTrains(const QString &serverId, const QMap<qint32, QString> &filter,
                                 QVector<RecordTrainInfo> &trains)
{
    idbg_api("[%04x] INFO <TRXMClient> Get RecordTrains of Server: [%s] async = %d", logTid(),
             utf8(serverId).constData(), 0);
    RequestResult result;
    if (!sendRequest(code(Command::GetRecordTrains), payloadOf(serverId, false, filter), false, &result))
        return false;
    // Any answer counts as success here; only a status of 1 carries trains.
    if (result.status == 1) {
        QVector<RecordTrainInfo> list;
        readPayload(result.payload, list);
        trains = list;
    }
    return true;
}

bool TRXMClient::startRecord(const QString &serverId, qint32 cams)
{
    idbg_api("[%04x] INFO <TRXMClient> Start Record: [%s] cams = %d, loop = %d", logTid(),
             utf8(serverId).constData(), cams, 1);
    return sendAsync(Command::StartRecord, payloadOf(serverId, cams, true));
}

bool TRXMClient::getLoopRecMode(const QString &serverId, qint32 port, qint32 &mode,
                                QMap<qint32, qint32> &portModes)
{
    Q_UNUSED(port)
    idbg_api("[%04x] INFO <TRXMClient> Get LoopRec Mode: [%s] cams = %d", logTid(),
             utf8(serverId).constData(), AllPorts);
    QByteArray response;
    if (!requestDecoded(Command::GetLoopRecMode, payloadOf(serverId, AllPorts), response))
        return false;
    qint32 decodedMode = 0;
    QMap<qint32, qint32> decodedPorts;
    readPayload(response, decodedMode, decodedPorts);
    mode = decodedMode;
    portModes = decodedPorts;
    return true;
}

bool TRXMClient::getPortStates(const QString &serverId, QMap<qint32, PortState> &states,
                               QMap<ServerPort, PortState> *allStates)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Port States: [%s]", logTid(), utf8(serverId).constData());
    QByteArray response;
    if (!requestDecoded(Command::GetPortStates, payloadOf(serverId), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    QMap<qint32, PortState> decoded;
    readValue(s, decoded);
    states = decoded;
    if (allStates) {
        QMap<ServerPort, PortState> decodedAll;
        readValue(s, decodedAll);
        *allStates = decodedAll;
    }
    return true;
}

bool TRXMClient::getClipInfo(const QString &serverId, const QString &clipId, ClipInfo &clip)
{
    idbg_api("[%04x] INFO <TRXMClient> Get ClipInfo: [%s] %s", logTid(), utf8(serverId).constData(),
             utf8(clipId).constData());
    QByteArray response;
    if (!requestDecoded(Command::GetClipInfo, payloadOf(serverId, clipId), response))
        return false;
    ClipInfo decoded;
    readPayload(response, decoded);
    clip = decoded;
    return true;
}

bool TRXMClient::archiveClip(const QString &mgwId, const QString &serverId, const QString &clipId,
                             const QString &driveId, const QString &folder)
{
    idbg_api("[%04x] INFO <TRXMClient> Archive Clip: [%s] %s, MGW = %s, Drive = %s, Folder = %s", logTid(),
             utf8(serverId).constData(), utf8(clipId).constData(), utf8(mgwId).constData(),
             utf8(driveId).constData(), utf8(folder).constData());
    return sendAsync(Command::ArchiveClip, payloadOf(mgwId, serverId, clipId, driveId, folder));
}

bool TRXMClient::getSchedules()
{
    idbg_api("[%04x] INFO <TRXMClient> Get Schedules: async = %d", logTid(), 1);
    return sendAsync(Command::GetSchedules, payloadOf(true));
}

bool TRXMClient::addSchedule(const ScheduleRequest &request)
{
    idbg_api("[%04x] INFO <TRXMClient> Add Schedule", logTid());
    return sendAsync(Command::AddSchedule, payloadOf(request));
}

bool TRXMClient::removeSchedule(const QString &scheduleId)
{
    idbg_api("[%04x] INFO <TRXMClient> Remove Schedule: [%s]", logTid(), utf8(scheduleId).constData());
    return sendAsync(Command::RemoveSchedule, payloadOf(scheduleId));
}

bool TRXMClient::executeSchedule(const QString &scheduleId, qint32 func)
{
    idbg_api("[%04x] INFO <TRXMClient> Execute Schedule: [%s], func: %d", logTid(),
             utf8(scheduleId).constData(), func);
    return sendAsync(Command::ExecuteSchedule, payloadOf(scheduleId, func));
}

bool TRXMClient::updateSchedule(const ScheduleInfo &schedule, const ScheduleRequest &values, qint32 flags)
{
    idbg_api("[%04x] INFO <TRXMClient> Update Schedule: [%s] flags = %d", logTid(),
             utf8(schedule.id).constData(), flags);
    return sendAsync(Command::UpdateSchedule, payloadOf(schedule, values, flags));
}

bool TRXMClient::fetchMgwFolders(const QString &mgwId, const QString &driveId, const QString &parentId)
{
    idbg_api("[%04x] INFO <TRXMClient> Fetch MGW Folders: [%s], %s, %s", logTid(), utf8(mgwId).constData(),
             utf8(driveId).constData(), utf8(parentId).constData());
    return sendAsync(Command::FetchMgwFolders, payloadOf(mgwId, driveId, parentId));
}

bool TRXMClient::syncScheduleTime(const QString &serverId, qint32 portNo, const QDate &date, qint32 mode)
{
    idbg_api("[%04x] INFO <TRXMClient> Sync Schedule Time: (%s, %d), %s, %d", logTid(),
             utf8(serverId).constData(), portNo, utf8(date.toString(Qt::ISODate)).constData(), mode);
    return sendAsync(Command::SyncScheduleTime, payloadOf(serverId, portNo, date, mode));
}

} // namespace trx
