#include "cmn/timecodemode.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor kBand(56, 75, 109);

TimeCode timecodeAt(int frames)
{
    TimeCode tc;
    tc.frames = frames;
    tc.valid = true;
    return tc;
}

} // namespace

class tst_TimelineWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void equalSpansShareHalfHeight();
    void shortInsideLongTakesSecondLane();
    void isolatedItemKeepsFullHeight();
    void itemWidthFollowsZoom();
    void scrolledOutItemsAreHiddenNotDeleted();
    void firstValidTimecodeLaysOut();
    void removeByTaskIdDeletesTheItem();
    void addingTwiceIsIgnored();
    void rangesArePainted_data();
    void rangesArePainted();
    void proxyBandBelowMasterBand();
    void markColumns();
    void dayLineAndRemainMarker();
    void itemsOutOfViewLetGoOfTheirPicture();
    void itemsOutOfViewTakeTheirSizeWhenBack();
    void changedRangeIsRepacked();
    void widgetsFollowTheView_data();
    void widgetsFollowTheView();
    void heldItemKeepsItsWidget_data();
    void heldItemKeepsItsWidget();
    void passedMaintenanceShowsFixedText_data();
    void passedMaintenanceShowsFixedText();
    void widgetCountBoundedByView_data();
    void widgetCountBoundedByView();

private:
    TimelineItemWidget *addItem(int start, int length, const QString &taskId)
    {
        auto *item = new TimelineItemWidget(nullptr, taskId, start, length, QStringLiteral("s"),
                                            QStringLiteral("e"), QStringLiteral("Scheduled"));
        item->setValue(TimelineItemWidget::TaskIdKey, taskId);
        item->setReady(true);
        m_timeline->addItem(item, true);
        return item;
    }
    int bandPixels(const QImage &image, int y)
    {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == kBand ? 1 : 0;
        return count;
    }

    static bool hasColorNear(const QImage &image, int x, int y, const QColor &color)
    {
        for (int dx = -1; dx <= 1; ++dx) {
            if (image.pixelColor(x + dx, y) == color)
                return true;
        }
        return false;
    }

    void setData(const QString &id, int start, int length)
    {
        TimelineItemData data;
        data.taskId = id;
        data.name = id;
        data.startFrame = start;
        data.length = length;
        data.statusText = QStringLiteral("Scheduled...");
        m_timeline->setItem(data, true);
    }

    TimelineWidget *m_timeline = nullptr;
};

void tst_TimelineWidget::init()
{
    m_timeline = new TimelineWidget;
    m_timeline->resize(1000, 240);
    m_timeline->setViewFrames(10000); // 0.1 pixel per frame
    m_timeline->setAnchor(0, 0);
    m_timeline->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_timeline));
    m_timeline->setCurrentTc(timecodeAt(0));
}

void tst_TimelineWidget::cleanup()
{
    delete m_timeline;
    m_timeline = nullptr;
}

void tst_TimelineWidget::equalSpansShareHalfHeight()
{
    TimelineItemWidget *a = addItem(1000, 2000, QStringLiteral("a"));
    TimelineItemWidget *b = addItem(1000, 2000, QStringLiteral("b"));
    QCOMPARE(m_timeline->groups().size(), 1);
    QCOMPARE(m_timeline->groups().first().size(), 2);
    const int half = (240 - 40) / 2 - 2;
    QCOMPARE(a->assignedHeight(), half);
    QCOMPARE(b->assignedHeight(), half);
    QCOMPARE(a->height(), half);
    QVERIFY(a->y() != b->y());
    QCOMPARE(qMin(a->y(), b->y()), 20);
    QCOMPARE(qMax(a->y(), b->y()), 20 + 100);
}

void tst_TimelineWidget::shortInsideLongTakesSecondLane()
{
    TimelineItemWidget *shortItem = addItem(1500, 500, QStringLiteral("short"));
    TimelineItemWidget *longItem = addItem(1000, 4000, QStringLiteral("long"));
    QCOMPARE(m_timeline->groups().size(), 1);
    QCOMPARE(longItem->y(), 20);
    QCOMPARE(shortItem->y(), 120);
    QCOMPARE(shortItem->x(), 150);
    QCOMPARE(longItem->x(), 100);
}

