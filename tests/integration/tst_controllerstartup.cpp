// The controller's start-up against the simulator: status texts, server panels and port rows,
// proxy ports that no longer exist, and the schedule list shown on the timelines.

#include "controllerharness.h"

#include "testscenario.h"
#include <QLabel>

#include "platform/idbg.h"

class tst_ControllerStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void statusTextsInOrderAndInitDone();
    void onePanelPerConnectedServer();
    void onlyDisconnectedServersBuildNoPanelButCount();
    void rowsInPortOrderWhateverTheCameraOrder_data();
    void rowsInPortOrderWhateverTheCameraOrder();
    void storedProxyPortThatNoLongerExistsIsReset();
    void schedulesShownOnTheirPortsTimelines();
    void maintenanceScheduleKeptApart();
    void emptyScheduleListStillEndsStartUp();
    void windowShownFullScreenAfterStartUp();

private:
    // Starts simulator and controller and runs init until the schedule list is shown.
    void startAndWait(ControllerHarness &h, const SimScenario &scenario);

    QTemporaryDir m_logDir;
};

void tst_ControllerStartup::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerStartup::startAndWait(ControllerHarness &h, const SimScenario &scenario)
{
    QVERIFY(h.startSim(scenario));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
}

void tst_ControllerStartup::statusTextsInOrderAndInitDone()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy texts(h.controller(), &MainController::sigInitStatusChanged);
    QSignalSpy done(h.controller(), &MainController::sigInitDone);

    h.controller()->init();
    // The list arrives as a push: start-up is not done when init returns.
    QCOMPARE(done.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    QStringList shown;
    for (const QList<QVariant> &args : qAsConst(texts))
        shown << args.at(0).toString();
    QCOMPARE(shown, (QStringList{QStringLiteral("Connecting to TRXM..."), QStringLiteral("Init ports..."),
                                 QStringLiteral("Loading schedules...")}));
    QVERIFY(h.controller()->isConnected());
    QVERIFY(!h.controller()->isInitializing());
    QVERIFY(h.controller()->workerThread()->isRunning());
    QVERIFY(h.controller()->connectionStatusText().isEmpty());
}

void tst_ControllerStartup::onePanelPerConnectedServer()
{
    ControllerHarness h;
    startAndWait(h, testScenario());
    QCOMPARE(h.view()->serverWidgets().keys(),
             (QList<QString>{QStringLiteral("srv-a"), QStringLiteral("srv-b")}));
    QVERIFY(h.controller()->hasServers());
    QCOMPARE(h.controller()->ports().keys(),
             (QList<QString>{QStringLiteral("srv-a"), QStringLiteral("srv-b")}));
    QCOMPARE(h.view()->serverWidgets().value(QStringLiteral("srv-a"))->serverName(), QStringLiteral("A"));
    // Loop-recording modes are read for every port of a built server.
    QCOMPARE(h.controller()->loopRecModes().keys().count(), 8);
}

void tst_ControllerStartup::onlyDisconnectedServersBuildNoPanelButCount()
{
    ControllerHarness h;
    startAndWait(h, scenarioFromJson(R"({"name": "off", "servers": [
        {"id": "srv-off", "name": "Off", "connected": false, "ports": [{"port": 0}, {"port": 1}]}]})"));
    QVERIFY(h.view()->serverWidgets().isEmpty());
    QVERIFY(h.controller()->ports().isEmpty());
    QVERIFY(h.controller()->hasServers());
    // The operator still sees that the server exists: a grey header, no rows.
    auto *header = qobject_cast<QLabel *>(h.view()->disconnectedServerHeader(QStringLiteral("srv-off")));
    QVERIFY(header);
    QCOMPARE(header->text(), QStringLiteral("Off - disconnected"));
    QVERIFY(!header->isEnabled());
    // Once it connects its panel takes the header's place.
    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-off"), true); });
    QTRY_VERIFY(h.view()->serverWidgets().contains(QStringLiteral("srv-off")));
    QVERIFY(!h.view()->disconnectedServerHeader(QStringLiteral("srv-off")));
    // Losing the connection later hides the panel behind the same header; regaining it shows it.
    ServerWidget *panel = h.view()->serverWidgets().value(QStringLiteral("srv-off"));
    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-off"), false); });
    QTRY_VERIFY(h.view()->disconnectedServerHeader(QStringLiteral("srv-off")));
    QVERIFY(panel->isHidden());
    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-off"), true); });
    QTRY_VERIFY(!h.view()->disconnectedServerHeader(QStringLiteral("srv-off")));
    QVERIFY(!panel->isHidden());
}

void tst_ControllerStartup::rowsInPortOrderWhateverTheCameraOrder_data()
{
    QTest::addColumn<QByteArray>("ports");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("camera 3 on port 2 only")
        << QByteArray(R"([{"port": 2, "camera": 3}])") << QList<int>{2} << QStringList{"Port C"};
    QTest::newRow("cameras in reverse port order")
        << QByteArray(R"([{"port": 0, "camera": 3}, {"port": 1, "camera": 2}, {"port": 2, "camera": 1}])")
        << QList<int>{0, 1, 2} << QStringList{"Port A", "Port B", "Port C"};
    QTest::newRow("mixed order and a gap")
        << QByteArray(R"([{"port": 5, "camera": 1}, {"port": 0, "camera": 2}, {"port": 3, "camera": 4}])")
        << QList<int>{0, 3, 5} << QStringList{"Port A", "Port D", "Port F"};
}

