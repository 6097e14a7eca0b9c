#include "controller/maincontroller.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "controller/conflictdetails.h"
#include "controller/schedulechecks.h"
#include "controller/scheduleform.h"
#include "controller/schedulename.h"
#include "controller/scheduletexts.h"
#include "controller/taskrules.h"
#include "dialogs/createtaskdialog.h"
#include "dialogs/repeatpreviewdialog.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QDebug>

#include <climits>
#include <memory>

namespace {

QString taskIdOf(QObject *sender)
{
    if (auto *action = qobject_cast<QAction *>(sender))
        return action->data().toString();
    if (auto *item = qobject_cast<TimelineItemWidget *>(sender))
        return item->taskId();
    return QString();
}

QStringList destinationStrings(const trx::ScheduleInfo &sch)
{
    return {sch.master.text3, sch.master.text4, sch.master.text5,
            sch.proxy.text3,  sch.proxy.text4,  sch.proxy.text5};
}

QStringList destinationStrings(const MgwDestination &d)
{
    return {d.MasterMgwId, d.MasterDriveId, d.MasterFolderId, d.ProxyMgwId, d.ProxyDriveId, d.ProxyFolderId};
}

MgwDestination destinationOf(const trx::ScheduleInfo &sch)
{
    MgwDestination d;
    d.WithProxy = sch.withProxy;
    d.MasterMgwId = sch.master.text3;
    d.MasterDriveId = sch.master.text4;
    d.MasterFolderId = sch.master.text5;
    d.ProxyMgwId = sch.proxy.text3;
    d.ProxyDriveId = sch.proxy.text4;
    d.ProxyFolderId = sch.proxy.text5;
    return d;
}

ScheduleForm formOf(const CreateTaskDialog &dialog)
{
    ScheduleForm f;
    f.name = dialog.name();
    f.date = dialog.selectedDate();
    f.startTc = dialog.startTc();
    f.endTc = dialog.endTc();
    f.durationTc = dialog.durationTc();
    f.destination = dialog.destination();
    f.withProxy = dialog.withProxy();
    f.maintenance = dialog.isMaintenance();
    f.ports = dialog.selectedPorts();
    return f;
}

} // namespace

bool MainController::validateDestination(const QString &mgwId, const QString &driveId) const
{
    if (mgwId.isEmpty())
        return false;
    for (const trx::MgwInfo &mgw : m_listMgws) {
        if (mgw.id != mgwId)
            continue;
        for (const trx::MgwDrive &drive : mgw.drives) {
            if (drive.id == driveId)
                return true;
        }
    }
    return false;
}

CreateTaskDialog *MainController::createTaskDialog(bool editMode)
{
    auto *dlg = new CreateTaskDialog(m_pMainView);
    connect(this, &MainController::mgwFoldersReady, dlg, &CreateTaskDialog::mgwFoldersReady,
            Qt::QueuedConnection);
    connect(dlg, &CreateTaskDialog::sigFetchMgwFolders, this, &MainController::fetchMgwFolders);
    connect(dlg, &CreateTaskDialog::sigRefreshMgws, this, &MainController::refreshMgws);
    connect(this, &MainController::mgwsReady, dlg, &CreateTaskDialog::mgwsReady, Qt::QueuedConnection);
    if (editMode) {
        connect(dlg, &CreateTaskDialog::sigCreateTaskOKClicked, this, &MainController::slotEditTaskOKClicked);
    } else {
        connect(this, &MainController::sigProxyChkEnable, dlg, &CreateTaskDialog::slotSetProxyChkEnable);
        connect(dlg, &CreateTaskDialog::sigProxyChkIsEnable, this, &MainController::slotProxyChkIsEnable);
        connect(dlg, &CreateTaskDialog::sigCreateTaskOKClicked, this,
                &MainController::slotCreateTaskOKClicked);
    }
    dlg->setFolderSelectionVisible(m_pSettings->m_bMgwFolder);
    dlg->setNamePreviewer(
        [this](const QString &rule, const trx::ServerPort &port, const QDate &date, int startTc) {
            trx::ScheduleRequest r;
            r.startDate = date;
            r.startTc = startTc;
            return requestName(rule, r, port);
        });
    return dlg;
}