void tst_TimelineWidget::isolatedItemKeepsFullHeight()
{
    addItem(1000, 2000, QStringLiteral("a"));
    addItem(1000, 2000, QStringLiteral("b"));
    TimelineItemWidget *lone = addItem(6000, 1000, QStringLiteral("lone"));
    QCOMPARE(m_timeline->groups().size(), 2);
    QCOMPARE(lone->assignedHeight(), 240 - 40 - 2);
    QCOMPARE(lone->y(), 20);
    // Resizing re-lays out with the new height.
    m_timeline->resize(1000, 165);
    QCOMPARE(lone->assignedHeight(), 165 - 40 - 2);
}

void tst_TimelineWidget::itemWidthFollowsZoom()
{
    TimelineItemWidget *item = addItem(1000, 2000, QStringLiteral("a"));
    QCOMPARE(item->assignedWidth(), 200);
    m_timeline->setViewFrames(1000);
    QCOMPARE(item->assignedWidth(), 2000);
    TimelineItemWidget *tiny = addItem(5000, 1, QStringLiteral("tiny"));
    m_timeline->setViewFrames(1000000);
    QCOMPARE(tiny->assignedWidth(), 1);
}

void tst_TimelineWidget::scrolledOutItemsAreHiddenNotDeleted()
{
    QPointer<TimelineItemWidget> item = addItem(1000, 2000, QStringLiteral("a"));
    QVERIFY(item->isVisible());
    m_timeline->setAnchor(100000, 0);
    m_timeline->setCurrentTc(timecodeAt(100000));
    QVERIFY(item);
    QVERIFY(!item->isVisible());
    QCOMPARE(m_timeline->itemCount(), 1);
    // An item whose right end is still at the left edge counts as in view.
    m_timeline->setAnchor(3000, 0);
    m_timeline->setCurrentTc(timecodeAt(3000));
    QVERIFY(item->isVisible());
    QCOMPARE(item->x(), -200);
    m_timeline->setAnchor(-10000, 0);
    m_timeline->setCurrentTc(timecodeAt(0));
    QVERIFY(!item->isVisible());
    m_timeline->setAnchor(0, 0);
    m_timeline->setCurrentTc(timecodeAt(0));
    QVERIFY(item->isVisible());
    QCOMPARE(item->pos(), QPoint(100, 20));
}

void tst_TimelineWidget::firstValidTimecodeLaysOut()
{
    TimelineWidget timeline;
    timeline.resize(1000, 240);
    timeline.setViewFrames(10000);
    auto *item =
        new TimelineItemWidget(nullptr, QStringLiteral("a"), 5000, 1000, QString(), QString(), QString());
    timeline.addItem(item, false);
    timeline.show();
    QVERIFY(QTest::qWaitForWindowExposed(&timeline));
    timeline.setAnchor(0, 0);
    timeline.setCurrentTc(timecodeAt(10));
    QCOMPARE(item->pos(), QPoint(500, 20));
    QCOMPARE(item->assignedHeight(), 198);
}

void tst_TimelineWidget::removeByTaskIdDeletesTheItem()
{
    QPointer<TimelineItemWidget> a = addItem(1000, 2000, QStringLiteral("a"));
    QPointer<TimelineItemWidget> b = addItem(1000, 2000, QStringLiteral("b"));
    QCOMPARE(m_timeline->taskIds(), (QList<QString>{QStringLiteral("a"), QStringLiteral("b")}));
    m_timeline->removeItemsByTaskId(QStringLiteral("a"));
    QVERIFY(!a);
    QVERIFY(b);
    // The survivor gets the whole height back.
    QCOMPARE(b->assignedHeight(), 198);
    m_timeline->removeItems({QStringLiteral("b"), QStringLiteral("unknown")});
    QVERIFY(!b);
    QCOMPARE(m_timeline->itemCount(), 0);
}

void tst_TimelineWidget::addingTwiceIsIgnored()
{
    TimelineItemWidget *a = addItem(1000, 2000, QStringLiteral("a"));
    m_timeline->addItem(a, true);
    QCOMPARE(m_timeline->itemCount(), 1);
    QCOMPARE(a->assignedHeight(), 198);
}

