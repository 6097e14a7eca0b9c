#pragma once

#include <QByteArray>
#include <QString>

// The manager's side of the framing: responses echo the request id, pushes carry only a payload.
// Each returns a whole frame, length prefix included.
namespace simframes {

QByteArray response(int code, const QString &requestId, int status, const QByteArray &payload);
QByteArray push(int code, const QByteArray &payload);
// A body of any kind with only the common head and a payload; used to send kinds the client
// does not know.
QByteArray rawBody(qint16 kind, int code, const QByteArray &payload);
// A frame whose length prefix announces `length` bytes and nothing follows.
QByteArray lengthOnly(qint64 length);

} // namespace simframes