void MainController::fillDialogPorts(CreateTaskDialog &dialog, const trx::ServerPort &checked,
                                     bool onlyChecked) const
{
    QList<CreateTaskDialog::ServerEntry> servers;
    for (auto s = m_mapPorts.cbegin(); s != m_mapPorts.cend(); ++s) {
        CreateTaskDialog::ServerEntry server;
        server.serverId = s.key();
        server.name = m_mapServers.value(s.key()).name;
        for (auto p = s->cbegin(); p != s->cend(); ++p) {
            const trx::ServerPort key(s.key(), p.key());
            if (onlyChecked && key != checked)
                continue;
            CreateTaskDialog::PortEntry port;
            port.portNo = p.key();
            port.name = portLabel(m_pSettings->m_portInfos.value(key).PortName, p.key());
            port.checked = key == checked;
            const int proxy = m_mapProxyPorts.value(key, -1);
            port.withProxy = proxy >= 0 && proxy != p.key();
            server.ports << port;
        }
        if (!server.ports.isEmpty())
            servers << server;
    }
    dialog.fillPorts(servers);
}

void MainController::newTask(QString serverId, int port)
{
    const trx::ServerPort preselected(serverId, port);
    std::unique_ptr<CreateTaskDialog> dlg(createTaskDialog(false));
    fillDialogPorts(*dlg, preselected, false);
    dlg->setDaysAroundToday(m_pSettings->m_date);
    dlg->setStartFromTcText(m_curTc.toString());
    dlg->setName(m_pSettings->m_strDefaultTaskName);
    MgwDestination dst;
    dst.WithProxy = m_pSettings->m_bDefaultWithProxy;
    dst.MasterMgwId = m_pSettings->m_strDefaultMasterMgwId;
    dst.MasterDriveId = m_pSettings->m_strDefaultMasterDriveId;
    dst.ProxyMgwId = m_pSettings->m_strDefaultProxyMgwId;
    dst.ProxyDriveId = m_pSettings->m_strDefaultProxyDriveId;
    dlg->setDestination(m_pSettings->m_mgwInfos.value(preselected, dst));
    dlg->mgwsReady(m_listMgws);

    m_dialogRun.repeatDates.clear();
    if (m_editingPrompts.runTaskDialog(*dlg) != QDialog::Accepted)
        return;

    const ScheduleForm form = formOf(*dlg);
    const MgwDestination chosen = form.destination;
    // One add per occurrence, in date order; without repetition the dialog's own day.
    const QList<QDate> dates = m_dialogRun.repeatDates.isEmpty() ? QList<QDate>{QDate()}
                                                                 : std::exchange(m_dialogRun.repeatDates, {});
    QList<trx::ScheduleRequest> requests;
    for (const QDate &date : dates) {
        for (const trx::ServerPort &p : form.ports) {
            m_pSettings->mergeMgwInfos({{p, chosen}});
            requests << buildRequest(form, p, date);
        }
    }
    // OK went through with the link up, but building the requests asks the manager again: all of
    // them go out, or none.
    if (refuseWhileLinkDown())
        return;
    QStringList places;
    for (const trx::ScheduleRequest &request : qAsConst(requests)) {
        m_pClient->addSchedule(request);
        places << portPlace(request.ports.value(0).serverId, request.ports.value(0).portNo);
    }
    if (requests.isEmpty())
        return;
    // A repetition names each port once and says on how many days.
    places.removeDuplicates();
    QString notice = QStringLiteral("Schedule '%1' created on %2")
                         .arg(requests.first().name, places.join(QLatin1String(", ")));
    if (dates.size() > 1)
        notice += QStringLiteral(", %1 days").arg(dates.size());
    emit sigOperatorNotice(notice);
}

void MainController::newTask(QString serverId)
{
    newTask(serverId, -1);
}

void MainController::newTask()
{
    newTask(QString(), -1);
}

bool MainController::masterDropFrame()
{
    const trx::ServerPort master = masterPort();
    trx::PortState state = masterPortState();
    if (!master.serverId.isEmpty()) {
        QMap<qint32, trx::PortState> states;
        // The state kept from the last poll may be a second old; the rate is read afresh.
        if (m_pClient->getPortStates(master.serverId, states) && states.contains(master.portNo))
            state = states.value(master.portNo);
    }
    return state.dropFrame;
}

QString MainController::requestName(const QString &rule, const trx::ScheduleRequest &request,
                                    const trx::ServerPort &port)
{
    const QString label = cameraLabel(m_pSettings->m_portInfos.value(port).PortName, port.portNo);
    const TimeCode tc(masterPortState(), request.startTc, daysFromWorkingDate(request.startDate));
    return expandScheduleName(rule, label, request.startDate, tcInDigits(tc));
}

