// The schedule model against the simulator: pushes from the manager and the delegate operations
// called from a thread of their own, as the link calls them.

#include "controllerharness.h"
#include "testscenario.h"

#include "controller/scheduletexts.h"
#include "platform/idbg.h"
#include "trx/trxmclient.h"

#include <functional>
#include <thread>

class tst_ControllerSchedules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addedByTheManagerAppearsOnItsPort();
    void removedByTheManagerLeavesItsPort();
    void maintenanceGoesToItsOwnTable();
    void addOutsideThePortRangeIsIgnored_data();
    void addOutsideThePortRangeIsIgnored();
    void duplicateAddIsIgnored();
    void changeUpdatesTextsAndProgress_data();
    void changeUpdatesTextsAndProgress();
    void changeForAnUnknownIdIsIgnored();
    void removingTheProxyScheduleResetsTheMainProxyBar();
    void listLendsAFailedProxyProgressToItsMain_data();
    void listLendsAFailedProxyProgressToItsMain();
    void reloadReplacesItemsWithoutDuplicates();
    void reloadDropsSchedulesTheManagerNoLongerHas();
    void removeAllSendsOneRemovePerTask();

private:
    trx::TRXMClientDelegate *link() const { return m_h->controller(); }
    // Pushes a known schedule and waits until it is shown, so that everything before it was handled.
    void pushSentinel();

    QTemporaryDir m_logDir;
    std::unique_ptr<ControllerHarness> m_h;
    int m_iSentinels = 0;
};

void tst_ControllerSchedules::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerSchedules::init()
{
    m_h = std::make_unique<ControllerHarness>();
    QVERIFY(m_h->startSim(testScenario()));
    m_h->sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
    m_h->createController();
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
}

void tst_ControllerSchedules::cleanup()
{
    m_h.reset();
}

void tst_ControllerSchedules::pushSentinel()
{
    const QString id = QStringLiteral("sentinel-%1").arg(++m_iSentinels);
    const trx::ScheduleInfo s = schedule(id, QStringLiteral("srv-b"), 3);
    onLinkThread([this, s] { link()->scheduleAdded(s); });
    QTRY_VERIFY(m_h->controller()->tasks().contains(id));
}

void tst_ControllerSchedules::addedByTheManagerAppearsOnItsPort()
{
    const QDateTime now = m_h->sim()->call([](SimServer &s) { return s.clock().now(); });
    const QDateTime start = now.addSecs(7200);
    const QDateTime end = start.addSecs(300);
    trx::ScheduleRequest r;
    r.masterMgwId = QStringLiteral("mgw-1");
    r.masterDriveId = QStringLiteral("d1");
    r.masterFolderId = QStringLiteral("news");
    r.name = QStringLiteral("Evening news");
    r.startDate = start.date();
    r.endDate = end.date();
    r.startTc = packedTcAt25(start);
    r.endTc = packedTcAt25(end);
    r.ports.append(trx::ServerPort(QStringLiteral("srv-b"), 2));
    QVERIFY(m_h->controller()->client()->addSchedule(r));

    QTRY_COMPARE(m_h->itemIds(QStringLiteral("srv-b"), 2).size(), 1);
    const QString id = m_h->itemIds(QStringLiteral("srv-b"), 2).first();
    const TimelineItemData *item = m_h->item(id);
    QVERIFY(item);
    QCOMPARE(item->name, QStringLiteral("Evening news"));
    QCOMPARE(item->statusText, QStringLiteral("Scheduled..."));
    QCOMPARE(item->taskId, id);
}

void tst_ControllerSchedules::removedByTheManagerLeavesItsPort()
{
    QVERIFY(m_h->controller()->tasks().contains(QStringLiteral("cancelled")));
    QVERIFY(m_h->controller()->client()->removeSchedule(QStringLiteral("cancelled")));
    QTRY_VERIFY(!m_h->controller()->tasks().contains(QStringLiteral("cancelled")));
    QCOMPARE(m_h->itemIds(QStringLiteral("srv-b"), 1), QStringList());
}

