// The schedule menu's actions, the settings routine and the maintenance routine against the
// simulator, with the modal dialogs answered by the test.

#include "controllerharness.h"

#include "dialogs/maintenancedialog.h"
#include "dialogs/settingdialog.h"
#include "platform/idbg.h"
#include "trx/trxmclient.h"

#include <QComboBox>
#include <QMenu>

namespace {

const char kScenario[] = R"({
  "name": "actions",
  "master": {"server": "srv-a", "port": 0},
  "servers": [
    {"id": "srv-a", "name": "A", "systemFrequency": 25, "ports": [
      {"port": 0, "camera": 1, "rate": "25"}, {"port": 1, "camera": 2, "rate": "25"},
      {"port": 2, "camera": 3, "rate": "25"}, {"port": 3, "camera": 4, "rate": "25"}]}
  ],
  "gateways": [{"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]}],
  "schedules": [
    {"id": "done", "server": "srv-a", "port": 0, "startIn": -7200, "duration": 600},
    {"id": "running", "server": "srv-a", "port": 1, "startIn": -70, "duration": 60},
    {"id": "waiting", "server": "srv-a", "port": 2, "startIn": -30, "duration": 600},
    {"id": "later", "server": "srv-a", "port": 0, "startIn": 3600, "duration": 600}
  ]
})";

struct Prompt
{
    QString title;
    QString text;
};

int packed25(const QTime &t)
{
    const int ms = t.msecsSinceStartOfDay();
    return (ms / 3600000 << 24) | (ms / 60000 % 60 << 16) | (ms / 1000 % 60 << 8) | (ms % 1000 / 40);
}

} // namespace

class tst_ControllerActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menuEnabling_data();
    void menuEnabling();
    void stop_data();
    void stop();
    void remove_data();
    void remove();
    void settingsDate_data();
    void settingsDate();
    void newAddressConnectsAtOnce();
    void maintenanceConflictKeepsTheDialogOpen();
    void maintenanceSetSendsAndDrawsItems();

private:
    MainController *c() const { return m_h->controller(); }
    // Codes the simulator received so far; a synchronous request first, so that every earlier
    // asynchronous one has arrived.
    QList<int> receivedCodes() const;
    void waitForStatus(const QString &id, int status);
    // Runs the menu of `id`'s item; `choose` picks the action to trigger (index in the menu), -1 none.
    void openMenu(const QString &id, int choose);

    QTemporaryDir m_logDir;
    std::unique_ptr<ControllerHarness> m_h;
    QList<Prompt> m_prompts;
    int m_iAnswer = 1;
    std::function<void()> m_whileAsked;
    QList<bool> m_enabled;
    bool m_bPinnedInMenu = false;
    QSize m_sizeInMenu;
};

void tst_ControllerActions::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerActions::init()
{
    m_prompts.clear();
    m_iAnswer = 1;
    m_whileAsked = nullptr;
    m_h = std::make_unique<ControllerHarness>();
    QVERIFY(m_h->startSim(scenarioFromJson(kScenario)));
    m_h->createController();
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int, int) {
        m_prompts.append({title, text});
        if (m_whileAsked)
            m_whileAsked();
        return m_iAnswer;
    };
    c()->setPrompts(prompts);
    QSignalSpy done(c(), &MainController::sigInitDone);
    c()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(c()->masterPort(), trx::ServerPort(QStringLiteral("srv-a"), 0), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(c()->currentTc().valid, 5000);
    m_h->sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
}

void tst_ControllerActions::cleanup()
{
    m_h.reset();
}

QList<int> tst_ControllerActions::receivedCodes() const
{
    QMap<qint32, trx::PortState> states;
    c()->client()->getPortStates(QStringLiteral("srv-a"), states);
    return m_h->sim()->call([](SimServer &s) { return s.receivedCodes(); });
}

