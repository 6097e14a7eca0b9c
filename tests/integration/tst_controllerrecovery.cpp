// Recovery against the simulator: a dropped link, a manager that is down at start-up and comes up
// later, and a server that connects after start-up.

#include "controllerharness.h"
#include "testscenario.h"

#include "platform/idbg.h"

#include <QPushButton>
#include <QTcpServer>

#include <thread>

namespace {

QStringList texts(const QSignalSpy &spy)
{
    QStringList shown;
    for (const QList<QVariant> &args : spy)
        shown << args.at(0).toString();
    return shown;
}

// A loopback port that nothing listens on (for the moment).
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

int rowCount(const OXAMainView *view)
{
    int rows = 0;
    for (const ServerWidget *server : view->serverWidgets())
        rows += server->portWidgets().size();
    return rows;
}

int itemCount(const MainController *controller)
{
    int items = 0;
    for (const QMap<int, PortEntry> &ports : controller->ports()) {
        for (const PortEntry &port : ports) {
            if (!port.widget)
                continue;
            // Maintenance items follow the master clock, which arrives at its own time after a
            // reconnect; schedule items are what must not be duplicated.
            for (const TimelineItemData &item : port.widget->timeline()->itemsData())
                items += item.maintenance ? 0 : 1;
        }
    }
    return items;
}

} // namespace

class tst_ControllerRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void droppedLinkRebuildsWithoutDuplicates();
    void visiblePanelsFollowTheManagerAfterAReconnect();
    void managerDownAtStartUpIsRetriedUntilItComes();
    void retryWaitsGrowWhileTheManagerStaysDown();
    void serverConnectingLaterGetsItsPanelAndReloads();
    void serverLosingItsLinkOnlyChangesItsStatus();
    void serverRecordChanges_data();
    void serverRecordChanges();

private:
    QTemporaryDir m_logDir;
};

void tst_ControllerRecovery::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerRecovery::droppedLinkRebuildsWithoutDuplicates()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    const QList<QString> servers = h.view()->serverWidgets().keys();
    const int rows = rowCount(h.view());
    const int items = itemCount(h.controller());
    const int tasks = h.controller()->tasks().size();
    QVERIFY(rows > 0);
    QVERIFY(items > 0);

    QSignalSpy status(h.controller(), &MainController::sigInitStatusChanged);
    QSignalSpy linkText(h.controller(), &MainController::sigConnectionStatusChanged);
    QSignalSpy mtnDone(h.controller(), &MainController::mtnDone);
    h.sim()->call([](SimServer &s) { s.dropLinks(); });

    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 10000);
    QCOMPARE(texts(status),
             (QStringList{QStringLiteral("Connecting to TRXM..."), QStringLiteral("Init ports..."),
                          QStringLiteral("Loading schedules...")}));
    QCOMPARE(mtnDone.count(), 1);
    QVERIFY(h.controller()->isConnected());
    QCOMPARE(h.view()->serverWidgets().keys(), servers);
    QCOMPARE(rowCount(h.view()), rows);
    QCOMPARE(h.view()->portsWidget()->findChildren<ServerWidget *>().size(), servers.size());
    QCOMPARE(itemCount(h.controller()), items);
    QCOMPARE(h.controller()->tasks().size(), tasks);
    // The line said so while the link was down and is gone again.
    QVERIFY(!linkText.isEmpty());
    QVERIFY(linkText.first().at(0).toString().startsWith(QLatin1String("TRXM disconnected, retrying in ")));
    QVERIFY(h.controller()->connectionStatusText().isEmpty());
}

// After a reconnect the panels on screen are the ones the controller keeps updating: a
// schedule the manager adds appears there, and recording states keep changing there.
void tst_ControllerRecovery::visiblePanelsFollowTheManagerAfterAReconnect()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    h.sim()->call([](SimServer &s) { s.dropLinks(); });
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 10000);

    auto visibleRow = [&h](const QString &serverId, int port) -> ServerPortWidget * {
        ServerWidget *server = h.view()->serverWidgets().value(serverId);
        if (!server || !server->isVisible())
            return nullptr;
        ServerPortWidget *row = server->portWidget(port);
        return row && row->isVisibleTo(h.view()) ? row : nullptr;
    };
    h.view()->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.view()));
    QVERIFY(visibleRow(QStringLiteral("srv-b"), 2));

    const QDateTime now = h.sim()->call([](SimServer &s) { return s.clock().now(); });
    const QDateTime start = now.addSecs(5400);
    trx::ScheduleRequest r;
    r.masterMgwId = QStringLiteral("mgw-1");
    r.masterDriveId = QStringLiteral("d1");
    r.name = QStringLiteral("After the reconnect");
    r.startDate = start.date();
    r.endDate = start.addSecs(300).date();
    r.startTc = packedTcAt25(start);
    r.endTc = packedTcAt25(start.addSecs(300));
    r.ports.append(trx::ServerPort(QStringLiteral("srv-b"), 2));
    // Schedules only: the daily maintenance items arrive on their own time.
    const auto scheduleCount = [&] {
        int n = 0;
        for (const TimelineItemData &item : visibleRow(QStringLiteral("srv-b"), 2)->timeline()->itemsData())
            n += item.maintenance ? 0 : 1;
        return n;
    };
    const int before = scheduleCount();
    QVERIFY(h.controller()->client()->addSchedule(r));
    QTRY_COMPARE_WITH_TIMEOUT(scheduleCount(), before + 1, 10000);

    h.sim()->call([](SimServer &s) { s.installation().setPortRecording(QStringLiteral("srv-b"), 2, false); });
    QTRY_COMPARE_WITH_TIMEOUT(
        visibleRow(QStringLiteral("srv-b"), 2)->recButton()->property("Recording").toString(),
        QStringLiteral("No"), 10000);
    h.sim()->call([](SimServer &s) { s.installation().setPortRecording(QStringLiteral("srv-b"), 2, true); });
    QTRY_COMPARE_WITH_TIMEOUT(
        visibleRow(QStringLiteral("srv-b"), 2)->recButton()->property("Recording").toString(),
        QStringLiteral("Yes"), 10000);
}

