#pragma once

#include "controller/schedulechecks.h"
#include "views/usablerange.h"

#include <QList>
#include <QString>

struct FrameRate;

// The facts a conflict message adds after its keyword, so that the operator can see what is in
// the way without searching the timeline. Timecodes print as "hh:mm:ss:ff".

// "'Evening Football', 02:35:00:00-02:40:00:00"; an open end prints as "open end".
QString scheduleSpanText(const trx::ScheduleInfo &sch);

// "daily 02:00:00:00-02:00:10:00", or with the date ("2026/12/09 02:00:00:00-...") for a one-off.
QString maintenanceWindowText(const trx::ScheduleInfo &maintenance);

// "remaining 00:20:00:00, needed 01:00:00:00".
QString remainDetailText(const FrameRate &rate, qint32 remainFrames, qint32 neededFrames);

// The recorded stretch nearest to `period`: "recorded 08:00:00:00-10:30:00:00" ("nothing recorded"
// without ranges). Stretches on other days than the working date are marked "(day +1)" and so on.
QString nearestRecordedText(const FrameRate &rate, const QList<UsableRange> &ranges,
                            const FramePeriod &period);

// One line naming a schedule for a question about it: "'Evening Football', Studio A Port A,
// 02:49:00:05-03:49:00:05", with `place` the server and port.
QString scheduleSummaryText(const trx::ScheduleInfo &sch, const QString &place);