void tst_ControllerActions::waitForStatus(const QString &id, int status)
{
    QTRY_COMPARE_WITH_TIMEOUT(c()->tasks().value(id).schedule.master.status, status, 5000);
}

void tst_ControllerActions::openMenu(const QString &id, int choose)
{
    TimelineItemWidget *item = c()->taskWidget(id, true);
    QVERIFY(item);
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int, int) {
        m_prompts.append({title, text});
        if (m_whileAsked)
            m_whileAsked();
        return m_iAnswer;
    };
    prompts.runMenu = [this, item, choose](QMenu &menu, const QPoint &) -> QAction * {
        m_enabled.clear();
        for (QAction *a : menu.actions())
            m_enabled << a->isEnabled();
        m_bPinnedInMenu = item->isPinned();
        m_sizeInMenu = item->size();
        if (choose < 0)
            return nullptr;
        QAction *action = menu.actions().at(choose);
        action->trigger();
        return action;
    };
    c()->setPrompts(prompts);
    emit item->sigContextMenu(QPoint(10, 10));
}

void tst_ControllerActions::menuEnabling_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<bool>("stop");

    QTest::newRow("in progress: Stop on, Delete off") << "running" << 6 << false << false << true;
    // Its clip is still the one it made, so it may be edited.
    QTest::newRow("completed: Stop off") << "done" << 7 << true << true << false;
    QTest::newRow("waiting inside its period: deletable") << "waiting" << 3 << true << true << false;
    QTest::newRow("an hour ahead: editable") << "later" << 1 << true << true << false;
}

void tst_ControllerActions::menuEnabling()
{
    QFETCH(QString, id);
    QFETCH(int, status);
    QFETCH(bool, edit);
    QFETCH(bool, remove);
    QFETCH(bool, stop);

    waitForStatus(id, status);
    openMenu(id, -1);
    QCOMPARE(m_enabled, (QList<bool>{edit, remove, stop}));
    // Enlarged while its menu is open, back afterwards.
    QVERIFY(m_bPinnedInMenu);
    QVERIFY(m_sizeInMenu.width() >= TimelineItemWidget::HoverWidth);
    QVERIFY(m_sizeInMenu.height() >= TimelineItemWidget::HoverHeight);
    QVERIFY(!c()->taskWidget(id, true)->isPinned());
    QVERIFY(m_prompts.isEmpty());
}

void tst_ControllerActions::stop_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("completesMeanwhile");
    QTest::addColumn<bool>("sent");
    QTest::newRow("confirmed") << 1 << false << true;
    QTest::newRow("cancelled") << 0 << false << false;
    QTest::newRow("completed while asking") << 1 << true << false;
}

void tst_ControllerActions::stop()
{
    QFETCH(int, answer);
    QFETCH(bool, completesMeanwhile);
    QFETCH(bool, sent);

    waitForStatus(QStringLiteral("running"), 6);
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    m_iAnswer = answer;
    if (completesMeanwhile) {
        m_whileAsked = [this] {
            trx::ScheduleInfo done = c()->tasks().value(QStringLiteral("running")).schedule;
            done.master.status = 7;
            c()->scheduleInfoChanged(done);
        };
    }
    openMenu(QStringLiteral("running"), 2);
    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.at(0).title, QStringLiteral("Confirmation"));
    // The question, then the schedule it is about on a line of its own.
    QCOMPARE(m_prompts.at(0).text.section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Are you sure you want to stop schedule transfer ?"));
    QVERIFY(m_prompts.at(0).text.section(QLatin1Char('\n'), 1).startsWith(QLatin1Char('\'')));
    QCOMPARE(receivedCodes().contains(1004), sent);
}

void tst_ControllerActions::remove_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("sent");
    QTest::newRow("completed, confirmed") << "done" << 7 << 1 << true;
    QTest::newRow("completed, cancelled") << "done" << 7 << 0 << false;
    QTest::newRow("in progress") << "running" << 6 << 1 << false;
}

