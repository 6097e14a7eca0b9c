#include "controller/maintenancerules.h"

#include "cmn/timecode.h"
#include "cmn/timecodemode.h"
#include "controller/schedulechecks.h"
#include "trx/portstate.h"
#include "trx/schedulerequest.h"

MaintenanceDays maintenanceDays(bool ahead, bool bNow)
{
    MaintenanceDays days;
    days.first = ahead || bNow ? 0 : 1;
    days.last = bNow ? 0 : 7;
    return days;
}

int maintenanceWindowEnd(const trx::PortState &master, int startTc)
{
    if (startTc == -1)
        return -1;
    const TimeCode start(master, startTc, 0);
    if (!start.rate.mode)
        return addSecondsInDay(startTc, kMaintenanceSeconds);
    const qint64 end = qint64(start.frames) + qint64(kMaintenanceSeconds) * start.rate.mode->fps();
    return bcdToPacked(int(start.rate.mode->frames_to_tc(foldIntoDay(start.rate, end))));
}

trx::ScheduleRequest maintenanceRequest(const trx::PortState &master, int maintenanceTime, bool bNow,
                                        const QDate &workingDate)
{
    trx::ScheduleRequest r;
    // The start moves off a dropped number first, so that the window keeps its full length.
    r.startTc = dropFrameAdjusted(bNow ? master.currentTc : maintenanceTime, master.dropFrame);
    r.endTc = dropFrameAdjusted(maintenanceWindowEnd(master, r.startTc), master.dropFrame);
    if (bNow) {
        r.startDate = workingDate;
        r.endDate = r.endTc < r.startTc ? workingDate.addDays(1) : workingDate;
    }
    r.withProxy = false;
    r.type = 255;
    return r;
}

QString maintenancePortPrefix(const QString &serverName, const QString &portLabel, bool asProxy)
{
    return asProxy ? QStringLiteral("%1 [%2]: ").arg(serverName, portLabel)
                   : QStringLiteral("%1 %2: ").arg(serverName, portLabel);
}

QString maintenanceItemText(const QDate &date, const QString &tcText)
{
    return QStringLiteral("[%1] %2").arg(date.day()).arg(tcText);
}
