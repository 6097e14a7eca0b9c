#include "trx/serversettings.h"

#include <tuple>

namespace trx {

namespace {

auto fields(const ServerSettings &v)
{
    return std::tie(v.int1, v.int2, v.int3, v.int5, v.int4, v.int6, v.int7, v.int9, v.int8, v.int10, v.int11,
                    v.systemFrequency, v.int13, v.ints14, v.byte15, v.flag16, v.flag18, v.flag17, v.flag19,
                    v.flag20, v.map21, v.cameraTrains, v.int23, v.int24);
}

} // namespace

bool operator==(const ServerSettings &a, const ServerSettings &b)
{
    return fields(a) == fields(b);
}

bool operator!=(const ServerSettings &a, const ServerSettings &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const ServerSettings &v)
{
    s << v.int1 << v.int2 << v.int3 << v.int4 << v.int5 << v.int6 << v.int7 << v.int8 << v.int9;
    s << v.int10 << v.int11 << v.systemFrequency << v.int13 << v.ints14 << v.byte15;
    s << v.flag16 << v.flag17 << v.flag18 << v.flag19 << v.flag20;
    writeValue(s, v.map21);
    writeValue(s, v.cameraTrains);
    return s << v.int23 << v.int24;
}

QDataStream &operator>>(QDataStream &s, ServerSettings &v)
{
    s >> v.int1 >> v.int2 >> v.int3 >> v.int4 >> v.int5 >> v.int6 >> v.int7 >> v.int8 >> v.int9;
    s >> v.int10 >> v.int11 >> v.systemFrequency >> v.int13;
    readValue(s, v.ints14);
    s >> v.byte15 >> v.flag16 >> v.flag17 >> v.flag18 >> v.flag19 >> v.flag20;
    readValue(s, v.map21);
    readValue(s, v.cameraTrains);
    return s >> v.int23 >> v.int24;
}

} // namespace trx
