// Creating and editing schedules against the simulator: the schedule dialog is driven
// programmatically through the controller's editing prompts, and what the controller sent is read
// back from the schedules the simulator created.

#include "simrunner.h"

#include "controller/maincontroller.h"
#include "dialogs/createtaskdialog.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/records.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <thread>

namespace {

const QString A = QStringLiteral("srv-a");

// Master: port 1 at 29.97 drop-frame. Port 2 has no name and one schedule from 12:00 to 12:10;
// port 3 does not record.
const char *editingScenarioJson()
{
    return R"({
  "name": "editing",
  "master": {"server": "srv-a", "port": 1},
  "maintenance": "02:00:00:00",
  "servers": [
    {"id": "srv-a", "name": "Server1", "systemFrequency": 30, "ports": [
      {"port": 0, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 1, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 2, "rate": "29.97df", "remainMinutes": 6000},
      {"port": 3, "rate": "29.97df", "remainMinutes": 6000, "recording": false}]}
  ],
  "gateways": [
    {"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]},
    {"id": "mgw-2", "name": "Proxy", "drives": [{"id": "p1", "name": "Proxy Store"}]}
  ],
  "schedules": [
    {"id": "next", "server": "srv-a", "port": 2, "start": "12:00:00:00", "end": "12:10:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "p3", "server": "srv-a", "port": 3, "start": "12:00:00:00", "end": "12:10:00:00"}
  ]
})";
}

int packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

struct Message
{
    QString title;
    QString text;
    int icon = 0;
};

} // namespace

class tst_ControllerEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void okMessages_data();
    void okMessages();
    void endAtTheNextStartOverlaps_data();
    void endAtTheNextStartOverlaps();
    void requestsAsSent_data();
    void requestsAsSent();
    void proxyPortLineIsBracketed();
    void markStartOnADroppedMinute();
    void markEndEndsTheOpenSchedule();
    void editOfAScheduleThatStartedMeanwhile();
    void editMovesTheEnd();
    void proxyChoiceAsksTheUsableRanges();
    void okTwiceSendsOneRequest();
    void proxySwitchedOffDetachesTheProxySchedules();
    void endToEndThroughTheRealDialog();

private:
    // Runs the dialog as the operator would: `fill` sets the fields, then OK is pressed once.
    void driveDialog(std::function<void(CreateTaskDialog &)> fill);
    QList<int> codes() const
    {
        return m_sim->call([](SimServer &s) { return s.receivedCodes(); });
    }
    QList<trx::ScheduleInfo> simSchedules() const
    {
        return m_sim->call([](SimServer &s) { return s.installation().schedules(); });
    }
    std::optional<trx::ScheduleInfo> simScheduleNamed(const QString &name) const
    {
        for (const trx::ScheduleInfo &s : simSchedules()) {
            if (s.name == name)
                return s;
        }
        return std::nullopt;
    }
    void clearCodes()
    {
        m_sim->call([](SimServer &s) { s.clearReceivedCodes(); });
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
    QList<Message> m_messages;
    int m_iDialogRuns = 0;
    QDate m_today;
};

