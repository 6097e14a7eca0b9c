// Operator workflows end to end: the real dialogs, driven with keys and the mouse while they run
// modally, the real controller and main window, and the simulator's record of what arrived.

#include "simrunner.h"

#include "controller/maincontroller.h"
#include "dialogs/createtaskdialog.h"
#include "dialogs/maintenancedialog.h"
#include "dialogs/settingdialog.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/records.h"
#include "views/oxamainview.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString A = QStringLiteral("srv-a");

// The clock stands at 10:00 on a 29.97 drop-frame master (port 1). "next" on port 2 is still to
// come; "pair" on port 0 has its proxy copy on port 1. The daily maintenance runs at 02:00.
const char *workflowScenarioJson()
{
    return R"({
  "name": "workflows",
  "master": {"server": "srv-a", "port": 1},
  "maintenance": "02:00:00:00",
  "servers": [
    {"id": "srv-a", "name": "Server1", "systemFrequency": 30, "ports": [
      {"port": 0, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 1, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 2, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 3, "rate": "29.97df", "remainMinutes": 6000}]}
  ],
  "gateways": [
    {"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]},
    {"id": "mgw-2", "name": "Proxy", "drives": [{"id": "p1", "name": "Proxy Store"}]}
  ],
  "schedules": [
    {"id": "next", "server": "srv-a", "port": 2, "start": "12:00:00:00", "end": "12:10:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "pair", "name": "pair", "server": "srv-a", "port": 0, "proxyPort": 1,
     "start": "13:00:00:00", "end": "13:10:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}, "proxy": {"mgw": "mgw-1", "drive": "d1"}}
  ]
})";
}

int packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

// Acts on the modal windows as they come up, one step per window in order; each step runs on its
// own, so that the windows it opens are acted on meanwhile. A window that comes up with no step
// left, or stays open once its step is done, is closed; a message closed so is read first.
class Operator : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;
    explicit Operator(QList<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, &Operator::tick);
        m_timer.start(20);
    }
    QStringList messages; // the texts of the messages closed here
    QStringList closed;   // the class names of the windows closed here

private:
    static bool listed(const QList<QPointer<QWidget>> &list, QWidget *w)
    {
        return std::any_of(list.cbegin(), list.cend(), [w](const QPointer<QWidget> &p) { return p == w; });
    }
    void tick()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || listed(m_running, w))
            return;
        if (!listed(m_handled, w) && !m_steps.isEmpty()) {
            m_handled << w;
            m_running << w;
            QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(w), step = m_steps.takeFirst()] {
                if (w)
                    step(w);
                m_running.removeAll(w);
            });
            return;
        }
        if (auto *message = qobject_cast<ConfirmDialog *>(w))
            messages << message->findChild<QLabel *>(QStringLiteral("m_labelText"))->text();
        closed << QString::fromLatin1(w->metaObject()->className());
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
    }

    QList<Step> m_steps;
    QList<QPointer<QWidget>> m_handled;
    QList<QPointer<QWidget>> m_running;
    QTimer m_timer;
};

