#pragma once

#include "cmn/framerate.h"

#include <QList>
#include <QString>

#include <optional>

// When a port's remaining recording time is too short: shorter than the next schedule on the port
// needs, or than half an hour when the port has no next schedule. Times are in milliseconds so
// that ports and schedules on different rates compare.

constexpr qint64 RemainFallbackMs = 30 * 60 * 1000;

// One schedule of a port as the alert sees it. An open end has no end (endMs empty).
struct ScheduleSpan
{
    qint64 startMs = 0;
    std::optional<qint64> endMs;
    bool finished = false;
};

// Completed, cancelled, being cancelled and failed schedules need no more recording.
bool isFinishedStatus(int status);

// The length of the next schedule: the earliest not finished one that starts at or after `nowMs`
// (the longest of those starting together). Nothing when there is none or it has no end (open end).
std::optional<qint64> nextScheduleLengthMs(const QList<ScheduleSpan> &spans, qint64 nowMs);

// What the remaining time must at least be: the next schedule's length, else the fallback.
qint64 remainNeedMs(const std::optional<qint64> &nextLengthMs);

// True when `remainMs` is below what is needed; equal is enough.
bool remainBelowNeed(qint64 remainMs, const std::optional<qint64> &nextLengthMs);

// Milliseconds of `frames` on `rate`'s clock (one day of frames is 24 hours); 30 frames per
// second when the rate has no mode.
qint64 framesToMs(qint64 frames, const FrameRate &rate);

// A port short of recording time, for the status line.
struct RemainAlert
{
    QString serverId;
    int port = -1;
    QString serverName;
    QString portLabel;
    qint64 remainMs = 0;
    // False when the port has no next schedule and the fallback applied.
    bool byNextSchedule = false;
};

// The alerts ordered most urgent first: least remaining time, then server and port.
QList<RemainAlert> sortedAlerts(QList<RemainAlert> alerts);

// One status line for the alerts, most urgent first, at most `shown` of them named:
// "A Port B: remaining time below next schedule; B Port A: remaining time below 30 minutes (+2 more)".
// Empty without alerts.
QString remainAlertLine(const QList<RemainAlert> &alerts, int shown = 3);