trx::ScheduleRequest MainController::buildRequest(const ScheduleForm &form, const trx::ServerPort &port,
                                                  const QDate &date)
{
    trx::ScheduleRequest r;
    const MgwDestination &dst = form.destination;
    r.masterMgwId = dst.MasterMgwId;
    r.masterDriveId = dst.MasterDriveId;
    r.masterFolderId = dst.MasterFolderId;
    r.proxyMgwId = dst.ProxyMgwId;
    r.proxyDriveId = dst.ProxyDriveId;
    r.proxyFolderId = dst.ProxyFolderId;
    r.startDate = date.isValid() ? date : form.date;
    const bool dropFrame = masterDropFrame();
    r.startTc = dropFrameAdjusted(form.startTc, dropFrame);
    r.endTc = dropFrameAdjusted(form.endTc, dropFrame);
    r.type = scheduleType(r.startTc, r.endTc, form.maintenance);
    r.endDate = scheduleEndDate(r.startDate, r.startTc, r.endTc);
    // A port without a proxy port of its own gets no proxy copy, as the checks assume; the
    // manager would refuse the whole request otherwise.
    r.withProxy = form.withProxy && m_mapProxyPorts.value(port, port.portNo) != port.portNo;
    r.ports = {port};
    r.proxyPorts = m_mapProxyPorts;
    // The proxy schedule is linked to this one by the manager; it needs nothing in the name.
    r.name = requestName(form.name, r, port);
    return r;
}

void MainController::showEditingMessage(const QString &title, const QStringList &lines, int icon)
{
    m_editingPrompts.message(m_pMainView, joinedMessages(lines), title, icon);
}

bool MainController::portCheck(const QString &serverId, int port, int startTc, int endTc, const QDate &date,
                               bool asProxy, const QStringList &excludedIds, QStringList &errors)
{
    const trx::ServerPort key(serverId, port);
    PortCheckFacts facts;
    facts.serverName = m_mapServers.value(serverId).name;
    facts.portName = portLabel(m_pSettings->m_portInfos.value(key).PortName, port);
    facts.asProxy = asProxy;
    const bool recording = m_mapRecStatus.value(key, false);
    facts.materialOk = recording && usableRangeAccepts(serverId, {port}, startTc, endTc, date);
    facts.openEnd = endTc == -1;

    const trx::PortState master = masterPortState();
    const int days = daysFromWorkingDate(date);
    const FramePeriod planned = plannedPeriod(master, startTc, endTc, days);
    facts.period.start = planned.start;

    // Other schedules of the port; one whose end is still open runs on until it finishes.
    QList<FramePeriod> others;
    QStringList otherSpans;
    for (const TaskEntry &task : qAsConst(m_mapTasks)) {
        if (task.serverId != serverId || task.port != port || excludedIds.contains(task.id))
            continue;
        others << schedulePeriod(master, task.schedule, m_pSettings->m_date);
        otherSpans << scheduleSpanText(task.schedule);
    }
    const QList<trx::ScheduleInfo> maintenance = m_mapMaintenance.values();

    FramePeriod guarded = facts.period;
    if (!facts.openEnd) {
        facts.period.end = planned.end;
        const int meeting = firstMeeting(others, facts.period);
        facts.overlapsSchedule = meeting >= 0;
        if (facts.overlapsSchedule)
            facts.overlapDetail = otherSpans.at(meeting);
        const int guardEnd = addSecondsInDay(endTc, 5);
        guarded = facts.period;
        guarded.end = plannedPeriod(master, startTc, guardEnd, days).end;
        facts.meetsMaintenance =
            maintenanceMeets(maintenance, master, m_curTc.frames, m_pSettings->m_date, guarded);
        facts.remainFrames = m_mapRemainFrames.value(serverId).value(port, 0);
        facts.line24h = m_map24hLines.value(key, 0);
    } else {
        facts.meetsMaintenance = maintenanceBlocksOpenEnd(maintenance, master, m_curTc.frames,
                                                          m_pSettings->m_date, facts.period.start);
        for (int i = 0; i < others.size() && !facts.overlapsSchedule; ++i) {
            const FramePeriod &o = others.at(i);
            if (o.start <= facts.period.start && facts.period.start <= o.end) {
                facts.overlapsSchedule = true;
                facts.overlapDetail = otherSpans.at(i);
            }
        }
    }
    addConflictDetails(key, maintenance, guarded, facts);
    const QString line = portCheckLine(facts);
    if (line.isEmpty())
        return true;
    errors << line;
    return false;
}

void MainController::addConflictDetails(const trx::ServerPort &port,
                                        const QList<trx::ScheduleInfo> &maintenance,
                                        const FramePeriod &guarded, PortCheckFacts &facts) const
{
    const trx::PortState master = masterPortState();
    const FrameRate rate = TimeCode(master).rate;
    if (!facts.materialOk) {
        const QList<UsableRange> ranges = m_mapPorts.value(port.serverId).value(port.portNo).ranges;
        const bool recording = m_mapRecStatus.value(port, false);
        facts.materialDetail =
            recording ? nearestRecordedText(rate, ranges, facts.period) : QStringLiteral("not recording");
    }
    if (facts.meetsMaintenance) {
        for (const trx::ScheduleInfo &m : maintenance) {
            const bool meets = facts.openEnd
                                   ? maintenanceBlocksOpenEnd({m}, master, m_curTc.frames, m_pSettings->m_date,
                                                              facts.period.start)
                                   : maintenanceMeets({m}, master, m_curTc.frames, m_pSettings->m_date, guarded);
            if (meets) {
                facts.maintenanceDetail = maintenanceWindowText(m);
                break;
            }
        }
    }
    if (!facts.openEnd)
        facts.remainDetail =
            remainDetailText(rate, facts.remainFrames, facts.period.end - facts.period.start);
}

