#include "controller/maincontroller.h"

#include "controller/scheduletexts.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QSet>

namespace {

bool sameTimeCode(const TimeCode &a, const TimeCode &b)
{
    return a.origin == b.origin && a.rate == b.rate && a.tag == b.tag && a.frames == b.frames &&
           a.valid == b.valid && a.subFrame == b.subFrame;
}

} // namespace

trx::ServerPort MainController::masterPort() const
{
    return m_masterPort;
}

trx::PortState MainController::masterPortState() const
{
    return m_masterPortState;
}

void MainController::masterPortSynced(const trx::MasterPortSync &sync, qint32 flags)
{
    notePush();
    idbg_api("[%04x] INFO <MRL> Sync MasterPort/Time With TRXM: (%s, %d), Date = %s", logTid(),
             sync.serverId.toUtf8().constData(), sync.portNo,
             sync.date.toString(Qt::ISODate).toUtf8().constData());
    const trx::ServerPort port(sync.serverId, sync.portNo);
    const QDate date = sync.date;
    // Queued in this order, so a call with both bits sets the master before the date.
    if (flags & 1)
        handOver([this, port] { setMasterPort(port); });
    if (flags & 2)
        handOver([this, date] { setDate(date); });
}

void MainController::updateTimeline(trx::PortState masterPortState)
{
    m_masterPortState = masterPortState;
    m_curTc = TimeCode(masterPortState);
    const bool reanchor = m_bMasterChanged;
    m_bMasterChanged = false;
    // An open maintenance dialog offers "Maintenance Now" only while the window is free.
    QString unusedText;
    if (maintenanceConflict(-1, true, unusedText, false))
        emit mtnNoDone();
    else
        emit mtnDone();
    // Maintenance items may have been drawn before the master was known, or on another master's rate.
    if (reanchor) {
        const QList<QString> maintenanceIds = m_mapMaintenance.keys();
        for (const QString &id : maintenanceIds)
            updateMaintenanceTaskView(id);
    }
    if (!m_pMainView)
        return;
    if (reanchor)
        m_pMainView->applyTimecodeMode(m_curTc);
    m_pMainView->updateCurrentTc(m_curTc);
    const QSet<TimelineWidget *> grown = growOpenEndItems();
    const int anchorFrame = m_pMainView->anchorFrame();
    const int anchorX = m_pMainView->originX();
    for (const QMap<int, PortEntry> &server : qAsConst(m_mapPorts)) {
        for (const PortEntry &entry : server) {
            if (!entry.widget)
                continue;
            TimelineWidget *timeline = entry.widget->timeline();
            timeline->setAnchor(anchorFrame, anchorX);
            if (grown.contains(timeline))
                timeline->relayout();
            timeline->setCurrentTc(m_curTc);
        }
    }
}

QSet<TimelineWidget *> MainController::growOpenEndItems()
{
    // A running open-end schedule reaches up to the current timecode, so it grows with it.
    QSet<TimelineWidget *> timelines;
    // Only the open-end schedules, not every schedule every second.
    const QStringList openEnds = periodsByPort(masterPortState()).openEndIds();
    for (const QString &id : openEnds) {
        const auto found = m_mapTasks.constFind(id);
        if (found == m_mapTasks.cend())
            continue;
        const TaskEntry &task = *found;
        if (task.end.valid || task.schedule.endTc != -1)
            continue;
        TimelineWidget *timeline = taskTimeline(task.id);
        if (!timeline)
            continue;
        const ItemExtent extent = itemExtent(task.start, task.end, m_curTc);
        if (timeline->setItemSpan(task.id, extent.start, extent.length))
            timelines.insert(timeline);
    }
    return timelines;
}

TimeCode MainController::curTc(QString serverId, int port)
{
    QMap<qint32, trx::PortState> states;
    m_pClient->getPortStates(serverId, states);
    return TimeCode(states.value(port));
}

void MainController::setTC(QString serverId, int port)
{
    // The master changes here only together with the manager's.
    if (refuseWhileLinkDown())
        return;
    setMasterPort(trx::ServerPort(serverId, port));
    m_pClient->syncScheduleTime(serverId, port, QDate(), 1);
}

void MainController::slotReSetMasterTc(QString strServerId)
{
    for (auto server = m_mapServers.cbegin(); server != m_mapServers.cend(); ++server) {
        if (server.key() == strServerId || !server->connected)
            continue;
        const QMap<int, PortEntry> ports = m_mapPorts.value(server.key());
        for (const PortEntry &entry : ports) {
            if (!entry.widget)
                continue;
            // As if its TC button had been pressed: the row asks for the master and enables itself.
            entry.widget->btnTCClicked(true);
            return;
        }
    }
}

void MainController::setMasterPort(trx::ServerPort port)
{
    const bool sameServer = port.serverId == m_masterPort.serverId;
    if (!sameServer && !m_masterPort.serverId.isEmpty())
        m_pClient->registerServerNotifications(m_masterPort.serverId, 129);
    const bool unchanged = sameServer && port.portNo == m_masterPort.portNo;
    m_masterPort = port;
    if (!sameServer && !port.serverId.isEmpty())
        m_pClient->registerServerNotifications(port.serverId, 131);

    for (auto server = m_mapPorts.cbegin(); server != m_mapPorts.cend(); ++server) {
        for (auto entry = server->cbegin(); entry != server->cend(); ++entry) {
            ServerPortWidget *row = entry->widget.data();
            if (!row)
                continue;
            const trx::ServerPort key(server.key(), entry.key());
            if (key == port) {
                row->setTcStatus(2);
                continue;
            }
            row->setTcStatus(0);
            const bool proxyIsMaster =
                server.key() == port.serverId && m_mapProxyPorts.value(key, -1) == port.portNo;
            row->setProxyTcStatus(proxyIsMaster ? 2 : 0);
        }
    }
    if (!unchanged)
        m_bMasterChanged = true;
}

void MainController::setDate(QDate date)
{
    const int tc = masterPortState().currentTc;
    QTime time;
    if (tc >= 1)
        time = QTime((tc >> 24) & 0xFF, (tc >> 16) & 0xFF, (tc >> 8) & 0xFF);
    m_pSettings->setDateTime(date, time);
    adjustTasksPos();
    if (m_pMainView)
        m_pMainView->updateDate();
    updateMaintenanceTask();
}

void MainController::adjustTasksPos()
{
    const trx::ServerPort master = masterPort();
    if (!master.serverId.isEmpty()) {
        QMap<qint32, trx::PortState> states;
        if (m_pClient->getPortStates(master.serverId, states) && states.contains(master.portNo))
            m_masterPortState = states.value(master.portNo);
    }
    const trx::PortState state = masterPortState();
    QSet<TimelineWidget *> timelines;
    for (TaskEntry &task : m_mapTasks) {
        if (!taskTimeline(task.id))
            continue;
        const TimeCode start = TimeCode(state, task.schedule.startTc, daysFromWorkingDate(task.schedule.startDate));
        const TimeCode end = TimeCode(state, task.schedule.endTc, daysFromWorkingDate(task.schedule.endDate));
        // The manager confirms the date at every connection: an item already in its place is not
        // rebuilt (tens of thousands at start-up). An open end reaches up to now, so it always is.
        if (task.schedule.endTc != -1 && sameTimeCode(start, task.start) && sameTimeCode(end, task.end))
            continue;
        task.start = start;
        task.end = end;
        timelines.insert(showTaskItem(task));
    }
    for (TimelineWidget *timeline : qAsConst(timelines))
        timeline->relayout();
}
