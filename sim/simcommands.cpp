// The command handlers of SimServer: one case per command code, each reading its payload with
// the records' own stream operators and answering from the installation.
#include "simconnection.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "trx/trxmclient.h"

#include <QDataStream>
#include <QtEndian>

const char SimServer::ClientIdentity[] = "{5E0B7C3D-2A91-4F6E-8D14-9C7A3B260F58}";

namespace {

using trx::payloadOf;

constexpr int StatusRefused = 0;
constexpr int StatusMalformed = -1;
// The identify values take a few hundred bytes; a larger announced size is not a client of ours
// and must not make us allocate it.
constexpr quint32 MaxIdentifyBytes = 64 * 1024;
constexpr int IdentifyPadChars = 128;

template<typename... T> bool readPayload(const QByteArray &payload, T &...values)
{
    QDataStream s(payload);
    trx::TRXMClient::prepareStream(s);
    (trx::readValue(s, values), ...);
    return s.status() == QDataStream::Ok;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

bool SimServer::identify(const QByteArray &payload, Reply &reply)
{
    if (payload.size() < 4 || qFromBigEndian<quint32>(payload.constData()) > MaxIdentifyBytes) {
        reply.status = StatusMalformed;
        return false;
    }
    const QByteArray values = qUncompress(payload);
    QString pad;
    QString identity;
    qint32 type = 0;
    QDateTime stamp;
    if (values.isEmpty() || !readPayload(values, pad, identity, type, stamp)) {
        reply.status = StatusMalformed;
        return false;
    }
    const bool padOk = pad.size() == IdentifyPadChars &&
                       std::all_of(pad.cbegin(), pad.cend(), [](QChar c) { return c.unicode() == 0; });
    if (!padOk || identity != QLatin1String(ClientIdentity) || type != trx::TRXMClient::ClientType) {
        idbg_api("[%04x] WARNING <TRXMSim> Identify refused: identity %s, type %d", logTid(),
                 utf8(identity).constData(), type);
        reply.status = StatusRefused;
        return false;
    }
    reply.payload = payloadOf(true, qint32(0));
    return true;
}

void SimServer::dispatch(SimConnection *connection, int code, const QByteArray &payload, Reply &reply)
{
    SimInstallation &inst = *m_pInstallation;
    auto malformed = [&] {
        idbg_api("[%04x] WARNING <TRXMSim> Malformed payload for request %d", logTid(), code);
        reply.status = StatusMalformed;
    };
    auto refuse = [&](const QString &why) {
        idbg_api("[%04x] WARNING <TRXMSim> Request %d refused: %s", logTid(), code, utf8(why).constData());
        reply.status = StatusRefused;
    };
    QString why;

    switch (code) {
    case 1:
        identify(payload, reply);
        return;
    case trx::TRXMClient::HeartbeatCode:
        return;
    case 2:
        reply.payload = payloadOf(inst.serverInfos());
        return;
    case 3: {
        QString serverId;
        qint32 mask = 0;
        if (!readPayload(payload, serverId, mask))
            return malformed();
        if (!inst.hasServer(serverId))
            return refuse(QStringLiteral("unknown server \"%1\"").arg(serverId));
        connection->registerServer(serverId);
        reply.payload = payloadOf(true);
        if (inst.isServerConnected(serverId)) {
            reply.pushes.append({112, payloadOf(inst.portStates(serverId), serverId)});
            reply.pushes.append({109, payloadOf(qint32(3), inst.remainText(serverId), serverId)});
            reply.pushes.append({109, payloadOf(qint32(5), inst.remainMinutes(serverId), serverId)});
            reply.pushes.append({103, payloadOf(serverId, inst.recordTrains(serverId))});
        }
        return;
    }
    case 5: {
        QString serverId;
        if (!readPayload(payload, serverId))
            return malformed();
        if (!inst.hasServer(serverId))
            return refuse(QStringLiteral("unknown server \"%1\"").arg(serverId));
        reply.payload = payloadOf(inst.serverSettings(serverId));
        return;
    }
    case 7: {
        QString serverId;
        bool async = false;
        QMap<qint32, QString> filter;
        if (!readPayload(payload, serverId, async, filter))
            return malformed();
        if (!serverId.isEmpty() && !inst.hasServer(serverId))
            return refuse(QStringLiteral("unknown server \"%1\"").arg(serverId));
        reply.payload = payloadOf(inst.recordTrains(serverId));
        return;
    }
    case 27: {
        QString serverId;
        qint32 cams = 0;
        bool loop = false;
        if (!readPayload(payload, serverId, cams, loop))
            return malformed();
        if (!inst.startRecord(serverId, cams, &why))
            return refuse(why);
        return;
    }
    case 43: {
        QString mgwId, serverId, clipId, driveId, folder;
        if (!readPayload(payload, mgwId, serverId, clipId, driveId, folder))
            return malformed();
        if (!inst.clipInfo(serverId, clipId))
            return refuse(QStringLiteral("unknown clip \"%1\"").arg(clipId));
        return;
    }
    case 47: {
        bool async = false;
        if (!readPayload(payload, async))
            return malformed();
        reply.pushes.append({129, payloadOf(inst.gateways())});
        return;
    }
    case 52: {
        QString serverId;
        qint32 port = 0;
        if (!readPayload(payload, serverId, port))
            return malformed();
        if (!inst.hasServer(serverId))
            return refuse(QStringLiteral("unknown server \"%1\"").arg(serverId));
        const QMap<qint32, qint32> modes = inst.loopModes(serverId);
        const bool all = std::all_of(modes.cbegin(), modes.cend(), [](qint32 m) { return m == 1; });
        reply.payload = payloadOf(qint32(all ? 1 : 0), modes);
        return;
    }
    case 61: {
        QString serverId;
        if (!readPayload(payload, serverId))
            return malformed();
        if (!serverId.isEmpty() && !inst.hasServer(serverId))
            return refuse(QStringLiteral("unknown server \"%1\"").arg(serverId));
        reply.payload = payloadOf(inst.portStates(serverId), inst.allPortStates());
        return;
    }
    case 63: {
        QString serverId, clipId;
        if (!readPayload(payload, serverId, clipId))
            return malformed();
        const std::optional<trx::ClipInfo> clip = inst.clipInfo(serverId, clipId);
        if (!clip)
            return refuse(QStringLiteral("unknown clip \"%1\"").arg(clipId));
        reply.payload = payloadOf(*clip);
        return;
    }
    case 1001: {
        bool async = false;
        if (!readPayload(payload, async))
            return malformed();
        const QList<trx::ScheduleInfo> list = inst.schedules();
        reply.pushes.append({2001, payloadOf(list, qint64(list.size()))});
        // Name the master clock once the client has its ports and schedules.
        if (const std::optional<trx::MasterPortSync> master = inst.masterPort())
            reply.pushes.append({2006, payloadOf(*master, qint32(3))});
        return;
    }
    case 1002: {
        trx::ScheduleRequest request;
        if (!readPayload(payload, request))
            return malformed();
        if (!inst.addSchedules(request, &why))
            return refuse(why);
        return;
    }
    case 1003: {
        QString id;
        if (!readPayload(payload, id))
            return malformed();
        if (!inst.removeSchedule(id, &why))
            return refuse(why);
        return;
    }
    case 1004: {
        QString id;
        qint32 func = 0;
        if (!readPayload(payload, id, func))
            return malformed();
        if (!inst.executeSchedule(id, func, &why))
            return refuse(why);
        return;
    }
    case 1005: {
        trx::ScheduleInfo known;
        trx::ScheduleRequest values;
        qint32 flags = 0;
        if (!readPayload(payload, known, values, flags))
            return malformed();
        if (!inst.updateSchedule(known, values, flags, &why))
            return refuse(why);
        return;
    }
    case 1006: {
        QString mgwId, driveId, parentId;
        if (!readPayload(payload, mgwId, driveId, parentId))
            return malformed();
        const auto folders = inst.folders(mgwId, driveId, parentId);
        reply.pushes.append({2005, payloadOf(mgwId, driveId, folders.value_or(QList<trx::MgwFolderInfo>()))});
        if (!folders)
            refuse(QStringLiteral("unknown drive \"%1\" of gateway \"%2\"").arg(driveId, mgwId));
        return;
    }
    case 1007: {
        QString serverId;
        qint32 port = 0;
        QDate date;
        qint32 mode = 0;
        if (!readPayload(payload, serverId, port, date, mode))
            return malformed();
        inst.syncScheduleTime(serverId, port, date, mode);
        return;
    }
    default:
        return refuse(QStringLiteral("unknown command"));
    }
}
