#include "trx/clipinfo.h"

namespace trx {

ClipInfo::~ClipInfo() = default;

bool operator==(const ClipInfo &a, const ClipInfo &b)
{
    return static_cast<const RecordTrainInfo &>(a) == static_cast<const RecordTrainInfo &>(b) &&
           a.text41 == b.text41 && a.text42 == b.text42 && a.flag43 == b.flag43 && a.int44 == b.int44 &&
           a.text45 == b.text45 && a.int46 == b.int46 && a.short47 == b.short47;
}

bool operator!=(const ClipInfo &a, const ClipInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ClipInfo &v)
{
    s << static_cast<const RecordTrainInfo &>(v);
    return s << v.text41 << v.text42 << v.flag43 << v.int44 << v.text45 << v.int46 << v.short47;
}

QDataStream &operator>>(QDataStream &s, ClipInfo &v)
{
    s >> static_cast<RecordTrainInfo &>(v);
    return s >> v.text41 >> v.text42 >> v.flag43 >> v.int44 >> v.text45 >> v.int46 >> v.short47;
}

} // namespace trx
