#pragma once

#include <QDate>
#include <QString>

namespace trx {
struct PortState;
struct ScheduleRequest;
} // namespace trx

// The daily maintenance window: 10 seconds on the master's clock from its start. Timecodes are
// integer-packed, -1 for none.

constexpr int kMaintenanceSeconds = 10;

// Days after the working date on which a maintenance window is checked: today only for an
// immediate one, else today (when today's window is still ahead) or tomorrow up to a week on.
struct MaintenanceDays
{
    int first = 0;
    int last = 0;
};
MaintenanceDays maintenanceDays(bool ahead, bool bNow);

// The end of the window that starts at `startTc`, folded into one day; -1 for a missing start.
int maintenanceWindowEnd(const trx::PortState &master, int startTc);

// The add-schedule request of a maintenance: from the master's current timecode, dated on
// `workingDate` (the end a day later when it passes midnight), when bNow; else daily (no dates)
// from `maintenanceTime`. Timecodes on dropped drop-frame numbers move on to real ones.
trx::ScheduleRequest maintenanceRequest(const trx::PortState &master, int maintenanceTime, bool bNow,
                                        const QDate &workingDate);

// How a port is named in the conflict list: "Server Port C: ", or "Server [Port C]: " when it is
// another port's proxy.
QString maintenancePortPrefix(const QString &serverName, const QString &portLabel, bool asProxy);

// The start or end text of a maintenance item: "[6] 02:00:00:00" (day of the month, timecode).
QString maintenanceItemText(const QDate &date, const QString &tcText);
