#include "controller/maincontroller.h"

#include "controller/conflictdetails.h"
#include "controller/schedulechecks.h"
#include "controller/scheduletexts.h"
#include "controller/taskrules.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/timelineitemwidget.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QDebug>

namespace {

// The schedule an action or item stands for: menu actions carry it as data, items as their task id.
QString taskIdOf(QObject *sender)
{
    if (auto *action = qobject_cast<QAction *>(sender))
        return action->data().toString();
    if (auto *item = qobject_cast<TimelineItemWidget *>(sender))
        return item->taskId();
    return QString();
}

} // namespace

void MainController::taskItemContextMenu(QPoint pos)
{
    taskItemMenu(qobject_cast<TimelineItemWidget *>(sender()), pos);
}

void MainController::taskItemMenu(TimelineItemWidget *itemWidget, QPoint pos)
{
    const QString id = itemWidget ? itemWidget->taskId() : QString();
    const auto task = m_mapTasks.constFind(id);
    if (task == m_mapTasks.cend())
        return;
    const ScheduleInfo sch = task->schedule;
    m_taskMenu.prepare(id, isLinkUp(), canEdit(sch), canDelete(sch), stoppable(sch));

    // The item stays enlarged under its menu; it may be dropped while the menu runs.
    QPointer<TimelineItemWidget> item = itemWidget;
    if (item)
        item->setPinned(true);
    if (m_prompts.runMenu)
        m_prompts.runMenu(m_taskMenu.menu(), pos);
    if (item)
        item->setPinned(false);
}

bool MainController::canEdit(const ScheduleInfo &sch)
{
    switch (editVerdict(sch, masterPortState(), m_curTc, m_pSettings->m_date)) {
    case EditVerdict::Editable:
        return true;
    case EditVerdict::NotEditable:
        return false;
    case EditVerdict::ClipTest:
        break;
    }
    trx::ClipInfo clip;
    const bool found = m_pClient->getClipInfo(sch.serverId, sch.master.clipId, clip);
    return clipTestPasses(found, clip.clipRef, sch);
}

bool MainController::canDelete(const ScheduleInfo &sch) const
{
    return deletable(sch, masterPortState(), m_curTc, m_pSettings->m_date);
}

bool MainController::isUnfinished(const QString &taskId) const
{
    return trx::mayStillTransfer(m_mapTasks.value(taskId).schedule.status());
}

void MainController::removeTask()
{
    const QString id = taskIdOf(sender());
    if (!m_prompts.confirm || refuseWhileLinkDown())
        return;
    const int answer = m_prompts.confirm(
        m_pMainView, QStringLiteral("Are you sure you want to remove the Schedule ?") + taskSummaryLine(id),
        QStringLiteral("Confirmation"), ConfirmDialog::OkCancel, ConfirmDialog::Warning);
    // The link may have gone while the question was open.
    if (answer != ConfirmDialog::ResultOk || refuseWhileLinkDown())
        return;
    // Looked up after the question: the schedule may have started while it was open.
    const ScheduleInfo sch = m_mapTasks.value(id).schedule;
    if (canDelete(sch)) {
        m_pClient->removeSchedule(id);
        emit sigOperatorNotice(
            QStringLiteral("Schedule '%1' deleted on %2").arg(sch.name, portPlace(sch.serverId, sch.portNo)));
        return;
    }
    m_prompts.confirm(m_pMainView, QStringLiteral("Could not delete the schedule because it is in progress."),
                      QStringLiteral("Delete Schedule Error"), ConfirmDialog::OkOnly,
                      ConfirmDialog::Critical);
}

void MainController::deleteTaskById(QString taskId)
{
    if (!m_mapTasks.contains(taskId))
        return;
    // The same path as the item's menu entry, with its confirmation and its checks.
    QAction *remove = m_taskMenu.remove();
    remove->setData(taskId);
    remove->setEnabled(true);
    remove->trigger();
}

void MainController::cancelTask()
{
    const QString id = taskIdOf(sender());
    if (!m_prompts.confirm || refuseWhileLinkDown())
        return;
    const int answer = m_prompts.confirm(
        m_pMainView,
        QStringLiteral("Are you sure you want to stop schedule transfer ?") + taskSummaryLine(id),
        QStringLiteral("Confirmation"), ConfirmDialog::OkCancel, ConfirmDialog::Warning);
    if (answer != ConfirmDialog::ResultOk || !isUnfinished(id) || refuseWhileLinkDown())
        return;
    m_pClient->executeSchedule(id, answer + 1);
    const ScheduleInfo sch = m_mapTasks.value(id).schedule;
    emit sigOperatorNotice(
        QStringLiteral("Schedule '%1' stopped on %2").arg(sch.name, portPlace(sch.serverId, sch.portNo)));
}

QString MainController::portPlace(const QString &serverId, int port) const
{
    const QString label =
        portLabel(m_pSettings->m_portInfos.value(trx::ServerPort(serverId, port)).PortName, port);
    return QStringLiteral("%1 %2").arg(m_mapServers.value(serverId).name, label);
}

QString MainController::taskSummaryLine(const QString &taskId) const
{
    const auto task = m_mapTasks.constFind(taskId);
    if (task == m_mapTasks.cend())
        return QString();
    const ScheduleInfo &sch = task->schedule;
    return QLatin1Char('\n') + scheduleSummaryText(sch, portPlace(sch.serverId, sch.portNo));
}

void MainController::retransferTask()
{
    qDebug() << "retransfer task" << taskIdOf(sender());
}

void MainController::startArchive(QString taskId)
{
    const TaskEntry task = m_mapTasks.value(taskId);
    const ScheduleInfo &sch = task.schedule;
    m_pClient->archiveClip(task.archiveMgwId, sch.serverId, sch.master.clipId, task.archiveDriveId,
                           QString());
    if (!sch.proxy.clipId.isEmpty())
        m_pClient->archiveClip(task.archiveProxyMgwId, sch.serverId, sch.proxy.clipId,
                               task.archiveProxyDriveId, QString());
}