void MainController::createChecks(const ScheduleForm &form, const QStringList &excludedIds,
                                  QStringList &errors)
{
    if (formChecks(form, errors))
        portChecks(form, form.date, excludedIds, errors);
}

bool MainController::formChecks(const ScheduleForm &form, QStringList &errors)
{
    const int startTc = form.startTc;
    const int endTc = form.endTc;
    const MgwDestination &dst = form.destination;
    const bool withProxy = form.withProxy;
    if (form.name.isEmpty())
        errors << QStringLiteral("No schedule name");
    if (startTc == -1)
        errors << QStringLiteral("No Start TC");
    if (startTc == endTc && form.durationTc == 0)
        errors << QStringLiteral("Invalid Timecode");
    if (!validateDestination(dst.MasterMgwId, dst.MasterDriveId))
        errors << QStringLiteral("No master destination");
    if (withProxy && !validateDestination(dst.ProxyMgwId, dst.ProxyDriveId))
        errors << QStringLiteral("No proxy destination");
    if (form.ports.isEmpty()) {
        errors << QStringLiteral("No port selection");
        return false;
    }
    return startTc != -1;
}

void MainController::portChecks(const ScheduleForm &form, const QDate &date, const QStringList &excludedIds,
                                QStringList &errors)
{
    const int startTc = form.startTc;
    const int endTc = form.endTc;
    const bool withProxy = form.withProxy;
    for (const trx::ServerPort &p : form.ports) {
        portCheck(p.serverId, p.portNo, startTc, endTc, date, false, excludedIds, errors);
        const int proxy = m_mapProxyPorts.value(p, p.portNo);
        if (withProxy && proxy != p.portNo)
            portCheck(p.serverId, proxy, startTc, endTc, date, true, excludedIds, errors);
    }
}

void MainController::slotCreateTaskOKClicked()
{
    auto *dlg = qobject_cast<CreateTaskDialog *>(sender());
    if (!dlg)
        return;
    // Refused before the checks, which would judge the schedule by tables the manager no longer
    // updates; the dialog stays open with the operator's input.
    if (refuseWhileLinkDown(dlg))
        return;
    m_dialogRun.repeatDates.clear();
    if (dlg->repeatRule().kind != RepeatRule::None) {
        if (confirmRepeat(*dlg))
            dlg->accept();
        return;
    }
    QStringList errors;
    createChecks(formOf(*dlg), QStringList(), errors);
    if (!errors.isEmpty()) {
        showEditingMessage(QStringLiteral("Schedule Error"), errors, ConfirmDialog::Critical);
        return;
    }
    dlg->accept();
}

bool MainController::confirmRepeat(CreateTaskDialog &dialog)
{
    QStringList errors;
    const ScheduleForm form = formOf(dialog);
    const bool portsCheckable = formChecks(form, errors);
    const QList<QDate> dates = repeatDates(dialog.repeatRule(), dialog.selectedDate(), dialog.lastAxisDate());
    if (dates.isEmpty())
        errors << QStringLiteral("No day of the repetition is on the time axis");
    if (!errors.isEmpty() || !portsCheckable) {
        showEditingMessage(QStringLiteral("Schedule Error"), errors, ConfirmDialog::Critical);
        return false;
    }
    const auto tcText = [](int tc) { return tc == -1 ? QStringLiteral("-") : formatPacked(tc); };
    QList<RepeatOccurrence> occurrences;
    QList<QDate> free;
    for (const QDate &date : dates) {
        QStringList refusals;
        portChecks(form, date, QStringList(), refusals);
        occurrences << RepeatOccurrence{date, tcText(dialog.startTc()), tcText(dialog.endTc()),
                                        refusals.join(QStringLiteral("; "))};
        if (refusals.isEmpty())
            free << date;
    }
    RepeatPreviewDialog preview(occurrences, &dialog);
    if (preview.exec() != QDialog::Accepted || free.isEmpty())
        return false;
    m_dialogRun.repeatDates = free;
    return true;
}

