#include "views/timelineitemwidget.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QColor kBody(224, 224, 224);
const QColor kDarkBlue(24, 70, 102);
const QColor kLightBlue(34, 198, 255);
const QColor kGreyTrack(76, 76, 76);
const QColor kGreyFill(127, 127, 127);
const QColor kErrorTrack(102, 46, 46);
const QColor kErrorFill(242, 106, 102);
const QColor kGreen(0, 211, 70);
} // namespace

class tst_TimelineItemWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusColours_data();
    void statusColours();
    void statusColoursFromItemData_data() { statusColours_data(); }
    void statusColoursFromItemData();
    void twoBars_data();
    void twoBars();
    void leftEdgeOffset_data();
    void leftEdgeOffset();
    void noRenderUntilReady();
    void longTextIsElided();
    void duration();
    void maintenance();
    void hoverEnlargesAndRestores();
    void pinnedKeepsHoverSize();
    void largeItemKeepsItsSize();
    void contextMenuSignal();
    void nameEditing();
    void nameEditCancelled();
    void onlyItemsOnScreenRenderAhead_data();
    void onlyItemsOnScreenRenderAhead();
    void releasedCacheRendersOnPaint();
    void cachesStayWithinTheBudget();
    void deferredSizeAppliesLater();
    void textsOnScreen_data();
    void textsOnScreen();

private:
    TimelineItemWidget *makeItem(trx::ScheduleStatus status, int x = 0, int width = 400, int height = 120)
    {
        auto *item = new TimelineItemWidget(m_timeline, QStringLiteral("Sched"), 0, 1000, QStringLiteral("1"),
                                            QStringLiteral("2"), QString());
        item->setStatus(status);
        item->setAssignedSize(width, height);
        item->move(x, 20);
        item->show();
        return item;
    }
    static QColor pixel(const TimelineItemWidget *item, int x, int y)
    {
        return item->cachedPixmap().toImage().pixelColor(x, y);
    }

    QWidget *m_timeline = nullptr;
};

void tst_TimelineItemWidget::init()
{
    // Away from the windows: Qt 6 sends an enter event to a widget shown under the cursor, which
    // would enlarge an item as a hover does.
    QCursor::setPos(QPoint(3000, 3000));
    m_timeline = new QWidget;
    m_timeline->resize(1000, 300);
    m_timeline->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_timeline));
}

void tst_TimelineItemWidget::cleanup()
{
    TimelineItemWidget::setCacheBudget(TimelineItemWidget::DefaultCacheBudget);
    delete m_timeline;
    m_timeline = nullptr;
}

void tst_TimelineItemWidget::statusColours_data()
{
    QTest::addColumn<trx::ScheduleStatus>("status");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QColor>("inFill");  // column 190 of 400: inside half progress
    QTest::addColumn<QColor>("inTrack"); // column 390: past it

    QTest::newRow("Waiting is solid dark blue")
        << trx::ScheduleStatus::Waiting << 50 << kDarkBlue << kDarkBlue;
    QTest::newRow("In-Progress light over dark")
        << trx::ScheduleStatus::InProgress << 50 << kLightBlue << kDarkBlue;
    QTest::newRow("Cancelled") << trx::ScheduleStatus::Cancelled << 50 << kGreyFill << kGreyTrack;
    QTest::newRow("Cancelling") << trx::ScheduleStatus::Cancelling << 50 << kGreyFill << kGreyTrack;
    QTest::newRow("Transfer Error") << trx::ScheduleStatus::TransferError << 50 << kErrorFill << kErrorTrack;
    QTest::newRow("Completed") << trx::ScheduleStatus::Completed << 50 << kGreen << kBody;
    QTest::newRow("Rec Error") << trx::ScheduleStatus::RecError << 50 << kErrorFill << kErrorTrack;
    QTest::newRow("Unknown Error") << trx::ScheduleStatus::UnknownError << 50 << kErrorFill << kErrorTrack;
    QTest::newRow("Rec Error without progress shows an empty bar")
        << trx::ScheduleStatus::RecError << -1 << kErrorTrack << kErrorTrack;
    QTest::newRow("other status") << trx::ScheduleStatus::Scheduled << 50 << kDarkBlue << kBody;
    QTest::newRow("no bar without progress") << trx::ScheduleStatus::InProgress << -1 << kBody << kBody;
    QTest::newRow("-2 forces error colours, full bar")
        << trx::ScheduleStatus::InProgress << -2 << kErrorFill << kErrorFill;
    QTest::newRow("-2 overrides Completed")
        << trx::ScheduleStatus::Completed << -2 << kErrorFill << kErrorFill;
    QTest::newRow("other negative draws full fill")
        << trx::ScheduleStatus::Completed << -3 << kGreen << kGreen;
    QTest::newRow("complete progress") << trx::ScheduleStatus::InProgress << 100 << kLightBlue << kLightBlue;
    QTest::newRow("progress beyond 100 stays in the bar")
        << trx::ScheduleStatus::InProgress << 180 << kLightBlue << kLightBlue;
}