void tst_TimelineWidget::rangesArePainted_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("plain range") << 1000 << 3000 << true;
    QTest::newRow("zero length") << 1000 << 0 << false;
    QTest::newRow("narrower than a pixel") << 1000 << 2 << true;
    QTest::newRow("out of view") << -50000 << 1000 << false;
}

void tst_TimelineWidget::rangesArePainted()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, drawn);
    m_timeline->setRanges({UsableRange{start, length}}, {}, false);
    const QImage image = m_timeline->grab().toImage();
    // The outline's left edge crosses every row whatever the hatching does.
    QCOMPARE(bandPixels(image, 120) > 0, drawn);
}

void tst_TimelineWidget::proxyBandBelowMasterBand()
{
    m_timeline->setRanges({}, {UsableRange{1000, 3000}}, true);
    QImage image = m_timeline->grab().toImage();
    const int band = (240 - 10) / 2;
    QVERIFY(bandPixels(image, band + 60) > 0);
    QCOMPARE(bandPixels(image, band - 60), 0);
    QCOMPARE(m_timeline->proxyRanges().size(), 1);
    // Without the proxy flag the proxy list is not drawn.
    m_timeline->setRanges({}, {UsableRange{1000, 3000}}, false);
    image = m_timeline->grab().toImage();
    QCOMPARE(bandPixels(image, band + 60), 0);
}

void tst_TimelineWidget::markColumns()
{
    QVERIFY(!m_timeline->hasMarkStart());
    m_timeline->setCurrentTc(timecodeAt(2000));
    m_timeline->setMarkStart(500);
    m_timeline->setMarkEnd(7000);
    QCOMPARE(m_timeline->markStartX(), 250);
    QCOMPARE(m_timeline->markEndX(), 700);
    // The start mark is an offset from the current position and moves with it.
    m_timeline->setCurrentTc(timecodeAt(3000));
    QCOMPARE(m_timeline->markStartX(), 350);
    QCOMPARE(m_timeline->markEndX(), 700);
    const QImage image = m_timeline->grab().toImage();
    QVERIFY(hasColorNear(image, 350, 5, Qt::yellow));
    QVERIFY(hasColorNear(image, 700, 5, Qt::red));
    QVERIFY(!hasColorNear(image, 700, 15, Qt::red)); // a gap between dashes
    QVERIFY(hasColorNear(image, 700, 25, Qt::red));
    m_timeline->clearMarks();
    QVERIFY(!hasColorNear(m_timeline->grab().toImage(), 350, 5, Qt::yellow));
}

void tst_TimelineWidget::dayLineAndRemainMarker()
{
    QCOMPARE(m_timeline->line24hX(), -1);
    QCOMPARE(m_timeline->remainX(), -1);
    m_timeline->setCurrentTc(timecodeAt(1000));
    m_timeline->set24hLine(4000);
    m_timeline->setRemainFrames(2000);
    QCOMPARE(m_timeline->line24hX(), 400);
    QCOMPARE(m_timeline->remainX(), 300);
    // The remaining-time marker counts from the current position.
    m_timeline->setCurrentTc(timecodeAt(2000));
    QCOMPARE(m_timeline->remainX(), 400);
    const QImage image = m_timeline->grab().toImage();
    QCOMPARE(image.pixelColor(400, 100), QColor(255, 140, 0));
    m_timeline->clear24hLine();
    m_timeline->setRemainFrames(-1);
    QCOMPARE(m_timeline->line24hX(), -1);
    QCOMPARE(m_timeline->remainX(), -1);
}

void tst_TimelineWidget::itemsOutOfViewLetGoOfTheirPicture()
{
    TimelineItemWidget *item = addItem(1000, 2000, QStringLiteral("a"));
    QVERIFY(!item->cachedPixmap().isNull());
    m_timeline->setAnchor(100000, 0);
    m_timeline->setCurrentTc(timecodeAt(100000));
    QVERIFY(!item->isVisible());
    QVERIFY(item->cachedPixmap().isNull());
    m_timeline->setAnchor(0, 0);
    m_timeline->setCurrentTc(timecodeAt(0));
    QVERIFY(item->isVisible());
    QVERIFY(!item->cachedPixmap().isNull());
}