// Presses Tab until the named button has the focus.
void tabTo(QWidget *window, const QString &buttonName)
{
    auto *target = window->findChild<QPushButton *>(buttonName);
    QVERIFY2(target, qPrintable(buttonName));
    QStringList visited;
    for (int i = 0; i < 60 && window->focusWidget() != target; ++i) {
        QWidget *focus = window->focusWidget() ? window->focusWidget() : window;
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QVERIFY2(window->focusWidget() == target, qPrintable(visited.join(QLatin1Char(' '))));
}

// Gives the named check box the focus and presses Space on it.
void toggle(QWidget *window, const QString &name)
{
    auto *box = window->findChild<QCheckBox *>(name);
    QVERIFY2(box, qPrintable(name));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
}

void typeInto(QWidget *window, const QString &fieldName, const QString &text)
{
    auto *field = window->findChild<QLineEdit *>(fieldName);
    QVERIFY2(field, qPrintable(fieldName));
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// The three fields of one time group of the schedule dialog ("start", "end") or of the
// maintenance time ("m_txt": Hour, Minute, Second).
void typeTime(QWidget *window, const QString &prefix, const QString &hhmmss)
{
    const QStringList parts =
        prefix == QLatin1String("m_txt")
            ? QStringList{QStringLiteral("Hour"), QStringLiteral("Minute"), QStringLiteral("Second")}
            : QStringList{QStringLiteral("H"), QStringLiteral("M"), QStringLiteral("S")};
    for (int i = 0; i < 3; ++i)
        typeInto(window, prefix + parts[i], hhmmss.mid(i * 2, 2));
}

void click(QWidget *window, const QString &name)
{
    auto *w = window->findChild<QAbstractButton *>(name);
    QVERIFY2(w, qPrintable(name));
    QTest::mouseClick(w, Qt::LeftButton);
}

} // namespace

class tst_OperatorWorkflows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void editOfAScheduleWithAProxyCopy_data();
    void editOfAScheduleWithAProxyCopy();
    void proxyChoiceAsSent_data();
    void proxyChoiceAsSent();
    void dailyMaintenanceSet_data();
    void dailyMaintenanceSet();
    void beforeAnyMasterTimecode_data();
    void beforeAnyMasterTimecode();
    void vanishedProxyPortIsUnpaired();
    void repeatDailyCreatesTheFreeDays();

private:
    QList<int> codes() const
    {
        return m_sim->call([](SimServer &s) { return s.receivedCodes(); });
    }
    void clearCodes()
    {
        m_sim->call([](SimServer &s) { s.clearReceivedCodes(); });
    }
    QList<trx::ScheduleInfo> simSchedules() const
    {
        return m_sim->call([](SimServer &s) { return s.installation().schedules(); });
    }
    void triggerOn(const QString &taskId, void (MainController::*slot)())
    {
        QAction action;
        action.setData(taskId);
        connect(&action, &QAction::triggered, m_controller.get(), slot);
        action.trigger();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
    QDate m_today;
};

void tst_OperatorWorkflows::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_dir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_OperatorWorkflows::init()
{
    const QByteArray test(QTest::currentTestFunction());
    const bool noMaster = test == "beforeAnyMasterTimecode";
    QByteArray json(workflowScenarioJson());
    if (noMaster)
        json.replace(R"("master": {"server": "srv-a", "port": 1},)", "");
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(json, &error);
    QVERIFY2(sc, qPrintable(error));
    m_sim = std::make_unique<SimRunner>(*sc);
    m_today = QDate::currentDate();
    const bool pastWindow = QByteArray(QTest::currentDataTag()).startsWith("past dated");
    const QDate today = m_today;
    bool added = true;
    QString why;
    m_sim->call([&](SimServer &s) {
        s.clock().setTimeScale(0);
        s.clock().setNow(QDateTime(today, QTime(10, 0)));
        s.installation().load(*sc);
        if (pastWindow) {
            // A "Maintenance Now" of yesterday at 10:30, still in the manager's list.
            trx::ScheduleRequest r;
            r.type = trx::ScheduleInfo::Maintenance;
            r.startDate = today.addDays(-1);
            r.endDate = r.startDate;
            r.startTc = packed(10, 30, 0, 0);
            r.endTc = packed(10, 30, 10, 0);
            added = s.installation().addSchedules(r, &why);
        }
    });
    QVERIFY2(added, qPrintable(why));
    QVERIFY(m_sim->start(0) != 0);

    ControllerOptions options;
    options.settingsFile = m_dir.filePath(QStringLiteral("Settings.xml"));
    QFile::remove(options.settingsFile);
    if (test == "vanishedProxyPortIsUnpaired") {
        // Port 0 was paired with a port 5 that the server no longer has.
        Settings stored(nullptr);
        stored.portInfo(trx::ServerPort(A, 0)).ProxyPort = 5;
        QVERIFY(stored.save(options.settingsFile));
    }
    options.link.requestTimeoutMs = 3000;
    options.link.connectTimeoutMs = 1000;
    options.pollIntervalMs = 100;
    m_controller = std::make_unique<MainController>(options);
    m_view = std::make_unique<OXAMainView>(m_controller.get());
    m_controller->setMainView(m_view.get());
    Settings *settings = m_controller->settings();
    settings->m_trxmIp = QStringLiteral("127.0.0.1");
    settings->m_trxmPort = m_sim->port();
    settings->m_strDefaultTaskName = QStringLiteral("%CAMLBL%");
    settings->m_strDefaultMasterMgwId = QStringLiteral("mgw-1");
    settings->m_strDefaultMasterDriveId = QStringLiteral("d1");
    settings->m_maintenanceTime = packed(2, 0, 0, 0);

    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    m_controller->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    if (!noMaster) {
        QTRY_COMPARE_WITH_TIMEOUT(m_controller->masterPort(), trx::ServerPort(A, 1), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_controller->currentTc().valid, 5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->mgws().size(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->ports().value(A).value(0).ranges.isEmpty(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->tasks().contains(QStringLiteral("pair")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->maintenanceSchedules().isEmpty(), 5000);
    // Port 0 records its proxy on port 1, as the pair in the manager's list does.
    if (test != "vanishedProxyPortIsUnpaired")
        m_controller->slotProxyPortChanged(A, 0, 1);
    clearCodes();
}

void tst_OperatorWorkflows::cleanup()
{
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    m_sim.reset();
}

void tst_OperatorWorkflows::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("done"); // what the dialog is for happened

    // clang-format off
    QTest::newRow("delete: Cancel") << "delete" << "m_btnCancel" << false;
    QTest::newRow("delete: OK") << "delete" << "m_btnOK" << true;
    QTest::newRow("stop: Cancel") << "stop" << "m_btnCancel" << false;
    QTest::newRow("stop: OK") << "stop" << "m_btnOK" << true;
    QTest::newRow("schedule: Cancel") << "schedule" << "m_btnCreateTaskCancel" << false;
    QTest::newRow("schedule: OK") << "schedule" << "m_btnCreateTaskOK" << true;
    QTest::newRow("settings: Cancel") << "settings" << "m_btnSettingCancel" << false;
    QTest::newRow("settings: OK") << "settings" << "m_btnSettingOK" << true;
    QTest::newRow("maintenance: Close") << "maintenance" << "m_btnClose" << false;
    QTest::newRow("maintenance: Set") << "maintenance" << "m_btnMaintenanceSet" << true;
    // clang-format on
}

void tst_OperatorWorkflows::enterPressesTheFocusedButton()
{
    QFETCH(QString, dialog);
    QFETCH(QString, button);
    QFETCH(bool, done);

    Operator op({[&](QWidget *w) {
        if (dialog == QLatin1String("schedule")) {
            typeTime(w, QStringLiteral("start"), QStringLiteral("140000"));
            typeTime(w, QStringLiteral("end"), QStringLiteral("141000"));
        } else if (dialog == QLatin1String("settings")) {
            typeInto(w, QStringLiteral("m_txtDefaultTaskName"), QStringLiteral("Typed"));
        } else if (dialog == QLatin1String("maintenance")) {
            typeTime(w, QStringLiteral("m_txt"), QStringLiteral("033000"));
        }
        tabTo(w, button);
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    }});

    int code = 1002;
    if (dialog == QLatin1String("delete")) {
        code = 1003;
        triggerOn(QStringLiteral("next"), qOverload<>(&MainController::removeTask));
    } else if (dialog == QLatin1String("stop")) {
        code = 1004;
        triggerOn(QStringLiteral("next"), &MainController::cancelTask);
    } else if (dialog == QLatin1String("schedule")) {
        m_controller->newTask(A, 3);
    } else if (dialog == QLatin1String("settings")) {
        code = 0;
        m_controller->settingsDialog();
    } else {
        m_controller->maintenanceDialog();
    }
    QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));
    if (code == 0) {
        QCOMPARE(m_controller->settings()->m_strDefaultTaskName == QLatin1String("Typed"), done);
        return;
    }
    if (done)
        QTRY_COMPARE_WITH_TIMEOUT(codes().count(code), 1, 3000);
    QTest::qWait(200);
    QCOMPARE(codes().count(code), done ? 1 : 0);
    QCOMPARE(m_controller->settings()->m_maintenanceTime,
             dialog == QLatin1String("maintenance") && done ? packed(3, 30, 0, 0) : packed(2, 0, 0, 0));
}

void tst_OperatorWorkflows::editOfAScheduleWithAProxyCopy_data()
{
    QTest::addColumn<QString>("name"); // typed over the name; empty: left as it is
    QTest::addColumn<QString>("end");  // typed as the end; empty: left as it is
    QTest::addColumn<QString>("sentName");
    QTest::addColumn<int>("sentEnd");

    // clang-format off
    QTest::newRow("rename") << "Evening Football" << "" << "Evening Football" << packed(13, 10, 0, 0);
    QTest::newRow("move its end") << "" << "131230" << "pair" << packed(13, 12, 30, 0);
    // clang-format on
}

void tst_OperatorWorkflows::editOfAScheduleWithAProxyCopy()
{
    QFETCH(QString, name);
    QFETCH(QString, end);
    QFETCH(QString, sentName);
    QFETCH(int, sentEnd);

    auto edit = [&](bool change) {
        Operator op({[&](QWidget *w) {
            if (change && !name.isEmpty())
                typeInto(w, QStringLiteral("name"), name);
            if (change && !end.isEmpty())
                typeTime(w, QStringLiteral("end"), end);
            click(w, QStringLiteral("m_btnCreateTaskOK"));
        }});
        triggerOn(QStringLiteral("pair"), qOverload<>(&MainController::editTask));
        QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));
    };
    auto simPair = [this] {
        return m_sim->call([](SimServer &s) { return *s.installation().schedule(QStringLiteral("pair")); });
    };

    edit(true);
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1005), 1, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().value(QStringLiteral("pair")).schedule.name, sentName,
                              3000);
    QCOMPARE(simPair().name, sentName);
    QCOMPARE(simPair().endTc, sentEnd);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().value(QStringLiteral("pair")).schedule.endTc, sentEnd,
                              3000);

    // OK again with nothing changed sends the same name, not a longer one.
    edit(false);
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1005), 2, 3000);
    QTest::qWait(200);
    QCOMPARE(simPair().name, sentName);
    QCOMPARE(codes().count(1002) + codes().count(1003), 0);
}