void tst_TimelineItemWidget::statusColours()
{
    QFETCH(trx::ScheduleStatus, status);
    QFETCH(int, progress);
    QFETCH(QColor, inFill);
    QFETCH(QColor, inTrack);

    TimelineItemWidget *item = makeItem(status);
    item->setProgress(progress, -1);
    item->setReady(true);
    QCOMPARE(item->cachedPixmap().size(), QSize(400, 120));
    QCOMPARE(pixel(item, 190, 6), inFill);
    QCOMPARE(pixel(item, 390, 6), inTrack);
    QCOMPARE(pixel(item, 390, 114), inTrack); // the single bar runs down to height - 5
    QCOMPARE(pixel(item, 390, 2), kBody);     // 5-pixel margin above the bar
    QCOMPARE(pixel(item, 390, 117), kBody);
}

// A pooled widget takes everything it draws from the data it is bound to, the bar colours included.
void tst_TimelineItemWidget::statusColoursFromItemData()
{
    QFETCH(trx::ScheduleStatus, status);
    QFETCH(int, progress);
    QFETCH(QColor, inFill);
    QFETCH(QColor, inTrack);

    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::None);
    item->setReady(true);
    TimelineItemData data = item->itemData();
    data.status = status;
    data.progress1 = progress;
    item->setItemData(data);
    QCOMPARE(pixel(item, 190, 6), inFill);
    QCOMPARE(pixel(item, 390, 6), inTrack);
    QCOMPARE(item->itemData().status, status);
}

void tst_TimelineItemWidget::twoBars_data()
{
    QTest::addColumn<int>("master");
    QTest::addColumn<int>("proxy");
    QTest::addColumn<QColor>("top");
    QTest::addColumn<QColor>("bottom");

    QTest::newRow("master done, proxy not started") << 100 << 0 << kLightBlue << kDarkBlue;
    QTest::newRow("proxy ahead of master") << 0 << 100 << kDarkBlue << kLightBlue;
}

void tst_TimelineItemWidget::twoBars()
{
    QFETCH(int, master);
    QFETCH(int, proxy);
    QFETCH(QColor, top);
    QFETCH(QColor, bottom);

    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::InProgress);
    item->setProgress(master, proxy);
    item->setReady(true);
    // h/2 = 60: master from y 5 to 59, a gap, proxy from y 65 to 114.
    QCOMPARE(pixel(item, 390, 5), top);
    QCOMPARE(pixel(item, 390, 59), top);
    QCOMPARE(pixel(item, 390, 62), kBody);
    QCOMPARE(pixel(item, 390, 65), bottom);
    QCOMPARE(pixel(item, 390, 114), bottom);
    QCOMPARE(pixel(item, 390, 116), kBody);
}

void tst_TimelineItemWidget::leftEdgeOffset_data()
{
    QTest::addColumn<int>("itemX");
    QTest::addColumn<int>("timelineColumn");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<bool>("dirtyAfter");

    // 400 wide, half done: the fill covers item columns 0 to 199.
    QTest::newRow("starts at the edge") << 0 << 150 << kLightBlue << false;
    QTest::newRow("starts at the edge, past the fill") << 0 << 250 << kDarkBlue << false;
    QTest::newRow("150 left of the edge") << -150 << 40 << kLightBlue << true;
    QTest::newRow("150 left of the edge, past the fill") << -150 << 60 << kDarkBlue << true;
    QTest::newRow("to the right") << 300 << 450 << kLightBlue << false;
    QTest::newRow("to the right, past the fill") << 300 << 550 << kDarkBlue << false;
}

void tst_TimelineItemWidget::leftEdgeOffset()
{
    QFETCH(int, itemX);
    QFETCH(int, timelineColumn);
    QFETCH(QColor, expected);
    QFETCH(bool, dirtyAfter);

    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::InProgress, itemX);
    item->setProgress(50, -1);
    item->setReady(true);
    QCOMPARE(item->isDirty(), dirtyAfter);
    const QImage shot = m_timeline->grab().toImage();
    QCOMPARE(shot.pixelColor(timelineColumn, 20 + 6), expected);
}

