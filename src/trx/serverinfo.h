#pragma once

#include "trx/serverintblock.h"
#include "trx/streamio.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVector>

namespace trx {

// A recording server as the manager lists it. Fields named by type and stream position are
// carried: kept so that the record stays aligned and can be written back, used by nothing here.
struct ServerInfo
{
    QString id;
    QString name;
    QString text3;
    QString text4;
    QString text5;
    bool flag6 = false;
    bool connected = false; // only connected servers get a panel
    QString text8;
    QString text9;
    QString text10;
    qint32 int11 = 0;
    qint32 int12 = 0;
    ServerIntBlock block13;
    bool flag14 = false;
    bool flag15 = false;
    quint8 byte16 = 0;
    QString text17;
    QVector<qint32> ints18;
    QVector<qint32> ints19;
    QVector<qint32> ints20;
    QMap<qint32, qint32> map21;
};

// Servers are the same server when their ids match; the controller finds them by id.
bool operator==(const ServerInfo &a, const ServerInfo &b);
bool operator!=(const ServerInfo &a, const ServerInfo &b);

QDataStream &operator<<(QDataStream &s, const ServerInfo &v);
QDataStream &operator>>(QDataStream &s, ServerInfo &v);

template<> struct WireMin<ServerInfo>
{
    static constexpr qint64 bytes = 133;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ServerInfo)
