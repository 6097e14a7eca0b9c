#include "trx/masterportsync.h"

namespace trx {

bool operator==(const MasterPortSync &a, const MasterPortSync &b)
{
    return a.serverId == b.serverId && a.portNo == b.portNo && a.date == b.date;
}

bool operator!=(const MasterPortSync &a, const MasterPortSync &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const MasterPortSync &v)
{
    return s << v.serverId << v.portNo << v.date;
}

QDataStream &operator>>(QDataStream &s, MasterPortSync &v)
{
    return s >> v.serverId >> v.portNo >> v.date;
}

} // namespace trx
