#include "trx/streamio.h"

#include "platform/idbg.h"

#include <QIODevice>

#include <limits>

namespace trx {

qint64 bytesLeft(const QDataStream &s)
{
    const QIODevice *dev = s.device();
    return dev ? dev->bytesAvailable() : 0;
}

bool readBoundedCount(QDataStream &s, quint32 &count, qint64 minElementBytes)
{
    count = 0;
    quint32 n = 0;
    s >> n;
    if (s.status() != QDataStream::Ok)
        return false;
    const qint64 left = bytesLeft(s);
    if (qint64(n) * qMax<qint64>(minElementBytes, 1) <= left) {
        count = n;
        return true;
    }
    idbg_api("[%04x] ERROR <TRXMClient> Corrupt payload: %u elements announced, %lld bytes left\n", logTid(),
             n, static_cast<long long>(left));
    if (QIODevice *dev = s.device()) {
        if (dev->isSequential())
            dev->readAll();
        else
            dev->seek(dev->size());
    }
    s.setStatus(QDataStream::ReadCorruptData);
    return false;
}

float readFloat(QDataStream &s)
{
    const QDataStream::FloatingPointPrecision precision = s.floatingPointPrecision();
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    double d = 0;
    s >> d;
    s.setFloatingPointPrecision(precision);
    // Out-of-range values from the wire saturate instead of converting with undefined results.
    if (d > double(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (d < -double(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return float(d);
}

void writeFloat(QDataStream &s, float value)
{
    const QDataStream::FloatingPointPrecision precision = s.floatingPointPrecision();
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    s << double(value);
    s.setFloatingPointPrecision(precision);
}

} // namespace trx
