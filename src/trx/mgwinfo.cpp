#include "trx/mgwinfo.h"

namespace trx {

bool operator==(const MgwDrive &a, const MgwDrive &b)
{
    return a.id == b.id && a.name == b.name;
}

QDataStream &operator<<(QDataStream &s, const MgwDrive &v)
{
    return s << v.id << v.name;
}

QDataStream &operator>>(QDataStream &s, MgwDrive &v)
{
    return s >> v.id >> v.name;
}

bool operator==(const MgwInfo &a, const MgwInfo &b)
{
    return a.id == b.id && a.text2 == b.text2 && a.name == b.name && a.drives == b.drives;
}

bool operator!=(const MgwInfo &a, const MgwInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const MgwInfo &v)
{
    return s << v.id << v.text2 << v.name << v.drives;
}

QDataStream &operator>>(QDataStream &s, MgwInfo &v)
{
    s >> v.id >> v.text2 >> v.name;
    readValue(s, v.drives);
    return s;
}

} // namespace trx