void tst_ControllerEditing::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_dir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerEditing::init()
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(editingScenarioJson(), &error);
    QVERIFY2(sc, qPrintable(error));
    m_sim = std::make_unique<SimRunner>(*sc);
    m_today = QDate::currentDate();
    const QDateTime tenOClock(m_today, QTime(10, 0));
    // The clock stands at 10:00 and the installation is loaded afresh at that time.
    m_sim->call([&](SimServer &s) {
        s.clock().setTimeScale(0);
        s.clock().setNow(tenOClock);
        s.installation().load(*sc);
    });
    QVERIFY(m_sim->start(0) != 0);

    ControllerOptions options;
    options.settingsFile = m_dir.filePath(QStringLiteral("Settings.xml"));
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
    settings->m_strDefaultOpenEndClipName = QStringLiteral("%CAMLBL%_%TCIN%");
    settings->m_strDefaultMasterMgwId = QStringLiteral("mgw-1");
    settings->m_strDefaultMasterDriveId = QStringLiteral("d1");
    settings->m_strDefaultProxyMgwId = QStringLiteral("mgw-1");
    settings->m_strDefaultProxyDriveId = QStringLiteral("d1");

    m_messages.clear();
    m_iDialogRuns = 0;
    EditingPrompts prompts;
    prompts.message = [this](QWidget *, const QString &text, const QString &title, int icon) {
        m_messages << Message{title, text, icon};
    };
    prompts.runTaskDialog = [](CreateTaskDialog &) { return int(QDialog::Rejected); };
    m_controller->setEditingPrompts(prompts);

    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    m_controller->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->masterPort(), trx::ServerPort(A, 1), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->currentTc().valid, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->mgws().size(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->ports().value(A).value(0).ranges.isEmpty(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().size(), 2, 5000);
    QCOMPARE(settings->m_date, m_today);
}

void tst_ControllerEditing::cleanup()
{
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    m_sim.reset();
}

void tst_ControllerEditing::driveDialog(std::function<void(CreateTaskDialog &)> fill)
{
    EditingPrompts prompts;
    prompts.message = [this](QWidget *, const QString &text, const QString &title, int icon) {
        m_messages << Message{title, text, icon};
    };
    prompts.runTaskDialog = [this, fill](CreateTaskDialog &dialog) {
        ++m_iDialogRuns;
        // The gateway list arrives queued, as it does while the dialog runs.
        QCoreApplication::processEvents();
        fill(dialog);
        dialog.slotCreateTaskOKClicked();
        return dialog.result();
    };
    m_controller->setEditingPrompts(prompts);
}

namespace {

void selectDestination(CreateTaskDialog &d, bool withProxy)
{
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    dst.ProxyMgwId = QStringLiteral("mgw-1");
    dst.ProxyDriveId = QStringLiteral("d1");
    dst.WithProxy = withProxy;
    d.setDestination(dst);
}

} // namespace

void tst_ControllerEditing::okMessages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<int>("port"); // -1: none selected
    QTest::addColumn<QString>("text");

    QTest::newRow("equal start and end with zero duration") << "n"
                                                            << "100000"
                                                            << "100000"
                                                            << "000000" << 0 << "Invalid Timecode\n";
    QTest::newRow("no port selected: that line alone") << "n"
                                                       << "110000"
                                                       << "113000"
                                                       << "" << -1 << "No port selection\n";
    QTest::newRow("no name, no start, no port")
        << ""
        << ""
        << "113000"
        << "" << -1 << "No schedule name\nNo Start TC\nNo port selection\n";
    QTest::newRow("no material and the next schedule on an unnamed port")
        << "n"
        << "115000"
        << "120500"
        << "" << 3
        << "Server1 Port D: No material (not recording), Next Schedule ('Schedule 2', "
           "12:00:00:00-12:10:00:00)\n";
    QTest::newRow("maintenance window")
        << "n"
        << "015000"
        << "020000"
        << "" << 0 << "Server1 Port A: Maintenance Schedule (daily 02:00:00:00-02:00:10:00)\n";
}

void tst_ControllerEditing::okMessages()
{
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, duration);
    QFETCH(int, port);
    QFETCH(QString, text);

    // The maintenance schedule of the installation.
    if (QByteArray(QTest::currentDataTag()) == "maintenance window") {
        QTRY_VERIFY_WITH_TIMEOUT(!m_controller->maintenanceSchedules().isEmpty(), 3000);
    }
    clearCodes();
    driveDialog([&](CreateTaskDialog &d) {
        d.setName(name);
        d.setStartText(start);
        d.setEndText(end);
        d.setDurationText(duration);
        if (QByteArray(QTest::currentDataTag()).startsWith("maintenance"))
            d.setDays(m_today.addDays(1));
    });
    m_controller->newTask(A, port);
    QCOMPARE(m_iDialogRuns, 1);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].title, QStringLiteral("Schedule Error"));
    QCOMPARE(m_messages[0].icon, int(ConfirmDialog::Critical));
    QCOMPARE(m_messages[0].text, text);
    QVERIFY(!codes().contains(1002));
}

