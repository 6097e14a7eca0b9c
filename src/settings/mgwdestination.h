#pragma once

#include <QString>

// Where new schedules of one port are archived: master destination and optional proxy copy.
struct MgwDestination
{
    bool WithProxy = false;
    QString MasterMgwId;
    QString MasterDriveId;
    QString MasterFolderId;
    QString ProxyMgwId;
    QString ProxyDriveId;
    QString ProxyFolderId;

    bool operator==(const MgwDestination &o) const
    {
        return WithProxy == o.WithProxy && MasterMgwId == o.MasterMgwId && MasterDriveId == o.MasterDriveId
               && MasterFolderId == o.MasterFolderId && ProxyMgwId == o.ProxyMgwId
               && ProxyDriveId == o.ProxyDriveId && ProxyFolderId == o.ProxyFolderId;
    }
    bool operator!=(const MgwDestination &o) const { return !(*this == o); }
};