void tst_TimelineItemWidget::noRenderUntilReady()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting);
    item->setProgress(10, -1);
    item->render(true);
    QVERIFY(item->cachedPixmap().isNull());
    item->setReady(true);
    QVERIFY(!item->cachedPixmap().isNull());
    QVERIFY(!item->isDirty());

    item->hide();
    item->setStatus(trx::ScheduleStatus::Completed);
    QVERIFY(item->isDirty());
    QCOMPARE(pixel(item, 390, 6), kDarkBlue);
    item->show();
    QVERIFY(!item->isDirty());
    QCOMPARE(pixel(item, 390, 6), kBody);
}

void tst_TimelineItemWidget::longTextIsElided()
{
    auto *item = new TimelineItemWidget(m_timeline, QString(60, QLatin1Char('W')), 0, 1000,
                                        QString(60, QLatin1Char('8')), QStringLiteral("x"),
                                        QString(60, QLatin1Char('M')));
    item->setAssignedSize(160, 120);
    item->show();
    item->setReady(true);
    const QImage image = item->cachedPixmap().toImage();
    // Nothing is written into the last 10 columns on the name, start and status lines.
    for (int y : {12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 34, 40, 45, 100, 105, 110}) {
        for (int x = 150; x < 160; ++x)
            QCOMPARE(image.pixelColor(x, y), kBody);
    }
}

void tst_TimelineItemWidget::duration()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Scheduled);
    QCOMPARE(item->durationText(), QString());
    item->setDuration(QString());
    QCOMPARE(item->durationText(), QString()); // unchanged: empty equals the current text
    item->setDuration(QStringLiteral("00:01:00:00"));
    QCOMPARE(item->durationText(), QStringLiteral("00:01:00:00"));
    item->setDuration(QString());
    QCOMPARE(item->durationText(), QStringLiteral("--:--:--:--"));
}

void tst_TimelineItemWidget::maintenance()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Scheduled);
    item->setReady(true);
    QCOMPARE(item->styleSheet(), QStringLiteral("background-color: rgb(178,178,178);"));
    item->setMaintenance(true);
    QVERIFY(item->isMaintenance());
    QCOMPARE(item->styleSheet(), QStringLiteral("background-color: rgb(255, 255, 0);"));
    QCOMPARE(item->durationText(), QStringLiteral("00:00:10:00"));
    QCOMPARE(pixel(item, 390, 6), QColor(255, 255, 0));
    item->setMaintenance(false);
    QCOMPARE(item->styleSheet(), QStringLiteral("background-color: rgb(178,178,178);"));
    QCOMPARE(pixel(item, 390, 6), kBody);
}

void tst_TimelineItemWidget::hoverEnlargesAndRestores()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting, 10, 120, 40);
    TimelineItemWidget *neighbour = makeItem(trx::ScheduleStatus::Waiting, 60, 120, 40);
    item->setReady(true);
    QCOMPARE(m_timeline->children().last(), neighbour);

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(item, &enter);
    QVERIFY(item->isHovered());
    QCOMPARE(item->size(), QSize(500, 95));
    QCOMPARE(m_timeline->children().last(), item);
    QCOMPARE(item->cachedPixmap().size(), QSize(500, 95));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(item, &leave);
    QVERIFY(!item->isHovered());
    QCOMPARE(item->size(), QSize(120, 40));
    QCOMPARE(item->cachedPixmap().size(), QSize(120, 40));

    // A relayout while hovered keeps the enlargement and remembers the new size for afterwards.
    QApplication::sendEvent(item, &enter);
    item->setAssignedSize(130, 50);
    QCOMPARE(item->size(), QSize(500, 95));
    QApplication::sendEvent(item, &leave);
    QCOMPARE(item->size(), QSize(130, 50));
}

void tst_TimelineItemWidget::pinnedKeepsHoverSize()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting, 10, 120, 40);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(item, &enter);
    item->setPinned(true);
    QApplication::sendEvent(item, &leave);
    QCOMPARE(item->size(), QSize(500, 95));
    item->setPinned(false);
    QCOMPARE(item->size(), QSize(120, 40));

    item->setPinned(true); // pinned from the menu without hovering
    QCOMPARE(item->size(), QSize(500, 95));
    item->setPinned(false);
    QCOMPARE(item->size(), QSize(120, 40));
}

void tst_TimelineItemWidget::largeItemKeepsItsSize()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting, 10, 600, 40);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(item, &enter);
    QCOMPARE(item->size(), QSize(600, 95));
}

