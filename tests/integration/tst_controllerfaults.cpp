// Faults on the link between a running client (controller and main window) and the simulated
// manager. After each one the client must come back by itself and show the manager's installation
// as it is: every server once, every port row once, every schedule exactly once in the model and
// on the right timeline, and the operator's settings file untouched.

#include "simrunner.h"
#include "testscenario.h"

#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

enum Fault {
    DropAtIdentify,
    DropAtServerList,
    DropAtServerSettings,
    DropAtPortStates,
    DropAtScheduleList,
    DropInSteadyState,
    HeartbeatsUnanswered,
    HeartbeatsUnansweredThroughRebuilds,
    DelayJustUnderBound,
    DelayJustOverBound,
    SplitWrites,
    AbsurdFrameLength,
    UnknownKind,
    UnknownPushType,
    PushStorm,
    PushStormThroughRebuild,
    ManagerRestartedWithState,
};

// The bound on every synchronous request in this test, and the one the delay rows straddle.
constexpr int RequestBoundMs = 1500;
constexpr int ShortBoundMs = 500;
constexpr int RecoveryMs = 15000;

// Non-default values throughout, and a proxy port the server does not have: the controller
// corrects that one in memory, and must still leave the file as the operator wrote it.
const char SettingsXml[] = "<Setting ver=\"1.0\">\n"
                           "    <m_trxmIp value=\"127.0.0.1\"/>\n"
                           "    <m_trxmPort value=\"%1\"/>\n"
                           "    <m_bLockTimeScroll value=\"1\"/>\n"
                           "    <m_iZoomValue value=\"7\"/>\n"
                           "    <m_strDefaultTaskName value=\"Fault run\"/>\n"
                           "    <PortInfo>\n"
                           "        <Info ServerId=\"srv-a\" PortNo=\"3\" PortHeight=\"64\" PortName=\"Desk\""
                           " ProxyPort=\"9\" CheckStatus=\"1\" PortCollapse=\"0\"/>\n"
                           "    </PortInfo>\n"
                           "    <ServerInfo>\n"
                           "        <Info ServerId=\"srv-b\" ServerCollapse=\"0\"/>\n"
                           "    </ServerInfo>\n"
                           "</Setting>\n";

// What the manager holds, as the client should show it.
struct Installation
{
    QStringList servers;               // connected, in id order
    QMap<QString, QList<int>> ports;   // per connected server, ascending
    QStringList schedules;             // every schedule but maintenance, sorted
    QMap<QString, trx::ServerPort> at; // schedule to its port
};

Installation installationOf(SimServer &s)
{
    Installation inst;
    SimInstallation &i = s.installation();
    for (const QString &id : i.serverIds()) {
        if (!i.isServerConnected(id))
            continue;
        inst.servers << id;
        inst.ports.insert(id, i.portStates(id).keys());
    }
    inst.servers.sort();
    for (const trx::ScheduleInfo &sch : i.schedules()) {
        if (sch.type == trx::ScheduleInfo::Maintenance)
            continue;
        inst.schedules << sch.id;
        inst.at.insert(sch.id, trx::ServerPort(sch.serverId, sch.portNo));
    }
    inst.schedules.sort();
    return inst;
}

// Adds a schedule on a 25-frame port of the test scenario; returns its id, empty on refusal.
QString addSchedule(SimServer &s, const QString &serverId, int port, int secsAhead, const QString &name)
{
    trx::ScheduleRequest r;
    const QDateTime start = s.clock().now().addSecs(secsAhead);
    r.masterMgwId = QStringLiteral("mgw-1");
    r.masterDriveId = QStringLiteral("d1");
    r.name = name;
    r.startDate = start.date();
    r.endDate = start.addSecs(120).date();
    r.startTc = packedTcAt25(start);
    r.endTc = packedTcAt25(start.addSecs(120));
    r.ports.append(trx::ServerPort(serverId, port));
    const QStringList before = installationOf(s).schedules;
    QString why;
    if (!s.installation().addSchedules(r, &why))
        return QString();
    for (const QString &id : installationOf(s).schedules) {
        if (!before.contains(id))
            return id;
    }
    return QString();
}