void tst_OperatorWorkflows::proxyChoiceAsSent_data()
{
    QTest::addColumn<QString>("proxyMgw"); // the port's remembered proxy destination
    QTest::addColumn<QString>("proxyDrive");
    QTest::addColumn<bool>("untick");     // the operator clears "With Proxy" before changing the end
    QTest::addColumn<QString>("message"); // empty: the schedule is sent
    QTest::addColumn<bool>("withProxy");

    // clang-format off
    QTest::newRow("unticked, then the end changed") << "mgw-1" << "d1" << true << "" << false;
    QTest::newRow("proxy on the second gateway") << "mgw-2" << "p1" << false << "" << true;
    QTest::newRow("a drive the gateway list lacks")
        << "mgw-2" << "gone" << false << "No proxy destination\n" << true;
    // clang-format on
}

void tst_OperatorWorkflows::proxyChoiceAsSent()
{
    QFETCH(QString, proxyMgw);
    QFETCH(QString, proxyDrive);
    QFETCH(bool, untick);
    QFETCH(QString, message);
    QFETCH(bool, withProxy);

    Settings *settings = m_controller->settings();
    MgwDestination stored;
    stored.WithProxy = true;
    stored.MasterMgwId = QStringLiteral("mgw-1");
    stored.MasterDriveId = QStringLiteral("d1");
    stored.ProxyMgwId = proxyMgw;
    stored.ProxyDriveId = proxyDrive;
    const trx::ServerPort port(A, 0);
    settings->m_mgwInfos.insert(port, stored);
    auto onPort1 = [this] {
        const QList<trx::ScheduleInfo> all = simSchedules();
        return int(std::count_if(all.cbegin(), all.cend(),
                                 [](const trx::ScheduleInfo &s) { return s.portNo == 1; }));
    };
    const int before = onPort1();

    Operator op({[&](QWidget *w) {
        typeInto(w, QStringLiteral("name"), QStringLiteral("workflow"));
        typeTime(w, QStringLiteral("start"), QStringLiteral("150000"));
        typeTime(w, QStringLiteral("end"), QStringLiteral("151000"));
        QVERIFY(w->findChild<QCheckBox *>(QStringLiteral("checkProxy"))->isChecked());
        if (untick)
            toggle(w, QStringLiteral("checkProxy"));
        typeTime(w, QStringLiteral("end"), QStringLiteral("152000"));
        click(w, QStringLiteral("m_btnCreateTaskOK"));
    }});
    m_controller->newTask(A, 0);

    if (!message.isEmpty()) {
        QCOMPARE(op.messages, QStringList{message});
        QTest::qWait(200);
        QCOMPARE(codes().count(1002), 0);
    } else {
        QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));
        QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
        std::optional<trx::ScheduleInfo> sent;
        QTRY_VERIFY_WITH_TIMEOUT((sent = [&]() -> std::optional<trx::ScheduleInfo> {
                                     for (const trx::ScheduleInfo &s : simSchedules())
                                         if (s.name == QLatin1String("workflow"))
                                             return s;
                                     return std::nullopt;
                                 }()),
                                 3000);
        QCOMPARE(sent->withProxy, withProxy);
        QCOMPARE(onPort1(), before + (withProxy ? 1 : 0));
        if (withProxy) {
            QCOMPARE(sent->proxy.text3, proxyMgw);
            QCOMPARE(sent->proxy.text4, proxyDrive);
        }
    }
    // The remembered proxy destination is still the operator's, in memory and in the file.
    const QString file = m_dir.filePath(QStringLiteral("Saved.xml"));
    QVERIFY(settings->save(file));
    settings->m_mgwInfos.clear();
    QVERIFY(settings->load(file));
    QCOMPARE(settings->m_mgwInfos.value(port).ProxyMgwId, proxyMgw);
    QCOMPARE(settings->m_mgwInfos.value(port).ProxyDriveId, proxyDrive);
}

