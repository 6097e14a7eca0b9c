// What the operator is told and shown while working: the schedule dialog driven with keys and
// the mouse, the messages as the real message box shows them, and the link's retry, all with the
// real controller against the simulator.

#include "controllerharness.h"

#include "controller/linkstatuspresenter.h"
#include "dialogs/createtaskdialog.h"
#include "views/linkstatusbar.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>

namespace {

const QString A = QStringLiteral("srv-a");

const char *guidanceScenarioJson()
{
    return R"({
  "name": "guidance",
  "master": {"server": "srv-a", "port": 1},
  "maintenance": "02:00:00:00",
  "servers": [
    {"id": "srv-a", "name": "Studio A", "systemFrequency": 30, "ports": [
      {"port": 0, "rate": "30", "remainMinutes": 6000},
      {"port": 1, "rate": "30", "remainMinutes": 6000},
      {"port": 2, "rate": "30", "remainMinutes": 6000}]}
  ],
  "gateways": [
    {"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]},
    {"id": "mgw-2", "name": "Proxy", "drives": [{"id": "p1", "name": "Proxy Store"}]}
  ],
  "schedules": [
    {"id": "one", "name": "UX Test One", "server": "srv-a", "port": 2, "start": "12:00:00:00",
     "end": "12:10:00:00", "master": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "proxied", "name": "Evening", "server": "srv-a", "port": 0, "proxyPort": 1,
     "start": "13:00:00:00", "end": "13:10:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}, "proxy": {"mgw": "mgw-2", "drive": "p1"}}
  ]
})";
}

// Bumped after each test: a wait for a box that never came ends with its test.
int g_testRun = 0;

// Runs `act` on the next modal widget of type T once it is up (the caller then starts the flow
// that opens it).
template<class T> void onNextModal(const std::function<void(T &)> &act, int *runs, int testRun = g_testRun)
{
    QTimer::singleShot(20, [act, runs, testRun] {
        if (testRun != g_testRun)
            return;
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal) {
            onNextModal<T>(act, runs, testRun);
            return;
        }
        ++*runs;
        act(*modal);
    });
}

QString messageText(ConfirmDialog &d)
{
    return d.findChild<QLabel *>(QStringLiteral("m_labelText"))->text();
}

QLineEdit *field(CreateTaskDialog &d, const char *name)
{
    return d.findChild<QLineEdit *>(QLatin1String(name));
}

void typeTime(CreateTaskDialog &d, const char *prefix, const QString &hhmmss)
{
    const char *parts[] = {"H", "M", "S"};
    for (int i = 0; i < 3; ++i) {
        QLineEdit *f = field(d, qPrintable(QLatin1String(prefix) + QLatin1String(parts[i])));
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(4, f->height() / 2));
        QApplication::processEvents();
        QTest::keyClicks(f, hhmmss.mid(i * 2, 2));
    }
}

} // namespace

class tst_OperatorGuidance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dialogKeepsItsSizesOverSevenOpens();
    void typedTimeReplacesTheShownOne_data();
    void typedTimeReplacesTheShownOne();
    void hintsBesideTheFields();
    void editModeShowsTheProxyPairing();
    void conflictMessageNamesTheOtherSchedule();
    void startOnAFreshInstallationSendsANamedSchedule();
    void linkDownRefusesBeforeAsking();
    void retryNowAfterTheManagerReturns_data();
    void retryNowAfterTheManagerReturns();

private:
    void start(const std::function<void(ControllerOptions &)> &tweak = {});
    std::optional<trx::ScheduleInfo> simScheduleNamed(const QString &name) const
    {
        const auto all = m_h->sim()->call([](SimServer &s) { return s.installation().schedules(); });
        for (const trx::ScheduleInfo &s : all) {
            if (s.name == name)
                return s;
        }
        return std::nullopt;
    }

    std::unique_ptr<ControllerHarness> m_h;
    QDate m_today;
};

void tst_OperatorGuidance::init()
{
    m_h = std::make_unique<ControllerHarness>();
}

void tst_OperatorGuidance::cleanup()
{
    ++g_testRun;
    m_h.reset();
}

