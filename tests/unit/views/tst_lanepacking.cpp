#include "views/lanepacking.h"

#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(QVector<LaneSpan>)

namespace {

struct Expect
{
    int group;
    int lane;
    int laneCount;
};

bool shareAFrame(const LaneSpan &a, const LaneSpan &b)
{
    const qint64 aEnd = qint64(a.start) + qMax(a.length, 1) - 1;
    const qint64 bEnd = qint64(b.start) + qMax(b.length, 1) - 1;
    return a.start <= bEnd && b.start <= aEnd;
}

} // namespace

Q_DECLARE_METATYPE(QVector<Expect>)

class tst_LanePacking : public QObject
{
    Q_OBJECT

private slots:
    void packing_data();
    void packing();
    void laneBoxes_data();
    void laneBoxes();
    void randomSpansNeverShareALane();
};

void tst_LanePacking::packing_data()
{
    QTest::addColumn<QVector<LaneSpan>>("spans");
    QTest::addColumn<QVector<Expect>>("expected");

    QTest::newRow("empty") << QVector<LaneSpan>{} << QVector<Expect>{};
    QTest::newRow("one span keeps the full height")
        << QVector<LaneSpan>{{100, 50}} << QVector<Expect>{{0, 0, 1}};
    QTest::newRow("equal spans share one group in two lanes")
        << QVector<LaneSpan>{{100, 50}, {100, 50}} << QVector<Expect>{{0, 0, 2}, {0, 1, 2}};
    QTest::newRow("short inside long takes the second lane")
        << QVector<LaneSpan>{{120, 10}, {100, 100}} << QVector<Expect>{{0, 1, 2}, {0, 0, 2}};
    QTest::newRow("long added after short still takes the top lane")
        << QVector<LaneSpan>{{100, 100}, {100, 10}} << QVector<Expect>{{0, 0, 2}, {0, 1, 2}};
    QTest::newRow("span overlapping nothing starts its own group")
        << QVector<LaneSpan>{{100, 100}, {120, 10}, {500, 20}}
        << QVector<Expect>{{0, 0, 2}, {0, 1, 2}, {1, 0, 1}};
    QTest::newRow("back to back spans do not overlap") << QVector<LaneSpan>{{0, 100}, {100, 100}, {200, 100}}
                                                       << QVector<Expect>{{0, 0, 1}, {1, 0, 1}, {2, 0, 1}};
    QTest::newRow("one shared frame is an overlap")
        << QVector<LaneSpan>{{0, 101}, {100, 100}} << QVector<Expect>{{0, 0, 2}, {0, 1, 2}};
    // b overlaps a and c; a and c share the first lane, so b is never covered by either.
    QTest::newRow("chain of overlaps is one group") << QVector<LaneSpan>{{0, 100}, {50, 100}, {120, 100}}
                                                    << QVector<Expect>{{0, 0, 2}, {0, 1, 2}, {0, 0, 2}};
    QTest::newRow("three deep") << QVector<LaneSpan>{{0, 300}, {10, 100}, {20, 10}, {200, 50}}
                                << QVector<Expect>{{0, 0, 3}, {0, 1, 3}, {0, 2, 3}, {0, 1, 3}};
    QTest::newRow("zero length counts as one frame") << QVector<LaneSpan>{{100, 0}, {100, 0}, {101, 0}}
                                                     << QVector<Expect>{{0, 0, 2}, {0, 1, 2}, {1, 0, 1}};
    QTest::newRow("negative frames before midnight")
        << QVector<LaneSpan>{{-300, 200}, {-150, 200}} << QVector<Expect>{{0, 0, 2}, {0, 1, 2}};
}

void tst_LanePacking::packing()
{
    QFETCH(QVector<LaneSpan>, spans);
    QFETCH(QVector<Expect>, expected);
    const LanePacking packing = packLanes(spans);
    QCOMPARE(packing.placements.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const LaneSlot &slot = packing.placements[i];
        QCOMPARE(slot.group, expected[i].group);
        QCOMPARE(slot.lane, expected[i].lane);
        QCOMPARE(slot.laneCount, expected[i].laneCount);
        QVERIFY(packing.groups[slot.group][slot.lane].contains(i));
    }
}

void tst_LanePacking::laneBoxes_data()
{
    QTest::addColumn<int>("lane");
    QTest::addColumn<int>("laneCount");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("boxHeight");

    QTest::newRow("single lane: full usable height less 2") << 0 << 1 << 240 << 20 << 198;
    QTest::newRow("first of two: half less 2") << 0 << 2 << 240 << 20 << 98;
    QTest::newRow("second of two") << 1 << 2 << 240 << 120 << 98;
    QTest::newRow("third of three, integer division") << 2 << 3 << 165 << 102 << 39;
    QTest::newRow("too small still one pixel") << 3 << 4 << 45 << 23 << 1;
}

void tst_LanePacking::laneBoxes()
{
    QFETCH(int, lane);
    QFETCH(int, laneCount);
    QFETCH(int, height);
    const LaneBox box = laneBox(LaneSlot{0, lane, laneCount}, height);
    QTEST(box.y, "y");
    QTEST(box.height, "boxHeight");
}

void tst_LanePacking::randomSpansNeverShareALane()
{
    QRandomGenerator rng(20261208);
    for (int round = 0; round < 50; ++round) {
        QVector<LaneSpan> spans;
        const int n = 1 + int(rng.bounded(60));
        for (int i = 0; i < n; ++i)
            spans.append(LaneSpan{int(rng.bounded(5000)) - 1000, int(rng.bounded(400))});
        const LanePacking packing = packLanes(spans);
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const LaneSlot &a = packing.placements[i];
                const LaneSlot &b = packing.placements[j];
                if (shareAFrame(spans[i], spans[j])) {
                    // Overlapping spans are always laid out together and never on top of each other.
                    QCOMPARE(a.group, b.group);
                    QVERIFY(a.lane != b.lane);
                }
            }
            bool overlapsAny = false;
            for (int j = 0; j < n; ++j)
                overlapsAny = overlapsAny || (j != i && shareAFrame(spans[i], spans[j]));
            if (!overlapsAny)
                QCOMPARE(packing.placements[i].laneCount, 1);
        }
    }
}

QTEST_GUILESS_MAIN(tst_LanePacking)
#include "tst_lanepacking.moc"