void tst_ControllerSchedules::maintenanceGoesToItsOwnTable()
{
    QSignalSpy view(m_h->controller(), &MainController::sigUpdateMaintenanceTaskView);
    trx::ScheduleInfo m = schedule(QStringLiteral("mtn-1"), QString(), -1);
    m.type = trx::ScheduleInfo::Maintenance;
    m.startDate = QDate();
    onLinkThread([this, m] { link()->scheduleAdded(m); });
    QTRY_VERIFY(m_h->controller()->maintenanceSchedules().contains(QStringLiteral("mtn-1")));
    QVERIFY(!m_h->controller()->tasks().contains(QStringLiteral("mtn-1")));
    QCOMPARE(view.count(), 1);
    QCOMPARE(view.at(0).at(0).toString(), QStringLiteral("mtn-1"));

    // Its removal clears the table again and leaves the tasks alone.
    const int tasks = m_h->controller()->tasks().size();
    onLinkThread([this] { link()->scheduleRemoved(QStringLiteral("mtn-1")); });
    QTRY_VERIFY(!m_h->controller()->maintenanceSchedules().contains(QStringLiteral("mtn-1")));
    QCOMPARE(m_h->controller()->tasks().size(), tasks);
}

void tst_ControllerSchedules::addOutsideThePortRangeIsIgnored_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("port 8") << 8;
    QTest::newRow("port -1") << -1;
    QTest::newRow("port 100") << 100;
}

void tst_ControllerSchedules::addOutsideThePortRangeIsIgnored()
{
    QFETCH(int, port);
    const trx::ScheduleInfo s = schedule(QStringLiteral("outside"), QStringLiteral("srv-a"), port);
    onLinkThread([this, s] { link()->scheduleAdded(s); });
    pushSentinel();
    QVERIFY(!m_h->controller()->tasks().contains(QStringLiteral("outside")));
}

void tst_ControllerSchedules::duplicateAddIsIgnored()
{
    const trx::ScheduleInfo first = schedule(QStringLiteral("dup"), QStringLiteral("srv-b"), 0);
    trx::ScheduleInfo second = first;
    second.name = QStringLiteral("second copy");
    second.startTc = 0x0B000000;
    onLinkThread([this, first, second] {
        link()->scheduleAdded(first);
        link()->scheduleAdded(second);
    });
    pushSentinel();
    QCOMPARE(m_h->itemIds(QStringLiteral("srv-b"), 0), QStringList{"dup"});
    QCOMPARE(m_h->controller()->tasks().value(QStringLiteral("dup")).name, QStringLiteral("dup"));
    QCOMPARE(m_h->item(QStringLiteral("dup"))->name, QStringLiteral("dup"));
}

void tst_ControllerSchedules::changeUpdatesTextsAndProgress_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("masterProgress");
    QTest::addColumn<int>("proxyProgress");
    QTest::addColumn<QString>("text");

    QTest::newRow("in progress, master only") << 6 << 40 << -1 << "In-Progress...";
    QTest::newRow("in progress with proxy") << 6 << 40 << 15 << "In-Progress...";
    QTest::newRow("waiting sub-state 4") << 4 << -1 << -1 << "Waiting...";
    QTest::newRow("completed") << 8 << 100 << 100 << "Completed.";
    QTest::newRow("transfer error") << -3 << 70 << -1 << "Transfer Error.";
    QTest::newRow("unknown code") << 42 << 10 << -1 << "";
}