void tst_OperatorGuidance::start(const std::function<void(ControllerOptions &)> &tweak)
{
    const SimScenario sc = scenarioFromJson(guidanceScenarioJson());
    QVERIFY(m_h->startSim(sc));
    m_today = QDate::currentDate();
    // The clock stands at 10:00 and the installation is loaded afresh at that time.
    m_h->sim()->call([&](SimServer &s) {
        s.clock().setTimeScale(0);
        s.clock().setNow(QDateTime(m_today, QTime(10, 0)));
        s.installation().load(sc);
    });
    m_h->createController(0, tweak);
    Settings *settings = m_h->controller()->settings();
    settings->m_strDefaultMasterMgwId = QStringLiteral("mgw-1");
    settings->m_strDefaultMasterDriveId = QStringLiteral("d1");
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_h->controller()->currentTc().valid, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_h->controller()->mgws().size(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_h->controller()->tasks().contains(QStringLiteral("proxied")), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_h->controller()->ports().value(A).value(0).ranges.isEmpty(), 5000);
}

void tst_OperatorGuidance::dialogKeepsItsSizesOverSevenOpens()
{
    start();
    QList<int> nameWidths;
    QList<QList<int>> splits;
    int runs = 0;
    for (int open = 0; open < 7; ++open) {
        onNextModal<CreateTaskDialog>(
            [&](CreateTaskDialog &d) {
                nameWidths << field(d, "name")->width();
                splits << d.findChild<QSplitter *>(QStringLiteral("m_splitter"))->sizes();
                QTest::keyClick(&d, Qt::Key_Escape);
            },
            &runs);
        m_h->controller()->newTask(A, 0);
    }
    QCOMPARE(runs, 7);
    QCOMPARE(nameWidths.count(nameWidths.first()), 7);
    QCOMPARE(splits.count(splits.first()), 7);
    QCOMPARE(splits.first().first(), 365);
}

void tst_OperatorGuidance::typedTimeReplacesTheShownOne_data()
{
    QTest::addColumn<bool>("byTab");
    QTest::newRow("clicked into") << false;
    QTest::newRow("tabbed into") << true;
}

void tst_OperatorGuidance::typedTimeReplacesTheShownOne()
{
    QFETCH(bool, byTab);
    start();
    new LinkStatusPresenter(m_h->controller(), m_h->view());
    int runs = 0;
    int messages = 0;
    QString typed, message;
    onNextModal<CreateTaskDialog>(
        [&](CreateTaskDialog &d) {
            field(d, "name")->setText(QStringLiteral("replaced"));
            d.setStartText(QStringLiteral("150000"));
            d.setEndText(QStringLiteral("170000"));
            // The start hour shows 15; the operator types 16 over it.
            QLineEdit *hour = field(d, "startH");
            if (byTab) {
                field(d, "name")->setFocus();
                QApplication::processEvents();
                // name -> day -> start hour
                QLineEdit *focused = nullptr;
                for (int i = 0; i < 6 && focused != hour; ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    QApplication::processEvents();
                    focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                }
                QCOMPARE(QApplication::focusWidget(), hour);
            } else {
                QTest::mouseClick(hour, Qt::LeftButton, {}, QPoint(hour->width() - 3, hour->height() / 2));
                QApplication::processEvents();
            }
            QTest::keyClicks(hour, QStringLiteral("16"));
            typed = hour->text();
            // A message would mean the time was not taken; it is recorded and both are closed.
            onNextModal<ConfirmDialog>(
                [&](ConfirmDialog &box) {
                    message = messageText(box);
                    QTest::keyClick(&box, Qt::Key_Escape);
                    QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
                },
                &messages);
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("m_btnCreateTaskOK")),
                              Qt::LeftButton);
        },
        &runs);
    m_h->controller()->newTask(A, 0);
    QCOMPARE(runs, 1);
    QCOMPARE(typed, QStringLiteral("16"));
    QCOMPARE(message, QString());
    QTRY_VERIFY_WITH_TIMEOUT(simScheduleNamed(QStringLiteral("replaced")).has_value(), 3000);
    QCOMPARE(simScheduleNamed(QStringLiteral("replaced"))->startTc >> 8, (16 << 16) | (0 << 8) | 0);
    // The status line confirms what went out.
    QCOMPARE(m_h->view()->linkStatusBar()->noticeText(),
             QStringLiteral("Schedule 'replaced' created on Studio A Port A"));
}

