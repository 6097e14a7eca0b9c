#include "controller/maincontroller.h"

// Every operation here runs on a thread of the manager link. None of them touches the controller's
// tables: each copies its arguments into work handed over to the controller's own thread.

void MainController::serverInfoChanged(const trx::ServerInfo &server)
{
    notePush();
    handOver([this, info = server] { onServerInfoPushed(info); });
}

void MainController::connectionStateChanged(bool connected, int socketError)
{
    Q_UNUSED(connected)
    Q_UNUSED(socketError)
    // The reconnect waits on the controller's thread, so the link's thread is not held up.
    handOver([this] { onLinkLost(); });
}

void MainController::recordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train)
{
    notePush();
    handOver([this, id = serverId, copy = train] { onRecordTrainChanged(id, copy); });
}

void MainController::schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64 value)
{
    Q_UNUSED(value)
    notePush();
    // One queue for both, so the views are cleared before the list is shown, whatever else was
    // handed over before.
    handOver([this] { emit sigClearAllPortViews(); });
    handOver([this, list = schedules] { schedulesReady(list); });
}

void MainController::scheduleAdded(const trx::ScheduleInfo &schedule)
{
    notePush();
    handOver([this, sch = schedule] { addScheduleFromPush(sch); });
}

void MainController::scheduleChanged(const trx::ScheduleInfo &schedule, qint32 value)
{
    Q_UNUSED(value)
    notePush();
    handOver([this, sch = schedule] { changeScheduleFromPush(sch); });
}

void MainController::scheduleRemoved(const QString &scheduleId)
{
    notePush();
    handOver([this, id = scheduleId] { removeTaskById(id); });
}

void MainController::mgwsChanged(const QList<trx::MgwInfo> &mgws)
{
    notePush();
    handOver([this, list = mgws] {
        m_listMgws = list;
        updateMgw();
    });
    emit mgwsReady(mgws);
}

void MainController::mgwFoldersReceived(const QString &mgwId, const QString &driveId,
                                        const QList<trx::MgwFolderInfo> &folders)
{
    notePush();
    emit mgwFoldersReady(mgwId, driveId, folders);
}
