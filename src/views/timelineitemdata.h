#pragma once

#include "trx/scheduleinfo.h"

#include <QMap>
#include <QString>
#include <QVariant>

// What one schedule item shows, kept by its timeline whether or not a widget draws it now: the
// timeline binds an item widget to it only while it is near the visible part of the view.
struct TimelineItemData
{
    QString taskId;
    QString name;
    int startFrame = 0;
    int length = 0;
    QString startText;
    QString endText;
    // Empty until set; an item shows "--:--:--:--" for a duration set empty.
    QString durationText;
    QString statusText;
    // Picks the bar colours; statusText is only shown.
    trx::ScheduleStatus status = trx::ScheduleStatus::None;
    int progress1 = -1;
    int progress2 = -1;
    bool maintenance = false;
    bool dated = false;
    QString masterDestination;
    QString proxyDestination;
    // Further named values (the task id is taskId).
    QMap<int, QVariant> values;
};
