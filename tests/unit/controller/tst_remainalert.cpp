#include "cmn/timecodemode.h"
#include "controller/remainalert.h"
#include "controller/scheduletexts.h"

#include <QtTest>

Q_DECLARE_METATYPE(ScheduleSpan)
Q_DECLARE_METATYPE(RemainAlert)

namespace {

constexpr qint64 kMinuteMs = 60 * 1000;

ScheduleSpan span(qint64 startMin, qint64 lengthMin, bool finished = false)
{
    ScheduleSpan s;
    s.startMs = startMin * kMinuteMs;
    if (lengthMin >= 0)
        s.endMs = (startMin + lengthMin) * kMinuteMs;
    s.finished = finished;
    return s;
}

RemainAlert alert(const QString &server, int port, qint64 remainMin, bool byNext)
{
    RemainAlert a;
    a.serverId = server.toLower();
    a.serverName = server;
    a.port = port;
    a.portLabel = QStringLiteral("Port %1").arg(QChar('A' + port));
    a.remainMs = remainMin * kMinuteMs;
    a.byNextSchedule = byNext;
    return a;
}

} // namespace

class tst_RemainAlert : public QObject
{
    Q_OBJECT

private slots:
    void threshold_data();
    void threshold();
    void finishedStatuses_data();
    void finishedStatuses();
    void framesToMs_data();
    void framesToMs();
    void alertLine_data();
    void alertLine();
};

void tst_RemainAlert::threshold_data()
{
    QTest::addColumn<QList<ScheduleSpan>>("spans");
    QTest::addColumn<qint64>("nowMin");
    QTest::addColumn<qint64>("remainMin");
    QTest::addColumn<bool>("alert");
    QTest::addColumn<qint64>("needMin");

    const QList<ScheduleSpan> oneHour{span(100, 60)};
    QTest::newRow("below the next schedule") << oneHour << qint64(50) << qint64(59) << true << qint64(60);
    QTest::newRow("at the next schedule") << oneHour << qint64(50) << qint64(60) << false << qint64(60);
    // A port with a short next schedule needs less than the half-hour fallback.
    QTest::newRow("short next schedule, 20 min left")
        << QList<ScheduleSpan>{span(100, 10)} << qint64(50) << qint64(20) << false << qint64(10);
    QTest::newRow("no schedule, below 30 min")
        << QList<ScheduleSpan>() << qint64(0) << qint64(29) << true << qint64(30);
    QTest::newRow("no schedule, at 30 min")
        << QList<ScheduleSpan>() << qint64(0) << qint64(30) << false << qint64(30);
    QTest::newRow("finished schedules are ignored")
        << QList<ScheduleSpan>{span(100, 600, true), span(200, 600, true)} << qint64(50) << qint64(40)
        << false << qint64(30);
    QTest::newRow("the next unfinished one counts, not the finished one before it")
        << QList<ScheduleSpan>{span(60, 600, true), span(120, 90)} << qint64(50) << qint64(80) << true
        << qint64(90);
    QTest::newRow("a schedule already started is not the next")
        << QList<ScheduleSpan>{span(40, 600), span(120, 5)} << qint64(50) << qint64(10) << false << qint64(5);
    QTest::newRow("a schedule starting right now is the next")
        << QList<ScheduleSpan>{span(50, 120)} << qint64(50) << qint64(100) << true << qint64(120);
    QTest::newRow("the earliest start wins, whatever the order")
        << QList<ScheduleSpan>{span(300, 10), span(100, 240), span(200, 5)} << qint64(50) << qint64(200)
        << true << qint64(240);
    QTest::newRow("the longest of two starting together") << QList<ScheduleSpan>{span(100, 20), span(100, 90)}
                                                          << qint64(50) << qint64(60) << true << qint64(90);
    QTest::newRow("an open end next has no length: 30 min")
        << QList<ScheduleSpan>{span(100, -1)} << qint64(50) << qint64(29) << true << qint64(30);
}

