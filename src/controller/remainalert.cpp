#include "controller/remainalert.h"

#include "cmn/timecodemode.h"
#include "trx/scheduleinfo.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr qint64 kDayMs = 24LL * 3600 * 1000;
constexpr int kDefaultFramesPerDay = 30 * 86400;

} // namespace

bool isFinishedStatus(int status)
{
    return !trx::countsForRemainTime(trx::scheduleStatusOf(status));
}

std::optional<qint64> nextScheduleLengthMs(const QList<ScheduleSpan> &spans, qint64 nowMs)
{
    std::optional<qint64> nextStart;
    for (const ScheduleSpan &span : spans) {
        if (!span.finished && span.startMs >= nowMs && (!nextStart || span.startMs < *nextStart))
            nextStart = span.startMs;
    }
    std::optional<qint64> length;
    for (const ScheduleSpan &span : spans) {
        if (span.finished || !nextStart || span.startMs != *nextStart || !span.endMs)
            continue;
        length = std::max(length.value_or(0), std::max<qint64>(0, *span.endMs - span.startMs));
    }
    return length;
}

qint64 remainNeedMs(const std::optional<qint64> &nextLengthMs)
{
    return nextLengthMs ? *nextLengthMs : RemainFallbackMs;
}

bool remainBelowNeed(qint64 remainMs, const std::optional<qint64> &nextLengthMs)
{
    return remainMs < remainNeedMs(nextLengthMs);
}

qint64 framesToMs(qint64 frames, const FrameRate &rate)
{
    const int perDay = rate.mode ? rate.mode->frames_per_day() : kDefaultFramesPerDay;
    if (perDay <= 0)
        return 0;
    return frames * kDayMs / perDay;
}

QList<RemainAlert> sortedAlerts(QList<RemainAlert> alerts)
{
    std::stable_sort(alerts.begin(), alerts.end(), [](const RemainAlert &a, const RemainAlert &b) {
        if (a.remainMs != b.remainMs)
            return a.remainMs < b.remainMs;
        if (a.serverName != b.serverName)
            return a.serverName < b.serverName;
        return a.port < b.port;
    });
    return alerts;
}

QString remainAlertLine(const QList<RemainAlert> &alerts, int shown)
{
    const QList<RemainAlert> ordered = sortedAlerts(alerts);
    QStringList parts;
    for (int i = 0; i < ordered.size() && i < std::max(1, shown); ++i) {
        const RemainAlert &a = ordered.at(i);
        parts << QStringLiteral("%1 %2: remaining time below %3")
                     .arg(a.serverName, a.portLabel,
                          a.byNextSchedule ? QStringLiteral("next schedule") : QStringLiteral("30 minutes"));
    }
    QString line = parts.join(QStringLiteral("; "));
    const int more = ordered.size() - parts.size();
    if (more > 0)
        line += QStringLiteral(" (+%1 more)").arg(more);
    return line;
}
