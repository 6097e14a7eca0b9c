#pragma once

#include "trx/streamio.h"

#include <QMetaType>
#include <QString>

namespace trx {

// A folder on a gateway drive; the schedule dialog builds its folder tree from these.
struct MgwFolderInfo
{
    QString id;
    QString parentId;
    QString name;
    QString path;
};

bool operator==(const MgwFolderInfo &a, const MgwFolderInfo &b);
bool operator!=(const MgwFolderInfo &a, const MgwFolderInfo &b);

QDataStream &operator<<(QDataStream &s, const MgwFolderInfo &v);
QDataStream &operator>>(QDataStream &s, MgwFolderInfo &v);

template<> struct WireMin<MgwFolderInfo>
{
    static constexpr qint64 bytes = 16;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::MgwFolderInfo)