void tst_ControllerEditing::endAtTheNextStartOverlaps_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("overlaps");
    // The next schedule starts at 12:00:00;00; the dialog has no frames, so one frame before is
    // the end 11:59:59 plus 29 frames, which only an edit keeps: 11:59:59 is used as "before".
    QTest::newRow("end at its start") << "120000" << true;
    QTest::newRow("end before its start") << "115959" << false;
}

void tst_ControllerEditing::endAtTheNextStartOverlaps()
{
    QFETCH(QString, end);
    QFETCH(bool, overlaps);
    driveDialog([&](CreateTaskDialog &d) {
        d.setName(QStringLiteral("n"));
        d.setStartText(QStringLiteral("113000"));
        d.setEndText(end);
    });
    m_controller->newTask(A, 2);
    if (overlaps) {
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text,
                 QStringLiteral("Server1 Port C: Next Schedule ('Schedule 1', 12:00:00:00-12:10:00:00)\n"));
    } else {
        QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
        QTRY_VERIFY_WITH_TIMEOUT(simScheduleNamed(QStringLiteral("n")).has_value(), 3000);
    }
}

void tst_ControllerEditing::requestsAsSent_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("withProxy");
    QTest::addColumn<int>("startTc");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<int>("endDays");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");

    QTest::newRow("normal") << "130000"
                            << "131000" << false << packed(13, 0, 0, 0) << packed(13, 10, 0, 0) << 0 << 0
                            << "Port A";
    QTest::newRow("across midnight") << "230000"
                                     << "010000" << false << packed(23, 0, 0, 0) << packed(1, 0, 0, 0) << 1
                                     << 0 << "Port A";
    QTest::newRow("open end") << "130000"
                              << "" << false << packed(13, 0, 0, 0) << -1 << 0 << 1 << "Port A";
    QTest::newRow("with proxy") << "130000"
                                << "131000" << true << packed(13, 0, 0, 0) << packed(13, 10, 0, 0) << 0 << 0
                                << "Port A";
}

void tst_ControllerEditing::requestsAsSent()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, withProxy);
    QFETCH(int, startTc);
    QFETCH(int, endTc);
    QFETCH(int, endDays);
    QFETCH(int, type);
    QFETCH(QString, name);

    if (withProxy)
        m_controller->slotProxyPortChanged(A, 0, 1);
    clearCodes();
    driveDialog([&](CreateTaskDialog &d) {
        d.setStartText(start);
        d.setEndText(end);
        selectDestination(d, withProxy);
        d.mgwsReady(m_controller->mgws());
        if (withProxy)
            d.slotSetProxyChkEnable(true);
    });
    m_controller->newTask(A, 0);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(simScheduleNamed(name).has_value(), 3000);
    const trx::ScheduleInfo s = *simScheduleNamed(name);
    QCOMPARE(s.serverId, A);
    QCOMPARE(s.portNo, 0);
    QCOMPARE(s.startDate, m_today);
    QCOMPARE(s.startTc, startTc);
    QCOMPARE(s.endTc, endTc);
    if (endTc != -1)
        QCOMPARE(s.endDate, m_today.addDays(endDays));
    QCOMPARE(s.type, type);
    QCOMPARE(s.withProxy, withProxy);
    QCOMPARE(s.master.text3, QStringLiteral("mgw-1"));
    QCOMPARE(s.master.text4, QStringLiteral("d1"));
    if (withProxy)
        QCOMPARE(s.proxy.text3, QStringLiteral("mgw-1"));
    // The destination is remembered for the port.
    QCOMPARE(m_controller->settings()->m_mgwInfos.value(trx::ServerPort(A, 0)).MasterMgwId,
             QStringLiteral("mgw-1"));
    // And the schedule comes back as an item of the port.
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->tasks().contains(s.id), 3000);
}