void tst_ControllerRecovery::managerDownAtStartUpIsRetriedUntilItComes()
{
    const quint16 port = closedPort();
    QVERIFY(port != 0);
    ControllerHarness h;
    h.createController(port);
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    QSignalSpy status(h.controller(), &MainController::sigInitStatusChanged);

    h.controller()->init();
    // The splash goes at once and the main window shows no servers.
    QCOMPARE(done.count(), 1);
    QCOMPARE(texts(status), QStringList{QStringLiteral("Connecting to TRXM...")});
    QVERIFY(h.view()->isVisible());
    QVERIFY(h.view()->serverWidgets().isEmpty());
    QVERIFY(!h.controller()->isConnected());
    QVERIFY(
        h.controller()->connectionStatusText().startsWith(QLatin1String("TRXM disconnected, retrying in ")));
    QVERIFY(h.controller()->retryRemainingMs() >= 0);

    // A few attempts fail before the manager comes up.
    QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 3, 5000);
    QVERIFY(h.view()->serverWidgets().isEmpty());

    QVERIFY(h.startSim(testScenario(), port));
    QTRY_COMPARE_WITH_TIMEOUT(h.view()->serverWidgets().size(), 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(h.controller()->tasks().contains(QStringLiteral("later")), 10000);
    QVERIFY(h.controller()->isConnected());
    QVERIFY(h.controller()->connectionStatusText().isEmpty());
    QCOMPARE(h.controller()->retryRemainingMs(), -1);
    QVERIFY(h.controller()->taskTimeline(QStringLiteral("later")));
}

void tst_ControllerRecovery::retryWaitsGrowWhileTheManagerStaysDown()
{
    const quint16 port = closedPort();
    QVERIFY(port != 0);
    ControllerHarness h;
    h.createController(port);
    QSignalSpy status(h.controller(), &MainController::sigInitStatusChanged);
    h.controller()->init();

    // Waits of 50, 100, then 200 ms repeating: the wait pending after each failed attempt.
    QList<int> waits;
    waits << h.controller()->pendingRetryDelayMs();
    for (int attempt = 2; attempt <= 4; ++attempt) {
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), attempt, 5000);
        waits << h.controller()->pendingRetryDelayMs();
    }
    QCOMPARE(waits, (QList<int>{50, 100, 200, 200}));
    QVERIFY(h.view()->serverWidgets().isEmpty());
}

void tst_ControllerRecovery::serverConnectingLaterGetsItsPanelAndReloads()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QVERIFY(!h.view()->serverWidgets().contains(QStringLiteral("srv-off")));
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });

    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-off"), true); });
    QTRY_VERIFY_WITH_TIMEOUT(h.view()->serverWidgets().contains(QStringLiteral("srv-off")), 10000);
    QCOMPARE(h.rowPorts(QStringLiteral("srv-off")), (QList<int>{0, 1, 2, 3}));
    // The schedule list is asked for again and shown again.
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 10000);
    QVERIFY(h.sim()->call([](SimServer &s) { return s.receivedCodes().contains(1001); }));
    QCOMPARE(h.view()->serverWidgets().size(), 3);
}

void tst_ControllerRecovery::serverLosingItsLinkOnlyChangesItsStatus()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QSignalSpy serverStatus(h.controller(), &MainController::sigServerStatusChanged);

    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-b"), false); });
    QTRY_COMPARE_WITH_TIMEOUT(serverStatus.count(), 1, 10000);
    QCOMPARE(serverStatus.at(0).at(0).toString(), QStringLiteral("srv-b"));
    QCOMPARE(serverStatus.at(0).at(1).toBool(), false);
    QVERIFY(h.view()->serverWidgets().value(QStringLiteral("srv-b"))->isHidden());
    QCOMPARE(h.view()->serverWidgets().size(), 2);
    QCOMPARE(done.count(), 1);
}

void tst_ControllerRecovery::serverRecordChanges_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("statusSignals");
    QTest::addColumn<QString>("shownName");

    QTest::newRow("name only retitles the panel") << true << "A renamed" << 0 << "A renamed";
    QTest::newRow("link and name only refresh the status") << false << "A renamed" << 1 << "A";
    QTest::newRow("nothing changed") << true << "A" << 0 << "A";
}

void tst_ControllerRecovery::serverRecordChanges()
{
    QFETCH(bool, connected);
    QFETCH(QString, name);

    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QSignalSpy serverStatus(h.controller(), &MainController::sigServerStatusChanged);
    QSignalSpy changes(h.controller(), &MainController::sigServerInfoChanged);

    trx::ServerInfo info = h.controller()->servers().value(QStringLiteral("srv-a"));
    info.connected = connected;
    info.name = name;
    trx::TRXMClientDelegate *link = h.controller();
    std::thread([link, info] { link->serverInfoChanged(info); }).join();
    QTRY_COMPARE(changes.count(), 1);
    QCoreApplication::processEvents(); // the queued slot

    QTEST(int(serverStatus.count()), "statusSignals");
    QTEST(h.view()->serverWidgets().value(QStringLiteral("srv-a"))->serverName(), "shownName");
    QCOMPARE(h.view()->serverWidgets().size(), 2);
    QCOMPARE(done.count(), 1); // no reload for a known server
}

QTEST_MAIN(tst_ControllerRecovery)
#include "tst_controllerrecovery.moc"