void tst_TimelineItemWidget::contextMenuSignal()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting);
    QSignalSpy spy(item, &TimelineItemWidget::sigContextMenu);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), item->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(item, &event);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toPoint(), QCursor::pos());
}

void tst_TimelineItemWidget::nameEditing()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Scheduled);
    item->setReady(true);
    QSignalSpy spy(item, &TimelineItemWidget::sigNameChanged);
    item->editName();
    QVERIFY(item->isEditingName());
    auto *edit = item->findChild<QLineEdit *>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("Sched"));
    edit->setText(QStringLiteral("  Interview 2  "));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!item->isEditingName());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Interview 2"));
    QCOMPARE(item->name(), QStringLiteral("Interview 2"));

    // Unchanged and empty names are not reported.
    item->editName();
    QTest::keyClick(edit, Qt::Key_Return);
    item->editName();
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(item->name(), QStringLiteral("Interview 2"));
}

void tst_TimelineItemWidget::nameEditCancelled()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Scheduled);
    QSignalSpy spy(item, &TimelineItemWidget::sigNameChanged);
    item->editName();
    auto *edit = item->findChild<QLineEdit *>();
    edit->setText(QStringLiteral("other"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(!item->isEditingName());
    item->nameEditFinished();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(item->name(), QStringLiteral("Sched"));
}

void tst_TimelineItemWidget::onlyItemsOnScreenRenderAhead_data()
{
    QTest::addColumn<QRect>("clip"); // the box between the timeline and the item
    QTest::addColumn<QPoint>("itemPos");
    QTest::addColumn<bool>("renderedAhead");

    QTest::newRow("inside the box") << QRect(0, 0, 500, 200) << QPoint(50, 20) << true;
    QTest::newRow("partly left of the box") << QRect(0, 0, 500, 200) << QPoint(-300, 20) << true;
    QTest::newRow("left of the box") << QRect(0, 0, 500, 200) << QPoint(-450, 20) << false;
    QTest::newRow("below the box") << QRect(0, 0, 500, 200) << QPoint(50, 210) << false;
    QTest::newRow("box beyond the window") << QRect(1100, 0, 500, 200) << QPoint(0, 20) << false;
}

void tst_TimelineItemWidget::onlyItemsOnScreenRenderAhead()
{
    QFETCH(QRect, clip);
    QFETCH(QPoint, itemPos);
    QFETCH(bool, renderedAhead);

    auto *box = new QWidget(m_timeline);
    box->setGeometry(clip);
    box->show();
    auto *item = new TimelineItemWidget(box, QStringLiteral("Sched"), 0, 1000, QStringLiteral("1"),
                                        QStringLiteral("2"), QString());
    item->setStatus(trx::ScheduleStatus::InProgress);
    item->setAssignedSize(400, 120);
    item->move(itemPos);
    item->show();
    item->setProgress(50, -1);
    item->setReady(true);
    QCOMPARE(!item->cachedPixmap().isNull(), renderedAhead);
    QCOMPARE(item->isDirty(), !renderedAhead || itemPos.x() < 0);

    // Brought on screen, its first paint renders it.
    box->setGeometry(0, 0, 500, 200);
    item->move(50, 20);
    const QImage shot = m_timeline->grab().toImage();
    QVERIFY(!item->cachedPixmap().isNull());
    QCOMPARE(shot.pixelColor(50 + 190, 20 + 6), kLightBlue);
    QCOMPARE(shot.pixelColor(50 + 390, 20 + 6), kDarkBlue);
}

void tst_TimelineItemWidget::releasedCacheRendersOnPaint()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Completed, 100);
    item->setProgress(100, -1);
    item->setReady(true);
    const qint64 held = TimelineItemWidget::cachedBytes();
    const QPixmap &cache = item->cachedPixmap();
    const qint64 mine = qint64(cache.width()) * cache.height() * (cache.depth() / 8);
    QVERIFY(mine >= 400 * 120 * 3);
    item->releaseCache();
    QVERIFY(item->cachedPixmap().isNull());
    QVERIFY(item->isDirty());
    QCOMPARE(TimelineItemWidget::cachedBytes(), held - mine);
    // A change while released is drawn by the next paint.
    item->hide();
    item->setStatus(trx::ScheduleStatus::TransferError);
    item->show();
    const QImage shot = m_timeline->grab().toImage();
    QCOMPARE(shot.pixelColor(100 + 390, 20 + 6), kErrorFill);
    QVERIFY(!item->cachedPixmap().isNull());
}

