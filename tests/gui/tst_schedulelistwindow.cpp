#include "cmn/timecodemode.h"
#include "schedulelist/schedulefilterproxy.h"
#include "schedulelist/schedulejump.h"
#include "schedulelist/schedulelistmodel.h"
#include "schedulelist/schedulelistwindow.h"
#include "settings/settings.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include "serverpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QCursor>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

constexpr int kDay = 2592000; // frames per day at 30
constexpr int kNoon = kDay / 2;

TimeCode timecodeAt(int frames)
{
    TimeCode tc;
    tc.rate.mode = cmn::get_timecode_mode(30, false);
    tc.frames = frames;
    tc.valid = true;
    return tc;
}

ScheduleRow row(const QString &id, const QString &name, const QString &server, int status, int startTc)
{
    ScheduleRow r;
    r.id = id;
    r.name = name;
    r.server = server;
    r.port = QStringLiteral("Port A");
    r.portNo = 0;
    r.day = QDate(2026, 12, 9);
    r.startText = QStringLiteral("[9] %1").arg(startTc);
    r.endText = QStringLiteral("--:--:--:--");
    r.durationText = QStringLiteral("--:--:--:--");
    r.status = status;
    r.statusText = QStringLiteral("S%1").arg(status);
    r.startKey = chronoKey(r.day, startTc, 0);
    r.endKey = std::numeric_limits<qint64>::max();
    return r;
}

} // namespace

class tst_ScheduleListWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void statusChoices();
    void searchAndStatusFilterTheTable();
    void exportWritesTheShownRowsInOrder();
    void exportFailureIsReported();
    void cancelledExportWritesNothing();
    void doubleClickWithoutControllerDoesNothing();
    void jumpPutsTheStartAtTheAnchor_data();
    void jumpPutsTheStartAtTheAnchor();
    void jumpBeyondTheSpanStopsAtItsEnd();
    void jumpWithoutStartChangesNothing();
    void flashPinsTheItemForAWhile();
    void jumpToARowOutOfView();
    void closeKeysAndAFreshFilterOnReopen_data();
    void closeKeysAndAFreshFilterOnReopen();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    ScheduleListWindow *m_window = nullptr;
};

void tst_ScheduleListWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
    // Away from the windows: Qt 6 sends an enter event to a widget shown under the cursor, which
    // would enlarge a flashed item as a hover does.
    QCursor::setPos(QPoint(3000, 3000));
}

void tst_ScheduleListWindow::init()
{
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("Settings.xml"));
    m_window = new ScheduleListWindow(nullptr, nullptr);
    m_window->model()->resetRows({
        row("a", "Evening, \"Live\"", "Alpha", 1, 0x0A000000),
        row("b", "Morning", "Beta", 6, 0x08000000),
        row("c", "Größe", "alpha", -3, 0x09000000),
    });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_ScheduleListWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_settings.reset();
}

void tst_ScheduleListWindow::statusChoices()
{
    QStringList texts;
    for (int i = 0; i < m_window->statusCombo()->count(); ++i)
        texts << m_window->statusCombo()->itemText(i);
    QCOMPARE(texts,
             (QStringList{"All", "Scheduled", "Waiting", "In-Progress", "Completed", "Errors", "Cancelled"}));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Schedules"));
}

void tst_ScheduleListWindow::searchAndStatusFilterTheTable()
{
    QCOMPARE(m_window->countLabel()->text(), QStringLiteral("3 of 3"));
    QTest::keyClicks(m_window->searchField(), QStringLiteral("ALPHA"));
    QCOMPARE(m_window->table()->model()->rowCount(), 2);
    QCOMPARE(m_window->countLabel()->text(), QStringLiteral("2 of 3"));

    m_window->statusCombo()->setCurrentIndex(m_window->statusCombo()->findText(QStringLiteral("Errors")));
    QCOMPARE(m_window->table()->model()->rowCount(), 1);
    QCOMPARE(m_window->table()->model()->index(0, 0).data().toString(), QStringLiteral("Größe"));

    m_window->searchField()->clear();
    m_window->statusCombo()->setCurrentIndex(0);
    QCOMPARE(m_window->table()->model()->rowCount(), 3);
    QCOMPARE(m_window->countLabel()->text(), QStringLiteral("3 of 3"));
}

