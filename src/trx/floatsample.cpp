#include "trx/floatsample.h"

namespace trx {

bool operator==(const FloatSample &a, const FloatSample &b)
{
    return a.int1 == b.int1 && a.float2 == b.float2 && a.float3 == b.float3 && a.float4 == b.float4 &&
           a.flag5 == b.flag5 && a.flag6 == b.flag6 && a.float7 == b.float7 && a.float8 == b.float8 &&
           a.float9 == b.float9;
}

bool operator!=(const FloatSample &a, const FloatSample &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const FloatSample &v)
{
    s << v.int1;
    writeFloat(s, v.float2);
    writeFloat(s, v.float3);
    writeFloat(s, v.float4);
    s << v.flag5 << v.flag6;
    writeFloat(s, v.float7);
    writeFloat(s, v.float8);
    writeFloat(s, v.float9);
    return s;
}

QDataStream &operator>>(QDataStream &s, FloatSample &v)
{
    s >> v.int1;
    v.float2 = readFloat(s);
    v.float3 = readFloat(s);
    v.float4 = readFloat(s);
    s >> v.flag5 >> v.flag6;
    v.float7 = readFloat(s);
    v.float8 = readFloat(s);
    v.float9 = readFloat(s);
    return s;
}

} // namespace trx