void tst_ControllerSchedules::changeUpdatesTextsAndProgress()
{
    QFETCH(int, status);
    QFETCH(int, masterProgress);
    QFETCH(int, proxyProgress);
    QFETCH(QString, text);

    trx::ScheduleInfo s = schedule(QStringLiteral("changing"), QStringLiteral("srv-b"), 0);
    onLinkThread([this, s] { link()->scheduleAdded(s); });
    QTRY_VERIFY(m_h->item(QStringLiteral("changing")));

    s.name = QStringLiteral("renamed");
    s.master.status = status;
    s.master.progress = masterProgress;
    s.proxy.progress = proxyProgress;
    s.endTc = 0x0A020000; // one minute longer
    onLinkThread([this, s] { link()->scheduleChanged(s, 0); });
    QTRY_COMPARE(m_h->item(QStringLiteral("changing"))->statusText, text.isEmpty() ? QString() : text);
    pushSentinel();

    const TimelineItemData *item = m_h->item(QStringLiteral("changing"));
    QCOMPARE(item->statusText, text);
    QCOMPARE(item->status, trx::scheduleStatusOf(status));
    QCOMPARE(item->name, QStringLiteral("renamed"));
    QCOMPARE(item->progress1, masterProgress);
    QCOMPARE(item->progress2, proxyProgress);
    QCOMPARE(item->durationText, QStringLiteral("00:02:00:01"));
    const TaskEntry entry = m_h->controller()->tasks().value(QStringLiteral("changing"));
    QCOMPARE(entry.masterProgress, masterProgress);
    QCOMPARE(entry.schedule.master.status, status);
    QCOMPARE(m_h->itemIds(QStringLiteral("srv-b"), 0), QStringList{"changing"});
}

void tst_ControllerSchedules::changeForAnUnknownIdIsIgnored()
{
    const int before = m_h->controller()->tasks().size();
    const trx::ScheduleInfo s = schedule(QStringLiteral("never-added"), QStringLiteral("srv-b"), 0);
    onLinkThread([this, s] {
        link()->scheduleChanged(s, 0);
        link()->scheduleRemoved(QStringLiteral("also-unknown"));
    });
    pushSentinel();
    QCOMPARE(m_h->controller()->tasks().size(), before + 1);
    QVERIFY(!m_h->controller()->tasks().contains(QStringLiteral("never-added")));
}

void tst_ControllerSchedules::removingTheProxyScheduleResetsTheMainProxyBar()
{
    trx::ScheduleInfo main = schedule(QStringLiteral("main"), QStringLiteral("srv-b"), 2);
    main.withProxy = true;
    main.master.progress = 50;
    main.proxy.progress = 30;
    trx::ScheduleInfo proxy = schedule(QStringLiteral("main-proxy"), QStringLiteral("srv-b"), 3);
    proxy.mainScheduleId = QStringLiteral("main");
    onLinkThread([this, main, proxy] {
        link()->scheduleAdded(main);
        link()->scheduleAdded(proxy);
    });
    QTRY_VERIFY(m_h->item(QStringLiteral("main-proxy")));
    QCOMPARE(m_h->controller()->findLinkingTask(QStringLiteral("main")), QStringLiteral("main-proxy"));
    QCOMPARE(m_h->item(QStringLiteral("main"))->progress2, 30);

    onLinkThread([this] { link()->scheduleRemoved(QStringLiteral("main-proxy")); });
    QTRY_VERIFY(!m_h->controller()->tasks().contains(QStringLiteral("main-proxy")));
    QCOMPARE(m_h->item(QStringLiteral("main"))->progress2, -1);
    QCOMPARE(m_h->item(QStringLiteral("main"))->progress1, 50);
    QCOMPARE(m_h->itemIds(QStringLiteral("srv-b"), 3), QStringList());
}

void tst_ControllerSchedules::listLendsAFailedProxyProgressToItsMain_data()
{
    QTest::addColumn<int>("proxyStatus");
    QTest::addColumn<int>("proxyProgress");
    QTest::addColumn<bool>("laterProxy"); // a second, running proxy naming the same main
    QTest::addColumn<int>("mainProxyBar");

    QTest::newRow("proxy in Rec Error lends its progress") << -2 << 40 << false << 40;
    QTest::newRow("proxy in Unknown Error without progress: empty bar") << -1 << -1 << false << 0;
    QTest::newRow("running proxy leaves the main's own bar") << 6 << 40 << false << 30;
    QTest::newRow("the first proxy in key order counts") << -2 << 10 << true << 10;
}

