#include "controller/remainalert.h"
#include "notify/noticesink.h"
#include "notify/noticetracker.h"

#include <QtTest>

namespace {

struct FakeSink : NoticeSink
{
    QStringList titles;
    void notify(const QString &title, const QString &) override { titles << title; }
};

RemainAlert alertOn(int port)
{
    RemainAlert a;
    a.serverId = QStringLiteral("srv");
    a.port = port;
    a.serverName = QStringLiteral("A");
    a.portLabel = QStringLiteral("Port %1").arg(port);
    return a;
}

} // namespace

class tst_NoticeTracker : public QObject
{
    Q_OBJECT

private slots:
    void scheduleStatuses_data();
    void scheduleStatuses();
    void remainAlertsOncePerFall();
    void manyAtOnceAreSummed();
    void switchedOffKindsStaySilent();
};

void tst_NoticeTracker::scheduleStatuses_data()
{
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<bool>("firstIsBaseline");
    QTest::addColumn<int>("notices");

    QTest::newRow("in progress then transfer error") << QList<int>{6, -3} << true << 1;
    QTest::newRow("unchanged error repeated") << QList<int>{6, -3, -3, -3, -3} << true << 1;
    QTest::newRow("rec error then transfer error") << QList<int>{1, -2, -3} << true << 2;
    QTest::newRow("found failed at start-up") << QList<int>{-3, -3} << true << 0;
    QTest::newRow("added already failed") << QList<int>{-2} << false << 1;
    QTest::newRow("cancelled is no error") << QList<int>{6, -5, -4} << true << 0;
}

void tst_NoticeTracker::scheduleStatuses()
{
    QFETCH(QList<int>, statuses);
    QFETCH(bool, firstIsBaseline);
    QFETCH(int, notices);

    FakeSink sink;
    NoticeTracker tracker(&sink, [] { return qint64(0); });
    for (int i = 0; i < statuses.size(); ++i) {
        tracker.scheduleStatus(QStringLiteral("s1"), QStringLiteral("News"), QStringLiteral("A Port A"),
                               statuses.at(i), i == 0 && firstIsBaseline);
        tracker.flush();
    }
    QCOMPARE(sink.titles.size(), notices);
}

void tst_NoticeTracker::remainAlertsOncePerFall()
{
    FakeSink sink;
    NoticeTracker tracker(&sink);
    const QList<QList<RemainAlert>> ticks{{alertOn(0)}, {alertOn(0)}, {alertOn(0), alertOn(1)},
                                          {alertOn(1)}, {},           {alertOn(0)}};
    QList<int> counts;
    for (const QList<RemainAlert> &alerts : ticks) {
        tracker.remainAlerts(alerts);
        tracker.flush();
        counts << sink.titles.size();
    }
    QCOMPARE(counts, (QList<int>{1, 1, 2, 2, 2, 3}));
}

void tst_NoticeTracker::manyAtOnceAreSummed()
{
    FakeSink sink;
    NoticeTracker tracker(&sink);
    for (int i = 0; i < 40; ++i)
        tracker.scheduleStatus(QString::number(i), QStringLiteral("n"), QStringLiteral("p"), -3, false);
    tracker.flush();
    QCOMPARE(sink.titles.size(), NoticeTracker::BurstLimit);
    QCOMPARE(sink.titles.last(), QStringLiteral("%1 more notices").arg(40 - NoticeTracker::BurstLimit + 1));
    tracker.flush();
    QCOMPARE(sink.titles.size(), NoticeTracker::BurstLimit);
}

void tst_NoticeTracker::switchedOffKindsStaySilent()
{
    FakeSink sink;
    qint64 now = 0;
    NoticeTracker tracker(&sink, [&now] { return now; });
    tracker.setKinds(NoticeKinds{false, false, false});
    tracker.linkState(true);
    tracker.scheduleStatus(QStringLiteral("s"), QStringLiteral("n"), QStringLiteral("p"), 6, true);
    tracker.scheduleStatus(QStringLiteral("s"), QStringLiteral("n"), QStringLiteral("p"), -3, false);
    tracker.remainAlerts({alertOn(0)});
    tracker.linkState(false);
    now = 31000;
    tracker.linkState(false);
    tracker.flush();
    QVERIFY(sink.titles.isEmpty());
    // Switched on again, a state already past is not told late.
    tracker.setKinds(NoticeKinds());
    now = 90000;
    tracker.linkState(false);
    tracker.remainAlerts({alertOn(0)});
    tracker.flush();
    QVERIFY(sink.titles.isEmpty());
}

QTEST_GUILESS_MAIN(tst_NoticeTracker)
#include "tst_noticetracker.moc"