void tst_ControllerEditing::proxyPortLineIsBracketed()
{
    // Port 3 records nothing; as port 2's proxy it is named in brackets.
    m_controller->slotProxyPortChanged(A, 0, 3);
    driveDialog([&](CreateTaskDialog &d) {
        d.setStartText(QStringLiteral("130000"));
        d.setEndText(QStringLiteral("131000"));
        selectDestination(d, true);
        d.mgwsReady(m_controller->mgws());
        d.slotSetProxyChkEnable(true);
    });
    m_controller->newTask(A, 0);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, QStringLiteral("Server1 [Port D]: No material (not recording)\n"));
}

void tst_ControllerEditing::markStartOnADroppedMinute()
{
    Settings *settings = m_controller->settings();
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    settings->m_mgwInfos.insert(trx::ServerPort(A, 0), dst);

    // The master reports 10:01:00;00, a number the drop-frame count leaves out. The poll stops, so
    // that the state handed over stays until mark start reads it.
    m_controller->workerThread()->quit();
    QVERIFY(m_controller->workerThread()->wait(5000));
    trx::PortState state = m_controller->masterPortState();
    state.currentTc = packed(10, 1, 0, 0);
    std::thread([&] { m_controller->portStatesChanged(A, {{1, state}}); }).join();
    QTRY_COMPARE(m_controller->masterPortState().currentTc, packed(10, 1, 0, 0));
    clearCodes();
    m_controller->markStart(A, 0);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(simScheduleNamed(QStringLiteral("Port A_10010002")).has_value(), 3000);
    const trx::ScheduleInfo s = *simScheduleNamed(QStringLiteral("Port A_10010002"));
    QCOMPARE(s.startTc, packed(10, 1, 0, 2));
    QCOMPARE(s.endTc, -1);
    QCOMPARE(s.type, 1);
}

void tst_ControllerEditing::markEndEndsTheOpenSchedule()
{
    Settings *settings = m_controller->settings();
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    settings->m_mgwInfos.insert(trx::ServerPort(A, 0), dst);
    m_controller->markStart(A, 0);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().size(), 3, 3000);
    // A second start on the same port finds the first one running.
    m_controller->markStart(A, 0);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].title, QStringLiteral("OpenEnd Schedule Error"));
    QCOMPARE(m_messages[0].text,
             QStringLiteral("Server1 Port A: Next schedule ('Port A_10000001', 10:00:00:01-open end)\n"));
    clearCodes();
    m_controller->markEnd(A, 0);
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1004), 1, 3000);
}

void tst_ControllerEditing::editOfAScheduleThatStartedMeanwhile()
{
    QString id;
    for (const TaskEntry &t : m_controller->tasks()) {
        if (t.port == 2)
            id = t.id;
    }
    QVERIFY(!id.isEmpty());
    QAction edit;
    edit.setData(id);
    connect(&edit, &QAction::triggered, m_controller.get(), qOverload<>(&MainController::editTask));
    clearCodes();
    driveDialog([&](CreateTaskDialog &d) {
        d.setName(QStringLiteral("renamed"));
        // The schedule starts while the dialog is open.
        trx::ScheduleInfo s = m_controller->tasks().value(id).schedule;
        s.master.status = 6;
        std::thread([&] { m_controller->scheduleChanged(s, 0); }).join();
        QTRY_COMPARE(m_controller->tasks().value(id).schedule.master.status, 6);
    });
    edit.trigger();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].title, QStringLiteral("Information"));
    QCOMPARE(m_messages[0].icon, int(ConfirmDialog::Information));
    QCOMPARE(m_messages[0].text, QStringLiteral("Could not edit the name because it is in progress.\n"));
    QVERIFY(!codes().contains(1005));
}

