#include "controller/maincontroller.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "controller/scheduletexts.h"
#include "controller/taskrules.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QHash>
#include <QSet>
#include <QMap>

namespace {

bool isMaintenance(const ScheduleInfo &sch)
{
    return sch.type == trx::ScheduleInfo::Maintenance;
}

} // namespace

int MainController::daysFromWorkingDate(const QDate &date) const
{
    return int(m_pSettings->m_date.daysTo(date));
}

TaskEntry MainController::buildTaskEntry(const ScheduleInfo &sch) const
{
    TaskEntry entry;
    entry.id = sch.id;
    entry.kind = 1;
    entry.serverId = sch.serverId;
    entry.port = sch.portNo;
    entry.name = sch.name;
    entry.start = TimeCode(m_masterPortState, sch.startTc, daysFromWorkingDate(sch.startDate));
    entry.end = TimeCode(m_masterPortState, sch.endTc, daysFromWorkingDate(sch.endDate));
    entry.masterProgress = sch.master.progress;
    entry.proxyProgress = sch.proxy.progress;
    entry.schedule = sch;
    return entry;
}

TimelineItemData MainController::createTaskView(const ScheduleInfo &sch)
{
    return taskItemData(buildTaskEntry(sch));
}

TimelineItemData MainController::taskItemData(const TaskEntry &entry) const
{
    const ScheduleInfo &sch = entry.schedule;
    const ScheduleTexts texts = scheduleTexts(sch, entry.start, entry.end);
    const ItemExtent extent = itemExtent(entry.start, entry.end, m_curTc);
    TimelineItemData data;
    data.taskId = sch.id;
    data.name = texts.label;
    data.startFrame = extent.start;
    data.length = extent.length;
    data.startText = texts.start;
    data.endText = texts.end;
    data.durationText = texts.duration;
    data.statusText = texts.status;
    data.status = sch.status();
    data.progress1 = entry.masterProgress;
    data.progress2 = entry.proxyProgress;
    data.maintenance = isMaintenance(sch);
    data.dated = data.maintenance && sch.startDate.isValid();
    data.masterDestination = destinationText(sch.master);
    data.proxyDestination = sch.withProxy ? destinationText(sch.proxy) : QString();
    if (entry.clipRemoved)
        data.values.insert(TimelineItemWidget::ClipRemovedKey, true);
    return data;
}

TimelineWidget *MainController::taskTimeline(const QString &taskId) const
{
    const auto it = m_mapTasks.constFind(taskId);
    if (it == m_mapTasks.cend())
        return nullptr;
    ServerPortWidget *row = findPortWidget(it->serverId, it->port);
    return row && row->timeline()->hasItem(taskId) ? row->timeline() : nullptr;
}

TimelineItemWidget *MainController::taskWidget(const QString &taskId, bool create) const
{
    TimelineWidget *timeline = taskTimeline(taskId);
    return timeline ? timeline->itemWidget(taskId, create) : nullptr;
}

void MainController::watchTimeline(TimelineWidget *timeline)
{
    connect(timeline, &TimelineWidget::sigItemContextMenu, this, &MainController::taskItemMenu,
            Qt::UniqueConnection);
    connect(timeline, &TimelineWidget::sigItemDragStarting, this, &MainController::slotItemDragStarting,
            Qt::UniqueConnection);
    connect(timeline, &TimelineWidget::sigItemDragDropped, this, &MainController::slotItemDragDropped,
            Qt::UniqueConnection);
}

TimelineWidget *MainController::showTaskItem(const TaskEntry &entry)
{
    ServerPortWidget *row = findPortWidget(entry.serverId, entry.port);
    if (!row)
        return nullptr;
    TimelineWidget *timeline = row->timeline();
    watchTimeline(timeline);
    timeline->setItem(taskItemData(entry), false);
    return timeline;
}

