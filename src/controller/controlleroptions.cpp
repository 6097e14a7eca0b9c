#include "controller/controlleroptions.h"

int retryDelayMs(const RetryIntervals &intervals, int failedAttempts)
{
    if (intervals.backoffMs.isEmpty())
        return 1000;
    const int index = qBound(0, failedAttempts, intervals.backoffMs.size() - 1);
    return qMax(0, intervals.backoffMs.at(index));
}
