#include "controller/maincontroller.h"

// Every operation here runs on a thread of the manager link. None of them touches the controller's
// tables: each copies its arguments into a call queued to the controller's own thread.

void MainController::serverInfoChanged(const trx::ServerInfo &server)
{
    const trx::ServerInfo info = server;
    QMetaObject::invokeMethod(
        this, [this, info] { onServerInfoPushed(info); }, Qt::QueuedConnection);
}

void MainController::connectionStateChanged(bool connected, int socketError)
{
    Q_UNUSED(connected)
    Q_UNUSED(socketError)
    // The reconnect waits on the controller's thread, so the link's thread is not held up.
    QMetaObject::invokeMethod(
        this, [this] { onLinkLost(); }, Qt::QueuedConnection);
}

void MainController::recordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train)
{
    const QString id = serverId;
    const trx::RecordTrainInfo copy = train;
    QMetaObject::invokeMethod(
        this, [this, id, copy] { onRecordTrainChanged(id, copy); }, Qt::QueuedConnection);
}

void MainController::schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64 value)
{
    Q_UNUSED(value)
    const QList<trx::ScheduleInfo> list = schedules;
    // Both land on the controller's thread in this order: the views are cleared before the list
    // is shown.
    emit sigClearAllPortViews();
    QMetaObject::invokeMethod(
        this, [this, list] { schedulesReady(list); }, Qt::QueuedConnection);
}

void MainController::scheduleAdded(const trx::ScheduleInfo &schedule)
{
    const ScheduleInfo sch = schedule;
    QMetaObject::invokeMethod(
        this, [this, sch] { addScheduleFromPush(sch); }, Qt::QueuedConnection);
}

void MainController::scheduleChanged(const trx::ScheduleInfo &schedule, qint32 value)
{
    Q_UNUSED(value)
    const ScheduleInfo sch = schedule;
    QMetaObject::invokeMethod(
        this, [this, sch] { changeScheduleFromPush(sch); }, Qt::QueuedConnection);
}

void MainController::scheduleRemoved(const QString &scheduleId)
{
    const QString id = scheduleId;
    QMetaObject::invokeMethod(
        this, [this, id] { removeTaskById(id); }, Qt::QueuedConnection);
}

void MainController::mgwsChanged(const QList<trx::MgwInfo> &mgws)
{
    const QList<trx::MgwInfo> list = mgws;
    QMetaObject::invokeMethod(
        this,
        [this, list] {
            m_listMgws = list;
            updateMgw();
        },
        Qt::QueuedConnection);
    emit mgwsReady(list);
}

void MainController::mgwFoldersReceived(const QString &mgwId, const QString &driveId,
                                        const QList<trx::MgwFolderInfo> &folders)
{
    emit mgwFoldersReady(mgwId, driveId, folders);
}
