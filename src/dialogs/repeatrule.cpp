#include "dialogs/repeatrule.h"

QList<QDate> repeatDates(const RepeatRule &rule, const QDate &first, const QDate &last)
{
    if (!first.isValid())
        return {};
    if (rule.kind == RepeatRule::None)
        return {first};
    const int step = rule.kind == RepeatRule::EveryNDays ? qMax(1, rule.everyDays) : 1;
    const QDate end = rule.count <= 0 && rule.until.isValid() && rule.until < last ? rule.until : last;
    QList<QDate> dates;
    for (QDate d = first; d <= end; d = d.addDays(step)) {
        if (rule.kind == RepeatRule::Weekdays && d.dayOfWeek() > 5)
            continue;
        dates << d;
        if (rule.count > 0 && dates.size() >= rule.count)
            break;
    }
    return dates;
}
