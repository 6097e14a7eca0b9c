#include "controller/conflictdetails.h"

#include "cmn/framerate.h"
#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"

#include <limits>

namespace {

const char kDayFormat[] = "yyyy/MM/dd";

QString packedSpan(int startTc, int endTc)
{
    const QString end = endTc == -1 ? QStringLiteral("open end") : formatPacked(endTc);
    return formatPacked(startTc) + QLatin1Char('-') + end;
}

// A frame position as timecode text within its day, with the day marked when it is not the
// working date.
QString framesText(const FrameRate &rate, qint64 frames)
{
    const qint64 perDay = rate.mode ? qint64(rate.mode->frames_per_day()) : 0;
    if (perDay <= 0)
        return formatFrames(rate, int(frames));
    qint64 day = frames / perDay;
    qint64 inDay = frames % perDay;
    if (inDay < 0) {
        inDay += perDay;
        --day;
    }
    const QString text = formatFrames(rate, int(inDay));
    if (day == 0)
        return text;
    return QStringLiteral("%1 (day %2%3)").arg(text, day > 0 ? QStringLiteral("+") : QString()).arg(day);
}

} // namespace

QString scheduleSpanText(const trx::ScheduleInfo &sch)
{
    return QStringLiteral("'%1', %2").arg(sch.name, packedSpan(sch.startTc, sch.endTc));
}

QString maintenanceWindowText(const trx::ScheduleInfo &maintenance)
{
    const QString span = packedSpan(maintenance.startTc, maintenance.endTc);
    if (!maintenance.startDate.isValid())
        return QStringLiteral("daily ") + span;
    return maintenance.startDate.toString(QLatin1String(kDayFormat)) + QLatin1Char(' ') + span;
}

QString remainDetailText(const FrameRate &rate, qint32 remainFrames, qint32 neededFrames)
{
    return QStringLiteral("remaining %1, needed %2")
        .arg(framesText(rate, qMax(0, remainFrames)), framesText(rate, qMax(0, neededFrames)));
}

QString nearestRecordedText(const FrameRate &rate, const QList<UsableRange> &ranges,
                            const FramePeriod &period)
{
    const UsableRange *nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const UsableRange &r : ranges) {
        const qint64 start = r.start;
        const qint64 end = start + r.length;
        qint64 distance = 0;
        if (end < period.start)
            distance = period.start - end;
        else if (start > period.end)
            distance = start - period.end;
        if (distance < best) {
            best = distance;
            nearest = &r;
        }
    }
    if (!nearest)
        return QStringLiteral("nothing recorded");
    return QStringLiteral("recorded %1-%2")
        .arg(framesText(rate, nearest->start), framesText(rate, qint64(nearest->start) + nearest->length));
}

QString scheduleSummaryText(const trx::ScheduleInfo &sch, const QString &place)
{
    return QStringLiteral("'%1', %2, %3").arg(sch.name, place, packedSpan(sch.startTc, sch.endTc));
}
