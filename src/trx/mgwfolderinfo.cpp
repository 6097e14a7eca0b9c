#include "trx/mgwfolderinfo.h"

namespace trx {

bool operator==(const MgwFolderInfo &a, const MgwFolderInfo &b)
{
    return a.id == b.id && a.parentId == b.parentId && a.name == b.name && a.path == b.path;
}

bool operator!=(const MgwFolderInfo &a, const MgwFolderInfo &b)
{
    return !(a == b);
}

QDataStream &operator<<(QDataStream &s, const MgwFolderInfo &v)
{
    return s << v.id << v.parentId << v.name << v.path;
}

QDataStream &operator>>(QDataStream &s, MgwFolderInfo &v)
{
    return s >> v.id >> v.parentId >> v.name >> v.path;
}

} // namespace trx
