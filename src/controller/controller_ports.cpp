#include "controller/maincontroller.h"

#include "controller/portpoller.h"
#include "controller/schedulechecks.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QSet>

#include <limits>

void MainController::updatePorts()
{
    m_pPoller->poll();
}

int MainController::pollCount() const
{
    return m_pPoller->pollCount();
}

int MainController::skippedPollCount() const
{
    return m_pPoller->skippedCount();
}

void MainController::applyPortPoll(const QMap<trx::ServerPort, trx::PortState> &states,
                                   const QVector<trx::RecordTrainInfo> &trains)
{
    const trx::ServerPort master = masterPort();
    const QDate date = m_pSettings->m_date;
    const int offset = m_pSettings->m_offsetSecs;

    // Every port the manager reported gets its list, an empty one included, so that material
    // that is gone (or a port out of service) no longer counts as usable.
    // Ranges are drawn and checked on the master's axis, whatever the port's own rate.
    const FrameRate axis = m_curTc.valid ? m_curTc.rate : FrameRate();
    const QMap<trx::ServerPort, QList<UsableRange>> ranges =
        usableRangesFor(trains, states, date, offset, axis);
    QSet<QString> servers;
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        updatePortUsableRanges(it.key().serverId, trx::PortNo(it.key().portNo), ranges.value(it.key()));
        servers.insert(it.key().serverId);
    }
    for (auto it = m_mapPorts.cbegin(); it != m_mapPorts.cend(); ++it) {
        if (servers.contains(it.key()))
            updateUsableRangesView(it.key());
    }

    const auto masterState = states.constFind(master);
    if (!master.serverId.isEmpty() && masterState != states.cend()) {
        for (auto it = states.cbegin(); it != states.cend(); ++it) {
            if (it.key() == master || it->stateCode != 1)
                continue;
            updatePortTcStatus(it.key().serverId, it.key().portNo, linkStatus(*it, *masterState));
        }
    }

    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        if (m_mapRecStatus.value(it.key(), false) != it->recording) {
            m_mapRecStatus.insert(it.key(), it->recording);
            updateRecStatus(it.key().serverId, it.key().portNo, it->recording);
        }
    }

    for (const trx::RecordTrainInfo &train : trains) {
        if (!train.stillRecording)
            continue;
        if (const std::optional<TrainStart> start = trainStartFor(train, offset))
            m_mapTrainStarts.insert(trx::ServerPort(train.serverId, train.portNo), *start);
    }

    update24hPortLines();
}

QList<ServerPortWidget *> MainController::proxyRowsOf(const QString &serverId, int port) const
{
    QList<ServerPortWidget *> rows;
    // Only this server's entries: the poll asks for every port every second.
    for (auto it = m_mapProxyPorts.lowerBound(trx::ServerPort(serverId, std::numeric_limits<qint32>::min()));
         it != m_mapProxyPorts.cend() && it.key().serverId == serverId; ++it) {
        if (it.value() != port || it.key().portNo == port)
            continue;
        if (ServerPortWidget *row = findPortWidget(serverId, it.key().portNo))
            rows.append(row);
    }
    return rows;
}

void MainController::setREC(QString serverId, int port, bool rec)
{
    // A row can start recording, never stop it.
    if (!rec || !findPortWidget(serverId, port) || refuseWhileLinkDown())
        return;
    m_pClient->startRecord(serverId, (port + 1) << 16);
    const auto proxy = m_mapProxyPorts.constFind(trx::ServerPort(serverId, port));
    if (proxy != m_mapProxyPorts.cend())
        m_pClient->startRecord(serverId, (proxy.value() + 1) << 16);
}

void MainController::updateRemainTime(QString serverId, int port, QString remainTime)
{
    ServerPortWidget *row = findPortWidget(serverId, port);
    if (row)
        row->setRemainTime(remainTime);
    const TrainStart start = m_mapTrainStarts.value(trx::ServerPort(serverId, port), defaultTrainStart());
    const std::optional<int> frames = remainTextToFrames(remainTime, start.rate);
    // A text without time (out of loop recording) leaves no marker and no stale figure behind.
    if (frames)
        m_mapRemainFrames[serverId].insert(port, *frames);
    else if (m_mapRemainFrames.contains(serverId))
        m_mapRemainFrames[serverId].remove(port);
    // The marker lies on the master's axis; the remaining time counts on the port's clock.
    const FrameRate axis = m_curTc.valid ? m_curTc.rate : FrameRate();
    if (row)
        row->timeline()->setRemainFrames(frames ? int(framesOnRate(*frames, start.rate, axis)) : -1);
}

