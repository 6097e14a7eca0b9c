#include "trx/vflobject.h"

namespace trx {

VflObject::~VflObject() = default;

bool operator==(const VflObject &a, const VflObject &b)
{
    return a.details1 == b.details1 && a.text2 == b.text2 && a.text3 == b.text3 && a.detail4 == b.detail4 &&
           a.texts5 == b.texts5 && a.int6 == b.int6 && a.int7 == b.int7 && a.int8 == b.int8 &&
           a.int9 == b.int9;
}

bool operator!=(const VflObject &a, const VflObject &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const VflObject &v)
{
    s << v.details1 << v.text2 << v.text3 << v.detail4 << v.texts5;
    return s << v.int6 << v.int7 << v.int8 << v.int9;
}

QDataStream &operator>>(QDataStream &s, VflObject &v)
{
    readValue(s, v.details1);
    s >> v.text2 >> v.text3 >> v.detail4;
    readValue(s, v.texts5);
    return s >> v.int6 >> v.int7 >> v.int8 >> v.int9;
}

} // namespace trx
