#include "schedulelist/statusgroup.h"

#include "controller/scheduletexts.h"

StatusGroup statusGroupOf(int status)
{
    switch (status) {
    case StatusScheduled:
        return StatusGroup::Scheduled;
    case StatusInProgress:
        return StatusGroup::InProgress;
    case StatusCancelling:
    case StatusCancelled:
        return StatusGroup::Cancelled;
    case StatusTransferError:
    case StatusRecError:
    case StatusUnknownError:
        return StatusGroup::Errors;
    default:
        break;
    }
    if (status >= StatusWaitingFirst && status <= StatusWaitingLast)
        return StatusGroup::Waiting;
    if (status >= StatusCompletedFirst && status <= StatusCompletedLast)
        return StatusGroup::Completed;
    return StatusGroup::None;
}

QString statusGroupTitle(StatusGroup group)
{
    switch (group) {
    case StatusGroup::All:
        return QStringLiteral("All");
    case StatusGroup::Scheduled:
        return QStringLiteral("Scheduled");
    case StatusGroup::Waiting:
        return QStringLiteral("Waiting");
    case StatusGroup::InProgress:
        return QStringLiteral("In-Progress");
    case StatusGroup::Completed:
        return QStringLiteral("Completed");
    case StatusGroup::Errors:
        return QStringLiteral("Errors");
    case StatusGroup::Cancelled:
        return QStringLiteral("Cancelled");
    case StatusGroup::None:
        break;
    }
    return QString();
}

int statusGroupRank(StatusGroup group)
{
    switch (group) {
    case StatusGroup::Scheduled:
        return 1;
    case StatusGroup::Waiting:
        return 2;
    case StatusGroup::InProgress:
        return 3;
    case StatusGroup::Completed:
        return 4;
    case StatusGroup::Cancelled:
        return 5;
    case StatusGroup::Errors:
        return 6;
    case StatusGroup::All:
    case StatusGroup::None:
        break;
    }
    return 0;
}
