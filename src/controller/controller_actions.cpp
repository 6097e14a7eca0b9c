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
