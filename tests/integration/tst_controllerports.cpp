// Port status and the master clock against the simulator: remaining time and loop recording, the
// REC button, usable ranges, link states, master changes and dates, and the poll on its thread.

#include "controllerharness.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "platform/idbg.h"
#include "views/painttcscale.h"
#include "widgets/inputtcwidget.h"
#include "widgets/proxycombobox.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {

const char *portsScenarioJson()
{
    return R"({
  "name": "ports",
  "master": {"server": "srv-a", "port": 0},
  "servers": [
    {"id": "srv-a", "name": "A", "systemFrequency": 25, "remainText": "Loop Off", "ports": [
      {"port": 0, "camera": 2, "rate": "25"},
      {"port": 1, "camera": 1, "rate": "25", "remainMinutes": 125},
      {"port": 2, "camera": 3, "rate": "25", "tcOffsetFrames": 24},
      {"port": 3, "camera": 4, "rate": "25", "tcOffsetFrames": 25, "recording": false}]},
    {"id": "srv-b", "name": "B", "systemFrequency": 25, "ports": [
      {"port": 0, "rate": "25", "tcOffsetFrames": -24}, {"port": 1, "rate": "25", "tcOffsetFrames": -25}]},
    {"id": "srv-c", "name": "C", "systemFrequency": 25, "ports": [{"port": 0, "rate": "25"}]}
  ],
  "schedules": [
    {"id": "done", "server": "srv-a", "port": 0, "startIn": -7200, "duration": 600},
    {"id": "later", "server": "srv-a", "port": 0, "startIn": 3600, "duration": 600}
  ]
})";
}

const QString A = QStringLiteral("srv-a");
const QString B = QStringLiteral("srv-b");
const QString C = QStringLiteral("srv-c");

int countOf(const QList<int> &codes, int code)
{
    return int(std::count(codes.cbegin(), codes.cend(), code));
}

} // namespace

class tst_ControllerPorts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void masterAndDateFromTheManager();
    void sameMasterTwiceChangesNothing();
    void otherPortOfSameServerReanchorsWithoutRegistering();
    void otherServerRegistersBoth();
    void bothFlagsSetMasterThenDate();
    void setDateKeepsOffsetWithoutMasterTimecode_data();
    void setDateKeepsOffsetWithoutMasterTimecode();
    void lostMasterServerMovesToAnotherServer();
    void tcButtonMakesThePortMaster();
    void linkStatesAgainstTheMaster_data();
    void linkStatesAgainstTheMaster();
    void remainingTimeTextsAndLoop();
    void loopFallingOffRemovesUnscheduledSchedules();
    void repeatedKind5ShowsNothing();
    void recStartsPortAndProxy();
    void usableRangesReachTimelinesAndTest();
    void viewMovesInTheSameFrame_data();
    void viewMovesInTheSameFrame();
    void rowScrolledIntoViewIsCurrent_data();
    void rowScrolledIntoViewIsCurrent();
    void ctrlWheelOverAnItemZooms();
    void openEndItemReachesNow();
    void removedClipKeepsItsMarkThroughChanges();
    void workingDateMovesItemsByWholeDays_data();
    void workingDateMovesItemsByWholeDays();
    void bandsEndAtNowOnEveryRate_data();
    void bandsEndAtNowOnEveryRate();
    void recordingStateFollowsTheManager();
    void busyGuiThreadGetsNoPileOfPolls();
    void slowManagerStillShutsDown();

private:
    void start(ControllerHarness &h, const SimScenario &scenario = scenarioFromJson(portsScenarioJson()));
    QTemporaryDir m_logDir;
};

void tst_ControllerPorts::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_ControllerPorts::start(ControllerHarness &h, const SimScenario &scenario)
{
    QVERIFY(h.startSim(scenario));
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    // The manager names the master once the schedules are loaded; its first state follows.
    QTRY_COMPARE_WITH_TIMEOUT(h.controller()->masterPort(), trx::ServerPort(A, 0), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(h.controller()->currentTc().valid, 5000);
    QTRY_VERIFY(!h.controller()->masterChangePending());
}

void tst_ControllerPorts::masterAndDateFromTheManager()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    QCOMPARE(c->findPortWidget(A, 0)->tcStatus(), 2);
    QCOMPARE(c->settings()->m_date, QDate::currentDate());
    QCOMPARE(c->currentTc().rate, frameRateFor(25, false));
    // The main window and every timeline follow the master clock.
    QTRY_COMPARE(h.view()->currentTc().frames, c->currentTc().frames);
    TimelineWidget *timeline = c->findPortWidget(B, 1)->timeline();
    QTRY_COMPARE(timeline->currentTc().frames, c->currentTc().frames);
    // A resize moves the window's anchor; the next master state brings it to the timelines.
    QTRY_COMPARE(timeline->anchorFrame(), h.view()->anchorFrame());
    QTRY_COMPARE(timeline->anchorX(), h.view()->originX());
}

