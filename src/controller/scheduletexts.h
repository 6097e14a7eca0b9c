#pragma once

#include "cmn/timecode.h"

#include <QString>

namespace trx {
class ScheduleInfo;
}

// The title a port row is created with: "Port C => Cam C" for port 2 fed by camera 3 (ports count
// from 0 as A, cameras from 1 as A).
QString portRowTitle(int port, int camera);

// The manager's status codes of a schedule (the master destination's status).
enum ScheduleStatusCode {
    StatusCancelling = -5,
    StatusCancelled = -4,
    StatusTransferError = -3,
    StatusRecError = -2,
    StatusUnknownError = -1,
    StatusNone = 0,
    StatusScheduled = 1,
    StatusWaitingFirst = 2,
    StatusWaitingLast = 5,
    StatusInProgress = 6,
    StatusCompletedFirst = 7,
    StatusCompletedLast = 8,
};

// The text shown for a status code, for display only (decisions take trx::ScheduleStatus). Unknown
// codes give "".
QString statusText(int status);

// The five text lines of a schedule's timeline item.
struct ScheduleTexts
{
    QString label;
    QString start;
    QString end;
    QString duration;
    QString status;
};

// `start` and `end` are the schedule's positions on the master clock.
ScheduleTexts scheduleTexts(const trx::ScheduleInfo &sch, const TimeCode &start, const TimeCode &end);

// Where an item sits on the timeline: its start position and its length in frames.
struct ItemExtent
{
    int start = 0;
    int length = 1;
};

// Frames an open-end item shows while the current timecode is unknown or not yet past its start.
int openEndMinimumFrames(const TimeCode &start);

// The extent of a schedule from `start` to `end`. An open end (end not valid) runs up to `now`
// when that is known and later than the start, else it shows openEndMinimumFrames. Never shorter
// than one frame, so that lane packing always gets a real interval.
ItemExtent itemExtent(const TimeCode &start, const TimeCode &end, const TimeCode &now);
