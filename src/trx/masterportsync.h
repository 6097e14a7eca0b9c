#pragma once

#include "trx/streamio.h"

#include <QDate>
#include <QMetaType>
#include <QString>

namespace trx {

// The port and date that push 2006 reports as set on the master clock.
struct MasterPortSync
{
    QString serverId;
    qint32 portNo = -1;
    QDate date;
};

bool operator==(const MasterPortSync &a, const MasterPortSync &b);
bool operator!=(const MasterPortSync &a, const MasterPortSync &b);

QDataStream &operator<<(QDataStream &s, const MasterPortSync &v);
QDataStream &operator>>(QDataStream &s, MasterPortSync &v);

template<> struct WireMin<MasterPortSync>
{
    static constexpr qint64 bytes = 4 + 4 + 8;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::MasterPortSync)