void MainController::updateLoopRecStatus(QString serverId, int port, bool loop)
{
    const trx::ServerPort key(serverId, port);
    const bool previous = m_mapLoopRec.value(key, true);
    ServerPortWidget *row = findPortWidget(serverId, port);
    if (row && previous && !loop) {
        QList<QString> ids;
        for (const TaskEntry &task : qAsConst(m_mapTasks)) {
            if (task.serverId == serverId && task.port == port &&
                task.schedule.status() != trx::ScheduleStatus::Scheduled && row->timeline()->hasItem(task.id))
                ids.append(task.id);
        }
        for (const QString &id : qAsConst(ids))
            m_pClient->removeSchedule(id);
    }
    if (row) {
        row->setLoopStatus(loop);
        row->setLoop(loop);
    }
    m_mapLoopRec.insert(key, loop);

    // Without a known master server there is nothing to differ from.
    const auto masterSettings = m_mapServerSettings.constFind(masterPort().serverId);
    const auto ownSettings = m_mapServerSettings.constFind(serverId);
    if (masterSettings != m_mapServerSettings.cend() && ownSettings != m_mapServerSettings.cend() &&
        ownSettings->systemFrequency != masterSettings->systemFrequency)
        emit sigDifSysFreqServer(serverId);

    for (ServerPortWidget *owner : proxyRowsOf(serverId, port))
        owner->setProxyLoop(loop);
}

void MainController::updateRecStatus(QString serverId, int port, bool recording)
{
    if (ServerPortWidget *row = findPortWidget(serverId, port))
        row->setRecording(recording);
    for (ServerPortWidget *owner : proxyRowsOf(serverId, port))
        owner->setProxyRecording(recording);
}

void MainController::updatePortsRemainTime(QString serverId, QString vals)
{
    const QStringList parts = vals.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    const QMap<qint32, qint32> cameraTrains = m_mapServerSettings.value(serverId).cameraTrains;
    if (parts.size() != cameraTrains.size())
        return;
    const QString kind3 = m_remainTexts.kind3Text(serverId);
    int i = 0;
    for (auto it = cameraTrains.cbegin(); it != cameraTrains.cend(); ++it, ++i) {
        const int minutes = remainMinutesOf(parts.at(i));
        updateRemainTime(serverId, it.value(), remainTimeText(minutes, kind3));
        updateLoopRecStatus(serverId, it.value(), minutes >= 0);
    }
}

void MainController::updateUsableRangesView(QString strServerId)
{
    const QMap<int, PortEntry> entries = m_mapPorts.value(strServerId);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        ServerPortWidget *row = it->widget.data();
        if (!row)
            continue;
        const int proxy = m_mapProxyPorts.value(trx::ServerPort(strServerId, it.key()), -1);
        const bool withProxy = proxy >= 0 && proxy <= 7 && proxy != it.key();
        const QList<UsableRange> proxyRanges = withProxy ? entries.value(proxy).ranges : QList<UsableRange>();
        TimelineWidget *timeline = row->timeline();
        if (timeline->masterRanges() != it->ranges || timeline->proxyRanges() != proxyRanges ||
            timeline->withProxy() != withProxy)
            timeline->setRanges(it->ranges, proxyRanges, withProxy);
    }
}

void MainController::updatePortUsableRanges(QString strServerId, trx::PortNo iPort, QList<UsableRange> ranges)
{
    const auto server = m_mapPorts.find(strServerId);
    if (server == m_mapPorts.end())
        return;
    const auto entry = server->find(iPort);
    if (entry != server->end())
        entry->ranges = ranges;
}

void MainController::updatePortTcStatus(QString strServerId, int iPort, int iStatus)
{
    if (ServerPortWidget *row = findPortWidget(strServerId, iPort))
        row->setTcStatus(iStatus);
    for (ServerPortWidget *owner : proxyRowsOf(strServerId, iPort))
        owner->setProxyTcStatus(iStatus);
}

void MainController::update24hPortLines()
{
    const QDate date = m_pSettings->m_date;
    const FrameRate axis = m_curTc.valid ? m_curTc.rate : FrameRate();
    for (auto it = m_mapTrainStarts.cbegin(); it != m_mapTrainStarts.cend(); ++it) {
        const std::optional<int> frame = line24hFrame(it.value(), date, axis);
        if (!frame)
            continue;
        m_map24hLines.insert(it.key(), *frame);
        if (ServerPortWidget *row = findPortWidget(it.key().serverId, it.key().portNo))
            row->timeline()->set24hLine(*frame);
    }
}

void MainController::markClipRemoved(QString strServerId, QString strClipId)
{
    for (TaskEntry &task : m_mapTasks) {
        if (task.serverId != strServerId || task.schedule.master.clipId != strClipId || !taskTimeline(task.id))
            continue;
        if (!task.clipRemoved) {
            task.clipRemoved = true;
            showTaskItem(task);
        }
        return;
    }
}

