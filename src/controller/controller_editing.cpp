#include "controller/maincontroller.h"

// Schedule dialog, validation and submission; the schedule-creation work fills these in.

void MainController::newTask(QString serverId, int port)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port) // placeholder: filled by the schedule-creation work
}

void MainController::newTask(QString serverId)
{
    newTask(serverId, -1);
}

void MainController::newTask()
{
    newTask(QString(), -1);
}

void MainController::markStart(QString serverId, int port)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port) // placeholder: filled by the schedule-creation work
}

void MainController::markEnd(QString serverId, int port)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port) // placeholder: filled by the schedule-creation work
}

void MainController::editTask() {} // placeholder: filled by the schedule-creation work

void MainController::editTask(QString taskId)
{
    Q_UNUSED(taskId) // placeholder: filled by the schedule-creation work
}

void MainController::slotProxyPortChanged(QString strServerId, int iPort, int iProxyPortId)
{
    Q_UNUSED(strServerId)
    Q_UNUSED(iPort)
    Q_UNUSED(iProxyPortId) // placeholder: filled by the schedule-creation work
}

void MainController::slotProxyChkIsEnable(QMap<trx::ServerPort, bool> selectedPorts, int iStart, int iEnd,
                                          QDate date)
{
    Q_UNUSED(selectedPorts)
    Q_UNUSED(iStart)
    Q_UNUSED(iEnd)
    Q_UNUSED(date) // placeholder: filled by the schedule-creation work
}

void MainController::slotCreateTaskOKClicked() {} // placeholder: filled by the schedule-creation work

void MainController::slotEditTaskOKClicked() {} // placeholder: filled by the schedule-creation work