void tst_RemainAlert::threshold()
{
    QFETCH(QList<ScheduleSpan>, spans);
    QFETCH(qint64, nowMin);
    QFETCH(qint64, remainMin);
    QFETCH(bool, alert);
    QFETCH(qint64, needMin);
    const std::optional<qint64> next = nextScheduleLengthMs(spans, nowMin * kMinuteMs);
    QCOMPARE(remainNeedMs(next), needMin * kMinuteMs);
    QCOMPARE(remainBelowNeed(remainMin * kMinuteMs, next), alert);
}

void tst_RemainAlert::finishedStatuses_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("finished");
    QTest::newRow("scheduled") << int(StatusScheduled) << false;
    QTest::newRow("waiting") << int(StatusWaitingFirst) << false;
    QTest::newRow("in progress") << int(StatusInProgress) << false;
    QTest::newRow("completed") << int(StatusCompletedFirst) << true;
    QTest::newRow("cancelling") << int(StatusCancelling) << true;
    QTest::newRow("cancelled") << int(StatusCancelled) << true;
    QTest::newRow("transfer error") << int(StatusTransferError) << true;
    QTest::newRow("rec error") << int(StatusRecError) << true;
}

void tst_RemainAlert::finishedStatuses()
{
    QFETCH(int, status);
    QTEST(isFinishedStatus(status), "finished");
}

void tst_RemainAlert::framesToMs_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<qint64>("ms");
    QTest::newRow("25: one minute") << 25 << false << qint64(1500) << qint64(60000);
    QTest::newRow("30: two hours") << 30 << false << qint64(216000) << qint64(7200000);
    // Drop-frame counts 29.97 frames a second: a day of its frames is a day.
    QTest::newRow("29.97 drop: one day") << 30 << true << qint64(2589408) << qint64(86400000);
    QTest::newRow("no mode counts 30 a second") << 0 << false << qint64(90) << qint64(3000);
}

void tst_RemainAlert::framesToMs()
{
    QFETCH(int, fps);
    QFETCH(bool, dropFrame);
    QFETCH(qint64, frames);
    FrameRate rate;
    rate.mode = fps ? cmn::get_timecode_mode(fps, dropFrame) : nullptr;
    QTEST(::framesToMs(frames, rate), "ms");
}

void tst_RemainAlert::alertLine_data()
{
    QTest::addColumn<QList<RemainAlert>>("alerts");
    QTest::addColumn<QString>("line");

    QTest::newRow("none") << QList<RemainAlert>() << QString();
    QTest::newRow("one by next schedule")
        << QList<RemainAlert>{alert(QStringLiteral("Studio"), 1, 20, true)}
        << QStringLiteral("Studio Port B: remaining time below next schedule");
    QTest::newRow("most urgent first") << QList<RemainAlert>{alert(QStringLiteral("A"), 0, 25, false),
                                                             alert(QStringLiteral("B"), 2, 5, true)}
                                       << QStringLiteral("B Port C: remaining time below next schedule; "
                                                         "A Port A: remaining time below 30 minutes");
    QTest::newRow("equal time: by server, then port")
        << QList<RemainAlert>{alert(QStringLiteral("B"), 0, 10, false),
                              alert(QStringLiteral("A"), 3, 10, false),
                              alert(QStringLiteral("A"), 1, 10, false)}
        << QStringLiteral(
               "A Port B: remaining time below 30 minutes; A Port D: remaining time below 30 minutes; "
               "B Port A: remaining time below 30 minutes");
    QTest::newRow("more than three")
        << QList<RemainAlert>{alert(QStringLiteral("A"), 0, 1, false),
                              alert(QStringLiteral("A"), 1, 2, false),
                              alert(QStringLiteral("A"), 2, 3, false),
                              alert(QStringLiteral("A"), 3, 4, false),
                              alert(QStringLiteral("A"), 4, 5, false)}
        << QStringLiteral(
               "A Port A: remaining time below 30 minutes; A Port B: remaining time below 30 minutes; "
               "A Port C: remaining time below 30 minutes (+2 more)");
}

void tst_RemainAlert::alertLine()
{
    QFETCH(QList<RemainAlert>, alerts);
    QTEST(remainAlertLine(alerts), "line");
}

QTEST_GUILESS_MAIN(tst_RemainAlert)
#include "tst_remainalert.moc"