void MainController::markStart(QString serverId, int port)
{
    if (refuseWhileLinkDown())
        return;
    const trx::ServerPort key(serverId, port);
    const MgwDestination dst = m_pSettings->m_mgwInfos.value(key);
    trx::ScheduleRequest r;
    r.ports = {key};
    r.masterMgwId = dst.MasterMgwId;
    r.masterDriveId = dst.MasterDriveId;
    r.masterFolderId = dst.MasterFolderId;
    r.proxyMgwId = dst.ProxyMgwId;
    r.proxyDriveId = dst.ProxyDriveId;
    r.proxyFolderId = dst.ProxyFolderId;
    const int proxy = m_mapProxyPorts.value(key, port);
    // As in the schedule dialog, a proxy copy needs a proxy port paired with this one.
    r.withProxy = dst.WithProxy && proxy != port;
    r.proxyPorts = m_mapProxyPorts;
    r.startDate = m_pSettings->m_date;
    r.endDate = m_pSettings->m_date;
    r.startTc = dropFrameAdjusted(masterPortState().currentTc, masterDropFrame());
    r.endTc = -1;
    r.type = trx::ScheduleInfo::OpenEnd;
    r.name = requestName(m_pSettings->m_strDefaultOpenEndClipName, r, key);

    QStringList errors;
    // Before the first master state there is no "now" to start from.
    if (masterPortState().currentTc == -1) {
        showEditingMessage(QStringLiteral("OpenEnd Schedule Error"),
                           {QStringLiteral("No master timecode yet.")}, ConfirmDialog::Critical);
        return;
    }
    if (r.name.isEmpty())
        errors << QStringLiteral("No schedule name (set the Start Now rule under Tools > Settings)");
    if (m_listMgws.isEmpty()) {
        errors << QStringLiteral("No master destination");
        if (r.withProxy)
            errors << QStringLiteral("No proxy destination");
    } else {
        if (!validateDestination(r.masterMgwId, r.masterDriveId))
            errors << QStringLiteral("No master destination");
        if (r.withProxy && !validateDestination(r.proxyMgwId, r.proxyDriveId))
            errors << QStringLiteral("No proxy destination");
    }
    portCheck(serverId, port, r.startTc, -1, r.startDate, false, QStringList(), errors);
    if (r.withProxy)
        portCheck(serverId, proxy, r.startTc, -1, r.startDate, true, QStringList(), errors);
    if (!errors.isEmpty()) {
        showEditingMessage(QStringLiteral("OpenEnd Schedule Error"), errors, ConfirmDialog::Critical);
        return;
    }
    m_pClient->addSchedule(r);
    emit sigOperatorNotice(
        QStringLiteral("Schedule '%1' created on %2").arg(r.name, portPlace(serverId, port)));
}

void MainController::markEnd(QString serverId, int port)
{
    const trx::PortState master = masterPortState();
    QStringList ends;
    for (const TaskEntry &task : qAsConst(m_mapTasks)) {
        const trx::ScheduleInfo &sch = task.schedule;
        if (task.serverId != serverId || task.port != port || !sch.mainScheduleId.isEmpty())
            continue;
        bool endAhead = false;
        if (sch.endTc == -1) {
            // An open end lies ahead until the schedule finishes; this is what mark end is for.
            endAhead = trx::blocksPortWhileOpen(sch.status());
        } else {
            const int days = daysFromWorkingDate(sch.startDate);
            endAhead = plannedPeriod(master, sch.startTc, sch.endTc, days).end > m_curTc.frames;
        }
        if (endAhead)
            ends << task.id;
    }
    if (ends.isEmpty() || refuseWhileLinkDown())
        return;
    for (const QString &id : qAsConst(ends))
        m_pClient->executeSchedule(id, 1);
}

void MainController::editTask()
{
    const QString id = taskIdOf(sender());
    const auto it = m_mapTasks.constFind(id);
    if (it == m_mapTasks.cend())
        return;
    const TaskEntry task = *it;
    const trx::ScheduleInfo sch = task.schedule;
    m_dialogRun.schedule = sch;
    m_dialogRun.openingStatus = sch.status();
    const trx::PortState master = masterPortState();
    const QDate today = m_pSettings->m_date;
    const qint32 startPos = masterFrames(master, sch.startTc, daysFromWorkingDate(sch.startDate));
    m_dialogRun.notStarted = sch.startDate > today || (sch.startDate == today && startPos > m_curTc.frames);

    std::unique_ptr<CreateTaskDialog> dlg(createTaskDialog(true));
    const trx::ServerPort key(sch.serverId, sch.portNo);
    fillDialogPorts(*dlg, key, true);
    dlg->setDestination(destinationOf(sch));
    dlg->mgwsReady(m_listMgws);
    dlg->fillFromSchedule(sch, TimeCode(master), m_dialogRun.notStarted);
    presentEditPairing(*dlg, sch);

    if (m_editingPrompts.runTaskDialog(*dlg) != QDialog::Accepted)
        return;
    sendEdit(sch, formOf(*dlg), m_dialogRun.notStarted);
}

