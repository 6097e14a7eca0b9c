#include "cmn/timecodemode.h"
#include "settings/settings.h"
#include "views/linkstatusbar.h"
#include "views/oxamainview.h"
#include "views/painttcscale.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelinewidget.h"
#include "widgets/elidinglabel.h"
#include "widgets/inputtcwidget.h"
#include "widgets/proxycombobox.h"

#include "serverpanel.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <functional>
#include <memory>

using RowAction = std::function<void(ServerPortWidget *)>;
using RowCheck = std::function<bool(ServerPortWidget *)>;
Q_DECLARE_METATYPE(RowAction)
Q_DECLARE_METATYPE(RowCheck)

namespace {

constexpr int kDay = 2592000;
constexpr int kNoon = kDay / 2;

TimeCode timecodeAt(int frames, int fps = 30)
{
    TimeCode tc;
    tc.rate.mode = cmn::get_timecode_mode(fps, false);
    tc.frames = frames;
    tc.valid = true;
    return tc;
}

} // namespace

class tst_OXAMainView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void zoomSlider_data();
    void zoomSlider();
    void zoomLevelsFollowTheMode();
    void storedZoomValue_data();
    void storedZoomValue();
    void ctrlWheelZooms();
    void ctrlWheelAtTheLimitKeepsTheValue();
    void wheelWithoutControlIsNotAZoom();
    void ctrlWheelKeepsTheTimeUnderTheMouse();
    void lockFollowsTheCurrentTimecode();
    void goSwitchesTheLockOff();
    void goWithNothingTypedDoesNothing();
    void ctrlDragPans();
    void ctrlDragWhileLockedUnlocks();
    void timecodeDisplayRunsOnThenGreysOut();
    void helpShowsUsingTheClient();
    void scrollRangeCoversFifteenDays();
    void secondServerWithSameIdIsIgnored();
    void panelsRebuiltAfterRemoval();
    void rebuildWhileAPortNameIsTyped();
    void portHeightsCountCollapsedRows();
    void dayList();
    void currentTimecodeLabelAndScale();
    void exitSavesTheSettings();
    void everyOrderlyEndSavesOnce_data();
    void everyOrderlyEndSavesOnce();
    void signalsForTheController();
    void rowsFollowTheWindowWidth_data();
    void rowsFollowTheWindowWidth();
    void alertLineKeepsTheWindowWidth_data();
    void alertLineKeepsTheWindowWidth();
    void rowFormFollowsTheView();
    void stateSetWithoutTheFormIsShown_data();
    void stateSetWithoutTheFormIsShown();

private:
    ServerWidget *addServer(const QString &id, int ports);
    TimelineWidget *firstTimeline() const;
    void wheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers, QPoint pos = QPoint(100, 50));

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    OXAMainView *m_view = nullptr;
};

void tst_OXAMainView::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
}

void tst_OXAMainView::init()
{
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("Settings.xml"));
    m_view = new OXAMainView;
    m_view->resize(1605, 580);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    m_view->applyTimecodeMode(timecodeAt(kNoon));
}

void tst_OXAMainView::cleanup()
{
    delete m_view;
    m_view = nullptr;
    m_settings.reset();
}

ServerWidget *tst_OXAMainView::addServer(const QString &id, int ports)
{
    return addServerPanel(m_view, id, ports);
}

TimelineWidget *tst_OXAMainView::firstTimeline() const
{
    return m_view->serverWidgets().first()->portWidgets().first()->timeline();
}

void tst_OXAMainView::wheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    QWheelEvent e(QPointF(pos), QPointF(target->mapToGlobal(pos)), QPoint(0, 0), QPoint(0, delta),
                  Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

void tst_OXAMainView::zoomSlider_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("frames");

    QTest::newRow("299 shows L0") << 299 << 299 << 300;
    QTest::newRow("0 shows L5") << 299 << 0 << 15 * kDay;
    QTest::newRow("4 steps show L1") << 300 << 240 << 1800;
    QTest::newRow("1 step shows L4") << 300 << 60 << kDay;
}