// Starts the simulator program; returns the port it listens on, 0 when it did not come up.
quint16 startSimProcess(QProcess &process, const QStringList &arguments)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(TRXM_SIM_BINARY), arguments);
    if (!process.waitForStarted(5000))
        return 0;
    QByteArray out;
    const QRegularExpression listening(QStringLiteral("^listening on [^\\n]*:(\\d+)$"),
                                       QRegularExpression::MultilineOption);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        out += process.readAllStandardOutput();
        const QRegularExpressionMatch m = listening.match(QString::fromLatin1(out));
        if (m.hasMatch())
            return quint16(m.captured(1).toUInt());
    }
    return 0;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

} // namespace

class tst_ControllerFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void clientRecovers_data();
    void clientRecovers();
    void checkSeesWhatAFaultWouldLeave_data();
    void checkSeesWhatAFaultWouldLeave();
    void managerProcessRestartedWithItsState();

private:
    bool startSim();
    void createClient(int requestBoundMs);
    // Empty when the client shows the simulator's installation exactly; else the first difference.
    QString mismatch();
    QString mismatchWith(const Installation &inst);
    bool logHas(const QByteArray &text) const { return readAll(m_strLog).contains(text); }

    QTemporaryDir m_dir;
    QString m_strLog;
    QString m_strSettings;
    QString m_strState;
    quint16 m_iPort = 0;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
};

void tst_ControllerFaults::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void tst_ControllerFaults::init()
{
    const QString name =
        QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
    m_strLog = m_dir.filePath(name + QStringLiteral(".log"));
    m_strSettings = m_dir.filePath(name + QStringLiteral("-Settings.xml"));
    m_strState = m_dir.filePath(name + QStringLiteral("-state.json"));
    setLogFilePath(m_strLog.toLocal8Bit().constData());
    m_iPort = 0;
}

void tst_ControllerFaults::cleanup()
{
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    m_sim.reset();
}

bool tst_ControllerFaults::startSim()
{
    m_sim = std::make_unique<SimRunner>(testScenario());
    const QString state = m_strState;
    const bool stateOk = m_sim->call([&state](SimServer &s) {
        QString error;
        return s.useStateFile(state, &error);
    });
    if (!stateOk)
        return false;
    const quint16 port = m_sim->start(m_iPort);
    if (!port || (m_iPort && port != m_iPort))
        return false;
    m_iPort = port;
    return true;
}

void tst_ControllerFaults::createClient(int requestBoundMs)
{
    QFile f(m_strSettings);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QString::fromLatin1(SettingsXml).arg(m_iPort).toUtf8());
    f.close();

    ControllerOptions options;
    options.settingsFile = m_strSettings;
    options.link.requestTimeoutMs = requestBoundMs;
    options.link.connectTimeoutMs = 1000;
    options.link.heartbeatIntervalMs = 300;
    options.retry.firstDelayMs = 100;
    options.retry.backoffMs = {100, 200};
    options.pollIntervalMs = 100;
    m_controller = std::make_unique<MainController>(options);
    m_view = std::make_unique<OXAMainView>(m_controller.get());
    m_controller->setMainView(m_view.get());
    QCOMPARE(m_controller->settings()->m_trxmPort, int(m_iPort));
}

QString tst_ControllerFaults::mismatch()
{
    return mismatchWith(m_sim->call([](SimServer &s) { return installationOf(s); }));
}