void tst_ControllerSchedules::listLendsAFailedProxyProgressToItsMain()
{
    QFETCH(int, proxyStatus);
    QFETCH(int, proxyProgress);
    QFETCH(bool, laterProxy);
    QFETCH(int, mainProxyBar);

    trx::ScheduleInfo main = schedule(QStringLiteral("main"), QStringLiteral("srv-b"), 2);
    main.withProxy = true;
    main.master.progress = 50;
    main.proxy.progress = 30;
    trx::ScheduleInfo proxy = schedule(QStringLiteral("main-proxy"), QStringLiteral("srv-b"), 3);
    proxy.mainScheduleId = QStringLiteral("main");
    proxy.master.status = proxyStatus;
    proxy.master.progress = proxyProgress;
    QList<trx::ScheduleInfo> list{main, proxy};
    if (laterProxy) {
        trx::ScheduleInfo other = schedule(QStringLiteral("main-proxy2"), QStringLiteral("srv-b"), 3);
        other.mainScheduleId = QStringLiteral("main");
        other.master.status = 6;
        other.master.progress = 90;
        list.prepend(other); // list order does not matter, key order does
    }
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    onLinkThread([this, list] { link()->schedulesReceived(list, list.size()); });
    QTRY_COMPARE(done.count(), 1);
    QVERIFY(m_h->item(QStringLiteral("main")));
    QCOMPARE(m_h->item(QStringLiteral("main"))->progress2, mainProxyBar);
    QCOMPARE(m_h->item(QStringLiteral("main"))->progress1, 50);
}

void tst_ControllerSchedules::reloadReplacesItemsWithoutDuplicates()
{
    const QStringList before = m_h->itemIds(QStringLiteral("srv-a"), 0);
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->refreshSchedules();
    QTRY_COMPARE(done.count(), 1);
    QCOMPARE(m_h->itemIds(QStringLiteral("srv-a"), 0), before);
    for (const TaskEntry &task : m_h->controller()->tasks())
        QVERIFY2(m_h->item(task.id), qPrintable(task.id));
}

// A schedule the reloaded list no longer contains must not linger: it would block new
// schedules in the overlap and maintenance checks although the manager has forgotten it.
void tst_ControllerSchedules::reloadDropsSchedulesTheManagerNoLongerHas()
{
    trx::ScheduleInfo ghost = schedule(QStringLiteral("ghost-task"), QStringLiteral("srv-a"), 0);
    trx::ScheduleInfo ghostMtn = schedule(QStringLiteral("ghost-mtn"), QStringLiteral("srv-a"), 0);
    ghostMtn.type = 255;
    onLinkThread([this, ghost, ghostMtn] {
        link()->scheduleAdded(ghost);
        link()->scheduleAdded(ghostMtn);
    });
    QTRY_VERIFY(m_h->controller()->tasks().contains(QStringLiteral("ghost-task")));
    QTRY_VERIFY(m_h->controller()->maintenanceSchedules().contains(QStringLiteral("ghost-mtn")));
    QVERIFY(m_h->itemIds(QStringLiteral("srv-a"), 0).contains(QStringLiteral("ghost-task")));
    const QStringList kept = m_h->controller()->tasks().keys();

    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->refreshSchedules();
    QTRY_COMPARE(done.count(), 1);

    QVERIFY(!m_h->controller()->tasks().contains(QStringLiteral("ghost-task")));
    QVERIFY(!m_h->controller()->maintenanceSchedules().contains(QStringLiteral("ghost-mtn")));
    QVERIFY(!m_h->itemIds(QStringLiteral("srv-a"), 0).contains(QStringLiteral("ghost-task")));
    // Everything the manager still has is still there.
    for (const QString &id : kept) {
        if (id != QLatin1String("ghost-task"))
            QVERIFY2(m_h->controller()->tasks().contains(id), qPrintable(id));
    }
}

void tst_ControllerSchedules::removeAllSendsOneRemovePerTask()
{
    const int tasks = m_h->controller()->tasks().size();
    QVERIFY(tasks > 0);
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    m_h->controller()->slotRemoveAllTasks();
    // Nothing changes locally until the manager's removal pushes arrive.
    QCOMPARE(m_h->controller()->tasks().size(), tasks);
    QTRY_COMPARE(m_h->sim()->call([](SimServer &s) { return int(s.receivedCodes().count(1003)); }), tasks);
    QTRY_VERIFY(m_h->controller()->tasks().isEmpty());
}

QTEST_MAIN(tst_ControllerSchedules)
#include "tst_controllerschedules.moc"
