#include "views/scheduledrag.h"

#include "cmn/timecodemode.h"

#include <QtTest>

Q_DECLARE_METATYPE(ScheduleDrag::Action)

namespace {

FrameRate rateOf(int fps, bool drop)
{
    return FrameRate{cmn::get_timecode_mode(fps, drop), drop ? 1001 : 1000};
}

const int kDay25 = 86400 * 25;

} // namespace

class tst_ScheduleDrag : public QObject
{
    Q_OBJECT

private slots:
    void actionAt_data();
    void actionAt();
    void snapToSecond_data();
    void snapToSecond();
    void proposal_data();
    void proposal();
    void proposalText();
};

void tst_ScheduleDrag::actionAt_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("width");
    QTest::addColumn<ScheduleDrag::Action>("action");

    QTest::newRow("left edge") << 5 << 100 << ScheduleDrag::ResizeStart;
    QTest::newRow("body after the left edge") << 6 << 100 << ScheduleDrag::Move;
    QTest::newRow("body before the right edge") << 93 << 100 << ScheduleDrag::Move;
    QTest::newRow("right edge") << 94 << 100 << ScheduleDrag::ResizeEnd;
    QTest::newRow("past the schedule (a hovered item is wider)") << 101 << 100 << ScheduleDrag::None;
    QTest::newRow("narrow item keeps a body") << 4 << 9 << ScheduleDrag::Move;
    QTest::newRow("narrow item left edge") << 2 << 9 << ScheduleDrag::ResizeStart;
}

void tst_ScheduleDrag::actionAt()
{
    QFETCH(int, x);
    QFETCH(int, width);
    QFETCH(ScheduleDrag::Action, action);
    QCOMPARE(ScheduleDrag::actionAt(x, width), action);
}

void tst_ScheduleDrag::snapToSecond_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<qint64>("snapped");

    QTest::newRow("25: down below half a second") << 25 << false << qint64(37) << qint64(25);
    QTest::newRow("25: up from half a second") << 25 << false << qint64(38) << qint64(50);
    QTest::newRow("25: the day before") << 25 << false << qint64(-3) << qint64(0);
    QTest::newRow("25: into the next day") << 25 << false << qint64(2 * kDay25 - 5) << qint64(2 * kDay25);
    // 00:01:00;02 is frame 1800; that second has 28 frames, so 00:01:01;00 is frame 1828.
    QTest::newRow("drop frame: short second, down") << 30 << true << qint64(1813) << qint64(1800);
    QTest::newRow("drop frame: short second, up") << 30 << true << qint64(1814) << qint64(1828);
    QTest::newRow("drop frame: a full second") << 30 << true << qint64(1828 + 15) << qint64(1858);
}

void tst_ScheduleDrag::snapToSecond()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(qint64, frames);
    QFETCH(qint64, snapped);
    QCOMPARE(ScheduleDrag::snapToSecond(rateOf(fps, drop), frames), snapped);
}

void tst_ScheduleDrag::proposal_data()
{
    // 25 frames a second, ten frames a pixel; the schedule runs from frame 1000 (00:00:40:00) for
    // 500 frames; pressed at column 100, the drag distance is 4 pixels.
    QTest::addColumn<ScheduleDrag::Action>("action");
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("frames");
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");

    QTest::newRow("within the drag distance") << ScheduleDrag::Move << 103 << false << false << 1000 << 500;
    QTest::newRow("body: same length") << ScheduleDrag::Move << 130 << false << true << 1300 << 500;
    QTest::newRow("body: to whole seconds") << ScheduleDrag::Move << 104 << false << true << 1050 << 500;
    QTest::newRow("body with Shift: frames") << ScheduleDrag::Move << 104 << true << true << 1040 << 500;
    QTest::newRow("left edge: end stays") << ScheduleDrag::ResizeStart << 60 << false << true << 600 << 900;
    QTest::newRow("left edge stops a second before the end")
        << ScheduleDrag::ResizeStart << 200 << false << true << 1475 << 25;
    QTest::newRow("right edge: start stays")
        << ScheduleDrag::ResizeEnd << 150 << false << true << 1000 << 1000;
    QTest::newRow("right edge with Shift stops a frame after the start")
        << ScheduleDrag::ResizeEnd << 0 << true << true << 1000 << 1;
    QTest::newRow("right edge: less than a day")
        << ScheduleDrag::ResizeEnd << 300000 << false << true << 1000 << kDay25 - 1;
}

void tst_ScheduleDrag::proposal()
{
    QFETCH(ScheduleDrag::Action, action);
    QFETCH(int, x);
    QFETCH(bool, frames);
    QFETCH(bool, active);
    QFETCH(int, start);
    QFETCH(int, length);

    ScheduleDrag drag;
    drag.press(action, 100, 1000, 500, 0.1, rateOf(25, false));
    QCOMPARE(drag.moveTo(x, frames, 4), active);
    QCOMPARE(drag.isActive(), active);
    QCOMPARE(drag.start(), start);
    QCOMPARE(drag.length(), length);
    QCOMPARE(drag.originalStart(), 1000);
}

void tst_ScheduleDrag::proposalText()
{
    ScheduleDrag drag;
    drag.press(ScheduleDrag::Move, 0, 1000, 500, 0.1, rateOf(25, false));
    drag.moveTo(-100, false, 4);
    // Start, end and the inclusive duration, as the item shows them.
    QCOMPARE(drag.proposalText(),
             QStringLiteral("Start: 00:00:00:00\nEnd: 00:00:20:00\nDuration: 00:00:20:01"));
}

QTEST_GUILESS_MAIN(tst_ScheduleDrag)
#include "tst_scheduledrag.moc"