void tst_ControllerActions::remove()
{
    QFETCH(QString, id);
    QFETCH(int, status);
    QFETCH(int, answer);
    QFETCH(bool, sent);

    waitForStatus(id, status);
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    m_iAnswer = answer;
    // Delete is disabled for a running schedule; the action is triggered directly, as a menu opened
    // before the schedule started would.
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int, int) {
        m_prompts.append({title, text});
        return m_iAnswer;
    };
    prompts.runMenu = [](QMenu &menu, const QPoint &) -> QAction * {
        QAction *action = menu.actions().at(1);
        action->setEnabled(true);
        action->trigger();
        return action;
    };
    c()->setPrompts(prompts);
    emit c()->taskWidget(id, true)->sigContextMenu(QPoint());

    QVERIFY(!m_prompts.isEmpty());
    QCOMPARE(m_prompts.at(0).title, QStringLiteral("Confirmation"));
    QCOMPARE(m_prompts.at(0).text.section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("Are you sure you want to remove the Schedule ?"));
    QVERIFY(m_prompts.at(0).text.section(QLatin1Char('\n'), 1).startsWith(QLatin1Char('\'')));
    if (id == QLatin1String("running") && answer == 1) {
        QCOMPARE(m_prompts.size(), 2);
        QCOMPARE(m_prompts.at(1).title, QStringLiteral("Delete Schedule Error"));
        QCOMPARE(m_prompts.at(1).text,
                 QStringLiteral("Could not delete the schedule because it is in progress."));
    } else {
        QCOMPARE(m_prompts.size(), 1);
    }
    QCOMPARE(receivedCodes().contains(1003), sent);
    if (sent)
        QTRY_VERIFY(!c()->tasks().contains(id));
}

void tst_ControllerActions::settingsDate_data()
{
    QTest::addColumn<int>("shift");
    QTest::addColumn<bool>("sync");
    QTest::newRow("date already in effect") << 0 << false;
    QTest::newRow("tomorrow") << 1 << true;
}

void tst_ControllerActions::settingsDate()
{
    QFETCH(int, shift);
    QFETCH(bool, sync);

    const QDate before = c()->settings()->m_date;
    QVERIFY(before.isValid());
    const QDate wanted = before.addDays(shift);
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    ControllerPrompts prompts;
    prompts.runSettings = [wanted](SettingDialog &dialog) {
        auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("m_comboDate"));
        const int index = combo->findText(wanted.toString(QStringLiteral("yyyy/MM/dd")));
        if (index >= 0)
            combo->setCurrentIndex(index);
        return true;
    };
    c()->setPrompts(prompts);
    c()->settingsDialog();

    QCOMPARE(c()->settings()->m_date, wanted);
    QCOMPARE(receivedCodes().contains(1007), sync);
}