QString tst_ControllerFaults::mismatchWith(const Installation &inst)
{
    if (!m_controller->isConnected())
        return QStringLiteral("not connected");
    const QMap<QString, ServerWidget *> &panels = m_view->serverWidgets();
    if (panels.keys() != inst.servers)
        return QStringLiteral("panels %1, manager %2").arg(panels.keys().join(','), inst.servers.join(','));
    // Every server widget in the window, not only those the window lists: a stale one would show too.
    const int inWindow = m_view->portsWidget()->findChildren<ServerWidget *>().size();
    if (inWindow != inst.servers.size())
        return QStringLiteral("%1 server panels in the window").arg(inWindow);

    QMap<QString, trx::ServerPort> rowOfItem;
    QStringList itemIds;
    for (auto panel = panels.cbegin(); panel != panels.cend(); ++panel) {
        ServerWidget *server = panel.value();
        QList<int> rows;
        for (ServerPortWidget *row : server->portWidgets())
            rows << row->portNo();
        if (rows != inst.ports.value(panel.key()))
            return QStringLiteral("rows of %1: %2").arg(panel.key()).arg(rows.size());
        const int rowWidgets = server->findChildren<ServerPortWidget *>().size();
        if (rowWidgets != rows.size())
            return QStringLiteral("%1 row widgets in panel %2").arg(rowWidgets).arg(panel.key());
        for (ServerPortWidget *row : server->portWidgets()) {
            if (!row->isVisibleTo(m_view.get()))
                return QStringLiteral("row %1/%2 hidden").arg(panel.key()).arg(row->portNo());
            for (const TimelineItemData &item : row->timeline()->itemsData()) {
                if (item.maintenance)
                    continue;
                TimelineItemWidget *widget = row->timeline()->itemWidget(item.taskId);
                if (widget && !row->timeline()->isAncestorOf(widget))
                    return QStringLiteral("item %1 not in its timeline").arg(item.taskId);
                itemIds << item.taskId;
                rowOfItem.insert(item.taskId, trx::ServerPort(panel.key(), row->portNo()));
            }
        }
    }
    // Items anywhere in the window, so that one left in a detached timeline counts as a ghost.
    QStringList everywhere;
    // Widgets bound to items and stray ones; the timelines' spare widgets stand for no schedule.
    for (TimelineItemWidget *item : m_view->findChildren<TimelineItemWidget *>()) {
        auto *timeline = qobject_cast<TimelineWidget *>(item->parentWidget());
        if (timeline && !timeline->items().contains(item))
            continue;
        if (!item->isMaintenance())
            everywhere << item->taskId();
    }
    // Items that no widget draws now (out of view) are on their timeline as data.
    for (const QString &id : qAsConst(itemIds)) {
        const trx::ServerPort at = rowOfItem.value(id);
        ServerPortWidget *row = m_controller->findPortWidget(at.serverId, at.portNo);
        if (row && !row->timeline()->itemWidget(id))
            everywhere << id;
    }
    std::sort(itemIds.begin(), itemIds.end());
    std::sort(everywhere.begin(), everywhere.end());
    if (everywhere != itemIds)
        return QStringLiteral("items in the window %1, on timelines %2")
            .arg(everywhere.join(','), itemIds.join(','));

    QStringList onPanels;
    for (const QString &id : inst.schedules) {
        if (inst.servers.contains(inst.at.value(id).serverId))
            onPanels << id;
    }
    if (itemIds != onPanels)
        return QStringLiteral("items %1, manager %2").arg(itemIds.join(','), onPanels.join(','));
    for (const QString &id : qAsConst(itemIds)) {
        if (!(rowOfItem.value(id) == inst.at.value(id)))
            return QStringLiteral("item %1 on the wrong row").arg(id);
    }

    const QStringList tasks = m_controller->tasks().keys();
    if (tasks != inst.schedules)
        return QStringLiteral("tasks %1, manager %2").arg(tasks.join(','), inst.schedules.join(','));
    for (const QString &id : qAsConst(onPanels)) {
        TimelineWidget *timeline = m_controller->taskTimeline(id);
        const TimelineItemData *item = timeline ? timeline->itemData(id) : nullptr;
        if (!item || rowOfItem.value(id).serverId.isEmpty() || item->taskId != id)
            return QStringLiteral("task %1 has no item on screen").arg(id);
    }
    return QString();
}