bool MainController::sendEdit(const trx::ScheduleInfo &sch, const ScheduleForm &form, bool notStarted)
{
    QString dropProxyId;
    if (!form.withProxy && sch.withProxy && notStarted)
        dropProxyId = findLinkingTask(sch.id);
    const trx::ServerPort key(sch.serverId, sch.portNo);
    trx::ScheduleRequest r = buildRequest(form, form.ports.isEmpty() ? key : form.ports.first());
    // Frames are not shown in the dialog: an unchanged hh:mm:ss keeps the stored frames.
    if (!hhmmssChanged(sch.startTc, r.startTc))
        r.startTc = sch.startTc;
    if (!hhmmssChanged(sch.endTc, r.endTc))
        r.endTc = sch.endTc;
    // An edit sends the name as the operator left it; rules are expanded once, when it is created.
    r.name = form.name;
    // Building the request asks the manager again; the link may have gone since OK.
    if (refuseWhileLinkDown())
        return false;
    if (!dropProxyId.isEmpty())
        m_pClient->removeSchedule(dropProxyId);
    qDebug() << "edit task" << sch.id;
    m_pClient->updateSchedule(sch, r, 2);
    emit sigOperatorNotice(
        QStringLiteral("Schedule '%1' changed on %2").arg(r.name, portPlace(sch.serverId, sch.portNo)));
    return true;
}

void MainController::presentEditPairing(CreateTaskDialog &dialog, const trx::ScheduleInfo &sch)
{
    // The proxy copy the manager holds says more than the flag: it names the port it records.
    const QString proxyId = findLinkingTask(sch.id);
    const bool withProxy = sch.withProxy || !proxyId.isEmpty();
    QString proxyName;
    if (!proxyId.isEmpty()) {
        const TaskEntry proxy = m_mapTasks.value(proxyId);
        proxyName = portLabel(
            m_pSettings->m_portInfos.value(trx::ServerPort(proxy.serverId, proxy.port)).PortName, proxy.port);
    }
    // Where the copy goes shows in the proxy gateway, drive and folder choices beside the box.
    dialog.presentForEdit(withProxy, proxyName);
}

void MainController::slotEditTaskOKClicked()
{
    auto *dlg = qobject_cast<CreateTaskDialog *>(sender());
    if (!dlg)
        return;
    if (refuseWhileLinkDown(dlg))
        return;
    const EditRefusal refusal = editChecks(m_dialogRun.schedule, m_dialogRun.openingStatus, formOf(*dlg));
    if (!refusal.lines.isEmpty()) {
        showEditingMessage(refusal.title, refusal.lines, refusal.icon);
        return;
    }
    dlg->accept();
}

MainController::EditRefusal MainController::editChecks(const trx::ScheduleInfo &sch,
                                                       trx::ScheduleStatus opening, const ScheduleForm &form)
{
    const auto current = m_mapTasks.constFind(sch.id);
    const trx::ScheduleStatus now = current != m_mapTasks.cend() ? current->schedule.status() : sch.status();

    EditValues before;
    before.name = sch.name;
    before.date = sch.startDate;
    before.startTc = sch.startTc;
    before.endTc = sch.endTc;
    before.destinations = destinationStrings(sch);
    EditValues after;
    after.name = form.name;
    after.date = form.date;
    after.startTc = form.startTc;
    after.endTc = form.endTc;
    after.destinations = destinationStrings(form.destination);
    // The destination a schedule without proxy reports has no proxy ids; the dialog may still hold some.
    if (!sch.withProxy && !form.withProxy) {
        for (int i = 3; i < 6; ++i)
            after.destinations[i] = before.destinations[i];
    }

    const QStringList started = startedMeanwhileMessages(opening, now, before, after);
    if (!started.isEmpty())
        return {QStringLiteral("Information"), started, ConfirmDialog::Information};

    if ((trx::isRunning(now) || now == trx::ScheduleStatus::Cancelled) &&
        sch.startDate == m_pSettings->m_date && hhmmssChanged(before.endTc, after.endTc) &&
        after.endTc != -1) {
        const trx::PortState master = masterPortState();
        const int days = daysFromWorkingDate(sch.startDate);
        const qint32 newEnd = plannedPeriod(master, after.startTc, after.endTc, days).end;
        const qint32 oldEnd =
            sch.endTc == -1 ? INT_MAX : plannedPeriod(master, sch.startTc, sch.endTc, days).end;
        if (endTooClose(newEnd, oldEnd, m_curTc.frames))
            return {
                QStringLiteral("Information"), {QStringLiteral("Invalid End")}, ConfirmDialog::Information};
    }

    const QStringList finished = finishedMeanwhileMessages(opening, now, before, after);
    if (!finished.isEmpty())
        return {QStringLiteral("Information"), finished, ConfirmDialog::Information};

    // The schedule's own proxy copy (or, for a proxy schedule, its main one) moves with it.
    QStringList excluded{sch.id};
    const QString linked = sch.mainScheduleId.isEmpty() ? findLinkingTask(sch.id) : sch.mainScheduleId;
    if (!linked.isEmpty())
        excluded << linked;
    QStringList errors;
    createChecks(form, excluded, errors);
    return {QStringLiteral("Schedule Error"), errors, ConfirmDialog::Critical};
}

