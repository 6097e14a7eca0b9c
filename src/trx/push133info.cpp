#include "trx/push133info.h"

#include "trx/streamio.h"

namespace trx {

bool operator==(const Push133Info &a, const Push133Info &b)
{
    return a.text1 == b.text1 && a.text2 == b.text2 && a.text3 == b.text3 && a.text4 == b.text4 &&
           a.text5 == b.text5 && a.int6 == b.int6 && a.time7 == b.time7 && a.time8 == b.time8 &&
           a.time9 == b.time9 && a.text10 == b.text10;
}

bool operator!=(const Push133Info &a, const Push133Info &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const Push133Info &v)
{
    s << v.text1 << v.text2 << v.text3 << v.text4 << v.text5 << v.int6;
    return s << v.time7 << v.time8 << v.time9 << v.text10;
}

QDataStream &operator>>(QDataStream &s, Push133Info &v)
{
    s >> v.text1 >> v.text2 >> v.text3 >> v.text4 >> v.text5 >> v.int6;
    v.time7 = readWireDateTime(s);
    v.time8 = readWireDateTime(s);
    v.time9 = readWireDateTime(s);
    return s >> v.text10;
}

} // namespace trx
