#include "cmn/framerate.h"
#include "cmn/timecodemode.h"
#include "views/timeaxis.h"
#include "views/timelinewidget.h"

#include <QtTest>

Q_DECLARE_METATYPE(ZoomLevels)

namespace {

const ZoomLevels kLevels = {{300, 1800, 18000, 108000, 2592000, 38880000}};
constexpr int kDay30 = 2592000;

} // namespace

class tst_TimeAxis : public QObject
{
    Q_OBJECT

private slots:
    void zoomLevels_data();
    void zoomLevels();
    void zoomInterpolation_data();
    void zoomInterpolation();
    void zoomGrowsMonotonically();
    void scrollRangeEnds_data();
    void scrollRangeEnds();
    void scrollRangeWithoutDay();
    void zoomAtMouseKeepsTheFrameUnderTheMouse_data();
    void zoomAtMouseKeepsTheFrameUnderTheMouse();
    void rangeRects_data();
    void rangeRects();
};

void tst_TimeAxis::zoomLevels_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<ZoomLevels>("expected");

    QTest::newRow("no mode uses the 30 frame defaults") << 0 << false << kLevels;
    QTest::newRow("30") << 30 << false << kLevels;
    QTest::newRow("25") << 25 << false << ZoomLevels{{250, 1500, 15000, 90000, 2160000, 32400000}};
    QTest::newRow("24") << 24 << false << ZoomLevels{{240, 1440, 14400, 86400, 2073600, 31104000}};
    // Drop-frame counts skip two labels every minute except each tenth.
    QTest::newRow("30 drop") << 30 << true << ZoomLevels{{300, 1798, 17982, 107892, 2589408, 38841120}};
}

void tst_TimeAxis::zoomLevels()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    FrameRate rate;
    rate.mode = fps ? cmn::get_timecode_mode(fps, drop) : nullptr;
    QFETCH(ZoomLevels, expected);
    QCOMPARE(zoomLevelsFor(rate), expected);
}

void tst_TimeAxis::zoomInterpolation_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("frames");

    const double step = 299 / 5.0;
    QTest::newRow("maximum shows L0") << 299.0 << 300;
    QTest::newRow("4 steps show L1") << 4 * step << 1800;
    QTest::newRow("3 steps show L2") << 3 * step << 18000;
    QTest::newRow("2 steps show L3") << 2 * step << 108000;
    QTest::newRow("1 step shows L4") << step << 2592000;
    QTest::newRow("minimum shows L5") << 0.0 << 38880000;
    QTest::newRow("half way between L1 and L0") << 4.5 * step << 1050;
    QTest::newRow("slider middle 149") << 149.0 << 63752;
    QTest::newRow("below the slider keeps the value") << -1.0 << 12345;
    QTest::newRow("above the slider keeps the value") << 300.0 << 12345;
}

void tst_TimeAxis::zoomInterpolation()
{
    QFETCH(double, value);
    QTEST(zoomViewFrames(value, 299, kLevels, 12345), "frames");
}

void tst_TimeAxis::zoomGrowsMonotonically()
{
    int previous = zoomViewFrames(0, 299, kLevels, 0);
    for (int v = 1; v <= 299; ++v) {
        const int frames = zoomViewFrames(v, 299, kLevels, 0);
        QVERIFY2(frames < previous, qPrintable(QString::number(v)));
        previous = frames;
    }
}

void tst_TimeAxis::scrollRangeEnds_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("viewFrames");
    QTest::addColumn<int>("width");

    QTest::newRow("midnight, one hour shown") << 0 << 108000 << 1000;
    QTest::newRow("noon, ten seconds shown") << kDay30 / 2 << 300 << 1422;
    QTest::newRow("late evening, a day shown") << kDay30 - 1000 << kDay30 << 800;
    QTest::newRow("fifteen days shown") << 1234567 << 15 * kDay30 << 1500;
}

