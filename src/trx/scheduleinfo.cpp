#include "trx/scheduleinfo.h"

namespace trx {

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
    s >> v.id >> v.mainScheduleId >> v.serverId >> v.name >> v.withProxy;
    s >> v.startDate >> v.startTc >> v.endDate >> v.endTc >> v.portNo >> v.type;
    return s >> v.master >> v.proxy;
}

} // namespace trx
