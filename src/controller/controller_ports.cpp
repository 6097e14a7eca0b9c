#include "controller/maincontroller.h"

// Port status, remaining time and usable ranges; the port-status work fills these in.

void MainController::updatePorts() {
} // placeholder: filled by the port-status work (runs on the worker thread)

void MainController::setREC(QString serverId, int port, bool rec)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port)
    Q_UNUSED(rec) // placeholder: filled by the port-status work
}

void MainController::updateRemainTime(QString serverId, int port, QString remainTime)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port)
    Q_UNUSED(remainTime) // placeholder: filled by the port-status work
}

void MainController::updateLoopRecStatus(QString serverId, int port, bool loop)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port)
    Q_UNUSED(loop) // placeholder: filled by the port-status work
}

void MainController::updateRecStatus(QString serverId, int port, bool recording)
{
    Q_UNUSED(serverId)
    Q_UNUSED(port)
    Q_UNUSED(recording) // placeholder: filled by the port-status work
}

void MainController::updatePortsRemainTime(QString serverId, QString vals)
{
    Q_UNUSED(serverId)
    Q_UNUSED(vals) // placeholder: filled by the port-status work
}

void MainController::updateUsableRangesView(QString strServerId)
{
    Q_UNUSED(strServerId) // placeholder: filled by the port-status work
}

void MainController::updatePortUsableRanges(QString strServerId, trx::PortNo iPort, QList<UsableRange> ranges)
{
    Q_UNUSED(strServerId)
    Q_UNUSED(iPort)
    Q_UNUSED(ranges) // placeholder: filled by the port-status work
}

void MainController::updatePortTcStatus(QString strServerId, int iPort, int iStatus)
{
    Q_UNUSED(strServerId)
    Q_UNUSED(iPort)
    Q_UNUSED(iStatus) // placeholder: filled by the port-status work
}

void MainController::update24hPortLines() {} // placeholder: filled by the port-status work

void MainController::markClipRemoved(QString strServerId, QString strClipId)
{
    Q_UNUSED(strServerId)
    Q_UNUSED(strClipId) // placeholder: filled by the port-status work
}
