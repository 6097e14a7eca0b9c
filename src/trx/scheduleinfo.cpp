#include "trx/scheduleinfo.h"

namespace trx {

ScheduleStatus scheduleStatusOf(qint32 code)
{
    switch (code) {
    case -5:
        return ScheduleStatus::Cancelling;
    case -4:
        return ScheduleStatus::Cancelled;
    case -3:
        return ScheduleStatus::TransferError;
    case -2:
        return ScheduleStatus::RecError;
    case -1:
        return ScheduleStatus::UnknownError;
    case 0:
        return ScheduleStatus::None;
    case 1:
        return ScheduleStatus::Scheduled;
    case 2:
    case 3:
    case 4:
    case 5:
        return ScheduleStatus::Waiting;
    case 6:
        return ScheduleStatus::InProgress;
    case 7:
    case 8:
        return ScheduleStatus::Completed;
    default:
        return ScheduleStatus::Other;
    }
}

bool mayStillTransfer(ScheduleStatus status)
{
    return status != ScheduleStatus::Completed && status != ScheduleStatus::RecError &&
           status != ScheduleStatus::TransferError;
}

bool isRunning(ScheduleStatus status)
{
    return status == ScheduleStatus::Waiting || status == ScheduleStatus::InProgress;
}

bool countsForRemainTime(ScheduleStatus status)
{
    return status == ScheduleStatus::None || blocksPortWhileOpen(status);
}

bool blocksPortWhileOpen(ScheduleStatus status)
{
    return status == ScheduleStatus::Scheduled || isRunning(status);
}

ScheduleInfo::~ScheduleInfo() = default;

bool operator==(const ScheduleInfo &a, const ScheduleInfo &b)
{
    return a.id == b.id && a.mainScheduleId == b.mainScheduleId && a.serverId == b.serverId &&
           a.name == b.name && a.withProxy == b.withProxy && a.startDate == b.startDate &&
           a.endDate == b.endDate && a.startTc == b.startTc && a.endTc == b.endTc && a.portNo == b.portNo &&
           a.type == b.type && a.master == b.master && a.proxy == b.proxy;
}

bool operator!=(const ScheduleInfo &a, const ScheduleInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ScheduleInfo &v)
{
    s << v.id << v.mainScheduleId << v.serverId << v.name << v.withProxy;
    s << v.startDate << v.startTc << v.endDate << v.endTc << v.portNo << v.type;
    return s << v.master << v.proxy;
}

QDataStream &operator>>(QDataStream &s, ScheduleInfo &v)
{
    s >> v.id >> v.mainScheduleId;
    readRepeatedText(s, v.serverId);
    s >> v.name >> v.withProxy;
    s >> v.startDate >> v.startTc >> v.endDate >> v.endTc >> v.portNo >> v.type;
    return s >> v.master >> v.proxy;
}

} // namespace trx