void tst_ControllerStartup::rowsInPortOrderWhateverTheCameraOrder()
{
    QFETCH(QByteArray, ports);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, names);

    const QByteArray json =
        R"({"name": "order", "servers": [{"id": "srv", "name": "S", "ports": )" + ports + "}]}";
    ControllerHarness h;
    startAndWait(h, scenarioFromJson(json.constData()));
    QCOMPARE(h.rowPorts(QStringLiteral("srv")), rows);
    // The camera title a row is created with gives way to the port's own name once the row's
    // stored layout is applied; without a stored name that is the default one.
    QCOMPARE(h.rowTitles(QStringLiteral("srv")), names);
    for (const int port : rows)
        QVERIFY(h.controller()->findPortWidget(QStringLiteral("srv"), port));
}

void tst_ControllerStartup::storedProxyPortThatNoLongerExistsIsReset()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    Settings *s = h.controller()->settings();
    s->portInfo(trx::ServerPort(QStringLiteral("srv-a"), 0)).ProxyPort = 6; // srv-a has ports 0 to 3
    s->portInfo(trx::ServerPort(QStringLiteral("srv-a"), 1)).ProxyPort = 2;
    s->portInfo(trx::ServerPort(QStringLiteral("srv-gone"), 1)).ProxyPort = 6; // a server not listed

    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    QCOMPARE(s->m_portInfos.value(trx::ServerPort(QStringLiteral("srv-a"), 0)).ProxyPort, -1);
    QCOMPARE(s->m_portInfos.value(trx::ServerPort(QStringLiteral("srv-a"), 1)).ProxyPort, 2);
    QCOMPARE(s->m_portInfos.value(trx::ServerPort(QStringLiteral("srv-gone"), 1)).ProxyPort, 6);
}

void tst_ControllerStartup::schedulesShownOnTheirPortsTimelines()
{
    ControllerHarness h;
    startAndWait(h, testScenario());
    // "later" has a proxy copy on port 1 that names it as its main schedule.
    const QString proxyId = h.controller()->findLinkingTask(QStringLiteral("later"));
    QVERIFY(!proxyId.isEmpty());
    QCOMPARE(h.controller()->tasks().value(proxyId).port, 1);

    QCOMPARE(h.itemIds(QStringLiteral("srv-a"), 0), (QStringList{"done", "later"}));
    QCOMPARE(h.itemIds(QStringLiteral("srv-a"), 1), QStringList{proxyId});
    QCOMPARE(h.itemIds(QStringLiteral("srv-b"), 1), QStringList{"cancelled"});
    QCOMPARE(h.itemIds(QStringLiteral("srv-b"), 0), QStringList());

    const TimelineItemData *cancelled = h.item(QStringLiteral("cancelled"));
    QVERIFY(cancelled);
    QCOMPARE(cancelled->statusText, QStringLiteral("Cancelled."));
    QVERIFY(h.controller()->taskTimeline(QStringLiteral("cancelled")) ==
            h.controller()->findPortWidget("srv-b", 1)->timeline());
    const TimelineItemData *done = h.item(QStringLiteral("done"));
    QVERIFY(done);
    QCOMPARE(done->statusText, QStringLiteral("Completed."));
    QCOMPARE(done->durationText, QStringLiteral("00:10:00:01")); // 600 s inclusive of the last frame
    QVERIFY(done->length > 0);
}

void tst_ControllerStartup::maintenanceScheduleKeptApart()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    QSignalSpy maintenance(h.controller(), &MainController::sigUpdateMaintenanceTaskView);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    QCOMPARE(h.controller()->maintenanceSchedules().size(), 1);
    const QString id = h.controller()->maintenanceSchedules().firstKey();
    QVERIFY(!h.controller()->tasks().contains(id));
    QCOMPARE(maintenance.count(), 1);
    QCOMPARE(maintenance.at(0).at(0).toString(), id);
}

void tst_ControllerStartup::emptyScheduleListStillEndsStartUp()
{
    ControllerHarness h;
    startAndWait(h, scenarioFromJson(R"({"name": "empty", "servers": [
        {"id": "srv", "name": "S", "ports": [{"port": 0}]}]})"));
    QVERIFY(h.controller()->tasks().isEmpty());
    QVERIFY(h.controller()->maintenanceSchedules().isEmpty());
    QCOMPARE(h.view()->serverWidgets().size(), 1);
}

void tst_ControllerStartup::windowShownFullScreenAfterStartUp()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    QVERIFY(!h.view()->isVisible());
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QVERIFY(!h.view()->isVisible()); // not before the schedule list arrived
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QVERIFY(h.view()->isVisible());
    QVERIFY(h.view()->isFullScreen());
}

QTEST_MAIN(tst_ControllerStartup)
#include "tst_controllerstartup.moc"