void tst_TimeAxis::scrollRangeEnds()
{
    QFETCH(int, current);
    QFETCH(int, viewFrames);
    QFETCH(int, width);
    const ScrollRange r = computeScrollRange(kDay30, current, viewFrames, width);
    QCOMPARE(r.step, qMax(1, viewFrames / 20));
    // Left edge of the timeline at the minimum, right edge at the maximum (a frame of rounding).
    const double leftEdge = current + r.minimum - double(r.originX) / width * viewFrames;
    const double rightEdge = current + r.maximum + double(width - r.originX) / width * viewFrames;
    QVERIFY2(qAbs(leftEdge + 7.0 * kDay30) <= 1.0 + double(viewFrames) / width,
             qPrintable(QString::number(leftEdge)));
    QVERIFY2(qAbs(rightEdge - 8.0 * kDay30) <= 1.0 + double(viewFrames) / width,
             qPrintable(QString::number(rightEdge)));
    QVERIFY(r.minimum <= 0 && r.maximum >= 0);
}

void tst_TimeAxis::scrollRangeWithoutDay()
{
    const ScrollRange r = computeScrollRange(0, 100, 3000, 1000);
    QCOMPARE(r.minimum, 0);
    QCOMPARE(r.maximum, 0);
    QCOMPARE(r.step, 150);
}

void tst_TimeAxis::zoomAtMouseKeepsTheFrameUnderTheMouse_data()
{
    QTest::addColumn<int>("mouseX");
    QTest::addColumn<int>("oldFrames");
    QTest::addColumn<int>("newFrames");

    QTest::newRow("zoom in right of the anchor") << 900 << 18000 << 17000;
    QTest::newRow("zoom in left of the anchor") << 50 << 18000 << 17000;
    QTest::newRow("zoom out at the anchor") << 480 << 1800 << 2000;
    QTest::newRow("zoom out at the right edge") << 1000 << 108000 << 400000;
}

void tst_TimeAxis::zoomAtMouseKeepsTheFrameUnderTheMouse()
{
    QFETCH(int, mouseX);
    QFETCH(int, oldFrames);
    QFETCH(int, newFrames);
    const int width = 1000;
    const int originX = 480;
    const int current = 500000;
    const qint64 anchor = current + 7000;
    const double before = anchor + double(mouseX - originX) / width * oldFrames;
    const int pan = panAfterZoomAtMouse(mouseX, originX, width, oldFrames, newFrames, anchor, current);
    const double after = current + pan + double(mouseX - originX) / width * newFrames;
    QVERIFY2(qAbs(after - before) <= 1.0, qPrintable(QStringLiteral("%1 vs %2").arg(after).arg(before)));
}

void tst_TimeAxis::rangeRects_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QRect>("expected");

    // 0.1 pixels per frame, anchor frame 1000 at column 100.
    QTest::newRow("plain range") << 1000 << 500 << QRect(100, 0, 50, 40);
    QTest::newRow("zero length is not drawn") << 1000 << 0 << QRect();
    QTest::newRow("negative length is not drawn") << 1000 << -5 << QRect();
    QTest::newRow("narrower than a pixel is one pixel") << 1200 << 3 << QRect(120, 0, 1, 40);
    QTest::newRow("entirely left of the view") << -1000000 << 100 << QRect();
    QTest::newRow("entirely right of the view") << 9000000 << 100 << QRect();
    QTest::newRow("from far left into the view is clipped") << -1000000 << 1001500 << QRect(-2, 0, 152, 40);
}

void tst_TimeAxis::rangeRects()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QRect, expected);
    const QVector<QRect> rects = usableRangeRects({UsableRange{start, length}}, 1000, 100, 0.1, 0, 40, 600);
    if (expected.isNull()) {
        QVERIFY(rects.isEmpty());
        return;
    }
    QCOMPARE(rects.size(), 1);
    QCOMPARE(rects.first(), expected);
}

QTEST_GUILESS_MAIN(tst_TimeAxis)
#include "tst_timeaxis.moc"
