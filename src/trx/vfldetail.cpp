#include "trx/vfldetail.h"

#include <tuple>

namespace trx {

bool operator==(const VflEntry &a, const VflEntry &b)
{
    return a.int1 == b.int1 && a.long2 == b.long2;
}

QDataStream &operator<<(QDataStream &s, const VflEntry &v)
{
    return s << v.int1 << v.long2;
}

QDataStream &operator>>(QDataStream &s, VflEntry &v)
{
    return s >> v.int1 >> v.long2;
}

namespace {

auto fields(const VflDetail &v)
{
    return std::tie(v.text1, v.text2, v.text3, v.int5, v.int4, v.int7, v.int6, v.int8, v.int9, v.int10,
                    v.int11, v.int12, v.int13, v.int14, v.int15, v.int16, v.entries17, v.flag18);
}

} // namespace

bool operator==(const VflDetail &a, const VflDetail &b)
{
    return fields(a) == fields(b);
}

bool operator!=(const VflDetail &a, const VflDetail &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const VflDetail &v)
{
    s << v.text1 << v.text2 << v.text3 << v.int4 << v.int5 << v.int6 << v.int7 << v.int8;
    s << v.int9 << v.int10 << v.int11 << v.int12 << v.int13 << v.int14 << v.int15 << v.int16;
    return s << v.entries17 << v.flag18;
}

QDataStream &operator>>(QDataStream &s, VflDetail &v)
{
    s >> v.text1 >> v.text2 >> v.text3 >> v.int4 >> v.int5 >> v.int6 >> v.int7 >> v.int8;
    s >> v.int9 >> v.int10 >> v.int11 >> v.int12 >> v.int13 >> v.int14 >> v.int15 >> v.int16;
    readValue(s, v.entries17);
    return s >> v.flag18;
}

} // namespace trx