void tst_TimelineWidget::itemsOutOfViewTakeTheirSizeWhenBack()
{
    TimelineItemWidget *near = addItem(1000, 2000, QStringLiteral("near"));
    addItem(50000, 2000, QStringLiteral("far"));
    // Far out of view an item has no widget to size at all.
    QVERIFY(!m_timeline->itemWidget(QStringLiteral("far")));
    m_timeline->setViewFrames(5000); // 0.2 pixel per frame
    QCOMPARE(near->width(), 400);
    m_timeline->setAnchor(50000, 0);
    m_timeline->setCurrentTc(timecodeAt(50000));
    TimelineItemWidget *far = m_timeline->itemWidget(QStringLiteral("far"));
    QVERIFY(far && far->isVisible());
    QCOMPARE(far->size(), QSize(400, 198));
    QCOMPARE(far->pos(), QPoint(0, 20));
}

void tst_TimelineWidget::changedRangeIsRepacked()
{
    TimelineItemWidget *a = addItem(1000, 2000, QStringLiteral("a"));
    TimelineItemWidget *b = addItem(6000, 1000, QStringLiteral("b"));
    QCOMPARE(m_timeline->groups().size(), 2);
    TimelineItemData moved = *m_timeline->itemData(QStringLiteral("b"));
    moved.startFrame = 2000;
    m_timeline->setItem(moved, true);
    QCOMPARE(m_timeline->groups().size(), 1);
    QCOMPARE(a->assignedHeight(), 98);
    QCOMPARE(b->y(), 120);
    QCOMPARE(b->x(), 200);
}

void tst_TimelineWidget::widgetsFollowTheView_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("bound");
    QTest::addColumn<QString>("shown");
    // 1000 pixels wide; items a at 1000, b at 30000, c at 60000, d at -30000, 2000 frames each.
    QTest::newRow("start") << 0 << 10000 << "a" << "a";
    QTest::newRow("pan: b just beyond the right edge") << 19000 << 10000 << "b" << "";
    QTest::newRow("pan onto b") << 28000 << 10000 << "b" << "b";
    QTest::newRow("pan: d just beyond the left edge") << -27000 << 10000 << "d" << "";
    QTest::newRow("zoom out") << 0 << 100000 << "abc" << "abc";
    QTest::newRow("zoom in") << 500 << 1000 << "a" << "a";
}

void tst_TimelineWidget::widgetsFollowTheView()
{
    QFETCH(int, anchor);
    QFETCH(int, frames);
    QFETCH(QString, bound);
    QFETCH(QString, shown);
    setData(QStringLiteral("a"), 1000, 2000);
    setData(QStringLiteral("b"), 30000, 2000);
    setData(QStringLiteral("c"), 60000, 2000);
    setData(QStringLiteral("d"), -30000, 2000);
    m_timeline->setAnchor(anchor, 0);
    m_timeline->setViewFrames(frames);
    QString hasWidget;
    QString visible;
    for (const QString &id : QStringList{"a", "b", "c", "d"}) {
        TimelineItemWidget *item = m_timeline->itemWidget(id);
        hasWidget += item ? id : QString();
        visible += item && item->isVisible() ? id : QString();
        if (item)
            QCOMPARE(item->taskId(), id);
    }
    QCOMPARE(hasWidget, bound);
    QCOMPARE(visible, shown);
    QCOMPARE(m_timeline->items().size(), bound.size());
}

void tst_TimelineWidget::heldItemKeepsItsWidget_data()
{
    QTest::addColumn<QString>("hold");
    QTest::addColumn<bool>("kept");
    QTest::newRow("pinned (menu open, flashed)") << "pinned" << true;
    QTest::newRow("hovered") << "hovered" << true;
    QTest::newRow("name being edited") << "editing" << true;
    QTest::newRow("nothing") << "" << false;
}

