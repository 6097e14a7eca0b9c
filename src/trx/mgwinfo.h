#pragma once

#include "trx/streamio.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace trx {

// A drive of a media gateway.
struct MgwDrive
{
    QString id;
    QString name;
};

bool operator==(const MgwDrive &a, const MgwDrive &b);
QDataStream &operator<<(QDataStream &s, const MgwDrive &v);
QDataStream &operator>>(QDataStream &s, MgwDrive &v);

template<> struct WireMin<MgwDrive>
{
    static constexpr qint64 bytes = 8;
};

// A media gateway (destination of archived clips) with its drives.
struct MgwInfo
{
    QString id;
    QString text2;
    QString name;
    QList<MgwDrive> drives;
};

bool operator==(const MgwInfo &a, const MgwInfo &b);
bool operator!=(const MgwInfo &a, const MgwInfo &b);

QDataStream &operator<<(QDataStream &s, const MgwInfo &v);
QDataStream &operator>>(QDataStream &s, MgwInfo &v);

template<> struct WireMin<MgwInfo>
{
    static constexpr qint64 bytes = 16;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::MgwDrive)
Q_DECLARE_METATYPE(trx::MgwInfo)
