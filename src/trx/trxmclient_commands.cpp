#include "trx/trxmclient.h"

#include "platform/idbg.h"
#include "trx/records.h"

#include <QDataStream>

namespace trx {

namespace {

const char ClientIdentity[] = "{5E0B7C3D-2A91-4F6E-8D14-9C7A3B260F58}";

// Length of the leading string of U+0000 characters in the identify payload.
constexpr int IdentifyPadChars = 128;

enum Command : int {
    CmdIdentify = 1,
    CmdGetServers = 2,
    CmdRegisterNotifications = 3,
    CmdGetServerSettings = 5,
    CmdGetRecordTrains = 7,
    CmdStartRecord = 27,
    CmdArchiveClip = 43,
    CmdGetMgws = 47,
    CmdGetLoopRecMode = 52,
    CmdGetPortStates = 61,
    CmdGetClipInfo = 63,
    CmdGetSchedules = 1001,
    CmdAddSchedule = 1002,
    CmdRemoveSchedule = 1003,
    CmdExecuteSchedule = 1004,
    CmdUpdateSchedule = 1005,
    CmdFetchMgwFolders = 1006,
    CmdSyncScheduleTime = 1007,
};

// Every port of a server, as the loop-mode request always asks.
constexpr qint32 AllPorts = 255;

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

QByteArray TRXMClient::identifyValues(const QDateTime &now)
{
    return payloadOf(QString(IdentifyPadChars, QChar(0)), QString::fromLatin1(ClientIdentity), ClientType,
                     now);
}

QByteArray TRXMClient::identifyPayload(const QDateTime &now)
{
    return qCompress(identifyValues(now));
}

bool TRXMClient::requestDecoded(int code, const QByteArray &payload, QByteArray &response)
{
    RequestResult result;
    if (!sendRequest(code, payload, false, &result) || result.status != 1)
        return false;
    response = result.payload;
    return true;
}

bool TRXMClient::sendHeartbeat()
{
    return sendRequest(HeartbeatCode, QByteArray(), false, nullptr);
}

bool TRXMClient::identify()
{
    idbg_api("[%04x] INFO <TRXMClient> Identify as: %d", logTid(), ClientType);
    QByteArray response;
    if (!requestDecoded(CmdIdentify, identifyPayload(QDateTime::currentDateTime()), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    bool accepted = false;
    qint32 unused = 0;
    s >> accepted >> unused;
    return accepted;
}

bool TRXMClient::getServers(QVector<ServerInfo> &servers)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Servers.", logTid());
    QByteArray response;
    if (!requestDecoded(CmdGetServers, QByteArray(), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    QVector<ServerInfo> list;
    readValue(s, list);
    servers = list;
    return true;
}

bool TRXMClient::getMgws()
{
    idbg_api("[%04x] INFO <TRXMClient> Get Mediagateways: async = %d", logTid(), 1);
    return sendRequest(CmdGetMgws, payloadOf(true), true, nullptr);
}

bool TRXMClient::getServerSettings(const QString &serverId, ServerSettings &settings)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Settings of Server[%s]", logTid(), utf8(serverId).constData());
    QByteArray response;
    if (!requestDecoded(CmdGetServerSettings, payloadOf(serverId), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    ServerSettings decoded;
    s >> decoded;
    settings = decoded;
    return true;
}

bool TRXMClient::registerServerNotifications(const QString &serverId, qint32 mask)
{
    idbg_api("[%04x] INFO <TRXMClient> Register Server Notifications: [%s] %d", logTid(),
             utf8(serverId).constData(), mask);
    QByteArray response;
    if (!requestDecoded(CmdRegisterNotifications, payloadOf(serverId, mask), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    bool registered = false;
    s >> registered;
    return registered;
}

bool TRXMClient::getRecordTrains(const QString &serverId, const QMap<qint32, QString> &filter,
                                 QVector<RecordTrainInfo> &trains)
{
    idbg_api("[%04x] INFO <TRXMClient> Get RecordTrains of Server: [%s] async = %d", logTid(),
             utf8(serverId).constData(), 0);
    RequestResult result;
    if (!sendRequest(CmdGetRecordTrains, payloadOf(serverId, false, filter), false, &result))
        return false;
    // Any answer counts as success here; only a status of 1 carries trains.
    if (result.status == 1) {
        QDataStream s(result.payload);
        prepareStream(s);
        QVector<RecordTrainInfo> list;
        readValue(s, list);
        trains = list;
    }
    return true;
}

bool TRXMClient::startRecord(const QString &serverId, qint32 cams)
{
    idbg_api("[%04x] INFO <TRXMClient> Start Record: [%s] cams = %d, loop = %d", logTid(),
             utf8(serverId).constData(), cams, 1);
    return sendRequest(CmdStartRecord, payloadOf(serverId, cams, true), true, nullptr);
}

bool TRXMClient::getLoopRecMode(const QString &serverId, qint32 port, qint32 &mode,
                                QMap<qint32, qint32> &portModes)
{
    Q_UNUSED(port)
    idbg_api("[%04x] INFO <TRXMClient> Get LoopRec Mode: [%s] cams = %d", logTid(),
             utf8(serverId).constData(), AllPorts);
    QByteArray response;
    if (!requestDecoded(CmdGetLoopRecMode, payloadOf(serverId, AllPorts), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    qint32 decodedMode = 0;
    QMap<qint32, qint32> decodedPorts;
    s >> decodedMode;
    readValue(s, decodedPorts);
    mode = decodedMode;
    portModes = decodedPorts;
    return true;
}

bool TRXMClient::getPortStates(const QString &serverId, QMap<qint32, PortState> &states,
                               QMap<ServerPort, PortState> *allStates)
{
    idbg_api("[%04x] INFO <TRXMClient> Get Port States: [%s]", logTid(), utf8(serverId).constData());
    QByteArray response;
    if (!requestDecoded(CmdGetPortStates, payloadOf(serverId), response))
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
    if (!requestDecoded(CmdGetClipInfo, payloadOf(serverId, clipId), response))
        return false;
    QDataStream s(response);
    prepareStream(s);
    ClipInfo decoded;
    s >> decoded;
    clip = decoded;
    return true;
}

bool TRXMClient::archiveClip(const QString &mgwId, const QString &serverId, const QString &clipId,
                             const QString &driveId, const QString &folder)
{
    idbg_api("[%04x] INFO <TRXMClient> Archive Clip: [%s] %s, MGW = %s, Drive = %s, Folder = %s", logTid(),
             utf8(serverId).constData(), utf8(clipId).constData(), utf8(mgwId).constData(),
             utf8(driveId).constData(), utf8(folder).constData());
    return sendRequest(CmdArchiveClip, payloadOf(mgwId, serverId, clipId, driveId, folder), true, nullptr);
}

bool TRXMClient::getSchedules()
{
    idbg_api("[%04x] INFO <TRXMClient> Get Schedules: async = %d", logTid(), 1);
    return sendRequest(CmdGetSchedules, payloadOf(true), true, nullptr);
}

bool TRXMClient::addSchedule(const ScheduleRequest &request)
{
    idbg_api("[%04x] INFO <TRXMClient> Add Schedule", logTid());
    return sendRequest(CmdAddSchedule, payloadOf(request), true, nullptr);
}

bool TRXMClient::removeSchedule(const QString &scheduleId)
{
    idbg_api("[%04x] INFO <TRXMClient> Remove Schedule: [%s]", logTid(), utf8(scheduleId).constData());
    return sendRequest(CmdRemoveSchedule, payloadOf(scheduleId), true, nullptr);
}

bool TRXMClient::executeSchedule(const QString &scheduleId, qint32 func)
{
    idbg_api("[%04x] INFO <TRXMClient> Execute Schedule: [%s], func: %d", logTid(),
             utf8(scheduleId).constData(), func);
    return sendRequest(CmdExecuteSchedule, payloadOf(scheduleId, func), true, nullptr);
}

bool TRXMClient::updateSchedule(const ScheduleInfo &schedule, const ScheduleRequest &values, qint32 flags)
{
    idbg_api("[%04x] INFO <TRXMClient> Update Schedule: [%s] flags = %d", logTid(),
             utf8(schedule.id).constData(), flags);
    return sendRequest(CmdUpdateSchedule, payloadOf(schedule, values, flags), true, nullptr);
}

bool TRXMClient::fetchMgwFolders(const QString &mgwId, const QString &driveId, const QString &parentId)
{
    idbg_api("[%04x] INFO <TRXMClient> Fetch MGW Folders: [%s], %s, %s", logTid(), utf8(mgwId).constData(),
             utf8(driveId).constData(), utf8(parentId).constData());
    return sendRequest(CmdFetchMgwFolders, payloadOf(mgwId, driveId, parentId), true, nullptr);
}

bool TRXMClient::syncScheduleTime(const QString &serverId, qint32 portNo, const QDate &date, qint32 mode)
{
    idbg_api("[%04x] INFO <TRXMClient> Sync Schedule Time: (%s, %d), %s, %d", logTid(),
             utf8(serverId).constData(), portNo, utf8(date.toString(Qt::ISODate)).constData(), mode);
    return sendRequest(CmdSyncScheduleTime, payloadOf(serverId, portNo, date, mode), true, nullptr);
}

} // namespace trx
