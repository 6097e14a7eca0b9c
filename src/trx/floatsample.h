#pragma once

#include "trx/streamio.h"

#include <QMetaType>

namespace trx {

// Element of pushes 124 and 125; carried only. The floats travel as 8-byte doubles.
struct FloatSample
{
    qint32 int1 = 0;
    float float2 = 0;
    float float3 = 0;
    float float4 = 0;
    bool flag5 = false;
    bool flag6 = false;
    float float7 = 0;
    float float8 = 0;
    float float9 = 0;
};

bool operator==(const FloatSample &a, const FloatSample &b);
bool operator!=(const FloatSample &a, const FloatSample &b);

QDataStream &operator<<(QDataStream &s, const FloatSample &v);
QDataStream &operator>>(QDataStream &s, FloatSample &v);

template<> struct WireMin<FloatSample>
{
    static constexpr qint64 bytes = 4 + 6 * 8 + 2;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::FloatSample)
