// Moving and resizing schedules on the timeline with the mouse, as an operator does it: the real
// main window and controller, mouse events on the schedule's item, and what the simulator got.

#include "simrunner.h"

#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "views/oxamainview.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QString A = QStringLiteral("srv-a");

// The clock stands at 10:00 on a 25 frame master (port 1). "move" and "block" are still to come on
// port 2; "pair" on port 0 has its proxy copy on port 1; "run" on port 3 is recording.
const char kScenario[] = R"({
  "name": "drag",
  "master": {"server": "srv-a", "port": 1},
  "servers": [
    {"id": "srv-a", "name": "Server1", "systemFrequency": 25, "ports": [
      {"port": 0, "rate": "25", "remainMinutes": 6000},
      {"port": 1, "rate": "25", "remainMinutes": 6000},
      {"port": 2, "rate": "25", "remainMinutes": 6000},
      {"port": 3, "rate": "25", "remainMinutes": 6000}]}
  ],
  "gateways": [{"id": "mgw-1", "name": "Archive", "drives": [{"id": "d1", "name": "RAID"}]}],
  "schedules": [
    {"id": "move", "name": "move", "server": "srv-a", "port": 2, "start": "10:30:00:00", "end": "10:32:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "block", "name": "block", "server": "srv-a", "port": 2, "start": "10:33:00:00",
     "end": "10:35:00:00", "master": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "pair", "name": "pair", "server": "srv-a", "port": 0, "proxyPort": 1,
     "start": "10:30:00:00", "end": "10:32:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}, "proxy": {"mgw": "mgw-1", "drive": "d1"}},
    {"id": "run", "name": "run", "server": "srv-a", "port": 3, "start": "09:58:00:00", "end": "10:31:00:00",
     "master": {"mgw": "mgw-1", "drive": "d1"}}
  ]
})";

int packed(int hh, int mm, int ss)
{
    return (hh << 24) | (mm << 16) | (ss << 8);
}

enum Grab { Body, LeftEdge, RightEdge };

} // namespace

class tst_TimelineDrag : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dropSendsTheUpdate_data();
    void dropSendsTheUpdate();
    void nothingSent_data();
    void nothingSent();
    void ctrlZSendsItBack();

private:
    TimelineItemWidget *item(const QString &id) const { return m_controller->taskWidget(id, true); }
    int updates() const
    {
        return m_sim->call([](SimServer &s) { return s.receivedCodes(); }).count(1005);
    }
    trx::ScheduleInfo simSchedule(const QString &id) const
    {
        return m_sim->call(
            [id](SimServer &s) { return s.installation().schedule(id).value_or(trx::ScheduleInfo()); });
    }
    // Presses on the item, moves the mouse along the timeline by `seconds` in four steps and
    // releases, with Escape before the release when asked. The item holds the mouse while the
    // button is down, so every event goes to it. Returns where the item was before the release.
    QRect drag(TimelineItemWidget *w, Grab grab, int seconds, bool escape = false);

    QTemporaryDir m_dir;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
    QStringList m_messages; // the texts of the messages shown (and closed) meanwhile
    QTimer m_closer;
};

void tst_TimelineDrag::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_dir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
    connect(&m_closer, &QTimer::timeout, this, [this] {
        if (auto *message = qobject_cast<ConfirmDialog *>(QApplication::activeModalWidget())) {
            m_messages << message->findChild<QLabel *>(QStringLiteral("m_labelText"))->text();
            message->reject();
        }
    });
    m_closer.start(20);
}

