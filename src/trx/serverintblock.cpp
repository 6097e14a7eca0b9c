#include "trx/serverintblock.h"

namespace trx {

bool operator==(const ServerIntBlock &a, const ServerIntBlock &b)
{
    return a.values == b.values;
}

bool operator!=(const ServerIntBlock &a, const ServerIntBlock &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ServerIntBlock &v)
{
    for (qint32 x : v.values)
        s << x;
    return s;
}

QDataStream &operator>>(QDataStream &s, ServerIntBlock &v)
{
    for (qint32 &x : v.values)
        s >> x;
    return s;
}

} // namespace trx
