#include "trx/schedulerequest.h"

namespace trx {

bool operator==(const ScheduleRequest &a, const ScheduleRequest &b)
{
    return a.masterMgwId == b.masterMgwId && a.masterDriveId == b.masterDriveId &&
           a.masterFolderId == b.masterFolderId && a.proxyMgwId == b.proxyMgwId &&
           a.proxyDriveId == b.proxyDriveId && a.proxyFolderId == b.proxyFolderId && a.name == b.name &&
           a.startDate == b.startDate && a.endDate == b.endDate && a.startTc == b.startTc &&
           a.endTc == b.endTc && a.withProxy == b.withProxy && a.type == b.type && a.ports == b.ports &&
           a.proxyPorts == b.proxyPorts;
}

bool operator!=(const ScheduleRequest &a, const ScheduleRequest &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ScheduleRequest &v)
{
    s << v.masterMgwId << v.masterDriveId << v.masterFolderId;
    s << v.proxyMgwId << v.proxyDriveId << v.proxyFolderId << v.name;
    s << v.startDate << v.startTc << v.endDate << v.endTc << v.withProxy << v.type;
    s << v.ports;
    writeValue(s, v.proxyPorts);
    return s;
}

QDataStream &operator>>(QDataStream &s, ScheduleRequest &v)
{
    s >> v.masterMgwId >> v.masterDriveId >> v.masterFolderId;
    s >> v.proxyMgwId >> v.proxyDriveId >> v.proxyFolderId >> v.name;
    s >> v.startDate >> v.startTc >> v.endDate >> v.endTc >> v.withProxy >> v.type;
    readValue(s, v.ports);
    readValue(s, v.proxyPorts);
    return s;
}

} // namespace trx