void tst_OXAMainView::zoomSlider()
{
    QFETCH(int, maximum);
    QFETCH(int, value);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setMaximum(maximum);
    zoom->setValue(value == zoom->value() ? value - 1 : value);
    zoom->setValue(value);
    QTEST(m_view->viewFrames(), "frames");
    QCOMPARE(m_settings->m_iZoomValue, value);
}

void tst_OXAMainView::zoomLevelsFollowTheMode()
{
    m_view->zoomSlider()->setValue(299);
    m_view->applyTimecodeMode(timecodeAt(1000, 25));
    QCOMPARE(m_view->viewFrames(), 250);
    QCOMPARE(m_view->zoomLevels()[5], 15 * 2160000);
    // A timecode without a valid value keeps the 30-frame anchors.
    m_view->applyTimecodeMode(TimeCode());
    QCOMPARE(m_view->viewFrames(), 300);
}

void tst_OXAMainView::storedZoomValue_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("value");
    QTest::newRow("in range") << 200 << 200;
    QTest::newRow("never stored") << -1 << 149;
    QTest::newRow("above the range") << 500 << 149;
}

void tst_OXAMainView::storedZoomValue()
{
    QFETCH(int, stored);
    m_view->zoomSlider()->setValue(10);
    m_settings->m_iZoomValue = stored;
    m_view->applyTimecodeMode(timecodeAt(kNoon));
    QTEST(m_view->zoomSlider()->value(), "value");
    QCOMPARE(m_view->viewFrames(),
             zoomViewFrames(m_view->zoomSlider()->value(), 299, defaultZoomLevels(), 0));
}