void tst_OperatorWorkflows::dailyMaintenanceSet_data()
{
    QTest::addColumn<QString>("time");

    QTest::newRow("past dated window at that time yesterday") << "103000";
    QTest::newRow("the daily time in force again") << "020000";
}

void tst_OperatorWorkflows::dailyMaintenanceSet()
{
    QFETCH(QString, time);
    Operator op({[&](QWidget *w) {
        typeTime(w, QStringLiteral("m_txt"), time);
        click(w, QStringLiteral("m_btnMaintenanceSet"));
    }});
    m_controller->maintenanceDialog();
    QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
    QCOMPARE(m_controller->settings()->m_maintenanceTime,
             packed(time.left(2).toInt(), time.mid(2, 2).toInt(), 0, 0));
}

void tst_OperatorWorkflows::beforeAnyMasterTimecode_data()
{
    QTest::addColumn<bool>("maintenanceNow"); // else mark start on a port row

    QTest::newRow("Maintenance Now") << true;
    QTest::newRow("mark start") << false;
}

void tst_OperatorWorkflows::beforeAnyMasterTimecode()
{
    QFETCH(bool, maintenanceNow);
    QCOMPARE(m_controller->masterPortState().currentTc, -1);
    if (maintenanceNow) {
        Operator op({[](QWidget *w) { click(w, QStringLiteral("btnExec")); }});
        m_controller->maintenanceDialog();
        QCOMPARE(op.messages, QStringList{QStringLiteral("No master timecode yet.")});
        // The maintenance dialog stayed open after the message.
        QCOMPARE(op.closed,
                 (QStringList{QStringLiteral("ConfirmDialog"), QStringLiteral("MaintenanceDialog")}));
    } else {
        Operator op({});
        m_controller->markStart(A, 3);
        QCOMPARE(op.messages, QStringList{QStringLiteral("No master timecode yet.\n")});
    }
    QTest::qWait(200);
    QCOMPARE(codes().count(1002), 0);
}

