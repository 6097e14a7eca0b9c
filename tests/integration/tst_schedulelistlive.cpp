// The schedule list window on the real controller and main window, fed by the simulator and by
// delegate calls from a thread of their own, as the link makes them.

#include "controllerharness.h"
#include "testscenario.h"

#include "platform/idbg.h"
#include "schedulelist/schedulefilterproxy.h"
#include "schedulelist/schedulelistmodel.h"
#include "schedulelist/schedulelistwindow.h"

#include <QAbstractItemModelTester>
#include <QSlider>
#include <QTableView>

#include <functional>
#include <thread>

class tst_ScheduleListLive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsEveryTaskWithServerAndPort();
    void followsAddChangeRemove();
    void reloadRebuildsTheRows();
    void doubleClickBringsTheStartToTheAnchor();

private:
    trx::TRXMClientDelegate *link() const { return m_h->controller(); }
    QStringList modelIds() const;
    int shownRowOf(const QString &id) const;

    QTemporaryDir m_logDir;
    std::unique_ptr<ControllerHarness> m_h;
    std::unique_ptr<ScheduleListWindow> m_window;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void tst_ScheduleListLive::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ScheduleListLive::init()
{
    m_h = std::make_unique<ControllerHarness>();
    // The test installation with a master port, so that the main window's axis gets its days.
    QString json = QString::fromUtf8(testScenarioJson());
    json.replace(
        QStringLiteral("\"name\": \"integration\","),
        QStringLiteral("\"name\": \"integration\", \"master\": {\"server\": \"srv-a\", \"port\": 0},"));
    QString error;
    const std::optional<SimScenario> scenario = SimScenario::fromJson(json.toUtf8(), &error);
    QVERIFY2(scenario, qPrintable(error));
    QVERIFY(m_h->startSim(*scenario));
    m_h->createController();
    m_window = std::make_unique<ScheduleListWindow>(m_h->controller(), m_h->view());
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_window->proxy(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    // The axis spans its days only once the master's clock has reached the window.
    QTRY_VERIFY_WITH_TIMEOUT(m_h->view()->currentTc().valid, 5000);
    m_h->sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
}

void tst_ScheduleListLive::cleanup()
{
    m_tester.reset();
    m_window.reset();
    m_h.reset();
}

QStringList tst_ScheduleListLive::modelIds() const
{
    QStringList ids;
    for (int r = 0; r < m_window->model()->rowCount(); ++r)
        ids << m_window->model()->rowAt(r).id;
    ids.sort();
    return ids;
}

int tst_ScheduleListLive::shownRowOf(const QString &id) const
{
    const QAbstractItemModel *shown = m_window->table()->model();
    for (int r = 0; r < shown->rowCount(); ++r) {
        if (shown->index(r, 0).data(ScheduleListModel::IdRole).toString() == id)
            return r;
    }
    return -1;
}

void tst_ScheduleListLive::listsEveryTaskWithServerAndPort()
{
    QStringList tasks = m_h->controller()->tasks().keys();
    tasks.sort();
    QCOMPARE(modelIds(), tasks);
    QVERIFY(tasks.contains(QStringLiteral("later")));
    const ScheduleListModel *model = m_window->model();
    const ScheduleRow &later = model->rowAt(model->rowOf(QStringLiteral("later")));
    QCOMPARE(later.server, QStringLiteral("A"));
    QCOMPARE(later.port, QStringLiteral("Port A"));
    QCOMPARE(later.statusText, m_h->item(QStringLiteral("later"))->statusText);
    QCOMPARE(later.startText, m_h->item(QStringLiteral("later"))->startText);

    // Its proxy copy says whose copy it is.
    const QString proxyId = m_h->controller()->findLinkingTask(QStringLiteral("later"));
    QVERIFY(!proxyId.isEmpty());
    QCOMPARE(model->rowAt(model->rowOf(proxyId)).name,
             QStringLiteral("%1 (proxy of '%1')")
                 .arg(m_h->controller()->tasks().value(QStringLiteral("later")).schedule.name));
}

void tst_ScheduleListLive::followsAddChangeRemove()
{
    QSignalSpy reset(m_window->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(m_window->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(m_window->model(), &QAbstractItemModel::rowsRemoved);

    trx::ScheduleInfo s = schedule(QStringLiteral("live-1"), QStringLiteral("srv-b"), 2);
    onLinkThread([this, s] { link()->scheduleAdded(s); });
    QTRY_VERIFY(m_window->model()->rowOf(QStringLiteral("live-1")) >= 0);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(m_window->model()->rowAt(m_window->model()->rowOf(QStringLiteral("live-1"))).server,
             QStringLiteral("B"));

    s.master.status = 6;
    s.master.progress = 35;
    onLinkThread([this, s] { link()->scheduleChanged(s, 0); });
    QTRY_COMPARE(m_window->model()->rowAt(m_window->model()->rowOf(QStringLiteral("live-1"))).masterProgress,
                 35);
    const QModelIndex status = m_window->model()->index(m_window->model()->rowOf(QStringLiteral("live-1")),
                                                        ScheduleListModel::Status);
    QCOMPARE(status.data().toString(), QStringLiteral("In-Progress..."));

    // The status filter follows the change.
    m_window->proxy()->setStatusGroup(StatusGroup::InProgress);
    QVERIFY(shownRowOf(QStringLiteral("live-1")) >= 0);
    m_window->proxy()->setStatusGroup(StatusGroup::All);

    onLinkThread([this] { link()->scheduleRemoved(QStringLiteral("live-1")); });
    QTRY_COMPARE(m_window->model()->rowOf(QStringLiteral("live-1")), -1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(reset.count(), 0);
    QStringList tasks = m_h->controller()->tasks().keys();
    tasks.sort();
    QCOMPARE(modelIds(), tasks);
}

void tst_ScheduleListLive::reloadRebuildsTheRows()
{
    QSignalSpy reset(m_window->model(), &QAbstractItemModel::modelReset);
    QList<trx::ScheduleInfo> list{schedule(QStringLiteral("r1"), QStringLiteral("srv-a"), 1),
                                  schedule(QStringLiteral("r2"), QStringLiteral("srv-b"), 0)};
    onLinkThread([this, list] { link()->schedulesReceived(list, list.size()); });
    QTRY_COMPARE(reset.count(), 1);
    QStringList tasks = m_h->controller()->tasks().keys();
    tasks.sort();
    QCOMPARE(modelIds(), tasks);
    QVERIFY(tasks.contains(QStringLiteral("r1")));
    QVERIFY(!tasks.contains(QStringLiteral("later")));
}

void tst_ScheduleListLive::doubleClickBringsTheStartToTheAnchor()
{
    OXAMainView *view = m_h->view();
    QVERIFY(view->timeScrollBar()->maximum() > 0);
    view->slotLockTimeScroll(true);
    const TaskEntry task = m_h->controller()->tasks().value(QStringLiteral("later"));
    QVERIFY(task.start.valid);
    QVERIFY(m_h->item(QStringLiteral("later")));

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTableView *table = m_window->table();
    const int row = shownRowOf(QStringLiteral("later"));
    QVERIFY(row >= 0);
    const QRect cell = table->visualRect(table->model()->index(row, ScheduleListModel::Name));
    QSignalSpy clicked(table, &QTableView::doubleClicked);
    // A double click is a press and release followed by the double-click event.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(clicked.count(), 1);

    QCOMPARE(view->anchorFrame(), task.start.frames);
    QVERIFY(!view->isLocked());
    const QPointer<TimelineItemWidget> flashed = m_h->itemWidget(QStringLiteral("later"));
    QVERIFY(flashed && flashed->isPinned());
    QTRY_VERIFY_WITH_TIMEOUT(flashed && !flashed->isPinned(), ScheduleListWindow::FlashMs + 3000);
}

QTEST_MAIN(tst_ScheduleListLive)
#include "tst_schedulelistlive.moc"