void tst_ControllerEditing::editMovesTheEnd()
{
    QString id;
    for (const TaskEntry &t : m_controller->tasks()) {
        if (t.port == 2)
            id = t.id;
    }
    QVERIFY(!id.isEmpty());
    QAction edit;
    edit.setData(id);
    connect(&edit, &QAction::triggered, m_controller.get(), qOverload<>(&MainController::editTask));
    driveDialog([&](CreateTaskDialog &d) {
        QCOMPARE(d.startText(), QStringLiteral("120000"));
        d.setEndText(QStringLiteral("121500"));
        d.mgwsReady(m_controller->mgws());
    });
    edit.trigger();
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->call([&](SimServer &s) { return s.installation().schedule(id)->endTc; }),
                              packed(12, 15, 0, 2), 3000);
}

void tst_ControllerEditing::proxyChoiceAsksTheUsableRanges()
{
    QSignalSpy answers(m_controller.get(), &MainController::sigProxyChkEnable);
    m_controller->slotProxyPortChanged(A, 0, 1);
    m_controller->slotProxyChkIsEnable({{trx::ServerPort(A, 0), true}}, packed(13, 0, 0, 0),
                                       packed(13, 10, 0, 0), m_today);
    // A proxy port the server does not have offers no material.
    m_controller->slotProxyPortChanged(A, 2, 5);
    m_controller->slotProxyChkIsEnable({{trx::ServerPort(A, 2), true}}, packed(13, 0, 0, 0),
                                       packed(13, 10, 0, 0), m_today);
    // A port without a proxy port offers no proxy copy, whatever port 0 has.
    m_controller->slotProxyChkIsEnable({{trx::ServerPort(A, 3), true}}, packed(13, 0, 0, 0),
                                       packed(13, 10, 0, 0), m_today);
    QCOMPARE(answers.size(), 3);
    QCOMPARE(answers[0][0].toBool(), true);
    QCOMPARE(answers[1][0].toBool(), false);
    QCOMPARE(answers[2][0].toBool(), false);
}

void tst_ControllerEditing::okTwiceSendsOneRequest()
{
    clearCodes();
    driveDialog([&](CreateTaskDialog &d) {
        d.setStartText(QStringLiteral("130000"));
        d.setEndText(QStringLiteral("131000"));
        // The first press is handled below; this one comes while it is pending or after the close.
        d.slotCreateTaskOKClicked();
    });
    m_controller->newTask(A, 0);
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1002), 1, 3000);
    QTest::qWait(300);
    QCOMPARE(codes().count(1002), 1);
}

void tst_ControllerEditing::proxySwitchedOffDetachesTheProxySchedules()
{
    m_controller->slotProxyPortChanged(A, 0, 1);
    driveDialog([&](CreateTaskDialog &d) {
        d.setName(QStringLiteral("pair"));
        d.setStartText(QStringLiteral("130000"));
        d.setEndText(QStringLiteral("131000"));
        d.slotSetProxyChkEnable(true);
        d.findChild<QCheckBox *>(QStringLiteral("checkProxy"))->click();
    });
    m_controller->newTask(A, 0);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    // The master schedule on port 0 and its proxy schedule on port 1.
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().size(), 4, 3000);
    QString proxyId;
    for (const TaskEntry &t : m_controller->tasks()) {
        if (t.port == 1)
            proxyId = t.id;
    }
    QVERIFY(!proxyId.isEmpty());
    QVERIFY(!m_controller->tasks().value(proxyId).schedule.mainScheduleId.isEmpty());

    clearCodes();
    m_controller->slotProxyPortChanged(A, 0, -1);
    QVERIFY(!m_controller->proxyPorts().contains(trx::ServerPort(A, 0)));
    QTRY_COMPARE_WITH_TIMEOUT(codes().count(1005), 1, 3000);
    for (const TaskEntry &t : m_controller->tasks()) {
        if (t.port == 0)
            QCOMPARE(t.proxyProgress, -1);
    }
    // Switching off twice sends nothing more.
    m_controller->slotProxyPortChanged(A, 0, 0);
    QTest::qWait(200);
    QCOMPARE(codes().count(1005), 1);
}