void tst_OXAMainView::ctrlWheelZooms()
{
    addServer(QStringLiteral("s1"), 2);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setValue(150);
    const int frames = m_view->viewFrames();
    // One notch narrows the span by 15 %, one back widens it again.
    wheel(firstTimeline(), 120, Qt::ControlModifier);
    QVERIFY(qAbs(m_view->viewFrames() - frames * 0.85) <= 1);
    QVERIFY(zoom->value() > 150);
    wheel(firstTimeline(), -120, Qt::ControlModifier);
    QVERIFY(qAbs(m_view->viewFrames() - frames) <= 2);
    QCOMPARE(zoom->value(), 150);
    QVERIFY(!m_view->isZoomAtMouse());
    // Only with Control alone.
    wheel(firstTimeline(), 120, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(zoom->value(), 150);
}

void tst_OXAMainView::ctrlWheelAtTheLimitKeepsTheValue()
{
    addServer(QStringLiteral("s1"), 1);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setValue(zoom->maximum());
    wheel(firstTimeline(), 120, Qt::ControlModifier);
    QCOMPARE(zoom->value(), zoom->maximum());
    QVERIFY(m_view->isZoomAtMouse());
    zoom->setValue(0);
    QVERIFY(!m_view->isZoomAtMouse());
    wheel(firstTimeline(), -120, Qt::ControlModifier);
    QCOMPARE(zoom->value(), 0);
}

void tst_OXAMainView::wheelWithoutControlIsNotAZoom()
{
    addServer(QStringLiteral("s1"), 1);
    QSlider *zoom = m_view->zoomSlider();
    zoom->setValue(100);
    wheel(firstTimeline(), 120, Qt::NoModifier);
    QCOMPARE(zoom->value(), 100);
    QVERIFY(!m_view->isZoomAtMouse());
}

void tst_OXAMainView::ctrlWheelKeepsTheTimeUnderTheMouse()
{
    addServer(QStringLiteral("s1"), 1);
    m_view->lockCheckBox()->click();
    QVERIFY(!m_view->isLocked());
    m_view->zoomSlider()->setValue(200);
    const int width = m_view->timelineWidth();
    const int mouseX = width * 3 / 4;
    auto frameAt = [this, width](int x) {
        return m_view->anchorFrame() + double(x - m_view->originX()) / width * m_view->viewFrames();
    };
    const double before = frameAt(mouseX);
    wheel(firstTimeline(), 120, Qt::ControlModifier, QPoint(mouseX, 40));
    QVERIFY(m_view->zoomSlider()->value() > 200);
    QVERIFY(qAbs(frameAt(mouseX) - before) <= 1.0);
}

void tst_OXAMainView::lockFollowsTheCurrentTimecode()
{
    QVERIFY(m_view->isLocked()); // the settings' default
    QSlider *cursor = m_view->timeScrollBar();
    QVERIFY(!cursor->isEnabled());
    m_view->updateCurrentTc(timecodeAt(kNoon + 900));
    QCOMPARE(m_view->anchorFrame(), kNoon + 900);
    QCOMPARE(cursor->value(), 0);
    // The line sits at the anchor column while locked.
    QCOMPARE(m_view->tcLine()->x(), OXAMainView::TimelineLeft + m_view->originX());
    QVERIFY(m_view->tcLine()->isVisible());
    QCOMPARE(m_view->tcLine()->width(), 1);

    m_view->lockCheckBox()->click();
    QVERIFY(!m_settings->m_bLockTimeScroll);
    QVERIFY(cursor->isEnabled());
    const int anchor = m_view->anchorFrame();
    m_view->updateCurrentTc(timecodeAt(kNoon + 5000));
    QCOMPARE(m_view->anchorFrame(), anchor);
    cursor->setValue(cursor->value() + 1234);
    QCOMPARE(m_view->anchorFrame(), anchor + 1234);
}

void tst_OXAMainView::goSwitchesTheLockOff()
{
    QVERIFY(m_view->isLocked());
    m_view->gotoTcInput()->setText(QStringLiteral("013000"));
    m_view->gotoDayCombo()->setCurrentIndex(8); // tomorrow
    m_view->gotoButton()->click();
    QVERIFY(!m_view->isLocked());
    QVERIFY(!m_view->lockCheckBox()->isChecked());
    QVERIFY(!m_settings->m_bLockTimeScroll);
    QVERIFY(m_view->timeScrollBar()->isEnabled());
    QCOMPARE(m_view->anchorFrame(), kDay + 90 * 60 * 30);
    // Far from the current time, the current-timecode line is out of view.
    m_view->updateCurrentTc(timecodeAt(kNoon));
    QVERIFY(!m_view->tcLine()->isVisible());
    // Yesterday's midnight.
    m_view->gotoTcInput()->setText(QStringLiteral("000000"));
    m_view->gotoDayCombo()->setCurrentIndex(6);
    m_view->gotoButton()->click();
    QCOMPARE(m_view->anchorFrame(), -kDay);
}

void tst_OXAMainView::goWithNothingTypedDoesNothing()
{
    m_view->gotoTcInput()->hourEdit()->clear();
    m_view->gotoButton()->click();
    QVERIFY(m_view->isLocked());
    QCOMPARE(m_view->anchorFrame(), kNoon);
}

void tst_OXAMainView::ctrlDragPans()
{
    addServer(QStringLiteral("s1"), 1);
    m_view->lockCheckBox()->click();
    TimelineWidget *timeline = firstTimeline();
    const int before = m_view->anchorFrame();
    QTest::mousePress(timeline, Qt::LeftButton, Qt::ControlModifier, QPoint(500, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(400, 50), QPointF(timeline->mapToGlobal(QPoint(400, 50))),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(timeline, &move);
    QTest::mouseRelease(timeline, Qt::LeftButton, Qt::ControlModifier, QPoint(400, 50));
    const int expected = int(100.0 / m_view->timelineWidth() * m_view->viewFrames());
    QVERIFY(qAbs(m_view->anchorFrame() - before - expected) <= 1);
    // Without Control a drag does nothing.
    const int after = m_view->anchorFrame();
    QTest::mousePress(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(500, 50));
    QMouseEvent plain(QEvent::MouseMove, QPointF(300, 50), QPointF(timeline->mapToGlobal(QPoint(300, 50))),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(timeline, &plain);
    QCOMPARE(m_view->anchorFrame(), after);
}

void tst_OXAMainView::ctrlDragWhileLockedUnlocks()
{
    addServer(QStringLiteral("s1"), 1);
    TimelineWidget *timeline = firstTimeline();
    QVERIFY(m_view->isLocked());
    QTest::mousePress(timeline, Qt::LeftButton, Qt::ControlModifier, QPoint(500, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 50), QPointF(timeline->mapToGlobal(QPoint(100, 50))),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(timeline, &move);
    QVERIFY(!m_view->isLocked());
    QVERIFY(m_view->anchorFrame() > kNoon);
}

void tst_OXAMainView::timecodeDisplayRunsOnThenGreysOut()
{
    m_view->updateCurrentTc(timecodeAt(kNoon));
    const QString first = m_view->tcLabel()->text();
    QVERIFY(!m_view->isTcDisplayStale());
    // Between updates the frames count on at the master's rate.
    QTRY_VERIFY(m_view->tcLabel()->text() != first);
    QVERIFY(!m_view->isTcDisplayStale());
    // Two seconds without an update: grey, and the figure stops.
    QTRY_VERIFY_WITH_TIMEOUT(m_view->isTcDisplayStale(), 4000);
    const QString stopped = m_view->tcLabel()->text();
    QTest::qWait(200);
    QCOMPARE(m_view->tcLabel()->text(), stopped);
    // An update brings it back; a link going down greys it at once.
    m_view->updateCurrentTc(timecodeAt(kNoon + 100));
    QVERIFY(!m_view->isTcDisplayStale());
    m_view->setLinkDimmed(true);
    QVERIFY(m_view->isTcDisplayStale());
}

void tst_OXAMainView::helpShowsUsingTheClient()
{
    m_view->findChild<QAction *>(QStringLiteral("action_Contents"))->trigger();
    auto *browser = m_view->findChild<QTextBrowser *>(QStringLiteral("helpBrowser"));
    QVERIFY(browser);
    QVERIFY(browser->isVisible());
    const QString text = browser->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("Using the client")));
    QVERIFY(text.contains(QStringLiteral("Alt+Left")));
    // Only that section: the simulator's is not for the operator.
    QVERIFY(!text.contains(QStringLiteral("The manager simulator")));
}

void tst_OXAMainView::scrollRangeCoversFifteenDays()
{
    m_view->lockCheckBox()->click();
    m_view->zoomSlider()->setValue(100);
    QSlider *cursor = m_view->timeScrollBar();
    const int width = m_view->timelineWidth();
    QCOMPARE(width, m_view->findChild<QWidget *>(QStringLiteral("scrollArea"))->width() - 498);
    cursor->setValue(cursor->minimum());
    const double left = m_view->anchorFrame() - double(m_view->originX()) / width * m_view->viewFrames();
    QVERIFY(qAbs(left + 7.0 * kDay) < 2 + double(m_view->viewFrames()) / width);
    cursor->setValue(cursor->maximum());
    const double right =
        m_view->anchorFrame() + double(width - m_view->originX()) / width * m_view->viewFrames();
    QVERIFY(qAbs(right - 8.0 * kDay) < 2 + double(m_view->viewFrames()) / width);
    QCOMPARE(cursor->pageStep(), m_view->viewFrames() / 20);
}

void tst_OXAMainView::secondServerWithSameIdIsIgnored()
{
    ServerWidget *first = addServer(QStringLiteral("s1"), 2);
    auto *second = new ServerWidget(QStringLiteral("s1"), QStringLiteral("again"));
    m_view->addServerWidget(second);
    QCOMPARE(m_view->serverWidgets().size(), 1);
    QCOMPARE(m_view->serverWidgets().value(QStringLiteral("s1")), first);
    QVERIFY(second->parent() == nullptr);
    delete second;
    addServer(QStringLiteral("s2"), 1);
    QCOMPARE(m_view->serverWidgets().size(), 2);
    // Panels get the current zoom.
    QCOMPARE(firstTimeline()->viewFrames(), m_view->viewFrames());
    m_view->zoomSlider()->setValue(250);
    QCOMPARE(
        m_view->serverWidgets().value(QStringLiteral("s2"))->portWidgets().first()->timeline()->viewFrames(),
        m_view->viewFrames());
}

void tst_OXAMainView::panelsRebuiltAfterRemoval()
{
    QPointer<ServerWidget> old = addServer(QStringLiteral("s1"), 2);
    m_view->removeAllServerWidgets();
    QVERIFY(old.isNull());
    QVERIFY(m_view->serverWidgets().isEmpty());
    ServerWidget *fresh = addServer(QStringLiteral("s1"), 1);
    QCOMPARE(m_view->serverWidgets().value(QStringLiteral("s1")), fresh);
    QCOMPARE(fresh->parentWidget(), m_view->portsWidget());
}

// The link comes back and the panels are rebuilt while the operator types a port name: what was
// typed is kept, and nothing reaches the old panel once it is being destroyed.
void tst_OXAMainView::rebuildWhileAPortNameIsTyped()
{
    ServerWidget *panel = addServer(QStringLiteral("s1"), 2);
    QVERIFY(typePortName(m_view, panel->portWidgets().at(1), QStringLiteral("Close up")));
    m_view->removeAllServerWidgets();
    QCoreApplication::processEvents();
    QCOMPARE(m_settings->portInfo(trx::ServerPort(QStringLiteral("s1"), 1)).PortName,
             QStringLiteral("Close up"));
}

void tst_OXAMainView::portHeightsCountCollapsedRows()
{
    ServerWidget *s1 = addServer(QStringLiteral("s1"), 3);
    ServerWidget *s2 = addServer(QStringLiteral("s2"), 2);
    s1->portWidgets().at(1)->setCollapsed(true);
    s2->setServerCollapse(true);
    m_view->findChild<QPushButton *>(QStringLiteral("m_btnMiddleHeight"))->click();
    QTRY_COMPARE(s1->height(), 55 + 2 * 300);
    QCOMPARE(s1->portWidgets().at(0)->height(), 300);
    QCOMPARE(s2->height(), 55);
    m_view->findChild<QPushButton *>(QStringLiteral("m_btnHighHeight"))->click();
    QTRY_COMPARE(s1->height(), 55 + 2 * 600);
    m_view->findChild<QPushButton *>(QStringLiteral("m_btnLowHeight"))->click();
    QTRY_COMPARE(s1->height(), 55 + 2 * 165);
    // Compact rows show one line per schedule; the button of the height in force stays pressed.
    auto *compact = m_view->findChild<QPushButton *>(QStringLiteral("m_btnCompactHeight"));
    compact->click();
    QTRY_COMPARE(s1->height(), 55 + 2 * ServerPortWidget::CompactHeight);
    QVERIFY(compact->isChecked());
    QVERIFY(!m_view->findChild<QPushButton *>(QStringLiteral("m_btnLowHeight"))->isChecked());
    QVERIFY(s1->portWidgets().at(0)->timeline()->isVisible());
}

void tst_OXAMainView::dayList()
{
    m_settings->m_date = QDate(2026, 3, 1);
    m_view->updateDate();
    ProxyComboBox *days = m_view->gotoDayCombo();
    QCOMPARE(days->count(), 15);
    QCOMPARE(days->itemText(0), QStringLiteral("2026/02/22"));
    QCOMPARE(days->itemText(14), QStringLiteral("2026/03/08"));
    QCOMPARE(days->currentText(), QStringLiteral("2026/03/01"));
}

void tst_OXAMainView::currentTimecodeLabelAndScale()
{
    m_settings->m_date = QDate(2026, 3, 5);
    m_view->zoomSlider()->setValue(299);
    m_view->updateCurrentTc(timecodeAt(kNoon + 45));
    QCOMPARE(m_view->tcLabel()->text(), QStringLiteral("[05] 12:00:01:15"));
    const QMap<int, QString> labels = m_view->scaleWidget()->labels();
    QVERIFY(!labels.isEmpty());
    QVERIFY(labels.first().startsWith(QStringLiteral("[05] 11:59:")) ||
            labels.first().startsWith(QStringLiteral("[05] 12:00:")));
}

void tst_OXAMainView::exitSavesTheSettings()
{
    const QString path = Settings::settingsFolder() + QStringLiteral("Settings.xml");
    QFile::remove(path);
    m_settings->m_iZoomValue = 123;
    m_view->findChild<QAction *>(QStringLiteral("action_Exit"))->trigger();
    QVERIFY(QFile::exists(path));
    QVERIFY(!m_view->isVisible());
    Settings reread(nullptr, QStringLiteral("Settings.xml"));
    QVERIFY(reread.load(path));
    QCOMPARE(reread.m_iZoomValue, 123);
}

void tst_OXAMainView::signalsForTheController()
{
    QSignalSpy newTask(m_view, &OXAMainView::sigNewTask);
    QSignalSpy settings(m_view, &OXAMainView::sigSettings);
    QSignalSpy maintenance(m_view, &OXAMainView::sigMtnSetting);
    m_view->findChild<QPushButton *>(QStringLiteral("btnNew"))->click();
    m_view->findChild<QAction *>(QStringLiteral("actNewTask"))->trigger();
    m_view->findChild<QAction *>(QStringLiteral("actSettings"))->trigger();
    m_view->findChild<QAction *>(QStringLiteral("actMtnSetting"))->trigger();
    QCOMPARE(newTask.size(), 2);
    QCOMPARE(settings.size(), 1);
    QCOMPARE(maintenance.size(), 1);
    QCOMPARE(m_view->windowTitle(), QStringLiteral("MRL"));
    QVERIFY(!m_view->findChild<QMenu *>(QStringLiteral("menu_View"))->menuAction()->isVisible());
    QVERIFY(!m_view->findChild<QMenu *>(QStringLiteral("menuTestMenu"))->menuAction()->isVisible());
}

void tst_OXAMainView::everyOrderlyEndSavesOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("application quitting") << "aboutToQuit";
    QTest::newRow("Exit action") << "exit";
}

// Not only the Exit action: an operator who closes the window or whose session ends keeps
// what was entered. After the first save, later ends of the same exit write nothing more.
void tst_OXAMainView::everyOrderlyEndSavesOnce()
{
    QFETCH(QString, how);
    const QString path = Settings::settingsFolder() + QStringLiteral("Settings.xml");
    QFile::remove(path);
    m_settings->m_trxmIp = QStringLiteral("192.0.2.10");

    if (how == QLatin1String("close"))
        QVERIFY(m_view->close());
    else if (how == QLatin1String("aboutToQuit"))
        QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
    else
        m_view->findChild<QAction *>(QStringLiteral("action_Exit"))->trigger();
    QVERIFY(QFile::exists(path));

    // The rest of the same exit (window closing, then the application quitting) adds no write.
    m_settings->m_trxmIp = QStringLiteral("changed later");
    m_view->close();
    QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));

    Settings reread(nullptr, QStringLiteral("Settings.xml"));
    QVERIFY(reread.load(path));
    QCOMPARE(reread.m_trxmIp, QStringLiteral("192.0.2.10"));
}

