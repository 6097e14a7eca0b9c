#include "controller/maincontroller.h"

#include "controller/conflictdetails.h"
#include "controller/maintenancerules.h"
#include "controller/schedulechecks.h"
#include "controller/scheduletexts.h"
#include "controller/taskrules.h"
#include "dialogs/maintenancedialog.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"

#include <climits>

void MainController::maintenanceDialog()
{
    MaintenanceDialog dialog(m_pMainView);
    connect(&dialog, &MaintenanceDialog::sigMaintenance, this, &MainController::slotCanMaintenance);
    connect(this, &MainController::mtnDone, &dialog, &MaintenanceDialog::slotMtnDone);
    connect(this, &MainController::mtnNoDone, &dialog, &MaintenanceDialog::slotMtnNoDone);
    connect(this, &MainController::sigCloseMtnDialog, &dialog, &MaintenanceDialog::slotCloseMtnDialog);

    QString unused;
    dialog.slotCanMaintenanceNow(!maintenanceConflict(parseTcText(m_curTc.toString()), true, unused, false));
    dialog.setMaintenanceTime(m_pSettings->m_maintenanceTime);
    if (m_prompts.runMaintenance)
        m_prompts.runMaintenance(dialog);
}

const PortPeriodIndex &MainController::periodsByPort(const trx::PortState &master) const
{
    const QDate &date = m_pSettings->m_date;
    if (!m_periods.beginRefill(master, date))
        return m_periods;
    // Every schedule's period, by port, in one pass: a pass over all schedules for each port
    // would cost ports x schedules.
    for (const TaskEntry &task : m_mapTasks) {
        const trx::ScheduleInfo &sch = task.schedule;
        m_periods.add(trx::ServerPort(task.serverId, task.port), task.id, schedulePeriod(master, sch, date),
                      sch.endTc == -1);
    }
    return m_periods;
}

bool MainController::maintenanceConflict(int tc, bool bNow, QString &errorText, bool wantText) const
{
    const trx::PortState master = masterPortState();
    if (bNow)
        tc = master.currentTc;
    // Without a time there is no window to check; maintenance() sends nothing for it either.
    if (tc == -1)
        return false;

    const TimeCode t(master, tc, 0);
    const bool ahead = m_curTc.frames < t.frames;
    const MaintenanceDays days = maintenanceDays(ahead, bNow);
    const int endTc = maintenanceWindowEnd(master, tc);
    // A new daily window replaces the one in force, so only dated windows can be in its way.
    QList<trx::ScheduleInfo> maintenance;
    for (const trx::ScheduleInfo &m : m_mapMaintenance) {
        if (bNow || m.startDate.isValid())
            maintenance << m;
    }

    const QMap<trx::ServerPort, PortPeriodIndex::Port> &periodsByPort = this->periodsByPort(master).byPort();

    bool conflict = false;
    for (auto server = m_mapServers.cbegin(); server != m_mapServers.cend(); ++server) {
        const QMap<int, PortEntry> ports = m_mapPorts.value(server.key());
        for (auto port = ports.cbegin(); port != ports.cend(); ++port) {
            const trx::ServerPort key(server.key(), port.key());
            const PortPeriodIndex::Port &others = periodsByPort.value(key);

            for (int d = days.first; d <= days.last; ++d) {
                const FramePeriod window = plannedPeriod(master, tc, endTc, d);
                const int meeting = firstMeeting(others.periods, window);
                if (meeting >= 0 ||
                    maintenanceMeets(maintenance, master, m_curTc.frames, m_pSettings->m_date, window)) {
                    // The clock's check every second needs no text, only the answer.
                    if (!wantText)
                        return true;
                    const QString label = portLabel(m_pSettings->m_portInfos.value(key).PortName, port.key());
                    bool asProxy = false;
                    for (auto proxy = m_mapProxyPorts.cbegin(); proxy != m_mapProxyPorts.cend(); ++proxy) {
                        if (proxy.key().serverId == server.key() && proxy.value() == port.key())
                            asProxy = true;
                    }
                    // The schedule in the way, so that the operator knows which one to move.
                    const QString detail =
                        meeting >= 0 ? QStringLiteral(" (%1)").arg(scheduleSpanText(
                                           m_mapTasks.value(others.ids.at(meeting)).schedule))
                                     : QString();
                    errorText += maintenancePortPrefix(server->name, label, asProxy) +
                                 QStringLiteral("Next Schedule") + detail + QLatin1Char('\n');
                    conflict = true;
                    break;
                }
            }
        }
    }
    return conflict;
}