void tst_OperatorWorkflows::vanishedProxyPortIsUnpaired()
{
    QVERIFY(!m_controller->proxyPorts().contains(trx::ServerPort(A, 0)));
    // Mark start with a remembered proxy destination starts the master copy alone.
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    dst.WithProxy = true;
    dst.ProxyMgwId = QStringLiteral("mgw-2");
    dst.ProxyDriveId = QStringLiteral("p1");
    m_controller->settings()->m_mgwInfos.insert(trx::ServerPort(A, 0), dst);
    m_controller->settings()->m_strDefaultOpenEndClipName = QStringLiteral("started");
    Operator op({});
    m_controller->markStart(A, 0);
    QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
    auto started = [this] {
        const QList<trx::ScheduleInfo> all = simSchedules();
        return std::count_if(all.cbegin(), all.cend(), [](const trx::ScheduleInfo &s) {
            return s.name == QLatin1String("started") && !s.withProxy;
        });
    };
    QTRY_COMPARE_WITH_TIMEOUT(started(), 1, 3000);
}

void tst_OperatorWorkflows::repeatDailyCreatesTheFreeDays()
{
    // Port 2 has "next" at 12:00 to 12:10 today: the first of five daily occurrences is taken.
    QStringList rows;
    Operator op({[](QWidget *w) {
                     typeInto(w, QStringLiteral("name"), QStringLiteral("rep-%CDATE%"));
                     typeTime(w, QStringLiteral("start"), QStringLiteral("120500"));
                     typeTime(w, QStringLiteral("end"), QStringLiteral("120800"));
                     auto *repeat = w->findChild<QComboBox *>(QStringLiteral("m_comboRepeat"));
                     QVERIFY(repeat);
                     repeat->setFocus();
                     QTest::keyClick(repeat, Qt::Key_Down);
                     QCOMPARE(repeat->currentText(), QStringLiteral("Daily"));
                     click(w, QStringLiteral("m_btnCreateTaskOK"));
                 },
                 [this, &rows](QWidget *w) {
                     auto *table = w->findChild<QTableWidget *>(QStringLiteral("m_tableRepeat"));
                     QVERIFY(table);
                     for (int r = 0; r < table->rowCount(); ++r)
                         rows << table->item(r, 0)->text() + QLatin1Char(' ') + table->item(r, 3)->text();
                     // Nothing goes out before the operator confirms.
                     QCOMPARE(codes().count(1002), 0);
                     tabTo(w, QStringLiteral("m_btnRepeatCreate"));
                     QTest::keyClick(w->focusWidget(), Qt::Key_Return);
                 }});
    QSignalSpy notices(m_controller.get(), &MainController::sigOperatorNotice);
    m_controller->newTask(A, 2);

    QCOMPARE(rows.size(), 5);
    // One notice naming the port once, not once per day.
    QCOMPARE(notices.count(), 1);
    const QStringList noticeParts =
        notices.first().first().toString().section(QLatin1String(" created on "), 1).split(QLatin1String(", "));
    QCOMPARE(noticeParts.size(), 2);
    QCOMPARE(noticeParts.last(), QStringLiteral("4 days"));
    QVERIFY2(
        rows.first().startsWith(m_today.toString(QStringLiteral("yyyy/MM/dd ")) + QLatin1String("Server1")),
        qPrintable(rows.first()));
    for (int i = 1; i < 5; ++i)
        QCOMPARE(rows.at(i),
                 m_today.addDays(i).toString(QStringLiteral("yyyy/MM/dd")) + QLatin1String(" free"));
    QVERIFY2(op.messages.isEmpty(), qPrintable(op.messages.join(QLatin1Char('\n'))));

    QStringList expected;
    for (int i = 1; i < 5; ++i)
        expected << QStringLiteral("rep-") + m_today.addDays(i).toString(QStringLiteral("yyyyMMdd"));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 4, 3000);
    QStringList sent; // in the order the manager took them in
    QTRY_COMPARE_WITH_TIMEOUT((sent =
                                   [this] {
                                       QStringList names;
                                       for (const trx::ScheduleInfo &s : simSchedules())
                                           if (s.name.startsWith(QLatin1String("rep-")))
                                               names << s.name + QLatin1Char('@') +
                                                            s.startDate.toString(Qt::ISODate);
                                       return names;
                                   }())
                                  .size(),
                              4, 3000);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(sent.at(i),
                 expected.at(i) + QLatin1Char('@') + m_today.addDays(i + 1).toString(Qt::ISODate));
}

QTEST_MAIN(tst_OperatorWorkflows)
#include "tst_operatorworkflows.moc"