namespace {

// Types into the modal schedule dialog once it is up, then presses OK with the mouse.
void typeIntoModalDialog(const std::function<void(CreateTaskDialog &)> &typing, bool *done)
{
    QTimer::singleShot(50, [typing, done] {
        auto *dialog = qobject_cast<CreateTaskDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            typeIntoModalDialog(typing, done);
            return;
        }
        typing(*dialog);
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("m_btnCreateTaskOK"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        *done = true;
    });
}

void typeTime(CreateTaskDialog &d, const char *prefix, const QString &hhmmss)
{
    const QStringList parts{QStringLiteral("H"), QStringLiteral("M"), QStringLiteral("S")};
    for (int i = 0; i < 3; ++i) {
        auto *field = d.findChild<QLineEdit *>(QLatin1String(prefix) + parts[i]);
        QVERIFY(field);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, hhmmss.mid(i * 2, 2));
    }
}

} // namespace

void tst_ControllerEditing::endToEndThroughTheRealDialog()
{
    // The real dialogs run modally; only the messages are caught.
    EditingPrompts prompts = EditingPrompts::interactive();
    prompts.message = [this](QWidget *, const QString &text, const QString &title, int icon) {
        m_messages << Message{title, text, icon};
    };
    m_controller->setEditingPrompts(prompts);

    bool typed = false;
    typeIntoModalDialog(
        [](CreateTaskDialog &d) {
            auto *name = d.findChild<QLineEdit *>(QStringLiteral("name"));
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("e2e"));
            typeTime(d, "start", QStringLiteral("100100"));
            typeTime(d, "end", QStringLiteral("100200"));
        },
        &typed);
    m_controller->newTask(A, 0);
    QVERIFY(typed);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_VERIFY_WITH_TIMEOUT(simScheduleNamed(QStringLiteral("e2e")).has_value(), 3000);
    const QString id = simScheduleNamed(QStringLiteral("e2e"))->id;
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->taskTimeline(id), 3000);
    const TimelineItemData *item = m_controller->taskTimeline(id)->itemData(id);
    QCOMPARE(item->statusText, QStringLiteral("Scheduled..."));
    QVERIFY(m_controller->findPortWidget(A, 0)->timeline()->taskIds().contains(id));

    // Edit its end through the same dialog.
    QAction edit;
    edit.setData(id);
    connect(&edit, &QAction::triggered, m_controller.get(), qOverload<>(&MainController::editTask));
    typed = false;
    typeIntoModalDialog([](CreateTaskDialog &d) { typeTime(d, "end", QStringLiteral("100300")); }, &typed);
    edit.trigger();
    QVERIFY(typed);
    QVERIFY2(m_messages.isEmpty(), m_messages.isEmpty() ? "" : qPrintable(m_messages[0].text));
    QTRY_COMPARE_WITH_TIMEOUT(m_sim->call([&](SimServer &s) { return s.installation().schedule(id)->endTc; }),
                              packed(10, 3, 0, 2), 3000);

    // The simulator's clock moves it through recording and transfer.
    m_sim->call([](SimServer &s) { s.advanceClock(90 * 1000); });
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->taskTimeline(id)->itemData(id)->statusText.startsWith("Waiting"),
                             3000);
    m_sim->call([](SimServer &s) { s.advanceClock(95 * 1000); });
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->taskTimeline(id)->itemData(id)->statusText.startsWith("In-Progress"),
                             3000);
}

QTEST_MAIN(tst_ControllerEditing)
#include "tst_controllerediting.moc"
