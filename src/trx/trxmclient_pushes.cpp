#include "trx/trxmclient.h"

#include "trx/pngstream.h"
#include "trx/records.h"
#include "trx/trxmclientdelegate.h"

#include <QDataStream>
#include <QIODevice>

namespace trx {

// Each decoder reads its values in payload order and calls the delegate whatever the stream's
// status: a short payload, or one whose container count was refused, leaves the remaining values
// at their defaults. Containers go through the bounded readers.
namespace {

template<typename... T> void readAll(QDataStream &s, T &...values)
{
    (readValue(s, values), ...);
}

} // namespace

void TRXMClient::decodePush101(QDataStream &s)
{
    QString serverId;
    QVector<ClipInfo> clips;
    readAll(s, serverId, clips);
    if (TRXMClientDelegate *d = delegate())
        d->clipsReceived(serverId, clips);
}

void TRXMClient::decodePush102(QDataStream &s)
{
    QString serverId;
    ClipInfo clip;
    qint32 value = 0;
    readAll(s, serverId, clip, value);
    if (TRXMClientDelegate *d = delegate())
        d->clipChanged(serverId, clip, value);
}

void TRXMClient::decodePush103(QDataStream &s)
{
    QString serverId;
    QVector<RecordTrainInfo> trains;
    readAll(s, serverId, trains);
    if (TRXMClientDelegate *d = delegate())
        d->recordTrainsReceived(serverId, trains);
}

void TRXMClient::decodePush104(QDataStream &s)
{
    QString serverId;
    RecordTrainInfo train;
    readAll(s, serverId, train);
    if (TRXMClientDelegate *d = delegate())
        d->recordTrainChanged(serverId, train);
}

void TRXMClient::decodePush105(QDataStream &s)
{
    ClipInfo clip;
    qint32 value = 0;
    QString text;
    readAll(s, clip, value, text);
    if (TRXMClientDelegate *d = delegate())
        d->onPush105(clip, value, text);
}

void TRXMClient::decodePush106(QDataStream &s)
{
    QString text1;
    qint32 int2 = 0;
    QString text3;
    QString text4;
    ClipInfo clip;
    qint32 int6 = 0;
    QString text7;
    readAll(s, text1, int2, text3, text4, clip, int6, text7);
    if (TRXMClientDelegate *d = delegate())
        d->onPush106(text1, int2, text3, text4, clip, int6, text7);
}

void TRXMClient::decodePush107(QDataStream &s)
{
    QPair<QString, QString> serverAndClip;
    readAll(s, serverAndClip.first, serverAndClip.second);
    if (TRXMClientDelegate *d = delegate())
        d->clipRemoved(serverAndClip);
}

void TRXMClient::decodePush108(QDataStream &s)
{
    QString text;
    readAll(s, text);
    if (TRXMClientDelegate *d = delegate())
        d->onPush108(text);
}

void TRXMClient::decodePush109(QDataStream &s)
{
    qint32 kind = 0;
    QString value;
    QString serverId;
    readAll(s, kind, value, serverId);
    if (TRXMClientDelegate *d = delegate())
        d->remainTimeChanged(serverId, kind, value);
}

void TRXMClient::decodePush110(QDataStream &s)
{
    bool flag = false;
    readAll(s, flag);
    if (TRXMClientDelegate *d = delegate())
        d->onPush110(flag);
}

void TRXMClient::decodePush111(QDataStream &s)
{
    QString text;
    bool flag = false;
    QMap<qint32, bool> flags;
    readAll(s, text, flag, flags);
    if (TRXMClientDelegate *d = delegate())
        d->onPush111(text, flag, flags);
}

void TRXMClient::decodePush112(QDataStream &s)
{
    QMap<qint32, PortState> states;
    QString serverId;
    readAll(s, states, serverId);
    if (TRXMClientDelegate *d = delegate())
        d->portStatesChanged(serverId, states);
}

void TRXMClient::decodePush113(QDataStream &s)
{
    qint32 int1 = 0;
    qint32 int2 = 0;
    QString text3;
    QString text4;
    bool flag5 = false;
    QString text6;
    QByteArray bytes7;
    qint32 int8 = 0;
    readAll(s, int1, int2, text3, text4, flag5, text6, bytes7, int8);
    if (TRXMClientDelegate *d = delegate())
        d->onPush113(int1, int2, text3, text4, flag5, text6, bytes7, int8);
}

void TRXMClient::decodePush114(QDataStream &s)
{
    QString text1;
    QString text2;
    qint32 value = 0;
    readAll(s, text1, text2, value);
    // Nothing shows this image: its PNG bytes are passed on undecoded.
    QByteArray imageData;
    readPngStream(s, imageData);
    if (TRXMClientDelegate *d = delegate())
        d->onPush114(text1, text2, value, imageData);
}

void TRXMClient::decodePush115(QDataStream &s)
{
    bool flag = false;
    readAll(s, flag);
    if (TRXMClientDelegate *d = delegate())
        d->onPush115(flag);
}

void TRXMClient::decodePush117(QDataStream &s)
{
    Q_UNUSED(s)
    if (TRXMClientDelegate *d = delegate())
        d->onPush117();
}

void TRXMClient::decodePush118(QDataStream &s)
{
    ServerInfo server;
    readAll(s, server);
    if (TRXMClientDelegate *d = delegate())
        d->serverInfoChanged(server);
}

void TRXMClient::decodePush119(QDataStream &s)
{
    QMap<QString, ServerIntBlock> blocks;
    readAll(s, blocks);
    if (TRXMClientDelegate *d = delegate())
        d->onPush119(blocks);
}

void TRXMClient::decodePush120(QDataStream &s)
{
    QString text1;
    QString text2;
    bool flag = false;
    qint32 value = 0;
    readAll(s, text1, text2, flag, value);
    if (TRXMClientDelegate *d = delegate())
        d->onPush120(text1, text2, flag, value);
}

void TRXMClient::decodePush121(QDataStream &s)
{
    QString text;
    VflObject object;
    qint32 value = 0;
    readAll(s, text, object, value);
    if (TRXMClientDelegate *d = delegate())
        d->onPush121(text, object, value);
}

void TRXMClient::decodePush122(QDataStream &s)
{
    QString text1;
    QString text2;
    readAll(s, text1, text2);
    if (TRXMClientDelegate *d = delegate())
        d->onPush122(text1, text2);
}

void TRXMClient::decodePush123(QDataStream &s)
{
    QString text;
    QList<VflObject> objects;
    readAll(s, text, objects);
    if (TRXMClientDelegate *d = delegate())
        d->onPush123(text, objects);
}

void TRXMClient::decodePush124(QDataStream &s)
{
    QString text;
    QMap<QString, QList<FloatSample>> samples;
    readAll(s, text, samples);
    if (TRXMClientDelegate *d = delegate())
        d->onPush124(text, samples);
}

void TRXMClient::decodePush125(QDataStream &s)
{
    QString text1;
    QString text2;
    QList<FloatSample> samples;
    readAll(s, text1, text2, samples);
    if (TRXMClientDelegate *d = delegate())
        d->onPush125(text1, text2, samples);
}

void TRXMClient::decodePush126(QDataStream &s)
{
    QString text1;
    QString text2;
    qint32 value = 0;
    readAll(s, text1, text2, value);
    if (TRXMClientDelegate *d = delegate())
        d->onPush126(text1, text2, value);
}

void TRXMClient::decodePush127(QDataStream &s)
{
    QString text1;
    QString text2;
    qint32 value = 0;
    readAll(s, text1, text2, value);
    if (TRXMClientDelegate *d = delegate())
        d->onPush127(text1, text2, value);
}

void TRXMClient::decodePush128(QDataStream &s)
{
    QVector<ServerInfo> servers;
    readAll(s, servers);
    if (TRXMClientDelegate *d = delegate())
        d->serversReceived(servers);
}

void TRXMClient::decodePush129(QDataStream &s)
{
    QList<MgwInfo> mgws;
    readAll(s, mgws);
    if (TRXMClientDelegate *d = delegate())
        d->mgwsChanged(mgws);
}

void TRXMClient::decodePush130(QDataStream &s)
{
    QString text1;
    QString text2;
    QString text3;
    QString text4;
    QString text5;
    QString text6;
    QList<QString> texts;
    readAll(s, text1, text2, text3, text4, text5, text6, texts);
    if (TRXMClientDelegate *d = delegate())
        d->onPush130(text1, text2, text3, text4, text5, text6, texts);
}

void TRXMClient::decodePush131(QDataStream &s)
{
    qint32 int1 = 0;
    qint32 int2 = 0;
    readAll(s, int1, int2);
    if (TRXMClientDelegate *d = delegate())
        d->onPush131(int1, int2);
}

void TRXMClient::decodePush133(QDataStream &s)
{
    Push133Info info;
    readAll(s, info);
    if (TRXMClientDelegate *d = delegate())
        d->onPush133(info);
}

void TRXMClient::decodePush134(QDataStream &s)
{
    qint32 int1 = 0;
    qint32 int2 = 0;
    bool flag3 = false;
    qint32 int4 = 0;
    qint32 int5 = 0;
    readAll(s, int1, int2, flag3, int4, int5);
    if (TRXMClientDelegate *d = delegate())
        d->onPush134(int1, int2, flag3, int4, int5);
}

void TRXMClient::decodePush2001(QDataStream &s)
{
    QList<ScheduleInfo> schedules;
    qint64 value = 0;
    readAll(s, schedules, value);
    if (TRXMClientDelegate *d = delegate())
        d->schedulesReceived(schedules, value);
}

void TRXMClient::decodePush2002(QDataStream &s)
{
    ScheduleInfo schedule;
    readAll(s, schedule);
    if (TRXMClientDelegate *d = delegate())
        d->scheduleAdded(schedule);
}

void TRXMClient::decodePush2003(QDataStream &s)
{
    ScheduleInfo schedule;
    qint32 value = 0;
    readAll(s, schedule, value);
    if (TRXMClientDelegate *d = delegate())
        d->scheduleChanged(schedule, value);
}

void TRXMClient::decodePush2004(QDataStream &s)
{
    QString scheduleId;
    readAll(s, scheduleId);
    if (TRXMClientDelegate *d = delegate())
        d->scheduleRemoved(scheduleId);
}

void TRXMClient::decodePush2005(QDataStream &s)
{
    QString mgwId;
    QString driveId;
    QList<MgwFolderInfo> folders;
    readAll(s, mgwId, driveId, folders);
    if (TRXMClientDelegate *d = delegate())
        d->mgwFoldersReceived(mgwId, driveId, folders);
}

void TRXMClient::decodePush2006(QDataStream &s)
{
    MasterPortSync sync;
    qint32 flags = 0;
    readAll(s, sync, flags);
    if (TRXMClientDelegate *d = delegate())
        d->masterPortSynced(sync, flags);
}

void TRXMClient::decodePush2007(QDataStream &s)
{
    QString text1;
    qint32 value = 0;
    QString text3;
    readAll(s, text1, value, text3);
    if (TRXMClientDelegate *d = delegate())
        d->onPush2007(text1, value, text3);
}

void TRXMClient::decodePush2008(QDataStream &s)
{
    qint32 value = 0;
    bool flag = false;
    readAll(s, value, flag);
    if (TRXMClientDelegate *d = delegate())
        d->onPush2008(value, flag);
}

void TRXMClient::decodePush2009(QDataStream &s)
{
    QString text1;
    qint32 int2 = 0;
    qint32 int3 = 0;
    QString text4;
    qint32 int5 = 0;
    QString text6;
    readAll(s, text1, int2, int3, text4, int5, text6);
    if (TRXMClientDelegate *d = delegate())
        d->onPush2009(text1, int2, int3, text4, int5, text6);
}

void TRXMClient::decodePush2999(QDataStream &s)
{
    QByteArray bytes;
    readAll(s, bytes);
    if (TRXMClientDelegate *d = delegate())
        d->onPush2999(bytes);
}

} // namespace trx

namespace trx {

bool TRXMClient::dispatchBodyForTesting(const QByteArray &body)
{
    return dispatchBody(body);
}

} // namespace trx
