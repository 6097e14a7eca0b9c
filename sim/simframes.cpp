#include "simframes.h"

#include "trx/catalogue.h"

#include <QDataStream>
#include <QDateTime>

namespace simframes {

namespace {

template<typename F> QByteArray frame(F writeBody)
{
    QByteArray packet;
    QDataStream s(&packet, QIODevice::WriteOnly);
    trx::prepareWireStream(s);
    s << qint64(0);
    writeBody(s);
    const qint64 len = s.device()->pos() - 8;
    s.device()->seek(0);
    s << len;
    return packet;
}

} // namespace

QByteArray response(int code, const QString &requestId, int status, const QByteArray &payload)
{
    return frame([&](QDataStream &s) {
        s << qint16(trx::KindResponse) << qint16(code) << QDateTime::currentDateTime() << requestId
          << qint16(status) << payload;
    });
}

QByteArray push(int code, const QByteArray &payload)
{
    return frame([&](QDataStream &s) {
        s << qint16(trx::KindPush) << qint16(code) << QDateTime::currentDateTime() << payload;
    });
}

QByteArray rawBody(qint16 kind, int code, const QByteArray &payload)
{
    return frame(
        [&](QDataStream &s) { s << kind << qint16(code) << QDateTime::currentDateTime() << payload; });
}

QByteArray lengthOnly(qint64 length)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    trx::prepareWireStream(s);
    s << length;
    return bytes;
}

} // namespace simframes