void tst_OXAMainView::rowsFollowTheWindowWidth_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("narrower, then wider") << QList<int>{900, 1605};
    QTest::newRow("wider, then narrower") << QList<int>{1900, 1000};
    QTest::newRow("back and forth") << QList<int>{700, 1605, 800, 1605};
}

// Regression: the timeline's fixed width fed back into the row's minimum width, so the
// scroll area's content and the viewport resized each other until the stack ran out.
void tst_OXAMainView::rowsFollowTheWindowWidth()
{
    QFETCH(QList<int>, widths);
    addServer(QStringLiteral("S1"), 3);
    addServer(QStringLiteral("S2"), 2);
    for (int width : widths) {
        m_view->resize(width, 700);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        for (ServerWidget *server : m_view->serverWidgets()) {
            for (ServerPortWidget *row : server->portWidgets()) {
                QVERIFY2(row->width() <= m_view->width(), qPrintable(QString::number(row->width())));
                QCOMPARE(row->timeline()->width(), std::max(0, row->width() - ServerPortWidget::SideWidths));
            }
        }
    }
}

void tst_OXAMainView::alertLineKeepsTheWindowWidth_data()
{
    QTest::addColumn<int>("alerts");
    QTest::newRow("one port") << 1;
    QTest::newRow("four ports") << 4;
    QTest::newRow("forty ports") << 40;
}