void tst_ControllerPorts::sameMasterTwiceChangesNothing()
{
    ControllerHarness h;
    start(h);
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    h.controller()->setMasterPort(trx::ServerPort(A, 0));
    QVERIFY(!h.controller()->masterChangePending());
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 3), 0);
    QCOMPARE(h.controller()->findPortWidget(A, 0)->tcStatus(), 2);
}

void tst_ControllerPorts::otherPortOfSameServerReanchorsWithoutRegistering()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    QSignalSpy zoom(h.view(), &OXAMainView::sigUpdateView);
    c->setMasterPort(trx::ServerPort(A, 1));
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 3), 0);
    QVERIFY(c->masterChangePending());
    QCOMPARE(c->findPortWidget(A, 1)->tcStatus(), 2);
    QCOMPARE(c->findPortWidget(A, 0)->tcStatus(), 0);
    QCOMPARE(c->findPortWidget(B, 0)->tcStatus(), 0);
    // The next master state re-anchors the window (which re-applies its zoom).
    QTRY_VERIFY(!c->masterChangePending());
    QVERIFY(zoom.count() >= 1);
}

void tst_ControllerPorts::otherServerRegistersBoth()
{
    ControllerHarness h;
    start(h);
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    h.controller()->setMasterPort(trx::ServerPort(B, 1));
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 3), 2);
    QVERIFY(h.controller()->masterChangePending());
    QCOMPARE(h.controller()->findPortWidget(B, 1)->tcStatus(), 2);
    QCOMPARE(h.controller()->findPortWidget(A, 0)->tcStatus(), 0);
}

void tst_ControllerPorts::bothFlagsSetMasterThenDate()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    trx::MasterPortSync sync;
    sync.serverId = B;
    sync.portNo = 0;
    sync.date = QDate(2026, 12, 24);
    // The link's thread makes this call; both halves reach the controller's thread in order.
    std::thread link([c, sync] { c->masterPortSynced(sync, 3); });
    link.join();
    QTRY_COMPARE(c->settings()->m_date, QDate(2026, 12, 24));
    QCOMPARE(c->masterPort(), trx::ServerPort(B, 0));
    QCOMPARE(c->findPortWidget(B, 0)->tcStatus(), 2);

    // Flag 1 alone leaves the date; flag 2 alone leaves the master.
    sync.date = QDate(2026, 12, 25);
    c->masterPortSynced(sync, 2);
    QTRY_COMPARE(c->settings()->m_date, QDate(2026, 12, 25));
    sync.serverId = A;
    sync.date = QDate(2027, 1, 1);
    c->masterPortSynced(sync, 1);
    QTRY_COMPARE(c->masterPort(), trx::ServerPort(A, 0));
    QCOMPARE(c->settings()->m_date, QDate(2026, 12, 25));
}

void tst_ControllerPorts::setDateKeepsOffsetWithoutMasterTimecode_data()
{
    QTest::addColumn<int>("masterTc");
    QTest::addColumn<bool>("offsetChanges");
    QTest::newRow("no timecode") << -1 << false;
    QTest::newRow("midnight counts as none") << 0 << false;
    QTest::newRow("ten o'clock") << ((10 << 24) | (30 << 16)) << true;
}

void tst_ControllerPorts::setDateKeepsOffsetWithoutMasterTimecode()
{
    QFETCH(int, masterTc);
    QFETCH(bool, offsetChanges);
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    trx::PortState state = c->masterPortState();
    state.currentTc = masterTc;
    c->settings()->m_offsetSecs = 12345;
    // Both on this thread in one go: no push can replace the master state in between.
    c->updateTimeline(state);
    const QDate date = QDate::currentDate().addDays(3);
    c->setDate(date);
    QCOMPARE(c->settings()->m_date, date);
    QCOMPARE(c->settings()->m_offsetSecs != 12345, offsetChanges);
    QCOMPARE(h.view()->gotoDayCombo()->currentText(), date.toString(QStringLiteral("yyyy/MM/dd")));
}

void tst_ControllerPorts::lostMasterServerMovesToAnotherServer()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    c->findPortWidget(B, 0)->setLoopStatus(false);
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    c->slotReSetMasterTc(A);
    QCOMPARE(c->masterPort(), trx::ServerPort(B, 0));
    QCOMPARE(c->findPortWidget(B, 0)->tcStatus(), 2);
    QVERIFY(c->findPortWidget(B, 0)->recButton()->isEnabled());
    // The manager hears of it as of a TC button press.
    QTRY_COMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 1007), 1);
}

