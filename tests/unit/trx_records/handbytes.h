#pragma once

// Byte-level encoders for writing expected wire bytes by hand in tests: each spells out Qt's
// 5.5 stream form directly, so that a mistake in the records' own writers cannot hide.

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace hand {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

inline QByteArray i16(qint16 v)
{
    QByteArray b(2, '\0');
    qToBigEndian<qint16>(v, b.data());
    return b;
}

inline QByteArray i32(qint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian<qint32>(v, b.data());
    return b;
}

inline QByteArray u32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(v, b.data());
    return b;
}

inline QByteArray i64(qint64 v)
{
    QByteArray b(8, '\0');
    qToBigEndian<qint64>(v, b.data());
    return b;
}

inline QByteArray u8(quint8 v)
{
    return QByteArray(1, char(v));
}

inline QByteArray boolean(bool v)
{
    return QByteArray(1, v ? '\1' : '\0');
}

// A string of ASCII characters: byte length, then UTF-16 big-endian. nullptr is the null string.
inline QByteArray str(const char *ascii)
{
    if (!ascii)
        return hex("ffffffff");
    const int n = int(std::strlen(ascii));
    QByteArray b = u32(quint32(n * 2));
    for (int i = 0; i < n; ++i) {
        b += '\0';
        b += ascii[i];
    }
    return b;
}

inline QByteArray str(const QByteArray &ascii)
{
    return str(ascii.constData());
}

inline QByteArray bytes(const QByteArray &raw)
{
    return u32(quint32(raw.size())) + raw;
}

// A date as its Julian day.
inline QByteArray date(qint64 julianDay)
{
    return i64(julianDay);
}

inline QByteArray nullDate()
{
    return hex("8000000000000000");
}

// IEEE 754 double, big-endian.
inline QByteArray dbl(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    QByteArray b(8, '\0');
    qToBigEndian<quint64>(bits, b.data());
    return b;
}

// A date-time: Julian day, milliseconds since midnight, Qt::TimeSpec (1 = UTC).
inline QByteArray utcDateTime(qint64 julianDay, quint32 msecs)
{
    return i64(julianDay) + u32(msecs) + hex("01");
}

} // namespace hand