void tst_ScheduleListWindow::exportWritesTheShownRowsInOrder()
{
    const QString path = m_dir.filePath(QStringLiteral("list.csv"));
    QString suggested;
    m_window->setSaveFileNamePrompt([&](QWidget *, const QString &s) {
        suggested = s;
        return path;
    });
    int errors = 0;
    m_window->setErrorPrompt([&](QWidget *, const QString &, const QString &) { ++errors; });
    m_window->searchField()->setText(QStringLiteral("e"));
    // Sorted by start by default: b (08:00), c (09:00), a (10:00); "e" drops none of them.
    QVERIFY(m_window->exportShown());
    QCOMPARE(errors, 0);
    QVERIFY(suggested.endsWith(QStringLiteral("Schedules.csv")));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected("Name,Server,Port,Day,Start,End,Duration,Status,Progress\r\n"
                              "Morning,Beta,Port A,2026/12/09,[9] 134217728,--:--:--:--,--:--:--:--,S6,\r\n"
                              "Gr\xc3\xb6\xc3\x9f"
                              "e,alpha,Port A,2026/12/09,[9] 150994944,--:--:--:--,--:--:--:--,S-3,\r\n"
                              "\"Evening, \"\"Live\"\"\",Alpha,Port A,2026/12/09,[9] 167772160,--:--:--:--,"
                              "--:--:--:--,S1,\r\n");
    QCOMPARE(file.readAll(), expected);
}

void tst_ScheduleListWindow::exportFailureIsReported()
{
    const QString path = m_dir.filePath(QStringLiteral("missing/folder/list.csv"));
    m_window->setSaveFileNamePrompt([&](QWidget *, const QString &) { return path; });
    QStringList titles;
    QString text;
    m_window->setErrorPrompt([&](QWidget *, const QString &title, const QString &t) {
        titles << title;
        text = t;
    });
    QVERIFY(!m_window->exportShown());
    QCOMPARE(titles, QStringList{"Export Error"});
    QVERIFY(text.contains(path));
    QVERIFY(!QFile::exists(path));
}

void tst_ScheduleListWindow::cancelledExportWritesNothing()
{
    m_window->setSaveFileNamePrompt([](QWidget *, const QString &) { return QString(); });
    int errors = 0;
    m_window->setErrorPrompt([&](QWidget *, const QString &, const QString &) { ++errors; });
    QVERIFY(!m_window->exportShown());
    QCOMPARE(errors, 0);
}

void tst_ScheduleListWindow::doubleClickWithoutControllerDoesNothing()
{
    QTableView *table = m_window->table();
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    QSignalSpy clicked(table, &QTableView::doubleClicked);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!m_window->jumpTo(table->model()->index(0, 0)));
    QVERIFY(!m_window->jumpTo(QModelIndex()));
}

void tst_ScheduleListWindow::jumpPutsTheStartAtTheAnchor_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("start");
    QTest::newRow("unlocked, this morning") << false << 10 * 108000;
    QTest::newRow("locked, this morning") << true << 10 * 108000;
    QTest::newRow("tomorrow 01:00") << false << kDay + 108000;
    QTest::newRow("yesterday 23:00") << true << -108000;
    QTest::newRow("now") << true << kNoon;
}

void tst_ScheduleListWindow::jumpPutsTheStartAtTheAnchor()
{
    QFETCH(bool, locked);
    QFETCH(int, start);
    OXAMainView view;
    view.resize(1605, 580);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.applyTimecodeMode(timecodeAt(kNoon));
    view.slotLockTimeScroll(locked);
    QCOMPARE(view.isLocked(), locked);

    QVERIFY(scrollAxisToStart(view, timecodeAt(start)));
    QCOMPARE(view.anchorFrame(), start);
    QVERIFY(!view.isLocked());
    QVERIFY(!view.lockCheckBox()->isChecked());
    QVERIFY(view.timeScrollBar()->isEnabled());
    QCOMPARE(view.timeScrollBar()->value(), view.panFrames());
    QVERIFY(!m_settings->m_bLockTimeScroll);
}

