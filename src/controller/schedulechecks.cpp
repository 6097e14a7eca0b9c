#include "controller/schedulechecks.h"

#include "cmn/timecode.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kEndMarginFrames = 900;

int hoursOf(int tc)
{
    return (tc >> 24) & 0xFF;
}
int minutesOf(int tc)
{
    return (tc >> 16) & 0xFF;
}
int secondsOf(int tc)
{
    return (tc >> 8) & 0xFF;
}
int framesOf(int tc)
{
    return tc & 0xFF;
}

} // namespace

qint32 masterFrames(const trx::PortState &master, int tc, int days)
{
    return TimeCode(master, tc, days).frames;
}

FramePeriod plannedPeriod(const trx::PortState &master, int startTc, int endTc, int days)
{
    FramePeriod p;
    p.start = masterFrames(master, startTc, days);
    p.end = masterFrames(master, endTc, endTc != -1 && startTc > endTc ? days + 1 : days);
    return p;
}

FramePeriod schedulePeriod(const trx::PortState &master, const trx::ScheduleInfo &sch,
                           const QDate &workingDate)
{
    FramePeriod p;
    p.start = masterFrames(master, sch.startTc, int(workingDate.daysTo(sch.startDate)));
    if (sch.endTc == -1)
        p.end = trx::blocksPortWhileOpen(sch.status()) ? INT_MAX : p.start;
    else
        p.end = masterFrames(master, sch.endTc, int(workingDate.daysTo(sch.endDate)));
    return p;
}

int scheduleType(int startTc, int endTc, bool maintenance)
{
    Q_UNUSED(startTc)
    if (endTc == -1)
        return trx::ScheduleInfo::OpenEnd;
    return maintenance ? trx::ScheduleInfo::Maintenance : trx::ScheduleInfo::Normal;
}

QDate scheduleEndDate(const QDate &startDate, int startTc, int endTc)
{
    if (endTc != -1 && endTc < startTc)
        return startDate.addDays(1);
    return startDate;
}

int dropFrameAdjusted(int packedTc, bool dropFrame)
{
    if (!dropFrame || packedTc == -1)
        return packedTc;
    if (secondsOf(packedTc) == 0 && framesOf(packedTc) <= 1 && minutesOf(packedTc) % 10 != 0)
        return packedTc + 2;
    return packedTc;
}

int addSecondsInDay(int packedTc, int seconds)
{
    if (packedTc == -1)
        return -1;
    constexpr int day = 24 * 3600;
    int total = hoursOf(packedTc) * 3600 + minutesOf(packedTc) * 60 + secondsOf(packedTc) + seconds;
    total = ((total % day) + day) % day;
    return ((total / 3600) << 24) | (((total / 60) % 60) << 16) | ((total % 60) << 8) | framesOf(packedTc);
}

bool hhmmssChanged(int oldTc, int newTc)
{
    if (oldTc == -1 || newTc == -1)
        return oldTc != newTc;
    return (oldTc & ~0xFF) != (newTc & ~0xFF);
}

bool periodMeets(const QList<FramePeriod> &others, const FramePeriod &period)
{
    return firstMeeting(others, period) >= 0;
}

int firstMeeting(const QList<FramePeriod> &others, const FramePeriod &period)
{
    // Every earlier schedule is compared, not only the one starting just before: a long schedule
    // may contain a short one and still cover the new start.
    for (int i = 0; i < others.size(); ++i) {
        const FramePeriod &o = others.at(i);
        if (o.start == period.start)
            return i;
        if (o.start < period.start && period.start <= o.end)
            return i;
        if (o.start > period.start && period.end >= o.start)
            return i;
    }
    return -1;
}

QList<FramePeriod> maintenanceOccurrences(const trx::ScheduleInfo &maintenance, const trx::PortState &master,
                                          qint32 nowFrames, const QDate &workingDate)
{
    QList<FramePeriod> out;
    auto occurrence = [&](int day) {
        return plannedPeriod(master, maintenance.startTc, maintenance.endTc, day);
    };
    if (maintenance.startDate.isValid()) {
        out << occurrence(int(workingDate.daysTo(maintenance.startDate)));
        return out;
    }
    for (int day = 0; day <= 7; ++day) {
        const FramePeriod p = occurrence(day);
        if (day == 0 && p.start <= nowFrames && p.end < nowFrames)
            continue;
        out << p;
    }
    return out;
}

bool maintenanceMeets(const QList<trx::ScheduleInfo> &maintenance, const trx::PortState &master,
                      qint32 nowFrames, const QDate &workingDate, const FramePeriod &period)
{
    QList<FramePeriod> all;
    for (const trx::ScheduleInfo &m : maintenance)
        all << maintenanceOccurrences(m, master, nowFrames, workingDate);
    return periodMeets(all, period);
}