void tst_ControllerActions::newAddressConnectsAtOnce()
{
    QTemporaryDir dir;
    ControllerOptions options = shortIntervals(dir.filePath(QStringLiteral("Settings.xml")));
    // Far beyond the test's patience: only the settings routine can make it connect.
    options.retry.firstDelayMs = 600000;
    options.retry.backoffMs = {600000};
    MainController fresh(options);
    fresh.settings()->m_trxmIp.clear();
    fresh.init();
    QVERIFY(!fresh.isConnected());
    QVERIFY(fresh.servers().isEmpty());

    const int port = m_h->sim()->port();
    ControllerPrompts prompts;
    prompts.runSettings = [port](SettingDialog &dialog) {
        dialog.setTrxmIp(QStringLiteral("127.0.0.1"));
        dialog.setTrxmPort(port);
        return true;
    };
    fresh.setPrompts(prompts);
    fresh.settingsDialog();
    QCOMPARE(fresh.settings()->m_trxmIp, QStringLiteral("127.0.0.1"));
    QCOMPARE(fresh.settings()->m_trxmPort, port);
    QTRY_VERIFY_WITH_TIMEOUT(fresh.isConnected(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(fresh.servers().contains(QStringLiteral("srv-a")), 5000);
}

void tst_ControllerActions::maintenanceConflictKeepsTheDialogOpen()
{
    const QDateTime now = m_h->sim()->call([](SimServer &s) { return s.clock().now(); });
    // Inside "later" on port 0 of server A.
    const int tc = packed25(now.addSecs(3660).time());
    const int stored = c()->settings()->m_maintenanceTime;
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });

    int result = -1;
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int, int) {
        m_prompts.append({title, text});
        return 1;
    };
    prompts.runMaintenance = [tc, &result](MaintenanceDialog &dialog) {
        dialog.setMaintenanceTime(tc);
        dialog.slotBtnMtnSetClicked();
        result = dialog.result();
    };
    c()->setPrompts(prompts);
    c()->maintenanceDialog();

    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.at(0).title, QStringLiteral("Maintenance Error"));
    // The line names the schedule in the way (its times follow the simulator's clock).
    QVERIFY2(m_prompts.at(0).text.startsWith(QLatin1String("A Port A: Next Schedule ('")),
             qPrintable(m_prompts.at(0).text));
    QCOMPARE(result, 0);
    QCOMPARE(c()->settings()->m_maintenanceTime, stored);
    QVERIFY(!receivedCodes().contains(1002));
}

void tst_ControllerActions::maintenanceSetSendsAndDrawsItems()
{
    const QDateTime now = m_h->sim()->call([](SimServer &s) { return s.clock().now(); });
    const int tc = packed25(now.addSecs(5 * 3600).time()) & ~0xFF;
    m_h->sim()->call([](SimServer &s) { s.clearReceivedCodes(); });

    int result = -1;
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int, int) {
        m_prompts.append({title, text});
        return 1;
    };
    prompts.runMaintenance = [tc, &result](MaintenanceDialog &dialog) {
        dialog.setMaintenanceTime(tc);
        dialog.slotBtnMtnSetClicked();
        result = dialog.result();
    };
    c()->setPrompts(prompts);
    c()->maintenanceDialog();

    QVERIFY(m_prompts.isEmpty());
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(c()->settings()->m_maintenanceTime, tc);
    QVERIFY(receivedCodes().contains(1002));
    QTRY_COMPARE_WITH_TIMEOUT(c()->maintenanceSchedules().size(), 1, 5000);
    const trx::ScheduleInfo sch = c()->maintenanceSchedules().first();
    QCOMPARE(sch.startTc, tc);
    QVERIFY(!sch.startDate.isValid());

    // One item per day on every port, yellow, named "Maintenance", with "[day] timecode" texts.
    const QDateTime at = now.addSecs(5 * 3600);
    const int days = at.date() == now.date() ? 8 : 7;
    for (int port = 0; port < 4; ++port) {
        QList<TimelineItemData> items;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                items.clear();
                for (const TimelineItemData &item :
                     c()->findPortWidget(QStringLiteral("srv-a"), port)->timeline()->itemsData()) {
                    if (item.maintenance)
                        items << item;
                }
                return items.size() == days;
            }(),
            5000);
        for (const TimelineItemData &item : qAsConst(items)) {
            QCOMPARE(item.name, QStringLiteral("Maintenance"));
            QCOMPARE(item.durationText, QStringLiteral("00:00:10:00"));
            // Drawn yellow by its maintenance flag.
            QVERIFY(item.maintenance);
            QVERIFY2(QRegularExpression(QStringLiteral("^\\[\\d+\\] \\d\\d:\\d\\d:\\d\\d:\\d\\d$"))
                         .match(item.startText)
                         .hasMatch(),
                     qPrintable(item.startText));
        }
    }
}

QTEST_MAIN(tst_ControllerActions)
#include "tst_controlleractions.moc"
