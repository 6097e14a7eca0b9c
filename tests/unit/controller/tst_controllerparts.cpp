// The controller's retry, poll and hand-over, each on its own with short intervals and a fake clock.

#include "controller/handoverqueue.h"
#include "controller/linkretry.h"
#include "controller/portpoller.h"

#include <QtTest>

#include <thread>

namespace {

RetryIntervals shortIntervals()
{
    RetryIntervals r;
    r.firstDelayMs = 30;
    r.backoffMs = {10, 20, 40};
    return r;
}

} // namespace

class tst_ControllerParts : public QObject
{
    Q_OBJECT

private slots:
    void retryWaits_data();
    void retryWaits();
    void retryWaitsWhileHeld_data();
    void retryWaitsWhileHeld();
    void retryText_data();
    void retryText();
    void pollSkipsWhileAnAnswerWaits_data();
    void pollSkipsWhileAnAnswerWaits();
    void handOverKeepsOrder_data();
    void handOverKeepsOrder();
};

void tst_ControllerParts::retryWaits_data()
{
    // f: an attempt failed, L: the link was lost, s: an attempt succeeded.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QList<int>>("waits");

    QTest::newRow("failures back off, the last wait repeats") << "ffff" << QList<int>{10, 20, 40, 40};
    QTest::newRow("a lost link waits the first delay and starts over")
        << "ffLf" << QList<int>{10, 20, 30, 10};
    QTest::newRow("a success starts over") << "ffsf" << QList<int>{10, 20, 20, 10};
}

void tst_ControllerParts::retryWaits()
{
    QFETCH(QString, events);
    QFETCH(QList<int>, waits);
    LinkRetry retry(shortIntervals(), [] { return true; });
    QList<int> seen;
    for (const QChar e : events) {
        if (e == QLatin1Char('f'))
            retry.failed();
        else if (e == QLatin1Char('L'))
            retry.linkLost();
        else
            retry.succeeded();
        seen << retry.delayMs();
        retry.cancel();
    }
    QCOMPARE(seen, waits);
}

void tst_ControllerParts::retryWaitsWhileHeld_data()
{
    QTest::addColumn<int>("holds");
    QTest::addColumn<int>("releases");
    QTest::addColumn<int>("dueCount");

    QTest::newRow("not held: due at once") << 0 << 0 << 1;
    QTest::newRow("held: waits for the message") << 1 << 0 << 0;
    QTest::newRow("released: due once") << 1 << 1 << 1;
    QTest::newRow("nested holds wait for the last release") << 2 << 1 << 0;
}

void tst_ControllerParts::retryWaitsWhileHeld()
{
    QFETCH(int, holds);
    QFETCH(int, releases);
    QFETCH(int, dueCount);
    LinkRetry retry(shortIntervals(), [] { return true; });
    QSignalSpy due(&retry, &LinkRetry::due);
    for (int i = 0; i < holds; ++i)
        retry.hold();
    retry.failed();
    QTRY_COMPARE(retry.remainingMs(), -1);
    for (int i = 0; i < releases; ++i)
        retry.release();
    QTest::qWait(20);
    QCOMPARE(due.count(), dueCount);
}

void tst_ControllerParts::retryText_data()
{
    QTest::addColumn<bool>("addressKnown");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<QString>("text");

    QTest::newRow("the whole wait") << true << 0 << "TRXM disconnected, retrying in 5 s";
    QTest::newRow("part of a second counts as one") << true << 1200 << "TRXM disconnected, retrying in 4 s";
    QTest::newRow("no address") << false << 4100 << "TRXM address not set, retrying in 1 s";
}

void tst_ControllerParts::retryText()
{
    QFETCH(bool, addressKnown);
    QFETCH(int, elapsedMs);
    QFETCH(QString, text);
    qint64 now = 0;
    RetryIntervals intervals;
    intervals.backoffMs = {5000};
    LinkRetry retry(
        intervals, [addressKnown] { return addressKnown; }, nullptr, [&now] { return now; }, 5);
    QSignalSpy changed(&retry, &LinkRetry::statusTextChanged);
    retry.failed();
    now = elapsedMs;
    QTRY_COMPARE(retry.statusText(), text);
    retry.succeeded();
    QCOMPARE(retry.statusText(), QString());
    QCOMPARE(changed.last().at(0).toString(), QString());
}

void tst_ControllerParts::pollSkipsWhileAnAnswerWaits_data()
{
    // p: a tick, r: the controller's thread runs what was handed over.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("fetchSucceeds");
    QTest::addColumn<int>("fetches");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("answers");

    QTest::newRow("one tick, one answer") << "pr" << true << 1 << 0 << 1;
    QTest::newRow("ticks while the answer waits are skipped") << "pppr" << true << 1 << 2 << 1;
    QTest::newRow("the next tick after the answer asks again") << "pprpr" << true << 2 << 1 << 2;
    QTest::newRow("no answer: every tick asks") << "pppr" << false << 3 << 0 << 0;
}

void tst_ControllerParts::pollSkipsWhileAnAnswerWaits()
{
    QFETCH(QString, steps);
    QFETCH(bool, fetchSucceeds);
    QFETCH(int, fetches);
    QFETCH(int, skipped);
    QFETCH(int, answers);
    HandOverQueue queue;
    int asked = 0;
    PortPoller poller(
        [&](PortPoller::Answer &answer) {
            ++asked;
            answer.trains.resize(asked);
            return fetchSucceeds;
        },
        &queue, 1000);
    QList<int> trainCounts;
    connect(&poller, &PortPoller::polled, this,
            [&](const PortPoller::Answer &answer) { trainCounts << answer.trains.size(); });
    for (const QChar step : steps) {
        if (step == QLatin1Char('p'))
            poller.poll();
        else
            QCoreApplication::sendPostedEvents(&queue);
    }
    QCOMPARE(asked, fetches);
    QCOMPARE(poller.skippedCount(), skipped);
    QCOMPARE(trainCounts.size(), answers);
    if (answers > 0)
        QCOMPARE(trainCounts.last(), fetches); // the answer of the latest fetch
}

void tst_ControllerParts::handOverKeepsOrder_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("items");

    QTest::newRow("one thread") << 1 << 50;
    QTest::newRow("four threads at once") << 4 << 200;
}

void tst_ControllerParts::handOverKeepsOrder()
{
    QFETCH(int, threads);
    QFETCH(int, items);
    HandOverQueue queue;
    QVector<QList<int>> ran(threads);
    bool onOwner = true;
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < items; ++i) {
                queue.post([&, t, i] {
                    onOwner = onOwner && QThread::currentThread() == thread();
                    ran[t] << i;
                });
            }
        });
    }
    for (std::thread &p : posters)
        p.join();
    QCoreApplication::sendPostedEvents(&queue);

    QList<int> expected;
    for (int i = 0; i < items; ++i)
        expected << i;
    for (int t = 0; t < threads; ++t)
        QCOMPARE(ran.at(t), expected);
    QVERIFY(onOwner);

    // Work dropped before it ran is never run.
    queue.post([&] { ran[0] << -1; });
    queue.clear();
    QCoreApplication::sendPostedEvents(&queue);
    QCOMPARE(ran.at(0), expected);
}

QTEST_GUILESS_MAIN(tst_ControllerParts)
#include "tst_controllerparts.moc"
