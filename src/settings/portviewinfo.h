#pragma once

#include <QString>

// How one port's row looks on the main window; kept in the settings file per port.
struct PortViewInfo
{
    int ProxyPort = -1; // the port recording this port's proxy, -1 for none
    int PortHeight = 0; // pixel height of the row
    QString PortName;
    bool CheckStatus = false;  // selected in the port list
    bool PortCollapse = false; // row collapsed

    bool operator==(const PortViewInfo &o) const
    {
        return ProxyPort == o.ProxyPort && PortHeight == o.PortHeight && PortName == o.PortName
               && CheckStatus == o.CheckStatus && PortCollapse == o.PortCollapse;
    }
    bool operator!=(const PortViewInfo &o) const { return !(*this == o); }
};
