#include "notify/noticefeed.h"

#include "controller/linkstatuspresenter.h"
#include "controller/maincontroller.h"
#include "notify/noticesink.h"
#include "settings/settings.h"
#include "views/serverportwidget.h"

namespace {

// "Server Port B", as the status line names a port.
QString portText(const MainController &controller, const QString &serverId, int port)
{
    const QString server = controller.servers().value(serverId).name;
    const ServerPortWidget *row = controller.findPortWidget(serverId, port);
    const QString label = row && !row->portName().isEmpty()
                              ? row->portName()
                              : QStringLiteral("Port %1").arg(QChar(QLatin1Char('A').unicode() + port));
    return QStringLiteral("%1 %2").arg(server.isEmpty() ? serverId : server, label);
}

} // namespace

NoticeFeed::NoticeFeed(MainController *controller, LinkStatusPresenter *presenter,
                       std::unique_ptr<NoticeSink> sink, QObject *parent, NoticeTracker::Clock clock)
    : QObject(parent), m_pController(controller), m_pSink(std::move(sink)), m_tracker(m_pSink.get(), clock)
{
    connect(controller, &MainController::sigTaskChanged, this,
            [this](const QString &id) { taskChanged(id, false); });
    connect(controller, &MainController::sigTaskRemoved, this,
            [this](const QString &id) { m_tracker.scheduleGone(id); });
    connect(controller, &MainController::sigTasksReset, this, &NoticeFeed::tasksReset);
    connect(presenter, &LinkStatusPresenter::sigRefreshed, this, &NoticeFeed::refreshed);
    tasksReset();
}

NoticeFeed::~NoticeFeed() = default;

void NoticeFeed::taskChanged(const QString &id, bool baseline)
{
    const MainController *controller = m_pController.data();
    if (!controller)
        return;
    const auto task = controller->tasks().constFind(id);
    if (task == controller->tasks().cend())
        return;
    m_tracker.scheduleStatus(id, task->name, portText(*controller, task->serverId, task->port),
                             task->schedule.master.status, baseline);
}

void NoticeFeed::tasksReset()
{
    const MainController *controller = m_pController.data();
    if (!controller)
        return;
    // A reload after a lost link still tells what failed meanwhile: known schedules compare with
    // their last status; only the ones never seen are taken as found.
    const QStringList ids = controller->tasks().keys();
    for (const QString &id : ids)
        taskChanged(id, true);
}

void NoticeFeed::refreshed(bool connected, const QList<RemainAlert> &alerts)
{
    const MainController *controller = m_pController.data();
    if (!controller)
        return;
    if (const Settings *settings = controller->settings()) {
        NoticeKinds kinds;
        kinds.scheduleError = settings->m_bNotifyScheduleError;
        kinds.linkLost = settings->m_bNotifyLinkLost;
        kinds.remainTime = settings->m_bNotifyRemainTime;
        m_tracker.setKinds(kinds);
    }
    m_tracker.linkState(connected);
    // While the link is down the ports are being rebuilt and show no times: the last known
    // shortages stand, so that a reconnect does not tell them all again.
    if (connected)
        m_tracker.remainAlerts(alerts);
    m_tracker.flush();
}
