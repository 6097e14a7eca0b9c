#include "controller/maincontroller.h"

// The schedule item's context menu and its actions; the task-actions work fills these in.

void MainController::taskItemContextMenu(QPoint pos)
{
    Q_UNUSED(pos) // placeholder: filled by the task-actions work
}

void MainController::removeTask() {} // placeholder: filled by the task-actions work

void MainController::cancelTask() {} // placeholder: filled by the task-actions work

void MainController::retransferTask() {} // placeholder: filled by the task-actions work

void MainController::startArchive(QString taskId)
{
    Q_UNUSED(taskId) // placeholder: filled by the task-actions work
}

bool MainController::canEdit(const ScheduleInfo &sch)
{
    Q_UNUSED(sch)
    return false;
}

bool MainController::canDelete(const ScheduleInfo &sch) const
{
    Q_UNUSED(sch)
    return false;
}

bool MainController::isUnfinished(const QString &taskId) const
{
    Q_UNUSED(taskId)
    return true;
}