ServerPortWidget *MainController::findPortWidget(const QString &serverId, int port) const
{
    const auto server = m_mapPorts.constFind(serverId);
    if (server == m_mapPorts.cend())
        return nullptr;
    const auto entry = server->constFind(port);
    if (entry == server->cend())
        return nullptr;
    return entry->widget.data();
}

QString MainController::findLinkingTask(const QString &id) const
{
    for (auto it = m_mapTasks.cbegin(); it != m_mapTasks.cend(); ++it) {
        if (it->schedule.mainScheduleId == id)
            return it.key();
    }
    return QString();
}

QString MainController::destinationText(const trx::ScheduleDestination &d) const
{
    // Gateway and drive by name where the gateway list knows them, the folder by its id.
    QString gateway = d.text3;
    QString drive = d.text4;
    for (const trx::MgwInfo &mgw : m_listMgws) {
        if (mgw.id != d.text3)
            continue;
        gateway = mgw.name.isEmpty() ? mgw.id : mgw.name;
        for (const trx::MgwDrive &dr : mgw.drives) {
            if (dr.id == d.text4 && !dr.name.isEmpty())
                drive = dr.name;
        }
    }
    QStringList parts;
    for (const QString &part : {gateway, drive, d.text5}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QStringLiteral(" / "));
}

void MainController::updateTaskView(QString taskId)
{
    const auto it = m_mapTasks.find(taskId);
    if (it == m_mapTasks.end())
        return;
    if (!findPortWidget(it->serverId, it->port))
        return;
    it->start = TimeCode(m_masterPortState, it->schedule.startTc, daysFromWorkingDate(it->schedule.startDate));
    it->end = TimeCode(m_masterPortState, it->schedule.endTc, daysFromWorkingDate(it->schedule.endDate));
    // The item's widget, when one draws it, re-renders only what changed.
    if (TimelineWidget *timeline = showTaskItem(*it))
        timeline->relayout();
}

void MainController::schedulesReady(QList<trx::ScheduleInfo> schedules)
{
    // The full list replaces the model: a schedule the manager no longer has would otherwise
    // linger and block new schedules in the overlap and maintenance checks.
    QSet<QString> listed;
    for (const ScheduleInfo &sch : qAsConst(schedules))
        listed.insert(sch.id);
    QStringList ghosts;
    for (auto it = m_mapTasks.cbegin(); it != m_mapTasks.cend(); ++it) {
        if (!listed.contains(it.key()))
            ghosts << it.key();
    }
    for (auto it = m_mapMaintenance.cbegin(); it != m_mapMaintenance.cend(); ++it) {
        if (!listed.contains(it.key()))
            ghosts << it.key();
    }
    for (const QString &id : qAsConst(ghosts))
        removeTaskById(id);

    m_periods.invalidate();
    QMap<trx::ServerPort, QList<QString>> itemsByPort;
    for (const ScheduleInfo &sch : qAsConst(schedules)) {
        if (!isMaintenance(sch))
            continue;
        m_mapMaintenance.insert(sch.id, sch);
        emit sigUpdateMaintenanceTaskView(sch.id);
    }
    for (const ScheduleInfo &sch : qAsConst(schedules)) {
        if (isMaintenance(sch))
            continue;
        TaskEntry entry = buildTaskEntry(sch);
        // A replaced entry's old item may sit on another row; drop it there so that no port shows
        // the schedule twice.
        if (TimelineWidget *oldTimeline = taskTimeline(sch.id))
            oldTimeline->removeItemsByTaskId(sch.id);
        itemsByPort[trx::ServerPort(sch.serverId, sch.portNo)].append(sch.id);
        m_mapTasks.insert(sch.id, entry);
    }

    // findLinkingTask for every schedule at once: the first proxy of each, in key order. One
    // scan per schedule would be quadratic in the size of the list.
    QHash<QString, QString> firstProxy;
    for (auto it = m_mapTasks.cbegin(); it != m_mapTasks.cend(); ++it) {
        if (!it->schedule.mainScheduleId.isEmpty() && !firstProxy.contains(it->schedule.mainScheduleId))
            firstProxy.insert(it->schedule.mainScheduleId, it.key());
    }
    for (auto it = m_mapTasks.begin(); it != m_mapTasks.end(); ++it) {
        if (!it->schedule.withProxy)
            continue;
        const QString proxyId = firstProxy.value(it->id);
        if (proxyId.isEmpty())
            continue;
        const TaskEntry proxy = m_mapTasks.value(proxyId);
        const trx::ScheduleStatus proxyStatus = proxy.schedule.status();
        if (proxyStatus == trx::ScheduleStatus::RecError ||
            proxyStatus == trx::ScheduleStatus::UnknownError) {
            // The main schedule's item shows the failed proxy's bar.
            it->proxyProgress = proxy.masterProgress != -1 ? proxy.masterProgress : 0;
        }
    }

    for (auto it = itemsByPort.cbegin(); it != itemsByPort.cend(); ++it) {
        ServerPortWidget *row = findPortWidget(it.key().serverId, it.key().portNo);
        // No row to show them on: the entries stay, and a later view update shows the item.
        if (!row)
            continue;
        TimelineWidget *timeline = row->timeline();
        watchTimeline(timeline);
        for (const QString &id : it.value())
            timeline->setItem(taskItemData(m_mapTasks.value(id)), false);
        timeline->relayout();
    }

    emit sigTasksReset();
    showMainWindowFullScreen();
    emit sigInitDone();
}

