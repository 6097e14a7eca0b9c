#include "trx/serverport.h"

namespace trx {

bool operator==(const ServerPort &a, const ServerPort &b)
{
    return a.portNo == b.portNo && a.serverId == b.serverId;
}

bool operator!=(const ServerPort &a, const ServerPort &b)
{
    return !(a == b);
}

bool operator<(const ServerPort &a, const ServerPort &b)
{
    if (a.serverId != b.serverId)
        return a.serverId < b.serverId;
    return a.portNo < b.portNo;
}

uint qHash(const ServerPort &key, uint seed)
{
    return ::qHash(key.serverId, seed) ^ ::qHash(key.portNo, seed + 1);
}

QDataStream &operator<<(QDataStream &s, const ServerPort &v)
{
    return s << v.serverId << v.portNo;
}

QDataStream &operator>>(QDataStream &s, ServerPort &v)
{
    return s >> v.serverId >> v.portNo;
}

} // namespace trx
