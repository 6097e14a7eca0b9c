#include "controller/maincontroller.h"

// Maintenance window checks, requests and items; the maintenance work fills these in.

void MainController::maintenance(bool bNow)
{
    Q_UNUSED(bNow) // placeholder: filled by the maintenance work
}

void MainController::maintenance()
{
    maintenance(true);
}

void MainController::updateMaintenanceTaskView(QString strId)
{
    Q_UNUSED(strId) // placeholder: filled by the maintenance work
}

void MainController::updateMaintenanceTask() {} // placeholder: filled by the maintenance work

void MainController::slotCanMaintenance(bool bNow, int iTc)
{
    Q_UNUSED(bNow)
    Q_UNUSED(iTc) // placeholder: filled by the maintenance work
}

void MainController::maintenanceDialog() {}

bool MainController::maintenanceConflict(int tc, bool bNow, QString &errorText) const
{
    Q_UNUSED(tc)
    Q_UNUSED(bNow)
    Q_UNUSED(errorText)
    return false;
}