void MainController::addScheduleFromPush(const ScheduleInfo &sch)
{
    if (isMaintenance(sch)) {
        m_mapMaintenance.insert(sch.id, sch);
        emit sigUpdateMaintenanceTaskView(sch.id);
        return;
    }
    if (sch.portNo < 0 || sch.portNo > 7)
        return;
    if (m_mapTasks.contains(sch.id))
        return;
    m_periods.invalidate();
    m_mapTasks.insert(sch.id, buildTaskEntry(sch));
    updateTaskView(sch.id);
    emit sigTaskChanged(sch.id);
}

void MainController::scheduleInfoChanged(ScheduleInfo sch)
{
    changeScheduleFromPush(sch);
}

void MainController::changeScheduleFromPush(const ScheduleInfo &sch)
{
    if (isMaintenance(sch)) {
        // The stored copy is what the checks and the yellow items go by: a moved window must not
        // keep blocking (or freeing) its old time.
        const auto known = m_mapMaintenance.find(sch.id);
        if (known != m_mapMaintenance.end()) {
            *known = sch;
            updateMaintenanceTaskView(sch.id);
        }
        adjustTasksPos();
        return;
    }
    const auto it = m_mapTasks.find(sch.id);
    if (it == m_mapTasks.end())
        return;
    // Progress and status pushes arrive all the time; only a moved schedule changes the periods
    // the maintenance check goes by.
    const ScheduleInfo &old = it->schedule;
    if (old.startTc != sch.startTc || old.endTc != sch.endTc || old.startDate != sch.startDate ||
        old.endDate != sch.endDate || old.serverId != sch.serverId || old.portNo != sch.portNo ||
        (sch.endTc == -1 &&
         trx::blocksPortWhileOpen(old.status()) != trx::blocksPortWhileOpen(sch.status())))
        m_periods.invalidate();
    if (old.master.clipId != sch.master.clipId)
        it->clipRemoved = false;
    it->name = sch.name;
    it->masterProgress = sch.master.progress;
    it->proxyProgress = sch.proxy.progress;
    it->schedule = sch;
    updateTaskView(sch.id);
    emit sigTaskChanged(sch.id);
}

void MainController::removeTask(QString taskId)
{
    removeTaskById(taskId);
}

