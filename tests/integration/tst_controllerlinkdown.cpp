// Operator actions while the link to the manager is down: each is refused at once with one
// message, nothing goes out then or after the link is back, and the same action goes through again
// once it is. Also: a maintenance schedule the manager changes is redrawn at its new time.

#include "simrunner.h"

#include "controller/maincontroller.h"
#include "controller/schedulechecks.h"
#include "dialogs/createtaskdialog.h"
#include "dialogs/maintenancedialog.h"
#include "dialogs/settingdialog.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/records.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString A = QStringLiteral("srv-a");
const QString kNotConnected = QStringLiteral("TRXM is not connected.");

// Master: port 0. Port 2 has one schedule from 12:00 to 12:10, port 3 does not record; the
// clock stands at 10:00.
const char kScenario[] = R"({
  "name": "linkdown",
  "master": {"server": "srv-a", "port": 0},
  "maintenance": "02:00:00:00",
  "servers": [
    {"id": "srv-a", "name": "Server1", "systemFrequency": 25, "ports": [
      {"port": 0, "camera": 1, "rate": "25", "remainMinutes": 6000},
      {"port": 1, "camera": 2, "rate": "25", "remainMinutes": 6000},
      {"port": 2, "camera": 3, "rate": "25", "remainMinutes": 6000},
      {"port": 3, "camera": 4, "rate": "25", "remainMinutes": 6000, "recording": false}]}
  ],
  "gateways": [{"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]}],
  "schedules": [
    {"id": "next", "server": "srv-a", "port": 2, "start": "12:00:00:00", "end": "12:10:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}}
  ]
})";

int packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

struct Prompt
{
    QString title;
    QString text;
    int buttons = -1;
    int icon = -1;
};

} // namespace

class tst_ControllerLinkDown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void actions_data();
    void actions();
    void retryWaitsForTheOpenMessage();
    void maintenanceChangedByTheManagerIsRedrawn();

private:
    MainController *c() const { return m_controller.get(); }
    QList<int> codes() const
    {
        // A synchronous request first, so that every earlier asynchronous one has arrived.
        QMap<qint32, trx::PortState> states;
        c()->client()->getPortStates(A, states);
        return m_sim->call([](SimServer &s) { return s.receivedCodes(); });
    }
    void dropLink();
    void reconnect();
    // Waits until the controller has what the actions check against.
    void waitUntilReady();
    // Runs one operator action; the dialog's state at OK is left in m_iDialogResult and m_strKept.
    void act(const QString &action);

    QTemporaryDir m_dir;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
    QList<Prompt> m_prompts;
    QStringList m_editingMessages;
    QList<int> m_baseline;
    QDate m_today;
    int m_iDialogResult = -1;
    QString m_strKept;
};

void tst_ControllerLinkDown::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_dir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerLinkDown::init()
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(kScenario, &error);
    QVERIFY2(sc, qPrintable(error));
    m_sim = std::make_unique<SimRunner>(*sc);
    m_today = QDate::currentDate();
    m_sim->call([&](SimServer &s) {
        s.clock().setTimeScale(0);
        s.clock().setNow(QDateTime(m_today, QTime(10, 0)));
        s.installation().load(*sc);
    });
    QVERIFY(m_sim->start(0) != 0);

    ControllerOptions options;
    options.settingsFile = m_dir.filePath(QStringLiteral("Settings.xml"));
    options.link.requestTimeoutMs = 3000;
    options.link.connectTimeoutMs = 1000;
    options.pollIntervalMs = 100;
    // The link stays down until the test reconnects, or for a second where the retry is watched.
    const bool watchRetry = QByteArray(QTest::currentTestFunction()) == "retryWaitsForTheOpenMessage";
    options.retry.firstDelayMs = watchRetry ? 1000 : 600000;
    options.retry.backoffMs = {600000};
    m_controller = std::make_unique<MainController>(options);
    m_view = std::make_unique<OXAMainView>(m_controller.get());
    c()->setMainView(m_view.get());
    Settings *settings = c()->settings();
    settings->m_trxmIp = QStringLiteral("127.0.0.1");
    settings->m_trxmPort = m_sim->port();
    settings->m_strDefaultTaskName = QStringLiteral("%CAMLBL%");
    settings->m_strDefaultOpenEndClipName = QStringLiteral("%CAMLBL%_%TCIN%");
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    settings->m_mgwInfos.insert(trx::ServerPort(A, 0), dst);

    m_prompts.clear();
    m_editingMessages.clear();
    m_iDialogResult = -1;
    m_strKept.clear();
    ControllerPrompts prompts;
    prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int buttons, int icon) {
        m_prompts << Prompt{title, text, buttons, icon};
        return int(ConfirmDialog::ResultOk);
    };
    c()->setPrompts(prompts);
    EditingPrompts editing;
    editing.message = [this](QWidget *, const QString &text, const QString &title, int) {
        m_editingMessages << title + QLatin1String(": ") + text;
    };
    editing.runTaskDialog = [](CreateTaskDialog &) { return int(QDialog::Rejected); };
    c()->setEditingPrompts(editing);

    QSignalSpy done(c(), &MainController::sigInitDone);
    c()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    waitUntilReady();
    m_baseline = codes();
}

