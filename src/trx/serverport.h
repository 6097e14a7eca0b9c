#pragma once

#include "trx/streamio.h"

#include <QHash>
#include <QMetaType>
#include <QString>

namespace trx {

// Port numbers within one server, counted from 0; on the wire always a qint32.
enum PortNo : qint32 {
    Port0 = 0,
    Port1 = 1,
    Port2 = 2,
    Port3 = 3,
    Port4 = 4,
    Port5 = 5,
    Port6 = 6,
    Port7 = 7,
};

// One port of one recording server; the key of most of the controller's maps.
struct ServerPort
{
    QString serverId;
    qint32 portNo = 0;

    ServerPort() = default;
    ServerPort(const QString &server, qint32 port) : serverId(server), portNo(port) {}
};

bool operator==(const ServerPort &a, const ServerPort &b);
bool operator!=(const ServerPort &a, const ServerPort &b);
// By server id, then by port number.
bool operator<(const ServerPort &a, const ServerPort &b);
uint qHash(const ServerPort &key, uint seed = 0);

QDataStream &operator<<(QDataStream &s, const ServerPort &v);
QDataStream &operator>>(QDataStream &s, ServerPort &v);

template<> struct WireMin<ServerPort>
{
    static constexpr qint64 bytes = 8;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ServerPort)
Q_DECLARE_METATYPE(trx::PortNo)