void MainController::removeTaskById(const QString &taskId)
{
    if (m_mapMaintenance.contains(taskId)) {
        for (const QMap<int, PortEntry> &ports : qAsConst(m_mapPorts)) {
            for (const PortEntry &port : ports) {
                if (port.widget)
                    port.widget->timeline()->removeItemsByTaskId(taskId);
            }
        }
        m_mapMaintenance.remove(taskId);
        return;
    }
    const auto it = m_mapTasks.find(taskId);
    if (it == m_mapTasks.end())
        return;
    if (TimelineWidget *timeline = taskTimeline(taskId))
        timeline->removeItemsByTaskId(taskId);
    const QString mainId = it->schedule.mainScheduleId;
    if (!mainId.isEmpty()) {
        const auto main = m_mapTasks.find(mainId);
        if (main != m_mapTasks.end() && main->proxyProgress != -1 && taskTimeline(mainId)) {
            main->proxyProgress = -1;
            showTaskItem(*main);
        }
    }
    m_mapTasks.erase(m_mapTasks.find(taskId));
    m_periods.invalidate();
    emit sigTaskRemoved(taskId);
    if (!mainId.isEmpty() && m_mapTasks.contains(mainId))
        emit sigTaskChanged(mainId);
}

void MainController::slotClearAllPortViews()
{
    for (const QMap<int, PortEntry> &ports : qAsConst(m_mapPorts)) {
        for (const PortEntry &port : ports) {
            if (!port.widget)
                continue;
            TimelineWidget *timeline = port.widget->timeline();
            timeline->removeItems(timeline->taskIds());
        }
    }
}

void MainController::slotRemoveAllTasks()
{
    const QList<QString> ids = m_mapTasks.keys();
    if (ids.isEmpty() || refuseWhileLinkDown())
        return;
    for (const QString &id : ids)
        m_pClient->removeSchedule(id);
}

void MainController::slotRemoveTasks(QList<QString> taskIds)
{
    if (taskIds.isEmpty() || refuseWhileLinkDown())
        return;
    for (const QString &id : qAsConst(taskIds))
        m_pClient->removeSchedule(id);
}

void MainController::slotAddSchedules10Per()
{
    const FrameRate rate = frameRateFor(m_masterPortState.systemFrequency, m_masterPortState.dropFrame);
    if (!rate.mode || refuseWhileLinkDown())
        return;
    const int perDay = rate.mode->frames_per_day();
    const int second = rate.mode->fps();
    const QDate day = m_pSettings->m_date.addDays(1);
    const TimeCode now(m_masterPortState);
    const auto packedAt = [&](qint64 frames) {
        return bcdToPacked(int(rate.mode->frames_to_tc(foldIntoDay(rate, frames))));
    };

    for (auto server = m_mapPorts.cbegin(); server != m_mapPorts.cend(); ++server) {
        for (auto port = server->cbegin(); port != server->cend(); ++port) {
            bool found = false;
            qint64 latestEnd = 0;
            for (const TaskEntry &task : qAsConst(m_mapTasks)) {
                if (task.serverId != server.key() || task.port != port.key() || !task.end.valid)
                    continue;
                if (!found || task.end.frames > latestEnd)
                    latestEnd = task.end.frames;
                found = true;
            }
            // Each test schedule follows the previous one, so that none of them overlap.
            qint64 cursor = found ? latestEnd : (now.valid ? now.frames : 0);
            for (int k = 1; k <= 20; ++k) {
                trx::ScheduleRequest request;
                request.name = m_pSettings->m_strDefaultTaskName;
                request.startDate = day;
                request.endDate = day;
                request.type = 0;
                request.withProxy = false;
                const qint64 start = cursor + second;
                const qint64 end = start + qint64(k) * second;
                request.startTc = packedAt(start);
                request.endTc = packedAt(end);
                request.ports.append(trx::ServerPort(server.key(), port.key()));
                m_pClient->addSchedule(request);
                cursor = end % perDay;
            }
        }
    }
}