void tst_ControllerFaults::clientRecovers_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("atStartUp");
    QTest::addColumn<bool>("linkLost");
    QTest::addColumn<int>("requestBoundMs");

    QTest::newRow("start-up: dropped at identify") << int(DropAtIdentify) << true << true << RequestBoundMs;
    QTest::newRow("start-up: dropped at the server list")
        << int(DropAtServerList) << true << true << RequestBoundMs;
    QTest::newRow("start-up: dropped at the server settings")
        << int(DropAtServerSettings) << true << true << RequestBoundMs;
    QTest::newRow("start-up: dropped at the port states")
        << int(DropAtPortStates) << true << true << RequestBoundMs;
    QTest::newRow("start-up: dropped at the schedule list")
        << int(DropAtScheduleList) << true << true << RequestBoundMs;
    QTest::newRow("steady: link dropped") << int(DropInSteadyState) << false << true << RequestBoundMs;
    QTest::newRow("steady: heartbeats unanswered")
        << int(HeartbeatsUnanswered) << false << true << RequestBoundMs;
    QTest::newRow("steady: heartbeats unanswered through rebuilds")
        << int(HeartbeatsUnansweredThroughRebuilds) << false << true << RequestBoundMs;
    QTest::newRow("steady: answers just under the bound")
        << int(DelayJustUnderBound) << false << true << ShortBoundMs;
    QTest::newRow("steady: answers just over the bound")
        << int(DelayJustOverBound) << false << true << ShortBoundMs;
    QTest::newRow("steady: frames split into small writes")
        << int(SplitWrites) << false << true << RequestBoundMs;
    QTest::newRow("steady: absurd frame length") << int(AbsurdFrameLength) << false << true << RequestBoundMs;
    QTest::newRow("steady: body of unknown kind") << int(UnknownKind) << false << false << RequestBoundMs;
    QTest::newRow("steady: unknown push type") << int(UnknownPushType) << false << false << RequestBoundMs;
    QTest::newRow("steady: push storm") << int(PushStorm) << false << false << RequestBoundMs;
    QTest::newRow("steady: push storm through a rebuild")
        << int(PushStormThroughRebuild) << false << true << RequestBoundMs;
    QTest::newRow("steady: manager restarted with its state")
        << int(ManagerRestartedWithState) << false << true << RequestBoundMs;
}