void MainController::slotCanMaintenance(bool bNow, int iTc)
{
    auto *parent = qobject_cast<QWidget *>(sender());
    // Neither stored nor sent: the dialog stays open with the operator's time.
    if (refuseWhileLinkDown(parent))
        return;
    QString text;
    // Before the first master state there is no "now": refused, not closed as if sent.
    if (bNow && masterPortState().currentTc == -1) {
        if (m_prompts.confirm)
            m_prompts.confirm(parent ? parent : static_cast<QWidget *>(m_pMainView),
                              QStringLiteral("No master timecode yet."), QStringLiteral("Maintenance Error"),
                              ConfirmDialog::OkOnly, ConfirmDialog::Critical);
        return;
    }
    if (maintenanceConflict(iTc, bNow, text)) {
        if (m_prompts.confirm)
            m_prompts.confirm(parent ? parent : static_cast<QWidget *>(m_pMainView), text,
                              QStringLiteral("Maintenance Error"), ConfirmDialog::OkOnly,
                              ConfirmDialog::Critical);
        return;
    }
    // An empty field must not wipe the daily time that the settings file keeps.
    if (iTc != -1)
        m_pSettings->assign(m_pSettings->m_maintenanceTime, iTc);
    maintenance(bNow);
    emit sigCloseMtnDialog();
}

void MainController::maintenance(bool bNow)
{
    const trx::PortState master = masterPortState();
    const trx::ScheduleRequest request =
        maintenanceRequest(master, m_pSettings->m_maintenanceTime, bNow, m_pSettings->m_date);
    if (request.startTc == -1 || request.endTc == -1) {
        qDebug("maintenance: no start time, nothing sent");
        return;
    }
    m_pClient->addSchedule(request);
}

void MainController::maintenance()
{
    maintenance(true);
}

void MainController::updateMaintenanceTaskView(QString strId)
{
    const auto found = m_mapMaintenance.constFind(strId);
    if (found == m_mapMaintenance.cend())
        return;
    const trx::ScheduleInfo sch = *found;
    const trx::PortState master = masterPortState();
    const QDate today = m_pSettings->m_date;

    int first = 0;
    int last = 0;
    if (sch.startDate.isValid()) {
        first = last = daysFromWorkingDate(sch.startDate);
    } else {
        first = masterFrames(master, sch.startTc, 0) > m_curTc.frames ? 0 : 1;
        last = 7;
    }
    const bool crosses = sch.endTc != -1 && sch.endTc < sch.startTc;
    const QString status = statusText(sch.master.status);

    for (const QMap<int, PortEntry> &ports : qAsConst(m_mapPorts)) {
        for (const PortEntry &port : ports) {
            if (!port.widget)
                continue;
            TimelineWidget *timeline = port.widget->timeline();
            // Redrawn from scratch: a changed schedule or date must not leave the old items behind.
            timeline->removeItemsByTaskId(strId);
            for (int d = first; d <= last; ++d) {
                const TimeCode start(master, sch.startTc, d);
                const int endDay = crosses ? d + 1 : d;
                const TimeCode end(master, sch.endTc, endDay);
                const int length = qMax(1, end.frames - start.frames);
                TimelineItemData item;
                item.taskId = strId;
                item.name = QStringLiteral("Maintenance");
                item.startFrame = start.frames;
                item.length = length;
                item.startText = maintenanceItemText(today.addDays(d), start.toString());
                item.endText = maintenanceItemText(today.addDays(endDay), end.toString());
                item.durationText = QStringLiteral("00:00:10:00");
                item.statusText = status;
                item.status = sch.status();
                item.maintenance = true;
                item.dated = sch.startDate.isValid();
                // One item a day, all under the window's id.
                timeline->appendItem(item, false);
            }
            timeline->relayout();
        }
    }
}

void MainController::updateMaintenanceTask()
{
    const QDate date = m_pSettings->m_date;
    if (m_lastMtnDate.isValid() && m_lastMtnDate != date) {
        m_lastMtnDate = date;
        update24hPortLines();
        // The daily items count their days from the working date.
        const QList<QString> ids = m_mapMaintenance.keys();
        for (const QString &id : ids)
            updateMaintenanceTaskView(id);
        for (const QMap<int, PortEntry> &ports : qAsConst(m_mapPorts)) {
            for (const PortEntry &port : ports) {
                if (port.widget)
                    port.widget->timeline()->refreshMaintenanceItems();
            }
        }
    }
    m_lastMtnDate = date;
}
