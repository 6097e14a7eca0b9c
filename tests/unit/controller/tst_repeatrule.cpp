#include "dialogs/repeatrule.h"

#include <QtTest>

class tst_RepeatRule : public QObject
{
    Q_OBJECT

private slots:
    void dates_data();
    void dates();
};

void tst_RepeatRule::dates_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("everyDays");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("untilOffset"); // from the first day; -1: none
    QTest::addColumn<QList<int>>("offsets");

    // 2026-12-09 is a Wednesday; the axis ends a week later.
    QTest::newRow("none") << int(RepeatRule::None) << 2 << 5 << -1 << QList<int>{0};
    QTest::newRow("daily for 5") << int(RepeatRule::Daily) << 2 << 5 << -1 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("daily for 15 stops at the axis")
        << int(RepeatRule::Daily) << 2 << 15 << -1 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("weekdays for 4 skip the weekend")
        << int(RepeatRule::Weekdays) << 2 << 4 << -1 << QList<int>{0, 1, 2, 5};
    QTest::newRow("every 3 days until day 6")
        << int(RepeatRule::EveryNDays) << 3 << 0 << 6 << QList<int>{0, 3, 6};
    QTest::newRow("until beyond the axis") << int(RepeatRule::EveryNDays) << 4 << 0 << 30 << QList<int>{0, 4};
}

void tst_RepeatRule::dates()
{
    QFETCH(int, kind);
    QFETCH(int, everyDays);
    QFETCH(int, count);
    QFETCH(int, untilOffset);
    QFETCH(QList<int>, offsets);

    const QDate first(2026, 12, 9);
    RepeatRule rule;
    rule.kind = RepeatRule::Kind(kind);
    rule.everyDays = everyDays;
    rule.count = count;
    if (untilOffset >= 0)
        rule.until = first.addDays(untilOffset);
    QList<int> got;
    for (const QDate &d : repeatDates(rule, first, first.addDays(7)))
        got << int(first.daysTo(d));
    QCOMPARE(got, offsets);
}

QTEST_APPLESS_MAIN(tst_RepeatRule)
#include "tst_repeatrule.moc"