void tst_ControllerFaults::clientRecovers()
{
    QFETCH(int, fault);
    QFETCH(bool, atStartUp);
    QFETCH(bool, linkLost);
    QFETCH(int, requestBoundMs);

    QVERIFY(startSim());
    createClient(requestBoundMs);
    const QByteArray settingsBefore = readAll(m_strSettings);
    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    QSignalSpy losses(m_controller.get(), &MainController::mtnDone);
    QSignalSpy attempts(m_controller.get(), &MainController::sigInitStatusChanged);
    const auto setFaults = [this](const SimFaults &f) {
        m_sim->call([&f](SimServer &s) { s.setFaults(f); });
    };

    if (atStartUp) {
        SimFaults f;
        const QMap<int, int> codes{{DropAtIdentify, 1},
                                   {DropAtServerList, 2},
                                   {DropAtServerSettings, 5},
                                   {DropAtPortStates, 61},
                                   {DropAtScheduleList, 1001}};
        f.dropOnRequestCode = codes.value(fault);
        setFaults(f);
        m_controller->init();
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
        // The hook fires once; the retry must find its way alone.
        QCOMPARE(m_sim->call([](SimServer &s) { return s.faults().dropOnRequestCode; }), -1);
    } else {
        m_controller->init();
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, RecoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(mismatch(), QString(), RecoveryMs);
        QCOMPARE(losses.count(), 0);
    }
    const int doneBefore = done.count();

    SimFaults f;
    QStringList stateBefore;
    switch (fault) {
    case DropInSteadyState:
        m_sim->call([](SimServer &s) { s.dropLinks(); });
        break;
    case HeartbeatsUnanswered:
        f.noHeartbeatAnswer = true;
        setFaults(f);
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
        QVERIFY(logHas("Heartbeat timeout!!!"));
        break;
    case HeartbeatsUnansweredThroughRebuilds:
        // Links keep dying while the panels are being built again, several times over.
        f.noHeartbeatAnswer = true;
        setFaults(f);
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 3, RecoveryMs);
        break;
    case DelayJustUnderBound:
        // The rebuild itself runs with every answer late, but in time; the delay stays on.
        f.answerDelayMs = ShortBoundMs - 100;
        setFaults(f);
        m_sim->call([](SimServer &s) { s.dropLinks(); });
        break;
    case DelayJustOverBound: {
        f.answerDelayMs = ShortBoundMs + 200;
        setFaults(f);
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
        // At least one attempt to come back runs into the late answers and fails.
        const int attemptsBefore = attempts.count();
        QTRY_VERIFY_WITH_TIMEOUT(attempts.count() >= attemptsBefore + 2, RecoveryMs);
        QVERIFY(logHas("Request timeout: "));
        break;
    }
    case SplitWrites:
        // The whole rebuild arrives in pieces; the split stays on.
        f.splitWriteBytes = 61;
        setFaults(f);
        m_sim->call([](SimServer &s) { s.dropLinks(); });
        break;
    case AbsurdFrameLength:
        m_sim->call([](SimServer &s) { s.sendAbsurdLength(); });
        QTRY_VERIFY_WITH_TIMEOUT(logHas("Frame length refused"), RecoveryMs);
        break;
    case UnknownKind: {
        // A schedule pushed right behind the bad packet, in the same write, is not lost with it.
        const QString behind = m_sim->call([](SimServer &s) {
            s.sendUnknownKind();
            return addSchedule(s, QStringLiteral("srv-b"), 1, 3600, QStringLiteral("Behind the bad packet"));
        });
        QVERIFY(!behind.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(logHas("Error Packet Type: 7"), RecoveryMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_controller->tasks().contains(behind), 3000);
        break;
    }
    case UnknownPushType:
        m_sim->call([](SimServer &s) { s.sendUnknownPush(); });
        QTRY_VERIFY_WITH_TIMEOUT(logHas("Error Push Type: 116"), RecoveryMs);
        break;
    case PushStorm: {
        f.pushStormPerSecond = 2000;
        setFaults(f);
        // Schedules keep changing in the middle of the storm.
        QTest::qWait(500);
        m_sim->call([](SimServer &s) {
            QString why;
            s.installation().removeSchedule(QStringLiteral("done"), &why);
        });
        QTest::qWait(1000);
        break;
    }
    case PushStormThroughRebuild:
        f.pushStormPerSecond = 2000;
        setFaults(f);
        QTest::qWait(300);
        m_sim->call([](SimServer &s) { s.dropLinks(); });
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
        QTRY_VERIFY_WITH_TIMEOUT(done.count() > doneBefore, RecoveryMs);
        break;
    case ManagerRestartedWithState: {
        // The state to come back: one schedule gone and one added since the scenario loaded.
        const QString kept = m_sim->call([](SimServer &s) {
            QString why;
            s.installation().removeSchedule(QStringLiteral("done"), &why);
            return addSchedule(s, QStringLiteral("srv-b"), 3, 7200, QStringLiteral("Before the restart"));
        });
        QVERIFY(!kept.isEmpty());
        stateBefore = m_sim->call([](SimServer &s) { return installationOf(s).schedules; });
        QVERIFY(m_sim->call([](SimServer &s) {
            QString error;
            return s.saveState(&error);
        }));
        m_sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
        // The client keeps trying while the manager is away.
        const int attemptsBefore = attempts.count();
        QTRY_VERIFY_WITH_TIMEOUT(attempts.count() >= attemptsBefore + 2, RecoveryMs);
        // The last known panels stay (dimmed) until the manager answers again.
        QVERIFY(!m_view->serverWidgets().isEmpty());
        QVERIFY(startSim());
        QCOMPARE(m_sim->call([](SimServer &s) { return installationOf(s).schedules; }), stateBefore);
        break;
    }
    default:
        break;
    }
    if (fault != DelayJustUnderBound && fault != SplitWrites)
        setFaults(SimFaults());

    if (linkLost)
        QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(mismatch(), QString(), RecoveryMs);
    QVERIFY(m_controller->connectionStatusText().isEmpty());
    if (linkLost)
        QVERIFY(done.count() > doneBefore); // the splash's end came again with the rebuild
    else
        QCOMPARE(done.count(), doneBefore);
    if (fault == DelayJustUnderBound || fault == SplitWrites)
        QCOMPARE(losses.count(), 1);
    if (!linkLost)
        QCOMPARE(losses.count(), 0);

    // The link is live and nothing is wired twice: the next changes show once each.
    const int lossesAfter = losses.count();
    const QString added = m_sim->call([](SimServer &s) {
        QString why;
        s.installation().removeSchedule(QStringLiteral("later"), &why);
        return addSchedule(s, QStringLiteral("srv-b"), 2, 5400, QStringLiteral("After the fault"));
    });
    QVERIFY(!added.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->tasks().contains(added), RecoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->tasks().contains(QStringLiteral("later")), RecoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(mismatch(), QString(), RecoveryMs);
    // Still so a moment later: no late list or push brings a duplicate or a ghost back.
    QTest::qWait(400);
    QCOMPARE(mismatch(), QString());
    QCOMPARE(losses.count(), lossesAfter);

    QCOMPARE(readAll(m_strSettings), settingsBefore);
    m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    QCOMPARE(readAll(m_strSettings), settingsBefore);
}

// The check above must see each kind of damage a fault could leave, or its passes mean nothing.
void tst_ControllerFaults::checkSeesWhatAFaultWouldLeave_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reported");

    QTest::newRow("an item twice on its timeline") << "duplicate item"
                                                   << "items ";
    QTest::newRow("an item left outside the timelines") << "ghost item"
                                                        << "items in the window";
    QTest::newRow("an item missing") << "missing item"
                                     << "items ";
    QTest::newRow("an item on another port's row") << "moved item"
                                                   << "on the wrong row";
    QTest::newRow("a second panel for a server") << "duplicate panel"
                                                 << "server panels in the window";
    QTest::newRow("a row twice in a panel") << "duplicate row"
                                            << "row widgets in panel";
    QTest::newRow("a schedule the manager no longer has") << "manager removed"
                                                          << "items ";
}