void tst_ControllerPorts::tcButtonMakesThePortMaster()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    ServerPortWidget *row = c->findPortWidget(B, 1);
    QTRY_COMPARE(row->tcStatus(), 3);
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    row->tcButton()->click();
    QCOMPARE(c->masterPort(), trx::ServerPort(B, 1));
    QCOMPARE(row->tcStatus(), 2);
    QCOMPARE(row->tcButton()->property("TcStatus").toString(), QStringLiteral("Master"));
    // The manager takes the new master, and the old one is now measured against it.
    QTRY_COMPARE(h.sim()->call([](SimServer &s) { return s.installation().masterPort(); })->portNo, 1);
    QCOMPARE(h.sim()->call([](SimServer &s) { return s.installation().masterPort(); })->serverId, B);
    QTRY_COMPARE(c->findPortWidget(A, 0)->tcStatus(), 3);
    QTRY_VERIFY(!c->masterChangePending());
    QCOMPARE(c->masterPort(), trx::ServerPort(B, 1));
}

void tst_ControllerPorts::linkStatesAgainstTheMaster_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("status");
    QTest::newRow("same clock") << A << 1 << 1;
    QTest::newRow("24 frames ahead") << A << 2 << 1;
    QTest::newRow("25 frames ahead") << A << 3 << 3;
    QTest::newRow("24 frames behind, other server") << B << 0 << 1;
    QTest::newRow("25 frames behind, other server") << B << 1 << 3;
    QTest::newRow("the master itself") << A << 0 << 2;
}

void tst_ControllerPorts::linkStatesAgainstTheMaster()
{
    QFETCH(QString, server);
    QFETCH(int, port);
    QFETCH(int, status);
    ControllerHarness h;
    start(h);
    ServerPortWidget *row = h.controller()->findPortWidget(server, port);
    QTRY_COMPARE(row->tcStatus(), status);
    const char *texts[] = {"None", "Link", "Master", "UnLink"};
    QCOMPARE(row->tcButton()->property("TcStatus").toString(), QLatin1String(texts[status]));
}

void tst_ControllerPorts::remainingTimeTextsAndLoop()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    // Camera map of srv-a: camera 1 -> port 1, 2 -> 0, 3 -> 2, 4 -> 3.
    QTRY_VERIFY(c->trainStarts().contains(trx::ServerPort(A, 1)));
    QTRY_COMPARE(c->findPortWidget(A, 1)->remainTime(), QStringLiteral("02H 05M"));
    for (int port = 0; port < 4; ++port)
        c->findPortWidget(A, port)->setRemainTime(QStringLiteral("keep"));
    const auto loopBefore = c->loopRecModes();
    const auto framesBefore = c->remainFrames();

    c->updatePortsRemainTime(A, QStringLiteral("1|2|3"));
    for (int port = 0; port < 4; ++port)
        QCOMPARE(c->findPortWidget(A, port)->remainTime(), QStringLiteral("keep"));
    QCOMPARE(c->loopRecModes(), loopBefore);
    QCOMPARE(c->remainFrames(), framesBefore);

    c->updatePortsRemainTime(A, QStringLiteral("125|-1|0|6000"));
    QCOMPARE(c->findPortWidget(A, 1)->remainTime(), QStringLiteral("02H 05M"));
    QCOMPARE(c->findPortWidget(A, 0)->remainTime(), QStringLiteral("Loop Off"));
    QCOMPARE(c->findPortWidget(A, 2)->remainTime(), QStringLiteral("00H 00M"));
    QCOMPARE(c->findPortWidget(A, 3)->remainTime(), QStringLiteral("100H 00M"));
    QCOMPARE(c->loopRecModes().value(trx::ServerPort(A, 0)), false);
    QCOMPARE(c->loopRecModes().value(trx::ServerPort(A, 2)), true);
    QCOMPARE(c->loopRecModes().value(trx::ServerPort(A, 1)), true);
    // The frames follow the port's own rate (25) once the poll has seen its recording.
    QCOMPARE(c->remainFrames().value(A).value(1), (2 * 3600 + 5 * 60) * 25);
    QCOMPARE(c->remainFrames().value(A).value(2), 0);
    QVERIFY(!c->remainFrames().value(A).contains(0));
    QCOMPARE(c->findPortWidget(A, 1)->timeline()->remainX(),
             c->findPortWidget(A, 1)->timeline()->columnOf(qint64(c->currentTc().frames) + 187500));
    QCOMPARE(c->findPortWidget(A, 0)->timeline()->remainX(), -1);
    // Out of loop recording the row is covered and its controls are off.
    QVERIFY(!c->findPortWidget(A, 0)->recButton()->isEnabled());
    QVERIFY(c->findPortWidget(A, 2)->recButton()->isEnabled());

    c->updatePortsRemainTime(A, QStringLiteral("125|0|0|6000"));
    QCOMPARE(c->findPortWidget(A, 0)->remainTime(), QStringLiteral("00H 00M"));
    QCOMPARE(c->loopRecModes().value(trx::ServerPort(A, 0)), true);
    QVERIFY(c->findPortWidget(A, 0)->recButton()->isEnabled());
}