void MainController::editTask(QString taskId)
{
    const auto it = m_mapTasks.constFind(taskId);
    if (it == m_mapTasks.cend())
        return;
    if (TimelineItemWidget *item = taskWidget(taskId, true))
        item->editName();
}

void MainController::slotProxyPortChanged(QString strServerId, int iPort, int iProxyPortId)
{
    const trx::ServerPort key(strServerId, iPort);
    if (iProxyPortId == -1 || iProxyPortId == iPort) {
        const auto old = m_mapProxyPorts.constFind(key);
        if (old != m_mapProxyPorts.cend()) {
            const int q = *old;
            m_mapProxyPorts.remove(key);
            if (m_pMainView) {
                if (ServerWidget *server = m_pMainView->serverWidgets().value(strServerId))
                    server->refreshProxyPorts();
            }
            for (auto it = m_mapTasks.begin(); it != m_mapTasks.end(); ++it) {
                if (it->serverId != strServerId || it->port != q ||
                    it->schedule.type == trx::ScheduleInfo::Maintenance)
                    continue;
                it->schedule.mainScheduleId.clear();
                trx::ScheduleRequest r;
                r.type = trx::ScheduleInfo::Normal;
                m_pClient->updateSchedule(it->schedule, r, 1);
            }
            for (auto it = m_mapTasks.begin(); it != m_mapTasks.end(); ++it) {
                if (it->serverId != strServerId || it->port != iPort)
                    continue;
                it->schedule.proxy = trx::ScheduleDestination();
                it->proxyProgress = -1;
                if (taskTimeline(it->id))
                    showTaskItem(*it);
            }
        }
        m_mapProxyPorts.remove(key);
        return;
    }

    m_mapProxyPorts.insert(key, iProxyPortId);
    QList<UsableRange> masterRanges;
    QList<UsableRange> proxyRanges;
    bool withProxy = false;
    {
        const QMap<int, PortEntry> entries = m_mapPorts.value(strServerId);
        masterRanges = entries.value(iPort).ranges;
        if (iProxyPortId >= 0 && iProxyPortId <= 7 && iProxyPortId != iPort &&
            entries.contains(iProxyPortId)) {
            proxyRanges = entries.value(iProxyPortId).ranges;
            withProxy = true;
        }
    }
    if (ServerPortWidget *row = findPortWidget(strServerId, iPort))
        row->timeline()->setRanges(masterRanges, proxyRanges, withProxy);
}

void MainController::slotProxyChkIsEnable(QMap<trx::ServerPort, bool> selectedPorts, int iStart, int iEnd,
                                          QDate date)
{
    bool any = false;
    for (auto it = selectedPorts.cbegin(); it != selectedPorts.cend() && !any; ++it) {
        // A port without a proxy port offers no proxy copy (port 0 stands in for nothing).
        const int proxy = m_mapProxyPorts.value(it.key(), -1);
        if (proxy < 0 || proxy == it.key().portNo)
            continue;
        any = usableRangeAccepts(it.key().serverId, {proxy}, iStart, iEnd, date);
    }
    emit sigProxyChkEnable(any);
}

ScheduleForm MainController::movedForm(const trx::ScheduleInfo &sch, qint64 startFrame, qint64 endFrame) const
{
    // What the edit dialog holds for the schedule, with the new times.
    ScheduleForm f;
    f.name = sch.name;
    f.destination = destinationOf(sch);
    f.withProxy = sch.withProxy || !findLinkingTask(sch.id).isEmpty();
    f.ports = {trx::ServerPort(sch.serverId, sch.portNo)};
    const FrameRate rate = TimeCode(masterPortState()).rate;
    if (!rate.mode)
        return f;
    const qint64 perDay = rate.mode->frames_per_day();
    const qint64 days = startFrame >= 0 ? startFrame / perDay : -((-startFrame + perDay - 1) / perDay);
    const auto packedOf = [&rate](qint64 frames) {
        return bcdToPacked(int(rate.mode->frames_to_tc(foldIntoDay(rate, frames))));
    };
    f.date = m_pSettings->m_date.addDays(int(days));
    f.startTc = packedOf(startFrame);
    // An open end stays open wherever it starts.
    f.endTc = sch.endTc == -1 ? -1 : packedOf(endFrame);
    f.durationTc = packedOf(endFrame - startFrame);
    return f;
}