void tst_TimelineWidget::heldItemKeepsItsWidget()
{
    QFETCH(QString, hold);
    QFETCH(bool, kept);
    setData(QStringLiteral("a"), 1000, 2000);
    QPointer<TimelineItemWidget> item = m_timeline->itemWidget(QStringLiteral("a"));
    QVERIFY(item);
    if (hold == QLatin1String("pinned")) {
        item->setPinned(true);
    } else if (hold == QLatin1String("hovered")) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(item, &enter);
    } else if (hold == QLatin1String("editing")) {
        item->editName();
    }
    // Scrolled far away, other items come into view and take the spare widgets.
    setData(QStringLiteral("far"), 200000, 2000);
    m_timeline->setView(199000, 0);
    QCOMPARE(m_timeline->itemWidget(QStringLiteral("a")) == item.data(), kept);
    QVERIFY(item);
    QCOMPARE(item->isHidden(), kept);
    m_timeline->setView(0, 0);
    QCOMPARE(m_timeline->itemWidget(QStringLiteral("a"))->taskId(), QStringLiteral("a"));
    QVERIFY(m_timeline->itemWidget(QStringLiteral("a"))->isVisible());
    if (kept)
        QCOMPARE(item->isPinned() || item->isHovered() || item->isEditingName(), true);
}

void tst_TimelineWidget::passedMaintenanceShowsFixedText_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("added as maintenance") << "added";
    QTest::newRow("made maintenance by a change") << "changed";
    QTest::newRow("a schedule before it removed") << "removed";
}

// The clock checks only the maintenance items; whichever way an item became one, its window gets
// the fixed text back once it has passed.
void tst_TimelineWidget::passedMaintenanceShowsFixedText()
{
    QFETCH(QString, how);
    setData(QStringLiteral("first"), 0, 100);
    TimelineItemData data;
    data.taskId = QStringLiteral("mtn");
    data.startFrame = 1000;
    data.length = 250;
    data.durationText = QStringLiteral("00:00:05:00");
    data.maintenance = how != QLatin1String("changed");
    m_timeline->setItem(data, true);
    if (how == QLatin1String("changed")) {
        data.maintenance = true;
        m_timeline->setItem(data, true);
    } else if (how == QLatin1String("removed")) {
        m_timeline->removeItemsByTaskId(QStringLiteral("first"));
    }
    m_timeline->setCurrentTc(timecodeAt(1200));
    QCOMPARE(m_timeline->itemData(QStringLiteral("mtn"))->durationText, QStringLiteral("00:00:05:00"));
    m_timeline->setCurrentTc(timecodeAt(1300));
    QCOMPARE(m_timeline->itemData(QStringLiteral("mtn"))->durationText, QStringLiteral("00:00:10:00"));
}

void tst_TimelineWidget::widgetCountBoundedByView_data()
{
    QTest::addColumn<bool>("shownTimeline");
    QTest::addColumn<bool>("inScrollView");
    QTest::addColumn<int>("maxWidgets");
    // 1000 items, 10 in view; a margin of 200 pixels each side holds 2 more per side.
    QTest::newRow("not shown yet (start-up)") << false << true << 0;
    QTest::newRow("in view") << true << true << 14;
    QTest::newRow("row scrolled out of its scroll area") << true << false << 0;
}

void tst_TimelineWidget::widgetCountBoundedByView()
{
    QFETCH(bool, shownTimeline);
    QFETCH(bool, inScrollView);
    QFETCH(int, maxWidgets);
    QScrollArea area;
    area.resize(1100, 300);
    auto *content = new QWidget;
    content->resize(1000, 3000);
    auto *timeline = new TimelineWidget(content);
    timeline->setGeometry(0, 0, 1000, 240);
    area.setWidget(content);
    timeline->setAnchor(0, 0);
    timeline->setViewFrames(10000);
    for (int i = 0; i < 1000; ++i) {
        TimelineItemData data;
        data.taskId = QString::number(i);
        data.startFrame = i * 1000;
        data.length = 500;
        timeline->setItem(data, false);
    }
    timeline->relayout();
    if (shownTimeline) {
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
    }
    if (!inScrollView)
        area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    timeline->setCurrentTc(timecodeAt(0));
    QVERIFY2(timeline->liveWidgetCount() <= maxWidgets, qPrintable(QString::number(timeline->liveWidgetCount())));
    QCOMPARE(timeline->itemCount(), 1000);
    if (maxWidgets > 0)
        QVERIFY(timeline->items().size() >= 10);
    if (!inScrollView) {
        // Scrolled back, the row gets its widgets again.
        area.verticalScrollBar()->setValue(0);
        QVERIFY(timeline->items().size() >= 10);
    }
}

QTEST_MAIN(tst_TimelineWidget)
#include "tst_timelinewidget.moc"
