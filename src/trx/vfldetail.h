#pragma once

#include "trx/streamio.h"

#include <QMetaType>
#include <QString>
#include <QVector>

namespace trx {

// One element of VflDetail's list: a qint32 then a qint64 on the wire.
struct VflEntry
{
    qint32 int1 = 0;
    qint64 long2 = 0;
};

bool operator==(const VflEntry &a, const VflEntry &b);
QDataStream &operator<<(QDataStream &s, const VflEntry &v);
QDataStream &operator>>(QDataStream &s, VflEntry &v);

template<> struct WireMin<VflEntry>
{
    static constexpr qint64 bytes = 12;
};

// Part of VflObject; carried only. Fields are named by stream position: the two pairs 4/5 and
// 6/7 are declared in the opposite order to the one they travel in.
struct VflDetail
{
    QString text1;
    QString text2;
    QString text3;
    qint32 int5 = 0;
    qint32 int4 = 0;
    qint32 int7 = 0;
    qint32 int6 = 0;
    qint32 int8 = 100;
    qint32 int9 = -1;
    qint32 int10 = -1;
    qint32 int11 = -1;
    qint32 int12 = -1;
    qint32 int13 = 0;
    qint32 int14 = 0;
    qint32 int15 = 0;
    qint32 int16 = 0;
    QVector<VflEntry> entries17;
    bool flag18 = false;
};

bool operator==(const VflDetail &a, const VflDetail &b);
bool operator!=(const VflDetail &a, const VflDetail &b);

QDataStream &operator<<(QDataStream &s, const VflDetail &v);
QDataStream &operator>>(QDataStream &s, VflDetail &v);

template<> struct WireMin<VflDetail>
{
    static constexpr qint64 bytes = 69;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::VflDetail)