void tst_TimelineDrag::init()
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(kScenario, &error);
    QVERIFY2(sc, qPrintable(error));
    m_sim = std::make_unique<SimRunner>(*sc);
    const QDate today = QDate::currentDate();
    m_sim->call([&](SimServer &s) {
        s.clock().setTimeScale(0);
        s.clock().setNow(QDateTime(today, QTime(10, 0)));
        s.installation().load(*sc);
    });
    QVERIFY(m_sim->start(0) != 0);

    ControllerOptions options;
    options.settingsFile = m_dir.filePath(QStringLiteral("Settings.xml"));
    QFile::remove(options.settingsFile);
    options.link.requestTimeoutMs = 3000;
    options.pollIntervalMs = 100;
    m_controller = std::make_unique<MainController>(options);
    m_view = std::make_unique<OXAMainView>(m_controller.get());
    m_controller->setMainView(m_view.get());
    m_controller->settings()->m_trxmIp = QStringLiteral("127.0.0.1");
    m_controller->settings()->m_trxmPort = m_sim->port();
    QSignalSpy done(m_controller.get(), &MainController::sigInitDone);
    m_controller->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->currentTc().valid, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->mgws().size(), 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_controller->ports().value(A).value(2).ranges.isEmpty(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(item(QStringLiteral("pair")) && item(QStringLiteral("run")), 5000);
    m_controller->slotProxyPortChanged(A, 0, 1);

    // Qt 6 enters a widget shown under the cursor, which would enlarge an item as a hover does.
    QCursor::setPos(QPoint(3000, 3000));
    m_view->resize(2400, 900);
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    // About seven minutes from 10:28 across the window: a pixel is well under half a second.
    m_view->slotLockTimeScroll(false);
    m_view->zoomBy(10000.0 / m_view->viewFrames());
    TimelineWidget *timeline = qobject_cast<TimelineWidget *>(item(QStringLiteral("move"))->parentWidget());
    QVERIFY(timeline);
    const int at1028 = (10 * 3600 + 28 * 60) * 25;
    const int anchor = at1028 - int((50 - m_view->originX()) / timeline->pixelsPerFrame());
    m_view->setScrollPos(anchor - m_view->originFrame());
    QVERIFY(timeline->pixelsPerFrame() > 1.0 / 12);
    for (const QString &id : {QStringLiteral("move"), QStringLiteral("pair"), QStringLiteral("run")})
        QTRY_VERIFY2_WITH_TIMEOUT(item(id)->isVisible(), qPrintable(id), 3000);
    m_sim->call([](SimServer &s) { s.clearReceivedCodes(); });
    m_messages.clear();
}

void tst_TimelineDrag::cleanup()
{
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
    m_sim.reset();
}

QRect tst_TimelineDrag::drag(TimelineItemWidget *w, Grab grab, int seconds, bool escape)
{
    QWidget *timeline = w->parentWidget();
    const int width = w->assignedWidth();
    // The body is taken in the middle of what the view shows of it.
    const int shownLeft = std::max(0, -w->x());
    const int shownRight = std::min(width, timeline->width() - w->x());
    const int grabX = grab == LeftEdge ? 2 : grab == RightEdge ? width - 2 : (shownLeft + shownRight) / 2;
    const QPoint start = w->mapTo(timeline, QPoint(grabX, w->height() / 2));
    const int dx =
        int(std::lround(seconds * 25 * qobject_cast<TimelineWidget *>(timeline)->pixelsPerFrame()));
    const auto send = [&](QEvent::Type type, const QPoint &at, Qt::MouseButton button,
                          Qt::MouseButtons buttons) {
        const QPoint global = timeline->mapToGlobal(at);
        QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        send(QEvent::MouseMove, start + QPoint(dx * step / 4, 0), Qt::NoButton, Qt::LeftButton);
    const QRect during = w->geometry();
    if (escape)
        QTest::keyClick(m_view.get(), Qt::Key_Escape);
    send(QEvent::MouseButtonRelease, start + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
    return during;
}

void tst_TimelineDrag::dropSendsTheUpdate_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("grab");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    // clang-format off
    QTest::newRow("body: later by 30 s") << "move" << int(Body) << 30 << packed(10, 30, 30) << packed(10, 32, 30);
    QTest::newRow("left edge: 40 s earlier") << "move" << int(LeftEdge) << -40 << packed(10, 29, 20) << packed(10, 32, 0);
    QTest::newRow("right edge: 20 s later") << "move" << int(RightEdge) << 20 << packed(10, 30, 0) << packed(10, 32, 20);
    QTest::newRow("with its proxy copy") << "pair" << int(Body) << -45 << packed(10, 29, 15) << packed(10, 31, 15);
    // clang-format on
}

void tst_TimelineDrag::dropSendsTheUpdate()
{
    QFETCH(QString, id);
    QFETCH(int, grab);
    QFETCH(int, seconds);
    QFETCH(int, start);
    QFETCH(int, end);

    drag(item(id), Grab(grab), seconds);
    QTRY_COMPARE_WITH_TIMEOUT(updates(), 1, 3000);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(simSchedule(id).startTc, start);
    QCOMPARE(simSchedule(id).endTc, end);
    QCOMPARE(simSchedule(id).name, id);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().value(id).schedule.startTc, start, 3000);
    // The proxy copy follows its schedule.
    const QString copy = m_controller->findLinkingTask(id);
    if (!copy.isEmpty())
        QCOMPARE(simSchedule(copy).startTc, start);
    QCOMPARE(copy.isEmpty(), id != QLatin1String("pair"));
}

