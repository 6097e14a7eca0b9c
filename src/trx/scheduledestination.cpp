#include "trx/scheduledestination.h"

namespace trx {

bool operator==(const ScheduleDestination &a, const ScheduleDestination &b)
{
    return a.clipId == b.clipId && a.clipRef == b.clipRef && a.text3 == b.text3 && a.text4 == b.text4 &&
           a.text5 == b.text5 && a.text6 == b.text6 && a.text10 == b.text10 && a.progress == b.progress &&
           a.status == b.status && a.flag9 == b.flag9;
}

bool operator!=(const ScheduleDestination &a, const ScheduleDestination &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ScheduleDestination &v)
{
    s << v.clipId << v.clipRef << v.text3 << v.text4 << v.text5 << v.text6;
    return s << v.progress << v.status << v.flag9 << v.text10;
}

QDataStream &operator>>(QDataStream &s, ScheduleDestination &v)
{
    s >> v.clipId >> v.clipRef;
    for (QString *text : {&v.text3, &v.text4, &v.text5, &v.text6})
        readRepeatedText(s, *text);
    s >> v.progress >> v.status >> v.flag9;
    readRepeatedText(s, v.text10);
    return s;
}

} // namespace trx
