#include "schedulelist/statusgroup.h"

#include "trx/scheduleinfo.h"

StatusGroup statusGroupOf(int status)
{
    using S = trx::ScheduleStatus;
    switch (trx::scheduleStatusOf(status)) {
    case S::Scheduled:
        return StatusGroup::Scheduled;
    case S::Waiting:
        return StatusGroup::Waiting;
    case S::InProgress:
        return StatusGroup::InProgress;
    case S::Completed:
        return StatusGroup::Completed;
    case S::Cancelling:
    case S::Cancelled:
        return StatusGroup::Cancelled;
    case S::TransferError:
    case S::RecError:
    case S::UnknownError:
        return StatusGroup::Errors;
    case S::None:
    case S::Other:
        break;
    }
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