void tst_TimelineDrag::nothingSent_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("follows");    // the item follows the mouse until the release
    QTest::addColumn<QString>("message"); // in the message shown, empty for none
    QTest::addColumn<QString>("notice");  // in the status line, empty for none

    // clang-format off
    QTest::newRow("Esc cancels") << "move" << 30 << true << true << "" << "";
    QTest::newRow("onto the next schedule") << "move" << 120 << false << true << "Next Schedule" << "";
    QTest::newRow("a running schedule") << "run" << 30 << false << false << "" << "'run' is running";
    // clang-format on
}

void tst_TimelineDrag::nothingSent()
{
    QFETCH(QString, id);
    QFETCH(int, seconds);
    QFETCH(bool, escape);
    QFETCH(bool, follows);
    QFETCH(QString, message);
    QFETCH(QString, notice);

    TimelineItemWidget *w = item(id);
    const QRect before = w->geometry();
    QSignalSpy notices(m_controller.get(), &MainController::sigOperatorNotice);
    const QRect during = drag(w, Body, seconds, escape);
    QCOMPARE(during.x() > before.x(), follows);
    QTest::qWait(300);
    QCOMPARE(updates(), 0);
    QCOMPARE(w->geometry(), before);
    QCOMPARE(w->isDragging(), false);
    QCOMPARE(m_messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(m_messages.first().contains(message), qPrintable(m_messages.first()));
    QCOMPARE(notices.size(), notice.isEmpty() ? 0 : 1);
    if (!notice.isEmpty())
        QVERIFY2(notices.first().first().toString().contains(notice),
                 qPrintable(notices.first().first().toString()));
}

void tst_TimelineDrag::ctrlZSendsItBack()
{
    drag(item(QStringLiteral("move")), Body, 30);
    QTRY_COMPARE_WITH_TIMEOUT(simSchedule(QStringLiteral("move")).startTc, packed(10, 30, 30), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->tasks().value(QStringLiteral("move")).schedule.startTc,
                              packed(10, 30, 30), 3000);

    QTest::keyClick(m_view.get(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(updates(), 2, 3000);
    QCOMPARE(simSchedule(QStringLiteral("move")).startTc, packed(10, 30, 0));
    QCOMPARE(simSchedule(QStringLiteral("move")).endTc, packed(10, 32, 0));
    // Once only: a second Ctrl+Z has nothing left to undo.
    QTest::keyClick(m_view.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::qWait(300);
    QCOMPARE(updates(), 2);
}

QTEST_MAIN(tst_TimelineDrag)
#include "tst_timelinedrag.moc"