void tst_TimelineItemWidget::cachesStayWithinTheBudget()
{
    const qint64 one = qint64(400) * 120 * 4;
    TimelineItemWidget::setCacheBudget(3 * one);
    QList<TimelineItemWidget *> items;
    for (int i = 0; i < 6; ++i) {
        TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting, 10 * i);
        item->setProgress(10, -1);
        item->setReady(true);
        items.append(item);
        QVERIFY(TimelineItemWidget::cachedBytes() <= 3 * one);
        // The item just rendered always keeps its picture.
        QVERIFY(!item->cachedPixmap().isNull());
    }
    QVERIFY(items.first()->cachedPixmap().isNull());
    // Dropped pictures come back when painted, still within the budget.
    const QImage shot = m_timeline->grab().toImage();
    QCOMPARE(shot.pixelColor(390, 20 + 6), kDarkBlue);
    QVERIFY(TimelineItemWidget::cachedBytes() <= 3 * one);
    // Deleting items gives their share back.
    qDeleteAll(items);
    QCOMPARE(TimelineItemWidget::cachedBytes(), qint64(0));
}

void tst_TimelineItemWidget::deferredSizeAppliesLater()
{
    TimelineItemWidget *item = makeItem(trx::ScheduleStatus::Waiting, 10, 300, 80);
    item->setAssignedSizeLater(200, 60);
    QVERIFY(item->isSizePending());
    QCOMPARE(item->assignedWidth(), 200);
    QCOMPARE(item->size(), QSize(300, 80));
    item->applyAssignedSize();
    QVERIFY(!item->isSizePending());
    QCOMPARE(item->size(), QSize(200, 60));
    // A size set at once replaces a pending one.
    item->setAssignedSizeLater(100, 40);
    item->setAssignedSize(250, 70);
    item->applyAssignedSize();
    QCOMPARE(item->size(), QSize(250, 70));
}

QTEST_MAIN(tst_TimelineItemWidget)
#include "tst_timelineitemwidget.moc"

void tst_TimelineItemWidget::textsOnScreen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("itemX");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("texts");

    const QStringList all = {
        QStringLiteral("News"),        QStringLiteral("Start: "),         QStringLiteral("[8] 10:00:00:00"),
        QStringLiteral("End: "),       QStringLiteral("[8] 10:30:00:00"), QStringLiteral("Dur: "),
        QStringLiteral("00:30:00:00"), QStringLiteral("Scheduled...")};
    QTest::newRow("started before the view") << "News" << -600 << 900 << 120 << all;
    QTest::newRow("across the whole view") << "News" << -600 << 3000 << 120 << all;
    QTest::newRow("narrow, the name fits") << "A1" << 100 << 40 << 120 << QStringList{QStringLiteral("A1")};
    QTest::newRow("narrow, the name does not fit") << "Wide Schedule" << 100 << 40 << 120 << QStringList();
    QTest::newRow("mostly left of the view") << "Wide Schedule" << -960 << 1000 << 120 << QStringList();
    QTest::newRow("compact row") << "News" << 0 << 400 << 38
                                 << QStringList{QStringLiteral("News  Scheduled...")};
}

// Whatever part of an item is on screen says what the item is, from the visible left edge on,
// and never shows a cut-off fragment.
void tst_TimelineItemWidget::textsOnScreen()
{
    QFETCH(QString, name);
    QFETCH(int, itemX);
    QFETCH(int, width);
    QFETCH(int, height);
    auto *item = new TimelineItemWidget(m_timeline, name, 0, 1000, QStringLiteral("[8] 10:00:00:00"),
                                        QStringLiteral("[8] 10:30:00:00"), QStringLiteral("Scheduled..."));
    item->setDuration(QStringLiteral("00:30:00:00"));
    item->setAssignedSize(width, height);
    item->move(itemX, 20);
    item->show();
    item->setReady(true);
    QTEST(item->drawnTexts(), "texts");
    // Whatever is drawn, the tool tip tells all.
    QVERIFY(item->toolTipText().contains(name) && item->toolTipText().contains(QStringLiteral("[8] 10:30:00:00")));
    if (itemX >= 0 || item->drawnTexts().isEmpty())
        return;
    // The name is written just right of the timeline's left edge.
    const QImage shot = m_timeline->grab().toImage();
    bool written = false;
    for (int x = 8; x < 60 && !written; ++x) {
        for (int y = 20 + 10; y < 20 + 26 && !written; ++y)
            written = shot.pixelColor(x, y).lightness() < 100;
    }
    QVERIFY(written);
}