void tst_OperatorGuidance::hintsBesideTheFields()
{
    start();
    m_h->controller()->settings()->m_strDefaultTaskName = QStringLiteral("%CAMLBL%_%CDATE%");
    int runs = 0;
    QString overnight, sameDay, preview, plainPreview, proxyTip;
    onNextModal<CreateTaskDialog>(
        [&](CreateTaskDialog &d) {
            QApplication::processEvents();
            typeTime(d, "start", QStringLiteral("230000"));
            typeTime(d, "end", QStringLiteral("225500"));
            overnight = d.nextDayHint();
            typeTime(d, "end", QStringLiteral("235500"));
            sameDay = d.nextDayHint();
            preview = d.namePreview();
            field(d, "name")->setText(QStringLiteral("plain"));
            plainPreview = d.namePreview();
            auto *proxy = d.findChild<QCheckBox *>(QStringLiteral("checkProxy"));
            proxyTip = proxy->isEnabled() ? QString() : proxy->toolTip();
            QTest::keyClick(&d, Qt::Key_Escape);
        },
        &runs);
    m_h->controller()->newTask(A, 1);
    QCOMPARE(runs, 1);
    QCOMPARE(overnight, QStringLiteral("ends next day (%1)").arg(m_today.addDays(1).toString("yyyy/MM/dd")));
    QCOMPARE(sameDay, QString());
    QCOMPARE(preview, QStringLiteral("Port B_%1").arg(m_today.toString("yyyyMMdd")));
    QCOMPARE(plainPreview, QString());
    QCOMPARE(proxyTip, QStringLiteral("This port has no proxy port; pair one in the port's Proxy list"));
}

void tst_OperatorGuidance::editModeShowsTheProxyPairing()
{
    start();
    QAction edit;
    edit.setData(QStringLiteral("proxied"));
    connect(&edit, &QAction::triggered, m_h->controller(), qOverload<>(&MainController::editTask));
    int runs = 0;
    QString title, proxyText, proxyMgw, proxyDrive;
    bool proxyTicked = false;
    onNextModal<CreateTaskDialog>(
        [&](CreateTaskDialog &d) {
            QApplication::processEvents();
            title = d.findChild<QLabel *>(QStringLiteral("m_lblTitle"))->text();
            auto *proxy = d.findChild<QCheckBox *>(QStringLiteral("checkProxy"));
            proxyTicked = proxy->isChecked();
            proxyText = proxy->text();
            proxyMgw = d.findChild<QComboBox *>(QStringLiteral("comboProxyMgws"))->currentText();
            proxyDrive = d.findChild<QComboBox *>(QStringLiteral("comboMgws2"))->currentText();
            QTest::keyClick(&d, Qt::Key_Escape);
        },
        &runs);
    edit.trigger();
    QCOMPARE(runs, 1);
    QCOMPARE(title, QStringLiteral("Edit Schedule"));
    QVERIFY(proxyTicked);
    QCOMPARE(proxyText, QStringLiteral("Port B"));
    // Where the copy goes: the schedule's own proxy gateway and drive, not the master's.
    QCOMPARE(proxyMgw, QStringLiteral("Proxy"));
    QCOMPARE(proxyDrive.toUpper(), QStringLiteral("PROXY STORE"));
}

void tst_OperatorGuidance::conflictMessageNamesTheOtherSchedule()
{
    start();
    int runs = 0;
    QString message;
    onNextModal<CreateTaskDialog>(
        [&](CreateTaskDialog &d) {
            QApplication::processEvents();
            field(d, "name")->setText(QStringLiteral("clash"));
            typeTime(d, "start", QStringLiteral("120500"));
            typeTime(d, "end", QStringLiteral("121500"));
            onNextModal<ConfirmDialog>(
                [&](ConfirmDialog &box) {
                    message = messageText(box);
                    QTest::keyClick(&box, Qt::Key_Escape);
                    QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
                },
                &runs);
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("m_btnCreateTaskOK")),
                              Qt::LeftButton);
        },
        &runs);
    m_h->controller()->newTask(A, 2);
    QCOMPARE(runs, 2);
    QCOMPARE(message,
             QStringLiteral("Studio A Port C: Next Schedule ('UX Test One', 12:00:00:00-12:10:00:00)\n"));
    QVERIFY(!simScheduleNamed(QStringLiteral("clash")));
}

