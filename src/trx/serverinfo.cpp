#include "trx/serverinfo.h"

namespace trx {

bool operator==(const ServerInfo &a, const ServerInfo &b)
{
    return a.id == b.id;
}

bool operator!=(const ServerInfo &a, const ServerInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ServerInfo &v)
{
    s << v.id << v.name << v.text3 << v.text4 << v.text5 << v.flag6 << v.connected;
    s << v.text8 << v.text9 << v.text10 << v.int11 << v.int12 << v.block13;
    s << v.flag14 << v.flag15 << v.byte16 << v.text17;
    s << v.ints18 << v.ints19 << v.ints20;
    writeValue(s, v.map21);
    return s;
}

QDataStream &operator>>(QDataStream &s, ServerInfo &v)
{
    s >> v.id >> v.name >> v.text3 >> v.text4 >> v.text5 >> v.flag6 >> v.connected;
    s >> v.text8 >> v.text9 >> v.text10 >> v.int11 >> v.int12 >> v.block13;
    s >> v.flag14 >> v.flag15 >> v.byte16 >> v.text17;
    readValue(s, v.ints18);
    readValue(s, v.ints19);
    readValue(s, v.ints20);
    readValue(s, v.map21);
    return s;
}

} // namespace trx