void tst_ControllerFaults::checkSeesWhatAFaultWouldLeave()
{
    QFETCH(QString, damage);
    QFETCH(QString, reported);

    QVERIFY(startSim());
    createClient(RequestBoundMs);
    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    m_controller->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, RecoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(mismatch(), QString(), RecoveryMs);

    const QString id = QStringLiteral("later");
    const TaskEntry task = m_controller->tasks().value(id);
    QVERIFY(m_controller->taskTimeline(id));
    ServerPortWidget *row = m_controller->findPortWidget(task.serverId, task.port);
    QVERIFY(row);
    const auto copyOf = [&id](QWidget *parent) {
        auto *item = new TimelineItemWidget(parent, id, 0, 100, QString(), QString(), QString());
        item->setValue(TimelineItemWidget::TaskIdKey, id);
        return item;
    };
    if (damage == QLatin1String("duplicate item")) {
        row->timeline()->addItem(copyOf(nullptr), true);
    } else if (damage == QLatin1String("ghost item")) {
        copyOf(m_view->portsWidget());
    } else if (damage == QLatin1String("missing item")) {
        row->timeline()->removeItemsByTaskId(id);
    } else if (damage == QLatin1String("moved item")) {
        row->timeline()->removeItemsByTaskId(id);
        ServerPortWidget *other = m_controller->findPortWidget(task.serverId, task.port + 2);
        QVERIFY(other);
        other->timeline()->addItem(copyOf(nullptr), true);
    } else if (damage == QLatin1String("duplicate panel")) {
        new ServerWidget(task.serverId, QStringLiteral("again"), m_view->portsWidget());
    } else if (damage == QLatin1String("duplicate row")) {
        new ServerPortWidget(task.port, QStringLiteral("again"),
                             m_view->serverWidgets().value(task.serverId));
    } else if (damage == QLatin1String("manager removed")) {
        // Removed behind the client's back: no push reaches it.
        m_sim->call([&id](SimServer &s) {
            s.setFaults(SimFaults());
            const QSignalBlocker quiet(&s.installation());
            QString why;
            s.installation().removeSchedule(id, &why);
        });
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QString found = mismatch();
    QVERIFY2(found.contains(reported), qPrintable(found));
}

// The manager program itself stopped and started again on the same port with --state, while the
// client runs: the schedules it changed before it stopped come back, once each.
void tst_ControllerFaults::managerProcessRestartedWithItsState()
{
    const QString scenario = m_dir.filePath(QStringLiteral("restart-scenario.json"));
    {
        QFile f(scenario);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testScenarioJson());
    }
    const QString state = m_dir.filePath(QStringLiteral("restart-state.json"));
    const QStringList common{QStringLiteral("--scenario"), scenario, QStringLiteral("--state"), state,
                             QStringLiteral("--log"), m_dir.filePath(QStringLiteral("restart-sim.log"))};

    // The first run changes its schedules all the time, so its state is not the scenario's.
    QProcess first;
    m_iPort = startSimProcess(first, common + QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                                          QStringLiteral("--churn"), QStringLiteral("200")});
    QVERIFY2(m_iPort, first.readAllStandardError().constData());
    createClient(RequestBoundMs);
    const QByteArray settingsBefore = readAll(m_strSettings);
    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    QSignalSpy losses(m_controller.get(), &MainController::mtnDone);
    m_controller->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, RecoveryMs);
    QTest::qWait(1500);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(losses.count() >= 1, RecoveryMs);
    QVERIFY(!m_view->serverWidgets().isEmpty()); // the last known panels stay while it is away

    // What the state file holds, read by a simulator of our own from a copy of it.
    const QString copy = m_dir.filePath(QStringLiteral("restart-state-copy.json"));
    QVERIFY(QFile::copy(state, copy));
    Installation expected;
    {
        SimServer reader(testScenario());
        const Installation initial = installationOf(reader);
        QString error;
        QVERIFY2(reader.useStateFile(copy, &error), qPrintable(error));
        expected = installationOf(reader);
        QVERIFY(expected.schedules != initial.schedules);
    }

    const int doneBefore = done.count();
    QProcess second;
    QCOMPARE(startSimProcess(second, common + QStringList{QStringLiteral("--port"), QString::number(m_iPort)}),
             m_iPort);
    QTRY_VERIFY_WITH_TIMEOUT(done.count() > doneBefore, RecoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(mismatchWith(expected), QString(), RecoveryMs);
    QTest::qWait(400);
    QCOMPARE(mismatchWith(expected), QString());

    QCOMPARE(readAll(m_strSettings), settingsBefore);
    m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    QCOMPARE(readAll(m_strSettings), settingsBefore);
    second.terminate();
    QVERIFY(second.waitForFinished(10000));
}

QTEST_MAIN(tst_ControllerFaults)
#include "tst_controllerfaults.moc"