void tst_OperatorGuidance::startOnAFreshInstallationSendsANamedSchedule()
{
    // No settings file: the harness's folder is empty.
    QVERIFY(!QFileInfo::exists(m_h->settingsFile()));
    start();
    Settings *settings = m_h->controller()->settings();
    QCOMPARE(settings->m_strDefaultOpenEndClipName, QStringLiteral("%CAMLBL%_%CDATE%_%TCIN%"));
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-1");
    dst.MasterDriveId = QStringLiteral("d1");
    settings->mergeMgwInfos({{trx::ServerPort(A, 0), dst}});

    ServerPortWidget *row = m_h->controller()->findPortWidget(A, 0);
    QVERIFY(row);
    QTest::mouseClick(row->findChild<QPushButton *>(QStringLiteral("btnStart")), Qt::LeftButton);
    const QString prefix = QStringLiteral("Port A_%1_10").arg(m_today.toString("yyyyMMdd"));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const auto all = m_h->sim()->call([](SimServer &s) { return s.installation().schedules(); });
            for (const trx::ScheduleInfo &s : all) {
                if (s.name.startsWith(prefix) && s.type == 1)
                    return true;
            }
            return false;
        }(),
        3000);
}

void tst_OperatorGuidance::linkDownRefusesBeforeAsking()
{
    start([](ControllerOptions &o) {
        o.retry.backoffMs = {600000};
        o.retry.firstDelayMs = 600000;
    });
    new LinkStatusPresenter(m_h->controller(), m_h->view());
    m_h->stopSim();
    QTRY_VERIFY_WITH_TIMEOUT(!m_h->controller()->isConnected(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_h->view()->isLinkDimmed(), 3000);

    // The row's buttons say why they do nothing.
    ServerPortWidget *row = m_h->controller()->findPortWidget(A, 0);
    QVERIFY(row);
    auto *startButton = row->findChild<QPushButton *>(QStringLiteral("btnStart"));
    QVERIFY(!startButton->isEnabled());
    QCOMPARE(startButton->toolTip(), QStringLiteral("TRXM is not connected."));

    // Delete from the schedule's menu: the only box says the link is down; no question first.
    int runs = 0;
    QStringList shown;
    for (int i = 0; i < 2; ++i) {
        onNextModal<ConfirmDialog>(
            [&](ConfirmDialog &box) {
                shown << messageText(box);
                QTest::keyClick(&box, Qt::Key_Escape);
            },
            &runs);
    }
    QAction remove;
    remove.setData(QStringLiteral("one"));
    connect(&remove, &QAction::triggered, m_h->controller(), qOverload<>(&MainController::removeTask));
    remove.trigger();
    QTest::qWait(200);
    QCOMPARE(shown, QStringList{QStringLiteral("TRXM is not connected.")});
}

void tst_OperatorGuidance::retryNowAfterTheManagerReturns_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("F5") << true;
    QTest::newRow("click on the banner") << false;
}

void tst_OperatorGuidance::retryNowAfterTheManagerReturns()
{
    QFETCH(bool, byKey);
    // Waits far longer than any test: only the operator's request can bring the link back.
    start([](ControllerOptions &o) {
        o.retry.firstDelayMs = 600000;
        o.retry.backoffMs = {600000};
    });
    new LinkStatusPresenter(m_h->controller(), m_h->view());
    m_h->view()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_h->view()));
    const quint16 port = m_h->sim()->port();
    m_h->stopSim();
    QTRY_VERIFY_WITH_TIMEOUT(!m_h->controller()->isConnected(), 5000);
    LinkStatusBar *bar = m_h->view()->linkStatusBar();
    QTRY_VERIFY_WITH_TIMEOUT(bar->isLinkAlarm(), 3000);
    QVERIFY(bar->linkText().startsWith(QLatin1String("TRXM disconnected, retrying in ")));
    QVERIFY(m_h->controller()->retryRemainingMs() > 60000);

    QVERIFY(m_h->startSim(scenarioFromJson(guidanceScenarioJson()), port));
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    if (byKey)
        QTest::keyClick(m_h->view(), Qt::Key_F5);
    else
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->bannerRect().center());
    QTRY_VERIFY_WITH_TIMEOUT(m_h->controller()->isConnected(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isLinkAlarm(), 3000);
}

QTEST_MAIN(tst_OperatorGuidance)
#include "tst_operatorguidance.moc"