void tst_ControllerPorts::loopFallingOffRemovesUnscheduledSchedules()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    QTRY_VERIFY(c->tasks().contains(QStringLiteral("done")) && c->tasks().contains(QStringLiteral("later")));
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    c->updateLoopRecStatus(A, 0, false);
    // Only the schedule that is no longer waiting for its time goes; the future one stays.
    QTRY_VERIFY(!c->tasks().contains(QStringLiteral("done")));
    QVERIFY(c->tasks().contains(QStringLiteral("later")));
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 1003), 1);
    // Falling off again (already off) sends nothing more.
    c->updateLoopRecStatus(A, 0, false);
    QTest::qWait(200);
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 1003), 1);
}

void tst_ControllerPorts::repeatedKind5ShowsNothing()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    ServerPortWidget *row = c->findPortWidget(B, 0);
    std::thread([c] { c->remainTimeChanged(B, 5, QStringLiteral("7|8")); }).join();
    QTRY_COMPARE(row->remainTime(), QStringLiteral("00H 07M"));
    row->setRemainTime(QStringLiteral("keep"));
    std::thread([c] { c->remainTimeChanged(B, 5, QStringLiteral("7|8")); }).join();
    QTest::qWait(100);
    QCOMPARE(row->remainTime(), QStringLiteral("keep"));
    // Kinds other than 3 and 5 are not ours.
    std::thread([c] { c->remainTimeChanged(B, 4, QStringLiteral("1|2")); }).join();
    QTest::qWait(100);
    QCOMPARE(row->remainTime(), QStringLiteral("keep"));
}

void tst_ControllerPorts::recStartsPortAndProxy()
{
    ControllerHarness h;
    {
        // Port 3 records the proxy of port 0.
        Settings stored;
        PortViewInfo info;
        info.ProxyPort = 3;
        stored.m_portInfos.insert(trx::ServerPort(A, 0), info);
        QVERIFY(stored.save(h.settingsFile()));
    }
    start(h);
    MainController *c = h.controller();
    h.sim()->call([](SimServer &s) {
        s.installation().setPortRecording(A, 0, false);
        s.clearReceivedCodes();
    });
    QTRY_VERIFY(!c->findPortWidget(A, 0)->recButton()->isChecked());

    c->setREC(A, 0, false);
    QTest::qWait(200);
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 27), 0);

    c->setREC(A, 0, true);
    QTRY_COMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 27), 2);
    const auto states = h.sim()->call([](SimServer &s) { return s.installation().portStates(A); });
    QVERIFY(states.value(0).recording);
    QVERIFY(states.value(3).recording);
    QTRY_VERIFY(c->findPortWidget(A, 0)->recButton()->isChecked());
    QCOMPARE(c->findPortWidget(A, 0)->recButton()->property("Recording").toString(), QStringLiteral("Yes"));
    QTRY_VERIFY(c->findPortWidget(A, 0)->proxyRecButton()->isChecked());

    // A port without a row sends nothing.
    h.sim()->call([](SimServer &s) { s.clearReceivedCodes(); });
    c->setREC(A, 7, true);
    QTest::qWait(200);
    QCOMPARE(countOf(h.sim()->call([](SimServer &s) { return s.receivedCodes(); }), 27), 0);
}

void tst_ControllerPorts::usableRangesReachTimelinesAndTest()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    QTRY_VERIFY(!c->ports().value(A).value(0).ranges.isEmpty());
    QTRY_COMPARE(c->findPortWidget(A, 0)->timeline()->masterRanges(), c->ports().value(A).value(0).ranges);

    const FrameRate rate = c->currentTc().rate;
    const int perDay = rate.mode->frames_per_day();
    const int hour = 3600 * 25;
    const auto packedOf = [&rate, perDay](int frames) {
        return bcdToPacked(int(rate.mode->frames_to_tc(((frames % perDay) + perDay) % perDay)));
    };
    const int now = c->currentTc().frames;
    const QDate date = c->settings()->m_date.addDays(now - hour < 0 ? -1 : 0);
    const int hourAgo = packedOf(now - hour);
    const int hourAhead = packedOf(now + hour);
    const int twoHoursAhead = packedOf(now + 2 * hour);

    // The recording in progress covers a past start running into the future.
    QVERIFY(c->usableRangeAccepts(A, {0}, hourAgo, hourAhead, date));
    // A port list is tried in order until one accepts; unknown ports are passed over.
    QVERIFY(c->usableRangeAccepts(A, {7, 0}, hourAgo, hourAhead, date));
    QVERIFY(!c->usableRangeAccepts(A, {7}, hourAgo, hourAhead, date));
    QVERIFY(!c->usableRangeAccepts(QStringLiteral("srv-unknown"), {0}, hourAgo, hourAhead, date));

    // A server out of service has no ranges: not even a future start is covered.
    h.sim()->call([](SimServer &s) { s.installation().setServerConnected(C, false); });
    QTRY_VERIFY(c->ports().value(C).value(0).ranges.isEmpty());
    QTRY_VERIFY(c->findPortWidget(C, 0)->timeline()->masterRanges().isEmpty());
    const QDate today = c->settings()->m_date.addDays(now + hour >= perDay ? 1 : 0);
    QVERIFY(!c->usableRangeAccepts(C, {0}, hourAhead, twoHoursAhead, today));
    QVERIFY(c->usableRangeAccepts(B, {0}, hourAhead, twoHoursAhead, today));

    // The 24-hour line lies one day after the recording began.
    QTRY_VERIFY(c->lines24h().contains(trx::ServerPort(A, 0)));
    const int line = c->lines24h().value(trx::ServerPort(A, 0));
    const UsableRange last = c->ports().value(A).value(0).ranges.last();
    QCOMPARE(line, last.start + perDay);
}

