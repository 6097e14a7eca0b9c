#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

namespace trx {

// The fewest bytes one value of T can take on the wire. The bounded readers multiply it by an
// announced count and refuse counts that the rest of the payload cannot hold. Records specialise
// it; the default of one byte is safe for anything.
template<typename T> struct WireMin
{
    static constexpr qint64 bytes = 1;
};
template<> struct WireMin<qint16>
{
    static constexpr qint64 bytes = 2;
};
template<> struct WireMin<qint32>
{
    static constexpr qint64 bytes = 4;
};
template<> struct WireMin<quint32>
{
    static constexpr qint64 bytes = 4;
};
template<> struct WireMin<qint64>
{
    static constexpr qint64 bytes = 8;
};
template<> struct WireMin<double>
{
    static constexpr qint64 bytes = 8;
};
// Null strings and byte arrays are a bare length of 0xFFFFFFFF.
template<> struct WireMin<QString>
{
    static constexpr qint64 bytes = 4;
};
template<> struct WireMin<QByteArray>
{
    static constexpr qint64 bytes = 4;
};
// Julian day as qint64.
template<> struct WireMin<QDate>
{
    static constexpr qint64 bytes = 8;
};
// Julian day, milliseconds of the day and the Qt::TimeSpec.
template<> struct WireMin<QDateTime>
{
    static constexpr qint64 bytes = 13;
};
template<typename T> struct WireMin<QList<T>>
{
    static constexpr qint64 bytes = 4;
};
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
// Qt 6's QVector is QList.
template<typename T> struct WireMin<QVector<T>>
{
    static constexpr qint64 bytes = 4;
};
#endif
template<typename K, typename V> struct WireMin<QMap<K, V>>
{
    static constexpr qint64 bytes = 4;
};

// Bytes that the stream can still deliver.
qint64 bytesLeft(const QDataStream &s);

// Reads a container count and checks it against what is left. A count that cannot fit is logged,
// the rest of the payload is skipped and the stream marked corrupt, so that every later read
// yields a default value exactly as at the end of a short payload. Returns false then.
bool readBoundedCount(QDataStream &s, quint32 &count, qint64 minElementBytes);

// Reads a double and narrows it: floats travel as 8-byte doubles whatever precision the stream
// is set to.
float readFloat(QDataStream &s);
void writeFloat(QDataStream &s, float value);

// Reads a QDateTime's stream form without resolving a time-zone id. Qt's own reader builds a
// QTimeZone from the id on the wire, which opens a file named by that text under the zoneinfo
// folder; a peer could name any path. Local, UTC and offset values come back as they were; a
// value with a zone id comes back as local time with the zone dropped.
QDateTime readWireDateTime(QDataStream &s);
// Consumes the same stream form and builds nothing: a local QDateTime costs a time-zone lookup
// (mktime, which checks the zone file again on every call), far more than the frame around it.
void skipWireDateTime(QDataStream &s);
void readValue(QDataStream &s, QDateTime &value);

// The copy of `text` this thread already keeps, so that the thousands of records and items that
// repeat a few dozen texts share one copy each; `text` itself the first time. Bounded: the table
// starts over when full, so unique texts cost no more than a slot.
QString sharedText(const QString &text);
// Reads a QString that many records repeat (a server id, a gateway, drive or folder) as sharedText.
void readRepeatedText(QDataStream &s, QString &value);

template<typename T> void readValue(QDataStream &s, T &value);
template<typename T> void readValue(QDataStream &s, QList<T> &value);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
template<typename T> void readValue(QDataStream &s, QVector<T> &value);
#endif
template<typename K, typename V> void readValue(QDataStream &s, QMap<K, V> &value);

// Writers: QMap entries go from the last key to the first, key before value, the order the
// manager reads. Qt 5's own operator writes that order and Qt 6's writes the reverse, so maps
// never reach the stream through Qt's operator. Containers write element by element so that a
// map nested in them keeps the order too.
template<typename T> void writeValue(QDataStream &s, const T &value);
template<typename T> void writeValue(QDataStream &s, const QList<T> &value);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
template<typename T> void writeValue(QDataStream &s, const QVector<T> &value);
#endif
template<typename K, typename V> void writeValue(QDataStream &s, const QMap<K, V> &value);

template<typename T> void writeValue(QDataStream &s, const T &value)
{
    s << value;
}

template<typename C> void writeSequence(QDataStream &s, const C &c)
{
    s << quint32(c.size());
    for (const auto &x : c)
        writeValue(s, x);
}

template<typename T> void writeValue(QDataStream &s, const QList<T> &value)
{
    writeSequence(s, value);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
template<typename T> void writeValue(QDataStream &s, const QVector<T> &value)
{
    writeSequence(s, value);
}
#endif

template<typename K, typename V> void writeValue(QDataStream &s, const QMap<K, V> &value)
{
    s << quint32(value.size());
    for (auto it = value.constEnd(); it != value.constBegin();) {
        --it;
        writeValue(s, it.key());
        writeValue(s, it.value());
    }
}

// Builds a payload from the values in order, in the link's stream form (Qt 5.5, big-endian).
template<typename... T> QByteArray payloadOf(const T &...values)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_5_5);
    s.setByteOrder(QDataStream::BigEndian);
    (writeValue(s, values), ...);
    return bytes;
}

// Qt's own container readers resize to the announced count before reading, so one corrupt count
// asks for gigabytes. These read element by element after checking the count; an element that
// runs past the end clears the container, as Qt's readers do.
template<typename C> void readSequence(QDataStream &s, C &c)
{
    const QDataStream::Status oldStatus = s.status();
    s.resetStatus();
    c.clear();
    quint32 n = 0;
    if (readBoundedCount(s, n, WireMin<typename C::value_type>::bytes)) {
        c.reserve(int(qMin<quint32>(n, 4096)));
        for (quint32 i = 0; i < n; ++i) {
            typename C::value_type t;
            readValue(s, t);
            if (s.status() != QDataStream::Ok) {
                c.clear();
                break;
            }
            c.append(t);
        }
    }
    if (oldStatus != QDataStream::Ok) {
        s.resetStatus();
        s.setStatus(oldStatus);
    }
}

template<typename T> void readValue(QDataStream &s, T &value)
{
    s >> value;
}

template<typename T> void readValue(QDataStream &s, QList<T> &value)
{
    readSequence(s, value);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
template<typename T> void readValue(QDataStream &s, QVector<T> &value)
{
    readSequence(s, value);
}
#endif

template<typename K, typename V> void readValue(QDataStream &s, QMap<K, V> &value)
{
    const QDataStream::Status oldStatus = s.status();
    s.resetStatus();
    value.clear();
    quint32 n = 0;
    if (readBoundedCount(s, n, WireMin<K>::bytes + WireMin<V>::bytes)) {
        for (quint32 i = 0; i < n; ++i) {
            K k;
            V v;
            readValue(s, k);
            readValue(s, v);
            if (s.status() != QDataStream::Ok) {
                value.clear();
                break;
            }
            value.insert(k, v);
        }
    }
    if (oldStatus != QDataStream::Ok) {
        s.resetStatus();
        s.setStatus(oldStatus);
    }
}

} // namespace trx
