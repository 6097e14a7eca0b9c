#pragma once

#include <QDate>
#include <QList>
#include <QString>

// How a new schedule repeats: on which days, and until a date or for a number of occurrences.
struct RepeatRule
{
    enum Kind { None, Daily, Weekdays, EveryNDays };
    Kind kind = None;
    int everyDays = 2;
    // For this many occurrences; 0 when `until` ends the series instead.
    int count = 0;
    QDate until;
};

// The days the schedule falls on, from `first` on and none after `last` (the end of the time
// axis). Weekdays skips Saturday and Sunday, the first day as well. Without repetition: `first`.
QList<QDate> repeatDates(const RepeatRule &rule, const QDate &first, const QDate &last);

// One occurrence as the operator is shown it before anything is sent.
struct RepeatOccurrence
{
    QDate date;
    QString start;
    QString end;
    // Why the occurrence is refused; empty when it is free.
    QString refusal;
};
