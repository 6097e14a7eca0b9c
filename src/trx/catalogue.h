#pragma once

// What both ends of the manager link agree on: packet kinds, command codes, push types, the
// client's identity and the payload helpers. The client, the simulator and the fuzz targets all
// take these from here; the wire-format tests keep their own hand-written bytes on purpose.

#include "trx/streamio.h"

#include <QByteArray>
#include <QChar>
#include <QDataStream>
#include <QDateTime>
#include <QString>

namespace trx {

// The kind field at the head of every frame body.
enum PacketKind : qint16 { KindRequest = 1, KindResponse = 2, KindPush = 3 };

enum class Command : int {
    Identify = 1,
    GetServers = 2,
    RegisterNotifications = 3,
    GetServerSettings = 5,
    GetRecordTrains = 7,
    StartRecord = 27,
    ArchiveClip = 43,
    GetMgws = 47,
    GetLoopRecMode = 52,
    GetPortStates = 61,
    GetClipInfo = 63,
    Heartbeat = 99,
    GetSchedules = 1001,
    AddSchedule = 1002,
    RemoveSchedule = 1003,
    ExecuteSchedule = 1004,
    UpdateSchedule = 1005,
    FetchMgwFolders = 1006,
    SyncScheduleTime = 1007,
};

// Named after the delegate operation each one reaches; the pushes nothing here relies on keep
// their number. 116 and 132 have no decoder.
enum class PushType : int {
    Clips = 101,
    ClipChanged = 102,
    RecordTrains = 103,
    RecordTrainChanged = 104,
    Push105 = 105,
    Push106 = 106,
    ClipRemoved = 107,
    Push108 = 108,
    RemainTime = 109,
    Push110 = 110,
    Push111 = 111,
    PortStates = 112,
    Push113 = 113,
    Push114 = 114,
    Push115 = 115,
    Push117 = 117,
    ServerInfoChanged = 118,
    Push119 = 119,
    Push120 = 120,
    Push121 = 121,
    Push122 = 122,
    Push123 = 123,
    Push124 = 124,
    Push125 = 125,
    Push126 = 126,
    Push127 = 127,
    Servers = 128,
    Mgws = 129,
    Push130 = 130,
    Push131 = 131,
    Push133 = 133,
    Push134 = 134,
    Schedules = 2001,
    ScheduleAdded = 2002,
    ScheduleChanged = 2003,
    ScheduleRemoved = 2004,
    MgwFolders = 2005,
    MasterPortSynced = 2006,
    Push2007 = 2007,
    Push2008 = 2008,
    Push2009 = 2009,
    Push2999 = 2999,
};

constexpr int code(Command c)
{
    return int(c);
}
constexpr int code(PushType t)
{
    return int(t);
}

// Who the client says it is in its identify request.
constexpr char ClientIdentity[] = "{5E0B7C3D-2A91-4F6E-8D14-9C7A3B260F58}";
constexpr qint32 ClientType = 3;
// Length of the leading string of U+0000 characters in the identify values.
constexpr int IdentifyPadChars = 128;

// Every port of a server, as the loop-mode request always asks.
constexpr qint32 AllPorts = 255;

// Sets the wire conventions (stream version 5.5, big-endian) on a payload stream.
inline void prepareWireStream(QDataStream &s)
{
    s.setVersion(QDataStream::Qt_5_5);
    s.setByteOrder(QDataStream::BigEndian);
}

// Reads the values in order, containers through the bounded readers. A short payload leaves the
// values after its end at their defaults; the caller decides whether that matters.
template<typename... T> void readValues(QDataStream &s, T &...values)
{
    (readValue(s, values), ...);
}

// Reads a whole payload (payloadOf, in streamio.h, writes one); true when every value was there
// and well-formed.
template<typename... T> bool readPayload(const QByteArray &payload, T &...values)
{
    QDataStream s(payload);
    prepareWireStream(s);
    readValues(s, values...);
    return s.status() == QDataStream::Ok;
}

// The identify values before compression: the pad, the identity, the client type and the time.
inline QByteArray identifyValues(const QDateTime &now)
{
    return payloadOf(QString(IdentifyPadChars, QChar(0)), QString::fromLatin1(ClientIdentity), ClientType,
                     now);
}

} // namespace trx