// The alert line once widened the window to fit its text and the window never shrank back: on a
// desk the window jumped past the screen's edge, and over a long run every wider window meant
// bigger backing stores and timeline pictures.
void tst_OXAMainView::alertLineKeepsTheWindowWidth()
{
    QFETCH(int, alerts);
    addServer(QStringLiteral("S1"), 2);
    m_view->resize(900, 580);
    QCoreApplication::processEvents();
    const int width = m_view->width();
    const int minimumWidth = m_view->minimumSizeHint().width();

    QStringList parts;
    for (int i = 0; i < alerts; ++i)
        parts << QStringLiteral("Studio %1 Port A: remaining time below next schedule").arg(i + 1);
    const QString text = parts.join(QStringLiteral("; "));
    LinkStatusBar *bar = m_view->linkStatusBar();
    const QString linkText = QStringLiteral("TRXM connected since 15:04:46");
    bar->setLinkText(linkText);
    bar->setAlertText(text);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    QCOMPARE(m_view->width(), width);
    QCOMPARE(m_view->minimumSizeHint().width(), minimumWidth);
    auto *label = qobject_cast<ElidingLabel *>(bar->alertLabel());
    QVERIFY(label);
    QVERIFY(label->isVisibleTo(bar));
    QCOMPARE(bar->alertText(), text);
    QCOMPARE(label->toolTip(), text);
    QVERIFY(label->geometry().right() <= bar->width());
    // Nor does it cover the state of the link, drawn left of it.
    QVERIFY(label->geometry().left() > bar->fontMetrics().horizontalAdvance(linkText) + 6);
    const QString shown = label->shownText();
    QVERIFY(!shown.isEmpty());
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    if (label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width())
        QCOMPARE(shown, text);
    else
        QVERIFY(shown.endsWith(QChar(0x2026)));
    QVERIFY(text.startsWith(shown.left(shown.size() - 1)));

    bar->setAlertText(QString());
    QCoreApplication::processEvents();
    QVERIFY(!label->isVisibleTo(bar));
    QCOMPARE(m_view->width(), width);
}