void tst_ControllerPorts::viewMovesInTheSameFrame_data()
{
    QTest::addColumn<QString>("input");
    for (const char *input : {"scroll bar", "ctrl+drag", "left", "right", "zoom slider", "ctrl+wheel", "plus",
                              "minus", "go", "home", "alt+left while locked", "ctrl+drag while locked"})
        QTest::newRow(input) << QString::fromLatin1(input);
}

// Every navigation input moves the items, the current-timecode line and the scale before the
// next timecode update: the simulator's clock stands still and no event is processed in between.
void tst_ControllerPorts::viewMovesInTheSameFrame()
{
    QFETCH(QString, input);
    ControllerHarness h;
    start(h);
    h.sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
    MainController *c = h.controller();
    OXAMainView *view = h.view();
    view->zoomSlider()->setValue(110); // a few hours across: both schedules of port A/0 in view
    view->slotLockTimeScroll(false);
    view->setScrollPos(-600 * 25); // ten minutes back, so that "now" is still in view
    if (input.endsWith(QLatin1String("while locked")))
        view->slotLockTimeScroll(true);
    TimelineWidget *timeline = c->findPortWidget(A, 0)->timeline();
    QTRY_VERIFY(h.itemWidget(QStringLiteral("later")) && h.itemWidget(QStringLiteral("later"))->isVisible());
    TimelineItemWidget *item = h.itemWidget(QStringLiteral("later"));
    // The row clicked last is the one Alt+Left works on.
    QTest::mouseClick(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QApplication::processEvents();

    const int itemX = item->x();
    const int lineX = view->tcLine()->x();
    const int anchor = view->anchorFrame();
    const int frames = view->viewFrames();
    // Keys go to the window, not to a text field that had the focus.
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    const QMap<int, QString> labels = view->scaleWidget()->labels();
    const QPoint inside = item->rect().center();
    if (input == QLatin1String("scroll bar")) {
        view->timeScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    } else if (input.startsWith(QLatin1String("ctrl+drag"))) {
        QTest::mousePress(timeline, Qt::LeftButton, Qt::ControlModifier, QPoint(300, 60));
        QMouseEvent move(QEvent::MouseMove, QPointF(200, 60), QPointF(timeline->mapToGlobal(QPoint(200, 60))),
                         Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(timeline, &move);
    } else if (input == QLatin1String("left") || input == QLatin1String("right")) {
        view->setFocus();
        QTest::keyClick(view, input == QLatin1String("left") ? Qt::Key_Left : Qt::Key_Right);
    } else if (input == QLatin1String("zoom slider")) {
        view->zoomSlider()->setValue(90);
    } else if (input == QLatin1String("ctrl+wheel")) {
        QWheelEvent e(QPointF(inside), QPointF(item->mapToGlobal(inside)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(item, &e);
    } else if (input == QLatin1String("plus") || input == QLatin1String("minus")) {
        view->setFocus();
        QTest::keyClick(view, input == QLatin1String("plus") ? Qt::Key_Plus : Qt::Key_Minus);
    } else if (input == QLatin1String("go")) {
        // Half an hour from now: the item stays in view.
        const int target = c->currentTc().frames + 1800 * 25;
        const int perDay = c->currentTc().rate.mode->frames_per_day();
        const int seconds = (target % perDay) / 25;
        view->gotoDayCombo()->setCurrentIndex(target >= perDay ? 8 : 7);
        view->gotoTcInput()->setText(QStringLiteral("%1%2%3")
                                         .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                                         .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                         .arg(seconds % 60, 2, 10, QLatin1Char('0')));
        view->gotoButton()->click();
    } else if (input == QLatin1String("home")) {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Home);
    } else if (input == QLatin1String("alt+left while locked")) {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Left, Qt::AltModifier);
    }

    QVERIFY(view->anchorFrame() != anchor || view->viewFrames() != frames);
    QCOMPARE(timeline->anchorFrame(), view->anchorFrame());
    QCOMPARE(timeline->viewFrames(), view->viewFrames());
    // An item still in view sits at its new column; one scrolled out is hidden.
    // Out of view no widget may draw it at all.
    TimelineItemWidget *moved = h.itemWidget(QStringLiteral("later"));
    QVERIFY2(!moved || moved->isHidden() || moved->x() != itemX, "the item did not move");
    if (moved && !moved->isHidden())
        QCOMPARE(moved->x(), timeline->columnOf(moved->startFrame()));
    QVERIFY2(view->tcLine()->isHidden() || view->tcLine()->x() != lineX,
             "the current-timecode line did not move");
    QVERIFY(view->scaleWidget()->labels() != labels);
    // Moving the view away from "now" ends following it.
    if (input != QLatin1String("home"))
        QVERIFY(!view->isLocked());
}

void tst_ControllerPorts::rowScrolledIntoViewIsCurrent_data()
{
    QTest::addColumn<QString>("input");
    for (const char *input : {"ctrl+wheel", "ctrl+drag", "poll"})
        QTest::newRow(input) << QString::fromLatin1(input);
}

// A row out of view follows no zoom or pan and repaints nothing the poll brings; scrolled back into
// view it shows the axis, the ranges and its schedules as a row that stayed in view would.
void tst_ControllerPorts::rowScrolledIntoViewIsCurrent()
{
    QFETCH(QString, input);
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    OXAMainView *view = h.view();
    view->zoomSlider()->setValue(110);
    view->slotLockTimeScroll(false);
    view->setScrollPos(-600 * 25);
    TimelineWidget *top = c->findPortWidget(A, 0)->timeline();
    TimelineWidget *bottom = c->findPortWidget(C, 0)->timeline();
    QTRY_VERIFY(h.itemWidget(QStringLiteral("later")) && h.itemWidget(QStringLiteral("later"))->isVisible());
    QScrollBar *rows = view->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
    rows->setValue(rows->maximum());
    QVERIFY(!h.itemWidget(QStringLiteral("later")));

    const int frames = view->viewFrames();
    const int anchor = view->anchorFrame();
    const QPoint at(bottom->width() / 2, 20);
    if (input == QLatin1String("ctrl+wheel")) {
        QWheelEvent e(QPointF(at), QPointF(bottom->mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bottom, &e);
        QVERIFY(view->viewFrames() != frames);
    } else if (input == QLatin1String("ctrl+drag")) {
        QTest::mousePress(bottom, Qt::LeftButton, Qt::ControlModifier, at);
        QMouseEvent move(QEvent::MouseMove, QPointF(at - QPoint(100, 0)),
                         QPointF(bottom->mapToGlobal(at - QPoint(100, 0))), Qt::NoButton, Qt::LeftButton,
                         Qt::ControlModifier);
        QApplication::sendEvent(bottom, &move);
        QTest::mouseRelease(bottom, Qt::LeftButton, Qt::ControlModifier, at - QPoint(100, 0));
        QVERIFY(view->anchorFrame() != anchor);
    } else {
        // The recording goes on: the next polls lengthen the port's ranges.
        const QList<UsableRange> before = c->ports().value(A).value(0).ranges;
        QTRY_VERIFY(c->ports().value(A).value(0).ranges != before);
    }

    rows->setValue(0);
    QCOMPARE(top->viewFrames(), view->viewFrames());
    QCOMPARE(top->anchorFrame(), view->anchorFrame());
    QCOMPARE(top->masterRanges(), c->ports().value(A).value(0).ranges);
    TimelineItemWidget *item = h.itemWidget(QStringLiteral("later"));
    QVERIFY(item && item->isVisible());
    const TimelineItemData *data = top->itemData(QStringLiteral("later"));
    QCOMPARE(item->x(), top->columnOf(data->startFrame));
    QCOMPARE(item->width(), std::max(1, int(data->length * top->pixelsPerFrame())));
}

void tst_ControllerPorts::ctrlWheelOverAnItemZooms()
{
    ControllerHarness h;
    start(h);
    OXAMainView *view = h.view();
    view->zoomSlider()->setValue(110);
    view->slotLockTimeScroll(true);
    QTRY_VERIFY(h.itemWidget(QStringLiteral("later")) && h.itemWidget(QStringLiteral("later"))->isVisible());
    TimelineItemWidget *item = h.itemWidget(QStringLiteral("later"));
    auto *scroll = view->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QVERIFY(scroll);
    const int rowsScrolled = scroll->verticalScrollBar()->value();
    const int frames = view->viewFrames();
    const QPoint inside = item->rect().center();
    for (const int delta : {120, 120, -120}) {
        QWheelEvent e(QPointF(inside), QPointF(item->mapToGlobal(inside)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        e.ignore();
        QApplication::sendEvent(item, &e);
        // Taken: a wheel event from the window system that is not accepted goes on to every
        // parent of the item, and each would zoom again.
        QVERIFY(e.isAccepted());
    }
    // Two notches in and one out leave one notch in; the port list did not scroll.
    QVERIFY(qAbs(view->viewFrames() - frames * 0.85) <= 2);
    QCOMPARE(scroll->verticalScrollBar()->value(), rowsScrolled);
    QCOMPARE(h.controller()->settings()->m_iZoomValue, view->zoomSlider()->value());
}

// A running open-end schedule reaches the current-timecode line, grows with it and shows its name.
void tst_ControllerPorts::openEndItemReachesNow()
{
    ControllerHarness h;
    start(h, scenarioFromJson(R"({"name": "open", "master": {"server": "srv-a", "port": 0},
  "servers": [{"id": "srv-a", "name": "A", "systemFrequency": 25, "ports": [{"port": 0, "rate": "25"}]}],
  "schedules": [{"id": "open", "name": "open", "server": "srv-a", "port": 0, "type": 1, "startIn": -300}]})"));
    h.sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
    OXAMainView *view = h.view();
    view->zoomSlider()->setValue(200); // about half an hour across
    view->slotLockTimeScroll(true);
    QTRY_VERIFY(h.itemWidget(QStringLiteral("open")) && h.itemWidget(QStringLiteral("open"))->isVisible());
    const TimelineItemData *item = h.item(QStringLiteral("open"));
    TimelineWidget *timeline = h.controller()->findPortWidget(A, 0)->timeline();
    const auto endAtNow = [&] {
        return qAbs(item->startFrame + item->length - h.controller()->currentTc().frames) <= 1;
    };
    QTRY_VERIFY(endAtNow());
    const int length = item->length;
    QVERIFY(qAbs(length - 300 * 25) <= 25);
    // The item's right end is at the current-timecode line.
    const int lineColumn = view->tcLine()->x() - OXAMainView::TimelineLeft;
    QVERIFY(qAbs(timeline->columnOf(qint64(item->startFrame) + item->length) - lineColumn) <= 2);

    h.sim()->call([](SimServer &s) { s.advanceClock(60000); });
    QTRY_VERIFY(item->length >= length + 60 * 25 - 1);
    QVERIFY(endAtNow());
    QVERIFY(h.itemWidget(QStringLiteral("open"))->drawnTexts().contains(QStringLiteral("open")));
}

void tst_ControllerPorts::removedClipKeepsItsMarkThroughChanges()
{
    ControllerHarness h;
    start(h);
    const QString id = QStringLiteral("later");
    QTRY_VERIFY(h.item(id));
    ScheduleInfo sch = h.controller()->tasks().value(id).schedule;
    const auto marked = [&] { return h.item(id)->values.value(TimelineItemWidget::ClipRemovedKey).toBool(); };
    QVERIFY(!marked());

    h.controller()->markClipRemoved(A, sch.master.clipId);
    QVERIFY(marked());
    // A progress push rebuilds the item from the schedule: the mark stays.
    sch.master.progress = 40;
    h.controller()->scheduleInfoChanged(sch);
    QCOMPARE(h.item(id)->progress1, 40);
    QVERIFY(marked());
    // Another clip is another recording: its removal was not this one.
    sch.master.clipId += QStringLiteral("-new");
    h.controller()->scheduleInfoChanged(sch);
    QVERIFY(!marked());
}

void tst_ControllerPorts::workingDateMovesItemsByWholeDays_data()
{
    QTest::addColumn<int>("days");
    QTest::newRow("the same date again") << 0;
    QTest::newRow("a day later") << 1;
    QTest::newRow("two days earlier") << -2;
}

void tst_ControllerPorts::workingDateMovesItemsByWholeDays()
{
    QFETCH(int, days);
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    const QString id = QStringLiteral("later");
    QTRY_VERIFY(h.item(id));
    const int startFrame = h.item(id)->startFrame;
    const int perDay = c->tasks().value(id).start.rate.mode->frames_per_day();
    c->setDate(c->settings()->m_date.addDays(days));
    // The schedule keeps its own date: seen from a later working date it lies that much earlier.
    QCOMPARE(h.item(id)->startFrame, startFrame - days * perDay);
    QCOMPARE(c->tasks().value(id).start.frames, startFrame - days * perDay);
}

void tst_ControllerPorts::bandsEndAtNowOnEveryRate_data()
{
    QTest::addColumn<int>("masterPort");
    QTest::addColumn<int>("port");
    // Ports 0..3 run at 24, 25, 29.97 drop-frame and 30; the master is port 1 or port 2.
    const char *rates[] = {"24", "25", "29.97df", "30"};
    for (const int master : {1, 2}) {
        for (int port = 0; port < 4; ++port)
            QTest::addRow("master %s, port %s", rates[master], rates[port]) << master << port;
    }
}

// The recorded band of a port on any rate ends at the master's "now" and starts when its recording
// began, both counted here from the simulator's wall clock at the master's real rate.
void tst_ControllerPorts::bandsEndAtNowOnEveryRate()
{
    QFETCH(int, masterPort);
    QFETCH(int, port);
    const QByteArray json = QByteArrayLiteral(R"({"name": "rates",
  "master": {"server": "srv-a", "port": )") +
                            QByteArray::number(masterPort) + R"(},
  "servers": [{"id": "srv-a", "name": "A", "systemFrequency": 25, "ports": [
    {"port": 0, "rate": "24", "trainHours": 2.5}, {"port": 1, "rate": "25", "trainHours": 2.5},
    {"port": 2, "rate": "29.97df", "trainHours": 2.5}, {"port": 3, "rate": "30", "trainHours": 2.5}]}]})";
    ControllerHarness h;
    QVERIFY(h.startSim(scenarioFromJson(json.constData())));
    h.sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
    h.createController();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    MainController *c = h.controller();
    QTRY_COMPARE_WITH_TIMEOUT(c->masterPort(), trx::ServerPort(A, masterPort), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(c->currentTc().valid, 5000);
    TimelineWidget *timeline = c->findPortWidget(A, port)->timeline();
    QTRY_VERIFY_WITH_TIMEOUT(!timeline->masterRanges().isEmpty(), 5000);

    const QDateTime now = h.sim()->call([](SimServer &s) { return s.clock().now(); });
    const double fps = masterPort == 1 ? 25.0 : 30000.0 / 1001.0;
    const auto framesAt = [&](const QDateTime &t) {
        const qint64 ms =
            c->settings()->m_date.daysTo(t.date()) * 86400000LL + t.time().msecsSinceStartOfDay();
        return double(ms) * fps / 1000.0;
    };
    const UsableRange band = timeline->masterRanges().last();
    QVERIFY2(
        std::abs(band.start + band.length - framesAt(now)) <= 2.0,
        qPrintable(
            QStringLiteral("band ends at %1, now is %2").arg(band.start + band.length).arg(framesAt(now))));
    QVERIFY(std::abs(band.start - framesAt(now.addSecs(-9000))) <= 2.0);
    QVERIFY(std::abs(c->currentTc().frames - framesAt(now)) <= 1.0);
}

void tst_ControllerPorts::recordingStateFollowsTheManager()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    ServerPortWidget *row = c->findPortWidget(B, 1);
    QTRY_VERIFY(row->recButton()->isChecked());
    h.sim()->call([](SimServer &s) { s.installation().setPortRecording(B, 1, false); });
    QTRY_VERIFY(!row->recButton()->isChecked());
    QCOMPARE(row->recButton()->property("Recording").toString(), QStringLiteral("No"));
}

void tst_ControllerPorts::busyGuiThreadGetsNoPileOfPolls()
{
    ControllerHarness h;
    start(h);
    MainController *c = h.controller();
    QTRY_VERIFY(c->pollCount() > 2);
    const int polls = c->pollCount();
    const int skipped = c->skippedPollCount();
    // The GUI thread is busy for many poll periods: at most one answer waits for it.
    QThread::msleep(800);
    QVERIFY(c->pollCount() - polls <= 1);
    QVERIFY(c->skippedPollCount() > skipped);
    // Once it is free again, polling resumes.
    QTRY_VERIFY(c->pollCount() > polls + 2);
}

void tst_ControllerPorts::slowManagerStillShutsDown()
{
    ControllerHarness h;
    QVERIFY(h.startSim(scenarioFromJson(portsScenarioJson())));
    auto c = std::make_unique<MainController>(shortIntervals(h.settingsFile()));
    c->settings()->m_trxmIp = QStringLiteral("127.0.0.1");
    c->settings()->m_trxmPort = h.sim()->port();
    QSignalSpy done(c.get(), &MainController::sigInitDone);
    c->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
    QTRY_VERIFY(c->pollCount() > 0);

    SimFaults faults;
    faults.answerDelayMs = 1500;
    h.sim()->call([faults](SimServer &s) { s.setFaults(faults); });
    QTest::qWait(200); // a poll is now waiting for a slow answer
    const int polls = c->pollCount();
    // The GUI thread keeps running while the poll waits.
    QElapsedTimer gui;
    gui.start();
    int turns = 0;
    while (gui.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        ++turns;
    }
    QVERIFY(turns > 10);
    QVERIFY(c->pollCount() - polls <= 1);
    QVERIFY(c->workerThread()->isRunning());

    // Shutting down with a request in flight waits for it and ends the worker thread; the answer
    // handed over but never applied is dropped with the controller.
    c.reset();
    QVERIFY(!c);
}

QTEST_MAIN(tst_ControllerPorts)
#include "tst_controllerports.moc"
