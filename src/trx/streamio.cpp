#include "trx/streamio.h"

#include "platform/idbg.h"

#include <QIODevice>
#include <QSet>

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

namespace {

// Consumes what follows the time-zone kind byte of a date-time's stream form and returns the
// offset it carries (zero unless the kind is an offset from UTC). A zone is consumed in its own
// stream form, its id or a marker followed by a fixed-offset zone, and never resolved.
qint32 readZoneTail(QDataStream &s, qint8 timeSpec)
{
    qint32 offset = 0;
    if (timeSpec == Qt::OffsetFromUTC) {
        s >> offset;
    } else if (timeSpec == Qt::TimeZone) {
        QString id;
        s >> id;
        if (id == QLatin1String("OffsetFromUtc")) {
            QString ianaId;
            qint32 zoneOffset = 0;
            QString name;
            QString abbreviation;
            qint32 country = 0;
            QString comment;
            s >> ianaId >> zoneOffset >> name >> abbreviation >> country >> comment;
        }
    }
    return offset;
}

} // namespace

QDateTime readWireDateTime(QDataStream &s)
{
    QDate date;
    QTime time;
    qint8 timeSpec = 0;
    s >> date >> time >> timeSpec;
    const qint32 offset = readZoneTail(s, timeSpec);
    switch (timeSpec) {
    case Qt::UTC:
        return QDateTime(date, time, Qt::UTC);
    case Qt::OffsetFromUTC:
        return QDateTime(date, time, Qt::OffsetFromUTC, offset);
    default:
        // A zone id is dropped: the value comes back as local time.
        return QDateTime(date, time, Qt::LocalTime);
    }
}

void skipWireDateTime(QDataStream &s)
{
    QDate date;
    QTime time;
    qint8 timeSpec = 0;
    s >> date >> time >> timeSpec;
    readZoneTail(s, timeSpec);
}

void readValue(QDataStream &s, QDateTime &value)
{
    value = readWireDateTime(s);
}

QString sharedText(const QString &text)
{
    constexpr int kMaxTexts = 16384;
    thread_local QSet<QString> texts;
    if (text.isEmpty())
        return text;
    const auto it = texts.constFind(text);
    if (it != texts.cend())
        return *it;
    if (texts.size() >= kMaxTexts)
        texts.clear();
    texts.insert(text);
    return text;
}

void readRepeatedText(QDataStream &s, QString &value)
{
    s >> value;
    value = sharedText(value);
}

} // namespace trx
