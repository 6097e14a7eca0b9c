#include "trx/trxmclient.h"

#include "trx/pngstream.h"
#include "trx/records.h"
#include "trx/trxmclientdelegate.h"

#include <QDataStream>

#include <tuple>
#include <type_traits>

namespace trx {

// A decoder reads its values in payload order and calls the delegate whatever the stream's
// status: a short payload, or one whose container count was refused, leaves the remaining values
// at their defaults. Containers go through the bounded readers.
template<typename... Args>
void TRXMClient::registerPush(PushType type, void (TRXMClientDelegate::*operation)(Args...))
{
    registerPushHandler(code(type), [this, operation](QDataStream &s) {
        std::tuple<std::remove_cv_t<std::remove_reference_t<Args>>...> values;
        std::apply([&s](auto &...v) { readValues(s, v...); }, values);
        if (TRXMClientDelegate *d = delegate())
            std::apply([d, operation](const auto &...v) { (d->*operation)(v...); }, values);
    });
}

void TRXMClient::decodeClipRemoved(QDataStream &s)
{
    QPair<QString, QString> serverAndClip;
    readValues(s, serverAndClip.first, serverAndClip.second);
    if (TRXMClientDelegate *d = delegate())
        d->clipRemoved(serverAndClip);
}

void TRXMClient::decodeRemainTime(QDataStream &s)
{
    qint32 kind = 0;
    QString value;
    QString serverId;
    readValues(s, kind, value, serverId);
    if (TRXMClientDelegate *d = delegate())
        d->remainTimeChanged(serverId, kind, value);
}

void TRXMClient::decodePortStates(QDataStream &s)
{
    QMap<qint32, PortState> states;
    QString serverId;
    readValues(s, states, serverId);
    if (TRXMClientDelegate *d = delegate())
        d->portStatesChanged(serverId, states);
}

void TRXMClient::decodePush114(QDataStream &s)
{
    QString text1;
    QString text2;
    qint32 value = 0;
    readValues(s, text1, text2, value);
    // Nothing shows this image: its PNG bytes are passed on undecoded.
    QByteArray imageData;
    readPngStream(s, imageData);
    if (TRXMClientDelegate *d = delegate())
        d->onPush114(text1, text2, value, imageData);
}

// The push table: type -> delegate operation. Types without an entry (116 and 132 among them)
// are logged as unknown by the receive path.
void TRXMClient::registerPushHandlers()
{
    registerRecordMetaTypes();
    using D = TRXMClientDelegate;
    using P = PushType;
    registerPush(P::Clips, &D::clipsReceived);
    registerPush(P::ClipChanged, &D::clipChanged);
    registerPush(P::RecordTrains, &D::recordTrainsReceived);
    registerPush(P::RecordTrainChanged, &D::recordTrainChanged);
    registerPush(P::Push105, &D::onPush105);
    registerPush(P::Push106, &D::onPush106);
    // Server id and clip id, handed over as one pair.
    registerPushHandler(code(P::ClipRemoved), &TRXMClient::decodeClipRemoved);
    registerPush(P::Push108, &D::onPush108);
    // Kind, value, server id on the wire; the operation takes the server id first.
    registerPushHandler(code(P::RemainTime), &TRXMClient::decodeRemainTime);
    registerPush(P::Push110, &D::onPush110);
    registerPush(P::Push111, &D::onPush111);
    // The map comes first on the wire, the server id first in the operation.
    registerPushHandler(code(P::PortStates), &TRXMClient::decodePortStates);
    registerPush(P::Push113, &D::onPush113);
    // An image in its stream form.
    registerPushHandler(code(P::Push114), &TRXMClient::decodePush114);
    registerPush(P::Push115, &D::onPush115);
    // No arguments: the payload is not read.
    registerPush(P::Push117, &D::onPush117);
    registerPush(P::ServerInfoChanged, &D::serverInfoChanged);
    registerPush(P::Push119, &D::onPush119);
    registerPush(P::Push120, &D::onPush120);
    registerPush(P::Push121, &D::onPush121);
    registerPush(P::Push122, &D::onPush122);
    registerPush(P::Push123, &D::onPush123);
    registerPush(P::Push124, &D::onPush124);
    registerPush(P::Push125, &D::onPush125);
    registerPush(P::Push126, &D::onPush126);
    registerPush(P::Push127, &D::onPush127);
    registerPush(P::Servers, &D::serversReceived);
    registerPush(P::Mgws, &D::mgwsChanged);
    registerPush(P::Push130, &D::onPush130);
    registerPush(P::Push131, &D::onPush131);
    registerPush(P::Push133, &D::onPush133);
    registerPush(P::Push134, &D::onPush134);
    registerPush(P::Schedules, &D::schedulesReceived);
    registerPush(P::ScheduleAdded, &D::scheduleAdded);
    registerPush(P::ScheduleChanged, &D::scheduleChanged);
    registerPush(P::ScheduleRemoved, &D::scheduleRemoved);
    registerPush(P::MgwFolders, &D::mgwFoldersReceived);
    registerPush(P::MasterPortSynced, &D::masterPortSynced);
    registerPush(P::Push2007, &D::onPush2007);
    registerPush(P::Push2008, &D::onPush2008);
    registerPush(P::Push2009, &D::onPush2009);
    registerPush(P::Push2999, &D::onPush2999);
}

bool TRXMClient::dispatchBodyForTesting(const QByteArray &body)
{
    return dispatchBody(body);
}

} // namespace trx
