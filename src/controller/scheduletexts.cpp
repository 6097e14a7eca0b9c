#include "controller/scheduletexts.h"

#include "cmn/timecodemode.h"
#include "trx/scheduleinfo.h"

#include <algorithm>
#include <limits>

namespace {

const char kNoTimecode[] = "--:--:--:--";

QString dayAndTimecode(const QDate &date, int packedTc, const TimeCode &tc)
{
    if (packedTc == -1)
        return QLatin1String(kNoTimecode);
    return QStringLiteral("[%1] %2").arg(date.day()).arg(tc.toString());
}

} // namespace

QString portRowTitle(int port, int camera)
{
    return QStringLiteral("Port %1 => Cam %2")
        .arg(QChar(QLatin1Char('A').unicode() + port))
        .arg(QChar(QLatin1Char('@').unicode() + camera));
}

QString statusText(int status)
{
    using S = trx::ScheduleStatus;
    switch (trx::scheduleStatusOf(status)) {
    case S::Cancelling:
        return QStringLiteral("Cancelling...");
    case S::Cancelled:
        return QStringLiteral("Cancelled.");
    case S::TransferError:
        return QStringLiteral("Transfer Error.");
    case S::RecError:
        return QStringLiteral("Rec Error.");
    case S::UnknownError:
        return QStringLiteral("Unknown Error.");
    case S::Scheduled:
        return QStringLiteral("Scheduled...");
    case S::Waiting:
        return QStringLiteral("Waiting...");
    case S::InProgress:
        return QStringLiteral("In-Progress...");
    case S::Completed:
        return QStringLiteral("Completed.");
    case S::None:
    case S::Other:
        break;
    }
    return QString();
}

ScheduleTexts scheduleTexts(const trx::ScheduleInfo &sch, const TimeCode &start, const TimeCode &end)
{
    ScheduleTexts t;
    t.label = sch.type == trx::ScheduleInfo::Maintenance ? QStringLiteral("Maintenance") : sch.name;
    t.start = dayAndTimecode(sch.startDate, sch.startTc, start);
    t.end = dayAndTimecode(sch.endDate, sch.endTc, end);
    // An open end has no length yet; counting from its placeholder end would show a made-up one.
    const QString duration =
        sch.endTc == -1 || sch.startTc == -1 ? QString() : QStringLiteral("%1").arg(durationText(end, start));
    t.duration = duration.isEmpty() ? QLatin1String(kNoTimecode) : duration;
    t.status = statusText(sch.master.status);
    return t;
}

int openEndMinimumFrames(const TimeCode &start)
{
    // One minute on the schedule's clock: wide enough to find and open at the usual zoom levels.
    const int fps = start.rate.mode ? start.rate.mode->fps() : 30;
    return 60 * fps;
}

ItemExtent itemExtent(const TimeCode &start, const TimeCode &end, const TimeCode &now)
{
    ItemExtent e;
    e.start = start.frames;
    qint64 length = 0;
    if (end.valid) {
        const TimeCode endOnStart = end.origin != start.origin ? end.rebasedTo(start) : end;
        length = qint64(endOnStart.frames) - start.frames;
    } else {
        length = openEndMinimumFrames(start);
        if (now.valid) {
            const TimeCode nowOnStart = now.rebasedTo(start);
            length = std::max<qint64>(length, qint64(nowOnStart.frames) - start.frames);
        }
    }
    e.length = int(std::clamp<qint64>(length, 1, std::numeric_limits<int>::max()));
    return e;
}