void tst_ScheduleListWindow::jumpBeyondTheSpanStopsAtItsEnd()
{
    OXAMainView view;
    view.resize(1605, 580);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.applyTimecodeMode(timecodeAt(kNoon));
    QVERIFY(scrollAxisToStart(view, timecodeAt(20 * kDay)));
    QCOMPARE(view.panFrames(), view.timeScrollBar()->maximum());
    QVERIFY(scrollAxisToStart(view, timecodeAt(-20 * kDay)));
    QCOMPARE(view.panFrames(), view.timeScrollBar()->minimum());
}

void tst_ScheduleListWindow::jumpWithoutStartChangesNothing()
{
    OXAMainView view;
    view.resize(1605, 580);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.applyTimecodeMode(timecodeAt(kNoon));
    view.slotLockTimeScroll(true);
    const int anchor = view.anchorFrame();
    TimeCode none = timecodeAt(5000);
    none.valid = false;
    QVERIFY(!scrollAxisToStart(view, none));
    QCOMPARE(view.anchorFrame(), anchor);
    QVERIFY(view.isLocked());
}

void tst_ScheduleListWindow::flashPinsTheItemForAWhile()
{
    QWidget lane;
    lane.resize(800, 200);
    auto *item =
        new TimelineItemWidget(&lane, QStringLiteral("News"), 0, 100, QString(), QString(), QString());
    item->setAssignedSize(60, 40);
    lane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lane));
    flashItem(item, 50);
    QVERIFY(item->isPinned());
    QVERIFY(item->width() >= TimelineItemWidget::HoverWidth);
    QTRY_VERIFY(!item->isPinned());
    QCOMPARE(item->size(), QSize(60, 40));
    flashItem(nullptr, 50);
}

// A jump to a schedule on a port far down the list scrolls to it; the row builds its form on the
// way and the item shows, pinned.
void tst_ScheduleListWindow::jumpToARowOutOfView()
{
    OXAMainView view;
    view.resize(1605, 580);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.applyTimecodeMode(timecodeAt(kNoon));
    for (const char *id : {"s1", "s2", "s3"})
        addServerPanel(&view, QString::fromLatin1(id), 8);
    auto *area = view.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
    ServerPortWidget *row = view.serverWidgets().last()->portWidget(6);
    QVERIFY(!row->isFormBuilt());
    TimelineItemData data;
    data.taskId = QStringLiteral("far");
    data.name = QStringLiteral("Far away");
    data.startFrame = row->timeline()->anchorFrame();
    data.length = 3000;
    row->timeline()->setItem(data, true);
    flashItem(row->timeline()->itemWidget(data.taskId, true), 50);
    QCoreApplication::processEvents();
    QVERIFY(row->isFormBuilt());
    TimelineItemWidget *item = row->timeline()->itemWidget(data.taskId);
    QVERIFY(item && item->isVisible() && item->isPinned());
    const QWidget *viewport = area->viewport();
    QVERIFY(viewport->rect().intersects(QRect(item->mapTo(viewport, QPoint()), item->size())));
}

void tst_ScheduleListWindow::closeKeysAndAFreshFilterOnReopen_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape) << false;
    QTest::newRow("Ctrl+W") << QKeySequence(QKeySequence::Close) << false;
    QTest::newRow("Escape with the filter kept") << QKeySequence(Qt::Key_Escape) << true;
}

void tst_ScheduleListWindow::closeKeysAndAFreshFilterOnReopen()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, kept);
    m_window->activateWindow();
    QTest::keyClicks(m_window->searchField(), QStringLiteral("alpha"));
    m_window->statusCombo()->setCurrentIndex(m_window->statusCombo()->findText(QStringLiteral("Errors")));
    if (kept)
        QTest::mouseClick(m_window->keepFilterBox(), Qt::LeftButton);
    QTest::keySequence(m_window->searchField(), keys);
    QTRY_VERIFY(!m_window->isVisible());

    m_window->showList();
    QCOMPARE(m_window->searchField()->text(), kept ? QStringLiteral("alpha") : QString());
    QCOMPARE(m_window->statusCombo()->currentText(), kept ? QStringLiteral("Errors") : QStringLiteral("All"));
}

QTEST_MAIN(tst_ScheduleListWindow)
#include "tst_schedulelistwindow.moc"
