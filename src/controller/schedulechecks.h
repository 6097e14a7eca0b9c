#pragma once

#include "trx/portstate.h"
#include "trx/scheduleinfo.h"
#include "trx/serverport.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The rules behind creating and editing schedules, free of widgets and of the link: request
// fields, overlaps on a port, maintenance occurrences and the messages of the OK checks.
// Timecodes are integer-packed ((hh << 24) | (mm << 16) | (ss << 8) | ff, -1 for none).

// 1 (open end) for a missing end, else 255 for maintenance, else 0.
int scheduleType(int startTc, int endTc, bool maintenance);

// The start date, one day later when a closed schedule crosses midnight.
QDate scheduleEndDate(const QDate &startDate, int startTc, int endTc);

// On a drop-frame clock the first two frame numbers of every minute that is not a multiple of
// ten do not exist; such a timecode moves on to the first one that does.
int dropFrameAdjusted(int packedTc, bool dropFrame);

// The timecode `seconds` later, folded into one day; frames are kept. -1 stays -1.
int addSecondsInDay(int packedTc, int seconds);

// Whether the hh:mm:ss part of two timecodes differs (frames are not shown to the operator).
bool hhmmssChanged(int oldTc, int newTc);

// A stretch of a port's clock in frames counted from the working date's midnight.
struct FramePeriod
{
    qint32 start = 0;
    qint32 end = 0;
};

// Frames of the integer-packed timecode `tc` on day `days` after the working date, on the master's
// clock; 0 for no timecode (-1).
qint32 masterFrames(const trx::PortState &master, int tc, int days);

// A period planned from `startTc` to `endTc` on day `days` after the working date: the end lies on
// the next day when it is smaller than the start (the period crosses midnight). An open end (-1)
// has no frame of its own (end 0); the callers treat it.
FramePeriod plannedPeriod(const trx::PortState &master, int startTc, int endTc, int days);

// A known schedule's period, its start and end each on its own date. An open end runs on (INT_MAX)
// while the schedule keeps its port (trx::blocksPortWhileOpen) and ends where it started after.
FramePeriod schedulePeriod(const trx::PortState &master, const trx::ScheduleInfo &sch,
                           const QDate &workingDate);

// Every schedule's period by port, and the open-end schedules among them: what the maintenance
// check and the open-end growth need on every clock update. Filled again only after invalidate()
// or when the master's rate or the working date changed.
class PortPeriodIndex
{
public:
    struct Port
    {
        QList<FramePeriod> periods;
        QStringList ids;
    };

    void invalidate() { m_bStale = true; }
    // True (and the index emptied) when it must be filled again for this clock and date.
    bool beginRefill(const trx::PortState &master, const QDate &workingDate);
    void add(const trx::ServerPort &port, const QString &id, const FramePeriod &period, bool openEnd);
    const QMap<trx::ServerPort, Port> &byPort() const { return m_byPort; }
    const QStringList &openEndIds() const { return m_openEndIds; }

private:
    QMap<trx::ServerPort, Port> m_byPort;
    QStringList m_openEndIds;
    bool m_bStale = true;
    qint32 m_iFrequency = -1;
    bool m_bDropFrame = false;
    QDate m_date;
};

// Whether `period` meets any of `others`: same start, starts inside one of them (end included),
// or reaches the start of a later one. An end one frame before the next start does not meet it.
bool periodMeets(const QList<FramePeriod> &others, const FramePeriod &period);
// The index of the first of `others` that `period` meets, as periodMeets() judges; -1 for none.
int firstMeeting(const QList<FramePeriod> &others, const FramePeriod &period);

// Where a maintenance schedule occurs on the master clock: a daily one (no start date) on each of
// the eight days from the working date, leaving out today when its window has already passed at
// `nowFrames`; a dated one once, on its own date (counted from `workingDate`), where it is drawn.
// A window that crosses midnight ends on the next day.
QList<FramePeriod> maintenanceOccurrences(const trx::ScheduleInfo &maintenance, const trx::PortState &master,
                                          qint32 nowFrames, const QDate &workingDate);

// Whether a closed period meets an occurrence of any of the maintenance schedules.
bool maintenanceMeets(const QList<trx::ScheduleInfo> &maintenance, const trx::PortState &master,
                      qint32 nowFrames, const QDate &workingDate, const FramePeriod &period);

// Whether an open-end schedule starting at `startFrames` is blocked: a maintenance window is
// running now and the start is not after its end.
bool maintenanceBlocksOpenEnd(const QList<trx::ScheduleInfo> &maintenance, const trx::PortState &master,
                              qint32 nowFrames, const QDate &workingDate, qint32 startFrames);

// What the port check of one port found out; the controller gathers it.
struct PortCheckFacts
{
    QString serverName;
    QString portName; // the port's label, see portLabel()
    bool asProxy = false;
    bool materialOk = false;
    bool openEnd = false;
    FramePeriod period; // the end lies on the next day when the schedule crosses midnight
    bool overlapsSchedule = false;
    bool meetsMaintenance = false;
    qint32 remainFrames = 0;
    qint32 line24h = 0;
    // What the operator needs to put a problem right, shown in brackets after its keyword; empty
    // for none.
    QString materialDetail;
    QString overlapDetail;
    QString maintenanceDetail;
    QString remainDetail;
};

// "Port %1" with the port's letter when the port has no name.
QString portLabel(const QString &portName, int portNo);

// Empty when the port passes; otherwise the message line, e.g. "Server1 Port C: No material, Next
// Schedule" or, for a proxy port, "Server1 [Port B]: Remain time"; each keyword is followed by its
// detail when there is one: "Next Schedule ('Evening', 02:35:00:00-02:40:00:00)".
QString portCheckLine(const PortCheckFacts &facts);

// The message text of a list of problems: each line followed by a line break.
QString joinedMessages(const QStringList &lines);

// The values of a schedule that the edit checks compare.
struct EditValues
{
    QString name;
    QDate date;
    int startTc = -1;
    int endTc = -1;
    QStringList destinations; // the six id strings
};

// An edit of a schedule that started while the dialog was open (scheduled at opening, running
// now): one message per field it may no longer change.
QStringList startedMeanwhileMessages(trx::ScheduleStatus openingStatus, trx::ScheduleStatus currentStatus,
                                     const EditValues &before, const EditValues &after);

// "Invalid End" when a running schedule of today would get an end that is too close: the new end
// is not at least 900 frames after `nowFrames`, or the old end has passed or is that close.
bool endTooClose(qint32 newEndFrames, qint32 oldEndFrames, qint32 nowFrames);

// An edit of a schedule that finished, failed or was cancelled while the dialog was open.
QStringList finishedMeanwhileMessages(trx::ScheduleStatus openingStatus, trx::ScheduleStatus currentStatus,
                                      const EditValues &before, const EditValues &after);