bool maintenanceBlocksOpenEnd(const QList<trx::ScheduleInfo> &maintenance, const trx::PortState &master,
                              qint32 nowFrames, const QDate &workingDate, qint32 startFrames)
{
    for (const trx::ScheduleInfo &m : maintenance) {
        const QList<FramePeriod> occ = maintenanceOccurrences(m, master, nowFrames, workingDate);
        // Day 0 may have been left out as already passed; a running window is never left out.
        for (const FramePeriod &p : occ) {
            if (p.start <= nowFrames && nowFrames <= p.end && startFrames <= p.end)
                return true;
        }
    }
    return false;
}

QString portLabel(const QString &portName, int portNo)
{
    if (!portName.isEmpty())
        return portName;
    return QStringLiteral("Port %1").arg(QChar(QLatin1Char('A').unicode() + portNo));
}

QString portCheckLine(const PortCheckFacts &facts)
{
    const auto reason = [](const char *keyword, const QString &detail, const char *tail) -> QString {
        QString text = QLatin1String(keyword);
        if (!detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(detail);
        return text + QLatin1String(tail);
    };
    QString reasons;
    if (!facts.materialOk)
        reasons += reason("No material", facts.materialDetail, ", ");
    if (!facts.openEnd) {
        if (facts.overlapsSchedule)
            reasons += reason("Next Schedule", facts.overlapDetail, ", ");
        if (facts.meetsMaintenance)
            reasons += reason("Maintenance Schedule", facts.maintenanceDetail, ", ");
        if (qint64(facts.period.end) - facts.period.start > facts.remainFrames)
            reasons += reason("Remain time", facts.remainDetail, ", ");
        if (facts.period.start < facts.line24h && facts.line24h < facts.period.end)
            reasons += QStringLiteral("24hrs, ");
    } else {
        if (facts.meetsMaintenance)
            reasons += reason("Maintenance Schedule", facts.maintenanceDetail, ", ");
        if (facts.overlapsSchedule)
            reasons += reason("Next schedule", facts.overlapDetail, "");
    }
    if (reasons.isEmpty())
        return QString();
    if (reasons.endsWith(QLatin1String(", ")))
        reasons.chop(2);
    const QString prefix = facts.asProxy ? QStringLiteral("%1 [%2]: ") : QStringLiteral("%1 %2: ");
    return prefix.arg(facts.serverName, facts.portName) + reasons;
}

QString joinedMessages(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1Char('\n');
    return text;
}

QStringList startedMeanwhileMessages(trx::ScheduleStatus openingStatus, trx::ScheduleStatus currentStatus,
                                     const EditValues &before, const EditValues &after)
{
    QStringList out;
    if (openingStatus != trx::ScheduleStatus::Scheduled || !trx::isRunning(currentStatus))
        return out;
    if (before.name != after.name)
        out << QStringLiteral("Could not edit the name because it is in progress.");
    if (before.date != after.date)
        out << QStringLiteral("Could not edit the date because it is in progress.");
    if (hhmmssChanged(before.startTc, after.startTc))
        out << QStringLiteral("Could not edit the Start because it is in progress.");
    if (before.destinations != after.destinations)
        out << QStringLiteral("Could not edit the destination because it is in progress.");
    return out;
}

bool endTooClose(qint32 newEndFrames, qint32 oldEndFrames, qint32 nowFrames)
{
    const qint64 limit = qint64(nowFrames) + kEndMarginFrames;
    // A new end in the past is as unusable as one too close to now.
    if (newEndFrames < limit)
        return true;
    return oldEndFrames < limit;
}

QStringList finishedMeanwhileMessages(trx::ScheduleStatus openingStatus, trx::ScheduleStatus currentStatus,
                                      const EditValues &before, const EditValues &after)
{
    QStringList out;
    if (!trx::blocksPortWhileOpen(openingStatus))
        return out;
    QString suffix;
    if (currentStatus == trx::ScheduleStatus::Completed)
        suffix = QStringLiteral("completed.");
    else if (currentStatus == trx::ScheduleStatus::TransferError)
        suffix = QStringLiteral("failed to transfer.");
    else if (currentStatus == trx::ScheduleStatus::Cancelled)
        suffix = QStringLiteral("cancelled.");
    else
        return out;
    if (before.date != after.date)
        out << QStringLiteral("%1%2").arg(QStringLiteral("Could not edit the date because it is "), suffix);
    if (hhmmssChanged(before.startTc, after.startTc) || hhmmssChanged(before.endTc, after.endTc))
        out << QStringLiteral("%1%2").arg(QStringLiteral("Could not edit the TC because it is "), suffix);
    return out;
}

bool PortPeriodIndex::beginRefill(const trx::PortState &master, const QDate &workingDate)
{
    if (!m_bStale && master.systemFrequency == m_iFrequency && master.dropFrame == m_bDropFrame &&
        workingDate == m_date)
        return false;
    m_byPort.clear();
    m_openEndIds.clear();
    m_bStale = false;
    m_iFrequency = master.systemFrequency;
    m_bDropFrame = master.dropFrame;
    m_date = workingDate;
    return true;
}

void PortPeriodIndex::add(const trx::ServerPort &port, const QString &id, const FramePeriod &period,
                          bool openEnd)
{
    Port &entry = m_byPort[port];
    entry.periods << period;
    entry.ids << id;
    if (openEnd)
        m_openEndIds << id;
}