void tst_ControllerLinkDown::cleanup()
{
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    m_sim.reset();
}

void tst_ControllerLinkDown::waitUntilReady()
{
    QTRY_COMPARE_WITH_TIMEOUT(c()->masterPort(), trx::ServerPort(A, 0), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(c()->currentTc().valid, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(c()->mgws().size(), 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!c()->ports().value(A).value(0).ranges.isEmpty(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(c()->tasks().contains(QStringLiteral("next")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!c()->maintenanceSchedules().isEmpty(), 5000);
    QVERIFY(c()->isLinkUp());
}

void tst_ControllerLinkDown::dropLink()
{
    m_sim->call([](SimServer &s) { s.dropLinks(); });
    QTRY_VERIFY_WITH_TIMEOUT(!c()->isConnected(), 5000);
    QVERIFY(!c()->isLinkUp());
    m_sim->call([](SimServer &s) { s.clearReceivedCodes(); });
}

void tst_ControllerLinkDown::reconnect()
{
    QSignalSpy done(c(), &MainController::sigInitDone);
    c()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    waitUntilReady();
}

void tst_ControllerLinkDown::act(const QString &action)
{
    const auto runDialog = [this](std::function<void(CreateTaskDialog &)> fill) {
        EditingPrompts editing;
        editing.message = [this](QWidget *, const QString &text, const QString &title, int) {
            m_editingMessages << title + QLatin1String(": ") + text;
        };
        editing.runTaskDialog = [this, fill](CreateTaskDialog &dialog) {
            QCoreApplication::processEvents();
            fill(dialog);
            dialog.slotCreateTaskOKClicked();
            m_iDialogResult = dialog.result();
            m_strKept = dialog.name() + QLatin1Char('/') + dialog.endText();
            return dialog.result();
        };
        c()->setEditingPrompts(editing);
    };
    const auto usePrompts = [this](std::function<void(MaintenanceDialog &)> press) {
        ControllerPrompts prompts;
        prompts.confirm = [this](QWidget *, const QString &text, const QString &title, int buttons,
                                 int icon) {
            m_prompts << Prompt{title, text, buttons, icon};
            return int(ConfirmDialog::ResultOk);
        };
        prompts.runMaintenance = [this, press](MaintenanceDialog &dialog) {
            dialog.setMaintenanceTime(packed(5, 0, 0, 0));
            press(dialog);
            m_iDialogResult = dialog.result();
            m_strKept = QString::number(dialog.maintenanceTime(), 16);
        };
        prompts.runSettings = [this](SettingDialog &dialog) {
            auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("m_comboDate"));
            const int index = combo->findText(m_today.addDays(1).toString(QStringLiteral("yyyy/MM/dd")));
            if (index >= 0)
                combo->setCurrentIndex(index);
            return index >= 0;
        };
        c()->setPrompts(prompts);
    };
    // Menu actions carry their schedule as data.
    const auto trigger = [this](void (MainController::*slot)()) {
        QAction menuAction;
        menuAction.setData(QStringLiteral("next"));
        connect(&menuAction, &QAction::triggered, c(), slot);
        menuAction.trigger();
    };

    if (action == QLatin1String("create")) {
        runDialog([this](CreateTaskDialog &d) {
            d.setName(QStringLiteral("n"));
            d.setStartText(QStringLiteral("130000"));
            d.setEndText(QStringLiteral("131000"));
            MgwDestination dst;
            dst.MasterMgwId = QStringLiteral("mgw-1");
            dst.MasterDriveId = QStringLiteral("d1");
            d.setDestination(dst);
            d.mgwsReady(c()->mgws());
        });
        c()->newTask(A, 0);
    } else if (action == QLatin1String("edit")) {
        runDialog([this](CreateTaskDialog &d) {
            d.setEndText(QStringLiteral("121500"));
            d.mgwsReady(c()->mgws());
        });
        trigger(qOverload<>(&MainController::editTask));
    } else if (action == QLatin1String("mark start")) {
        c()->markStart(A, 0);
    } else if (action == QLatin1String("mark stop")) {
        c()->markEnd(A, 2);
    } else if (action == QLatin1String("REC")) {
        c()->setREC(A, 3, true);
    } else if (action == QLatin1String("TC")) {
        c()->setTC(A, 1);
    } else if (action == QLatin1String("delete")) {
        trigger(qOverload<>(&MainController::removeTask));
    } else if (action == QLatin1String("stop")) {
        trigger(&MainController::cancelTask);
    } else if (action == QLatin1String("delete the port's schedules")) {
        c()->slotRemoveTasks({QStringLiteral("next")});
    } else if (action == QLatin1String("maintenance Set")) {
        usePrompts([](MaintenanceDialog &d) { d.slotBtnMtnSetClicked(); });
        c()->maintenanceDialog();
    } else if (action == QLatin1String("Maintenance Now")) {
        usePrompts([](MaintenanceDialog &d) { d.slotBtnMtnClicked(); });
        c()->maintenanceDialog();
    } else if (action == QLatin1String("settings date")) {
        usePrompts([](MaintenanceDialog &) {});
        c()->settingsDialog();
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown action ") + action));
    }
}

void tst_ControllerLinkDown::actions_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("linkBack");

    const QList<QPair<QString, int>> actions{{QStringLiteral("create"), 1002},
                                             {QStringLiteral("edit"), 1005},
                                             {QStringLiteral("mark start"), 1002},
                                             {QStringLiteral("mark stop"), 1004},
                                             {QStringLiteral("REC"), 27},
                                             {QStringLiteral("TC"), 1007},
                                             {QStringLiteral("delete"), 1003},
                                             {QStringLiteral("stop"), 1004},
                                             {QStringLiteral("delete the port's schedules"), 1003},
                                             {QStringLiteral("maintenance Set"), 1002},
                                             {QStringLiteral("Maintenance Now"), 1002},
                                             {QStringLiteral("settings date"), 1007}};
    for (const auto &a : actions) {
        QTest::newRow(qPrintable(a.first + QLatin1String(", link down"))) << a.first << a.second << false;
        QTest::newRow(qPrintable(a.first + QLatin1String(", link back"))) << a.first << a.second << true;
    }
}

void tst_ControllerLinkDown::actions()
{
    QFETCH(QString, action);
    QFETCH(int, code);
    QFETCH(bool, linkBack);

    const int maintenanceTime = c()->settings()->m_maintenanceTime;
    dropLink();
    if (linkBack) {
        reconnect();
        m_sim->call([](SimServer &s) { s.clearReceivedCodes(); });
        m_baseline.clear();
    }
    act(action);

    if (linkBack) {
        for (const Prompt &p : qAsConst(m_prompts))
            QVERIFY2(p.text != kNotConnected, qPrintable(action));
        QVERIFY2(m_editingMessages.isEmpty(), qPrintable(m_editingMessages.join(QLatin1Char('|'))));
        QTRY_VERIFY_WITH_TIMEOUT(codes().contains(code), 3000);
        return;
    }

    // Told once, at once, with the information icon and OK alone.
    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.at(0).text, kNotConnected);
    QCOMPARE(m_prompts.at(0).title, QStringLiteral("Information"));
    QCOMPARE(m_prompts.at(0).icon, int(ConfirmDialog::Information));
    QCOMPARE(m_prompts.at(0).buttons, int(ConfirmDialog::OkOnly));
    QVERIFY2(m_editingMessages.isEmpty(), qPrintable(m_editingMessages.join(QLatin1Char('|'))));

    // An open dialog stays open with what the operator entered.
    if (action == QLatin1String("create")) {
        QVERIFY(m_iDialogResult != QDialog::Accepted);
        QCOMPARE(m_strKept, QStringLiteral("n/131000"));
    } else if (action == QLatin1String("edit")) {
        QVERIFY(m_iDialogResult != QDialog::Accepted);
        QVERIFY2(m_strKept.endsWith(QLatin1String("/121500")), qPrintable(m_strKept));
    } else if (action.contains(QLatin1String("aintenance"))) {
        QVERIFY(m_iDialogResult != QDialog::Accepted);
        QCOMPARE(m_strKept, QString::number(packed(5, 0, 0, 0), 16));
        QCOMPARE(c()->settings()->m_maintenanceTime, maintenanceTime);
    } else if (action == QLatin1String("TC")) {
        QCOMPARE(c()->masterPort(), trx::ServerPort(A, 0));
    } else if (action == QLatin1String("settings date")) {
        // Kept here all the same; only the manager did not hear of it.
        QCOMPARE(c()->settings()->m_date, m_today.addDays(1));
    }

    // Nothing was kept to be sent later: after the reconnect the manager has seen the command no
    // more often than a start-up sends it.
    reconnect();
    QCOMPARE(codes().count(code), m_baseline.count(code));
    QCOMPARE(m_prompts.size(), 1);
}

// A retry that falls due while the message is open waits for it: the reconnect would delete the
// panel whose button handler is still running under the message. It follows once the message closes.
void tst_ControllerLinkDown::retryWaitsForTheOpenMessage()
{
    QPointer<ServerPortWidget> row = c()->findPortWidget(A, 3);
    QVERIFY(row);
    QPointer<QPushButton> rec = row->findChild<QPushButton *>(QStringLiteral("btnREC"));
    QVERIFY(rec);
    QVERIFY(!rec->isChecked());

    QSignalSpy attempts(c(), &MainController::sigInitStatusChanged);
    int attemptsWhileOpen = -1;
    bool rowWhileOpen = false;
    ControllerPrompts prompts;
    prompts.confirm = [&](QWidget *, const QString &text, const QString &title, int buttons, int icon) {
        m_prompts << Prompt{title, text, buttons, icon};
        // Past the retry's wait, with the message's own event loop running.
        QTest::qWait(1600);
        attemptsWhileOpen = attempts.count();
        rowWhileOpen = !row.isNull();
        return int(ConfirmDialog::ResultOk);
    };
    c()->setPrompts(prompts);

    // The link drops but the manager takes the next connection, so that the retry rebuilds the
    // panels and takes the old ones down.
    m_sim->call([](SimServer &s) { s.dropLinks(); });
    QTRY_VERIFY_WITH_TIMEOUT(!c()->isConnected(), 5000);
    QVERIFY(row);
    rec->click();

    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.at(0).text, kNotConnected);
    QCOMPARE(attemptsWhileOpen, 0);
    QVERIFY(rowWhileOpen);
    QVERIFY(rec);
    QVERIFY(!rec->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(attempts.count() > 0, 3000);
    QCOMPARE(attempts.at(0).at(0).toString(), QStringLiteral("Connecting to TRXM..."));
    QTRY_VERIFY_WITH_TIMEOUT(row.isNull(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(c()->findPortWidget(A, 3) != nullptr, 5000);
}

void tst_ControllerLinkDown::maintenanceChangedByTheManagerIsRedrawn()
{
    const QString id = c()->maintenanceSchedules().firstKey();
    QCOMPARE(c()->maintenanceSchedules().value(id).startTc, packed(2, 0, 0, 0));
    const auto startTexts = [this](int port) {
        QStringList texts;
        for (const TimelineItemData &item : c()->findPortWidget(A, port)->timeline()->itemsData()) {
            if (item.maintenance)
                texts << item.startText.mid(item.startText.indexOf(QLatin1Char(' ')) + 1);
        }
        texts.removeDuplicates();
        return texts;
    };
    for (int port = 0; port < 4; ++port)
        QTRY_COMPARE_WITH_TIMEOUT(startTexts(port), QStringList{QStringLiteral("02:00:00:00")}, 5000);

    QString why;
    const bool changed = m_sim->call([&](SimServer &s) {
        trx::ScheduleRequest values;
        values.type = trx::ScheduleInfo::Maintenance;
        values.startTc = packed(3, 30, 0, 0);
        values.endTc = packed(3, 30, 10, 0);
        return s.installation().updateSchedule(*s.installation().schedule(id), values, 0, &why);
    });
    QVERIFY2(changed, qPrintable(why));

    QTRY_COMPARE_WITH_TIMEOUT(c()->maintenanceSchedules().value(id).startTc, packed(3, 30, 0, 0), 5000);
    QCOMPARE(c()->maintenanceSchedules().value(id).endTc, packed(3, 30, 10, 0));
    for (int port = 0; port < 4; ++port) {
        QTRY_COMPARE_WITH_TIMEOUT(startTexts(port), QStringList{QStringLiteral("03:30:00:00")}, 5000);
        int yellow = 0;
        // Drawn yellow by their maintenance flag.
        for (const TimelineItemData &item : c()->findPortWidget(A, port)->timeline()->itemsData()) {
            if (item.maintenance)
                ++yellow;
        }
        // Days 1 to 7: the new window at 03:30 has passed on the clock's 10:00.
        QCOMPARE(yellow, 7);
    }

    // The checks go by the new window: 02:00 is free now, 03:30 tomorrow is taken.
    QString text;
    QVERIFY(!c()->maintenanceConflict(packed(2, 0, 0, 0), false, text));
    const trx::PortState master = c()->masterPortState();
    const FramePeriod tomorrow{TimeCode(master, packed(3, 30, 5, 0), 1).frames,
                               TimeCode(master, packed(3, 31, 0, 0), 1).frames};
    QVERIFY(maintenanceMeets(c()->maintenanceSchedules().values(), master, c()->currentTc().frames,
                             c()->settings()->m_date, tomorrow));
}

QTEST_MAIN(tst_ControllerLinkDown)
#include "tst_controllerlinkdown.moc"