QTEST_MAIN(tst_OXAMainView)
#include "tst_oxamainview.moc"

namespace {

QScrollBar *portsScrollBar(OXAMainView *view)
{
    return view->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
}

template<typename T>
T *part(ServerPortWidget *row, const char *name)
{
    return row->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

// Only the rows near the visible part of the port list have their form; scrolling builds the
// rows that come near and lets go of those far away.
void tst_OXAMainView::rowFormFollowsTheView()
{
    for (const char *id : {"s1", "s2", "s3", "s4"})
        addServer(QString::fromLatin1(id), 8);
    QTRY_VERIFY(portsScrollBar(m_view)->maximum() > 0);
    ServerPortWidget *first = m_view->serverWidgets().first()->portWidgets().first();
    ServerPortWidget *last = m_view->serverWidgets().last()->portWidgets().last();
    QVERIFY(first->isFormBuilt());
    QVERIFY(!last->isFormBuilt());
    QScrollBar *bar = portsScrollBar(m_view);
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    QVERIFY(last->isFormBuilt());
    QVERIFY(!first->isFormBuilt());
    QVERIFY(part<QLineEdit>(last, "m_txtPortName")->isVisible());
}

void tst_OXAMainView::stateSetWithoutTheFormIsShown_data()
{
    QTest::addColumn<RowAction>("set");
    QTest::addColumn<RowCheck>("shown");
    QTest::newRow("recording") << RowAction([](ServerPortWidget *r) { r->setRecording(true); })
                               << RowCheck([](ServerPortWidget *r) {
                                      return r->recButton()->isChecked() &&
                                             r->recButton()->property("Recording").toString() == "Yes";
                                  });
    QTest::newRow("master timecode") << RowAction([](ServerPortWidget *r) { r->setTcStatus(2); })
                                     << RowCheck([](ServerPortWidget *r) {
                                            return r->tcButton()->property("TcStatus").toString() == "Master";
                                        });
    QTest::newRow("remaining time, short")
        << RowAction([](ServerPortWidget *r) {
               r->setLoop(true);
               r->setRemainTime(QStringLiteral("00:20:00"));
               r->setRemainAlert(true);
           })
        << RowCheck([](ServerPortWidget *r) {
               auto *label = part<QLabel>(r, "labelRemain");
               return label->isVisible() && label->text() == "00:20:00" &&
                      label->property("RemainAlert").toString() == "Yes";
           });
    QTest::newRow("loop recording off")
        << RowAction([](ServerPortWidget *r) { r->setLoopStatus(false); })
        << RowCheck([](ServerPortWidget *r) {
               return r->overlay()->isVisible() && !part<QPushButton>(r, "btnAdd")->isEnabled() &&
                      !r->recButton()->isEnabled();
           });
    QTest::newRow("link down") << RowAction([](ServerPortWidget *r) { r->setLinkUp(false); })
                               << RowCheck([](ServerPortWidget *r) {
                                      auto *start = part<QPushButton>(r, "btnStart");
                                      return !start->isEnabled() && start->toolTip() == "TRXM is not connected.";
                                  });
    QTest::newRow("collapsed") << RowAction([](ServerPortWidget *r) { r->setCollapsed(true); })
                               << RowCheck([](ServerPortWidget *r) {
                                      return part<QWidget>(r, "m_labPortTitle")->isVisible() &&
                                             part<QWidget>(r, "m_btnPortCollapse")
                                                     ->property("mandatoryField")
                                                     .toString() == "Collapse" &&
                                             r->height() == ServerPortWidget::CollapsedHeight;
                                  });
    QTest::newRow("proxy port") << RowAction([](ServerPortWidget *r) { r->setProxyPort(3); })
                                << RowCheck([](ServerPortWidget *r) {
                                       return r->proxyCombo()->currentData().toInt() == 3 &&
                                              r->proxyGroupWidget()->isVisible();
                                   });
    QTest::newRow("name, checked, keyboard target")
        << RowAction([](ServerPortWidget *r) {
               r->setPortName(QStringLiteral("Stage left"));
               r->setChecked(true);
               r->setKeyboardTarget(true);
           })
        << RowCheck([](ServerPortWidget *r) {
               return part<QLineEdit>(r, "m_txtPortName")->text() == "Stage left" &&
                      part<QCheckBox>(r, "checkBox")->isChecked() &&
                      part<QWidget>(r, "leftPanel")->property("KeyboardTarget").toBool();
           });
}

// What the controller sets on a row far from view is what the operator finds when scrolling to
// it, and again after the row has let go of its form and built it anew.
void tst_OXAMainView::stateSetWithoutTheFormIsShown()
{
    QFETCH(RowAction, set);
    QFETCH(RowCheck, shown);
    for (const char *id : {"s1", "s2", "s3", "s4"})
        addServer(QString::fromLatin1(id), 8);
    QTRY_VERIFY(portsScrollBar(m_view)->maximum() > 0);
    ServerPortWidget *row = m_view->serverWidgets().last()->portWidget(5);
    QVERIFY(!row->isFormBuilt());
    set(row);
    QVERIFY(!row->isFormBuilt());
    auto *area = m_view->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    for (int pass = 0; pass < 2; ++pass) {
        area->ensureWidgetVisible(row);
        QCoreApplication::processEvents();
        QVERIFY(row->isFormBuilt());
        QVERIFY(shown(row));
        portsScrollBar(m_view)->setValue(0);
        QCoreApplication::processEvents();
        QVERIFY(!row->isFormBuilt());
    }
}
