#include "controller/maincontroller.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "controller/scheduletexts.h"
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

TimelineItemWidget *MainController::createTaskView(const ScheduleInfo &sch)
{
    const TaskEntry entry = buildTaskEntry(sch);
    const ScheduleTexts texts = scheduleTexts(sch, entry.start, entry.end);
    const ItemExtent extent = itemExtent(entry.start, entry.end, m_curTc);

    auto *item = new TimelineItemWidget(nullptr, texts.label, extent.start, extent.length, texts.start,
                                        texts.end, texts.status);
    if (isMaintenance(sch)) {
        item->setMaintenance(true);
        item->setDated(sch.startDate.isValid());
    }
    item->setStatus(sch.status());
    item->setDuration(texts.duration);
    item->setDestinations(destinationText(sch.master),
                          sch.withProxy ? destinationText(sch.proxy) : QString());
    item->setValue(TimelineItemWidget::TaskIdKey, QVariant(sch.id));
    item->setProgress(sch.master.progress, sch.proxy.progress);
    connect(item, &TimelineItemWidget::sigContextMenu, this, &MainController::taskItemContextMenu);
    item->hide();
    item->setReady(true);
    return item;
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

void MainController::applyTaskTexts(TimelineItemWidget *item, const TaskEntry &entry)
{
    const ScheduleTexts texts = scheduleTexts(entry.schedule, entry.start, entry.end);
    const ItemExtent extent = itemExtent(entry.start, entry.end, m_curTc);
    item->setRange(extent.start, extent.length);
    // Each setter re-renders only when its value changed.
    item->setStartText(texts.start);
    item->setEndText(texts.end);
    item->setDuration(texts.duration);
    item->setStatusText(texts.status);
    item->setStatus(entry.schedule.status());
    item->setNameText(texts.label);
    item->setProgress(entry.masterProgress, entry.proxyProgress);
    item->setDestinations(destinationText(entry.schedule.master),
                          entry.schedule.withProxy ? destinationText(entry.schedule.proxy) : QString());
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
    ServerPortWidget *row = findPortWidget(it->serverId, it->port);
    if (!row)
        return;
    TimelineWidget *timeline = row->timeline();
    if (!it->item) {
        TimelineItemWidget *item = createTaskView(it->schedule);
        it->item = item;
        timeline->addItem(item, false);
    } else {
        it->start =
            TimeCode(m_masterPortState, it->schedule.startTc, daysFromWorkingDate(it->schedule.startDate));
        it->end = TimeCode(m_masterPortState, it->schedule.endTc, daysFromWorkingDate(it->schedule.endDate));
        applyTaskTexts(it->item, *it);
    }
    timeline->relayout();
    if (it->item)
        it->item->update();
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

    QMap<trx::ServerPort, QList<TimelineItemWidget *>> itemsByPort;
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
        // A replaced entry's old item is still owned by its timeline; drop it there so that the
        // port does not show the schedule twice.
        const auto old = m_mapTasks.constFind(sch.id);
        if (old != m_mapTasks.cend() && old->item) {
            if (ServerPortWidget *oldRow = findPortWidget(old->serverId, old->port))
                oldRow->timeline()->removeItemsByTaskId(sch.id);
        }
        TimelineItemWidget *item = createTaskView(sch);
        entry.item = item;
        itemsByPort[trx::ServerPort(sch.serverId, sch.portNo)].append(item);
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
        if (!it->schedule.withProxy || !it->item)
            continue;
        const QString proxyId = firstProxy.value(it->id);
        if (proxyId.isEmpty())
            continue;
        const TaskEntry proxy = m_mapTasks.value(proxyId);
        const trx::ScheduleStatus proxyStatus = proxy.schedule.status();
        if (proxyStatus == trx::ScheduleStatus::RecError ||
            proxyStatus == trx::ScheduleStatus::UnknownError) {
            const int value = proxy.masterProgress != -1 ? proxy.masterProgress : 0;
            it->item->setProgress(it->item->progress1(), value);
        }
    }

    for (auto it = itemsByPort.cbegin(); it != itemsByPort.cend(); ++it) {
        ServerPortWidget *row = findPortWidget(it.key().serverId, it.key().portNo);
        if (!row) {
            // No row to show them on: the entries stay, and a later view update builds the item.
            for (TimelineItemWidget *item : it.value())
                delete item;
            continue;
        }
        TimelineWidget *timeline = row->timeline();
        for (TimelineItemWidget *item : it.value())
            timeline->addItem(item, false);
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
    if (it->item) {
        if (ServerPortWidget *row = findPortWidget(it->serverId, it->port))
            row->timeline()->removeItemsByTaskId(taskId);
    }
    const QString mainId = it->schedule.mainScheduleId;
    if (!mainId.isEmpty()) {
        const auto main = m_mapTasks.find(mainId);
        if (main != m_mapTasks.end() && main->item && main->item->progress2() != -1) {
            main->proxyProgress = -1;
            main->item->setProgress(main->item->progress1(), -1);
        }
    }
    m_mapTasks.erase(m_mapTasks.find(taskId));
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
