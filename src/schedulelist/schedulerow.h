#pragma once

#include <QDate>
#include <QString>

struct TaskEntry;

// One line of the schedule list: the texts it shows and the values it sorts by. Plain data, so
// that the list can be filled and tested without a controller.
struct ScheduleRow
{
    QString id;
    QString name;
    QString server;
    QString port;
    int portNo = -1;
    QDate day;
    QString startText;
    QString endText;
    QString durationText;
    QString statusText;
    int status = 0;
    int masterProgress = -1;
    int proxyProgress = -1;
    // Chronological keys: the date's day number and the packed timecode, which grows with time.
    qint64 startKey = 0;
    qint64 endKey = 0;
    // Frames from start to end; -1 while the schedule has no end.
    qint64 durationFrames = -1;

    bool operator==(const ScheduleRow &o) const;
    bool operator!=(const ScheduleRow &o) const { return !(*this == o); }
};

// The sort key of a date and an integer-packed timecode; `missing` when either is absent, so that
// a start without time sorts first and an open end last.
qint64 chronoKey(const QDate &date, qint32 packedTc, qint64 missing);

// The row of a task; `server` is the server's name and `port` the port's label.
ScheduleRow scheduleRow(const TaskEntry &task, const QString &server, const QString &port);

// "42%", "42% / 10%" with a proxy copy, empty when there is no progress yet.
QString progressText(int masterProgress, int proxyProgress);
