#include "controller/maincontroller.h"

#include "trx/trxmclient.h"

// Master port and time synchronisation; the master-port work fills these in.

void MainController::updateTimeline(trx::PortState masterPortState)
{
    Q_UNUSED(masterPortState) // placeholder: filled by the master-port work
}

TimeCode MainController::curTc(QString serverId, int port)
{
    QMap<qint32, trx::PortState> states;
    m_pClient->getPortStates(serverId, states);
    return TimeCode(states.value(port));
}

void MainController::setTC(QString serverId, int port)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port) // placeholder: filled by the master-port work
}

void MainController::slotReSetMasterTc(QString strServerId)
{
    Q_UNUSED(strServerId) // placeholder: filled by the master-port work
}

void MainController::setMasterPort(trx::ServerPort port)
{
    Q_UNUSED(port) // placeholder: filled by the master-port work
}

void MainController::setDate(QDate date)
{
    Q_UNUSED(date) // placeholder: filled by the master-port work
}

void MainController::adjustTasksPos() {} // placeholder: filled by the master-port work
