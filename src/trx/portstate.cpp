#include "trx/portstate.h"

namespace trx {

bool operator==(const PortState &a, const PortState &b)
{
    return a.stateCode == b.stateCode && a.recordPosition == b.recordPosition && a.int3 == b.int3 &&
           a.currentTc == b.currentTc && a.int5 == b.int5 && a.tcTag == b.tcTag && a.int7 == b.int7 &&
           a.flag8 == b.flag8 && a.recording == b.recording && a.dropFrame == b.dropFrame &&
           a.systemFrequency == b.systemFrequency && a.int13 == b.int13 && a.int12 == b.int12 &&
           a.int14 == b.int14 && a.text15 == b.text15 && a.int16 == b.int16 && a.short17 == b.short17;
}

bool operator!=(const PortState &a, const PortState &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const PortState &v)
{
    s << v.stateCode << v.recordPosition << v.int3 << v.currentTc << v.int5 << v.tcTag << v.int7;
    s << v.flag8 << v.recording << v.dropFrame << v.systemFrequency;
    s << v.int12 << v.int13 << v.int14 << v.text15 << v.int16 << v.short17;
    return s;
}

QDataStream &operator>>(QDataStream &s, PortState &v)
{
    s >> v.stateCode >> v.recordPosition >> v.int3 >> v.currentTc >> v.int5 >> v.tcTag >> v.int7;
    s >> v.flag8 >> v.recording >> v.dropFrame >> v.systemFrequency;
    s >> v.int12 >> v.int13 >> v.int14 >> v.text15 >> v.int16 >> v.short17;
    return s;
}

} // namespace trx
