#include "controller/taskrules.h"

#include "cmn/timecode.h"
#include "trx/portstate.h"
#include "trx/scheduleinfo.h"

namespace {

// Frames a start must lie ahead for the schedule to stay editable, and an end for a running one.
constexpr int kStartMargin = 300;
constexpr int kEndMargin = 900;

} // namespace

EditVerdict editVerdict(const trx::ScheduleInfo &sch, const trx::PortState &master, const TimeCode &now,
                        const QDate &today)
{
    if (sch.type == trx::ScheduleInfo::Maintenance)
        return EditVerdict::NotEditable;
    const trx::ScheduleStatus status = sch.status();
    if (status == trx::ScheduleStatus::Cancelling || status == trx::ScheduleStatus::RecError)
        return EditVerdict::NotEditable;
    if (sch.startDate > today)
        return EditVerdict::Editable;

    const TimeCode start(master, sch.startTc, 0);
    const qint64 nowAtStart = now.rebasedTo(start).frames;
    if (sch.startDate == today && qint64(start.frames) - nowAtStart > kStartMargin)
        return EditVerdict::Editable;
    if (sch.endTc == -1)
        return EditVerdict::NotEditable;
    if (sch.endDate < today)
        return EditVerdict::ClipTest;

    const TimeCode end(master, sch.endTc, 0);
    const qint64 nowAtEnd = now.rebasedTo(end).frames;
    if (sch.endDate == today && end.frames < nowAtEnd)
        return EditVerdict::ClipTest;
    if (qint64(end.frames) - nowAtEnd > kEndMargin)
        return EditVerdict::Editable;
    if (start.frames >= nowAtStart)
        return EditVerdict::NotEditable;
    return sch.endDate > today ? EditVerdict::Editable : EditVerdict::NotEditable;
}

bool clipTestPasses(bool found, const QByteArray &clipRef, const trx::ScheduleInfo &sch)
{
    if (!found)
        return false;
    const QString ref = QString::fromLatin1(clipRef.toHex());
    if (ref.isEmpty() || ref.compare(sch.master.clipRef, Qt::CaseInsensitive) != 0)
        return false;
    return !trx::isRunning(sch.status());
}

bool deletable(const trx::ScheduleInfo &sch, const trx::PortState &master, const TimeCode &now,
               const QDate &today)
{
    if (sch.status() == trx::ScheduleStatus::Waiting)
        return true;
    if (sch.status() == trx::ScheduleStatus::InProgress)
        return false;
    if (sch.startDate != today)
        return true;

    const TimeCode start(master, sch.startTc, 0);
    const TimeCode nowAtStart = now.rebasedTo(start);
    if (start.frames > nowAtStart.frames ||
        (start.frames == nowAtStart.frames && start.subFrame > nowAtStart.subFrame))
        return true;
    // An end past midnight lies a day on; an open end has not ended.
    if (sch.endTc == -1)
        return false;
    const int endDays = sch.endDate.isValid() ? int(today.daysTo(sch.endDate)) : 0;
    const TimeCode end(master, sch.endTc, endDays);
    return end.frames < now.rebasedTo(end).frames;
}

bool stoppable(const trx::ScheduleInfo &sch)
{
    return sch.status() == trx::ScheduleStatus::InProgress;
}