bool MainController::usableRangeAccepts(QString serverId, QVector<int> ports, int startTc, int endTc,
                                        QDate date)
{
    const QDate workingDate = m_pSettings->m_date;
    const int days = workingDate.isValid() && date.isValid() ? int(workingDate.daysTo(date)) : 0;
    const FramePeriod period = plannedPeriod(masterPortState(), startTc, endTc, days);
    const qint32 now = m_curTc.frames;

    const QMap<int, PortEntry> entries = m_mapPorts.value(serverId);
    for (const int port : qAsConst(ports)) {
        const auto entry = entries.constFind(port);
        if (entry != entries.cend() && rangesAccept(entry->ranges, period.start, period.end, now))
            return true;
    }
    return false;
}

QList<RemainAlert> MainController::refreshRemainAlerts()
{
    // Schedule positions and the current timecode share the master's clock; the remaining time
    // counts on the port's own rate.
    const bool clockKnown = m_curTc.valid;
    const qint64 nowMs = framesToMs(m_curTc.frames, m_curTc.rate);
    QMap<trx::ServerPort, QList<ScheduleSpan>> spans;
    for (const TaskEntry &task : qAsConst(m_mapTasks)) {
        ScheduleSpan span;
        span.startMs = framesToMs(task.start.frames, task.start.rate);
        if (task.end.valid)
            span.endMs = framesToMs(task.end.frames, task.end.rate);
        span.finished = isFinishedStatus(task.schedule.master.status);
        spans[trx::ServerPort(task.serverId, task.port)].append(span);
    }

    QList<RemainAlert> alerts;
    for (auto server = m_mapPorts.cbegin(); server != m_mapPorts.cend(); ++server) {
        const QMap<int, int> remain = m_mapRemainFrames.value(server.key());
        for (auto entry = server->cbegin(); entry != server->cend(); ++entry) {
            ServerPortWidget *row = entry->widget.data();
            if (!row)
                continue;
            const trx::ServerPort key(server.key(), entry.key());
            const auto frames = remain.constFind(entry.key());
            // Out of loop recording the field shows no time, and there is nothing to compare.
            if (frames == remain.cend() || !m_mapLoopRec.value(key, true)) {
                row->setRemainAlert(false);
                continue;
            }
            const qint64 remainMs =
                framesToMs(*frames, m_mapTrainStarts.value(key, defaultTrainStart()).rate);
            const std::optional<qint64> next =
                clockKnown ? nextScheduleLengthMs(spans.value(key), nowMs) : std::nullopt;
            const bool alert = remainBelowNeed(remainMs, next);
            row->setRemainAlert(alert);
            if (!alert)
                continue;
            RemainAlert a;
            a.serverId = key.serverId;
            a.port = key.portNo;
            const QString name = m_mapServers.value(key.serverId).name;
            a.serverName = name.isEmpty() ? key.serverId : name;
            a.portLabel = portLabel(m_pSettings->m_portInfos.value(key).PortName, key.portNo);
            a.remainMs = remainMs;
            a.byNextSchedule = next.has_value();
            alerts.append(a);
        }
    }
    return sortedAlerts(alerts);
}

QMap<trx::ServerPort, TrainStart> MainController::trainStarts() const
{
    return m_mapTrainStarts;
}

// Delegate operations: the link's thread only copies and hands over.

void MainController::portStatesChanged(const QString &serverId, const QMap<qint32, trx::PortState> &states)
{
    notePush();
    handOver([this, id = serverId, copy = states] { onPortStatesPushed(id, copy); });
}

void MainController::remainTimeChanged(const QString &serverId, qint32 kind, const QString &value)
{
    notePush();
    const std::optional<QString> vals = m_remainTexts.accept(serverId, kind, value);
    if (!vals)
        return;
    handOver([this, id = serverId, text = *vals] { updatePortsRemainTime(id, text); });
}

void MainController::clipRemoved(const QPair<QString, QString> &serverAndClip)
{
    notePush();
    handOver([this, serverId = serverAndClip.first, clipId = serverAndClip.second] {
        markClipRemoved(serverId, clipId);
    });
}

void MainController::recordTrainsReceived(const QString &serverId,
                                          const QVector<trx::RecordTrainInfo> &trains)
{
    Q_UNUSED(serverId)
    Q_UNUSED(trains)
    // The poll reads every train itself; the push only tells that the link is alive.
    notePush();
}

void MainController::onPortStatesPushed(const QString &serverId, const QMap<qint32, trx::PortState> &states)
{
    // The changes are applied once the table holds every new state.
    QList<QPair<int, bool>> recChanges;
    QMap<qint32, trx::PortState> &stored = m_mapPortStates[serverId];
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        if (it->stateCode == 1 && stored.value(it.key()).recording != it->recording) {
            recChanges.append({it.key(), it->recording});
            m_mapRecStatus.insert(trx::ServerPort(serverId, it.key()), it->recording);
        }
        stored.insert(it.key(), it.value());
    }
    for (const auto &change : qAsConst(recChanges))
        updateRecStatus(serverId, change.first, change.second);

    const trx::ServerPort master = masterPort();
    if (master.serverId == serverId && states.contains(master.portNo))
        updateTimeline(states.value(master.portNo));
}