QString MainController::moveRefusal(const trx::ScheduleInfo &sch)
{
    if (!isLinkUp())
        return QStringLiteral("TRXM is not connected.");
    const trx::PortState master = masterPortState();
    if (master.currentTc == -1 || !TimeCode(master).rate.mode)
        return QStringLiteral("No master timecode yet.");
    if (sch.type == trx::ScheduleInfo::Maintenance)
        return QStringLiteral("The maintenance window is set under Tools > Maintenance; it is not moved.");
    const QString status = statusText(sch.master.status);
    if (!trx::mayStillTransfer(sch.status()))
        return QStringLiteral("Schedule '%1' has finished (%2); it cannot be moved.").arg(sch.name, status);
    const QDate today = m_pSettings->m_date;
    const qint32 start = TimeCode(master, sch.startTc, daysFromWorkingDate(sch.startDate)).frames;
    const bool started = sch.startDate < today || (sch.startDate == today && start <= m_curTc.frames);
    if (started || !canEdit(sch))
        return QStringLiteral("Schedule '%1' is running (%2); it cannot be moved.").arg(sch.name, status);
    return QString();
}

bool MainController::moveSchedule(const trx::ScheduleInfo &sch, trx::ScheduleStatus opening,
                                  const ScheduleForm &form, TimelineItemWidget *item)
{
    QPointer<TimelineItemWidget> guard(item);
    const EditRefusal refusal = editChecks(sch, opening, form);
    if (!refusal.lines.isEmpty()) {
        // Back where it was before the operator reads why.
        if (guard)
            guard->cancelDrag();
        showEditingMessage(refusal.title, refusal.lines, refusal.icon);
        return false;
    }
    if (!sendEdit(sch, form, true)) {
        if (guard)
            guard->cancelDrag();
        return false;
    }
    if (guard)
        guard->keepDrop();
    return true;
}

void MainController::slotItemDragStarting(TimelineItemWidget *item)
{
    if (!item)
        return;
    const auto it = m_mapTasks.constFind(item->taskId());
    QString refusal =
        it == m_mapTasks.cend() ? QStringLiteral("The schedule is gone.") : moveRefusal(it->schedule);
    if (refusal.isEmpty() && it->schedule.endTc == -1 && item->dragAction() != ScheduleDrag::Move)
        refusal = QStringLiteral("An open-end schedule is moved whole; its end is set when it is marked.");
    if (!refusal.isEmpty()) {
        item->cancelDrag();
        emit sigOperatorNotice(refusal);
        return;
    }
    // The status the drop is judged against, as the edit dialog keeps the one it opened with.
    m_move.openingStatus = it->schedule.status();
}

void MainController::slotItemDragDropped(TimelineItemWidget *item, int startFrame, int length)
{
    if (!item)
        return;
    const auto it = m_mapTasks.constFind(item->taskId());
    if (it == m_mapTasks.cend())
        return;
    const trx::ScheduleInfo sch = it->schedule;
    const ScheduleForm form = movedForm(sch, startFrame, qint64(startFrame) + length);
    if (moveSchedule(sch, m_move.openingStatus, form, item))
        m_move.last = {sch.id, sch.startDate, sch.endDate, sch.startTc, sch.endTc};
}

void MainController::undoScheduleMove()
{
    const ScheduleMove last = m_move.last;
    if (last.id.isEmpty()) {
        emit sigOperatorNotice(QStringLiteral("No move or resize of a schedule to undo."));
        return;
    }
    const auto it = m_mapTasks.constFind(last.id);
    if (it == m_mapTasks.cend()) {
        m_move.last = ScheduleMove();
        emit sigOperatorNotice(QStringLiteral("The schedule moved last is gone; nothing to undo."));
        return;
    }
    const trx::ScheduleInfo sch = it->schedule;
    const QString refusal = moveRefusal(sch);
    if (!refusal.isEmpty()) {
        emit sigOperatorNotice(refusal);
        return;
    }
    const trx::PortState master = masterPortState();
    const qint64 start = TimeCode(master, last.startTc, daysFromWorkingDate(last.startDate)).frames;
    const qint64 end = TimeCode(master, last.endTc, daysFromWorkingDate(last.endDate)).frames;
    // Back through the same checks: the old place may have been taken meanwhile.
    if (moveSchedule(sch, sch.status(), movedForm(sch, start, end), nullptr))
        m_move.last = ScheduleMove();
}
