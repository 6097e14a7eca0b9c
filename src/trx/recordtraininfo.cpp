#include "trx/recordtraininfo.h"

#include <tuple>

namespace trx {

RecordTrainInfo::~RecordTrainInfo() = default;

namespace {

auto fields(const RecordTrainInfo &v)
{
    return std::tie(v.serverId, v.portNo, v.cameraNo, v.startTc, v.int5, v.int6, v.int7, v.outPoint, v.int9,
                    v.int10, v.int11, v.inPoint, v.int13, v.int14, v.int15, v.int16, v.systemFrequency,
                    v.rateCode, v.dropFrame, v.int20, v.int21, v.startDate, v.startTime, v.flag24, v.int25,
                    v.int26, v.int27, v.short28, v.short29, v.clipRef, v.bytes31, v.int32, v.trainNo,
                    v.stillRecording, v.bytes35, v.texts36, v.int37, v.int38, v.int39, v.text40);
}

} // namespace

bool operator==(const RecordTrainInfo &a, const RecordTrainInfo &b)
{
    return fields(a) == fields(b);
}

bool operator!=(const RecordTrainInfo &a, const RecordTrainInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const RecordTrainInfo &v)
{
    s << v.serverId << v.portNo << v.cameraNo << v.startTc << v.int5 << v.int6 << v.int7 << v.outPoint;
    s << v.int9 << v.int10 << v.int11 << v.inPoint << v.int13 << v.int14 << v.int15 << v.int16;
    s << v.systemFrequency << v.rateCode << v.dropFrame << v.int20 << v.int21 << v.startDate << v.startTime;
    s << v.flag24 << v.int25 << v.int26 << v.int27 << v.short28 << v.short29 << v.clipRef << v.bytes31;
    s << v.int32 << v.trainNo << v.stillRecording << v.bytes35 << v.texts36;
    s << v.int37 << v.int38 << v.int39 << v.text40;
    return s;
}

QDataStream &operator>>(QDataStream &s, RecordTrainInfo &v)
{
    s >> v.serverId >> v.portNo >> v.cameraNo >> v.startTc >> v.int5 >> v.int6 >> v.int7 >> v.outPoint;
    s >> v.int9 >> v.int10 >> v.int11 >> v.inPoint >> v.int13 >> v.int14 >> v.int15 >> v.int16;
    s >> v.systemFrequency >> v.rateCode >> v.dropFrame >> v.int20 >> v.int21 >> v.startDate >> v.startTime;
    s >> v.flag24 >> v.int25 >> v.int26 >> v.int27 >> v.short28 >> v.short29 >> v.clipRef >> v.bytes31;
    s >> v.int32 >> v.trainNo >> v.stillRecording >> v.bytes35;
    readValue(s, v.texts36);
    s >> v.int37 >> v.int38 >> v.int39 >> v.text40;
    return s;
}

} // namespace trx
