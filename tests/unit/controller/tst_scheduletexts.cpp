// The texts a schedule's timeline item shows, the status texts, the extent of an item and the
// reconnect waits.

#include "controller/controlleroptions.h"
#include "controller/scheduletexts.h"
#include "trx/portstate.h"
#include "trx/scheduleinfo.h"

#include <QtTest>

namespace {

trx::PortState stateAt(int rateCode, bool dropFrame)
{
    trx::PortState s;
    s.stateCode = 1;
    s.systemFrequency = rateCode;
    s.dropFrame = dropFrame;
    return s;
}

} // namespace

class tst_ScheduleTexts : public QObject
{
    Q_OBJECT

private slots:
    void statusTexts_data();
    void statusTexts();
    void displayTexts_data();
    void displayTexts();
    void portRowTitles_data();
    void portRowTitles();
    void extents_data();
    void extents();
    void retryDelays_data();
    void retryDelays();
};

void tst_ScheduleTexts::statusTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("cancelling") << -5 << "Cancelling...";
    QTest::newRow("cancelled") << -4 << "Cancelled.";
    QTest::newRow("transfer error") << -3 << "Transfer Error.";
    QTest::newRow("rec error") << -2 << "Rec Error.";
    QTest::newRow("unknown error") << -1 << "Unknown Error.";
    QTest::newRow("none") << 0 << "";
    QTest::newRow("scheduled") << 1 << "Scheduled...";
    QTest::newRow("waiting 2") << 2 << "Waiting...";
    QTest::newRow("waiting 3") << 3 << "Waiting...";
    QTest::newRow("waiting 5") << 5 << "Waiting...";
    QTest::newRow("in progress") << 6 << "In-Progress...";
    QTest::newRow("completed 7") << 7 << "Completed.";
    QTest::newRow("completed 8") << 8 << "Completed.";
    QTest::newRow("9 is no status") << 9 << "";
    QTest::newRow("below the table") << -6 << "";
    QTest::newRow("far out") << 255 << "";
}

void tst_ScheduleTexts::statusTexts()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QCOMPARE(statusText(status), text);
}

void tst_ScheduleTexts::displayTexts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QDate>("startDate");
    QTest::addColumn<int>("startTc");
    QTest::addColumn<QDate>("endDate");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<int>("rateCode");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("duration");

    const QDate d5(2024, 3, 5);
    QTest::newRow("day without a leading zero")
        << 0 << d5 << 0x0A000000 << d5 << 0x0A001E00 << 25 << false << "news"
        << "[5] 10:00:00:00"
        << "[5] 10:00:30:00"
        << "00:00:30:01";
    QTest::newRow("open end") << 1 << d5 << 0x0A000000 << d5 << -1 << 25 << false << "news"
                              << "[5] 10:00:00:00"
                              << "--:--:--:--"
                              << "--:--:--:--";
    QTest::newRow("no start") << 0 << d5 << -1 << d5 << 0x0A000000 << 25 << false << "news"
                              << "--:--:--:--"
                              << "[5] 10:00:00:00"
                              << "--:--:--:--";
    QTest::newRow("across midnight") << 0 << QDate(2024, 3, 31) << 0x17000000 << QDate(2024, 4, 1)
                                     << 0x01000000 << 25 << false << "news"
                                     << "[31] 23:00:00:00"
                                     << "[1] 01:00:00:00"
                                     << "02:00:00:01";
    QTest::newRow("drop-frame text") << 0 << d5 << 0x00010002 << d5 << 0x00020002 << 29 << true << "news"
                                     << "[5] 00:01:00;02"
                                     << "[5] 00:02:00;02"
                                     << "00:00:59;29";
    QTest::newRow("maintenance label")
        << 255 << d5 << 0x02000000 << d5 << 0x02000A00 << 25 << false << "Maintenance"
        << "[5] 02:00:00:00"
        << "[5] 02:00:10:00"
        << "00:00:10:01";
}

void tst_ScheduleTexts::displayTexts()
{
    QFETCH(int, type);
    QFETCH(QDate, startDate);
    QFETCH(int, startTc);
    QFETCH(QDate, endDate);
    QFETCH(int, endTc);
    QFETCH(int, rateCode);
    QFETCH(bool, dropFrame);

    trx::ScheduleInfo sch;
    sch.name = QStringLiteral("news");
    sch.type = type;
    sch.startDate = startDate;
    sch.endDate = endDate;
    sch.startTc = startTc;
    sch.endTc = endTc;
    sch.master.status = 6;
    const trx::PortState state = stateAt(rateCode, dropFrame);
    const TimeCode start(state, startTc, 0);
    const TimeCode end(state, endTc, int(startDate.daysTo(endDate)));

    const ScheduleTexts t = scheduleTexts(sch, start, end);
    QTEST(t.label, "label");
    QTEST(t.start, "start");
    QTEST(t.end, "end");
    QTEST(t.duration, "duration");
    QCOMPARE(t.status, QStringLiteral("In-Progress..."));
}

void tst_ScheduleTexts::portRowTitles_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("camera");
    QTest::addColumn<QString>("title");
    QTest::newRow("train 0 fed by camera 1") << 0 << 1 << "Port A => Cam A";
    QTest::newRow("camera 3 on port 2") << 2 << 3 << "Port C => Cam C";
    QTest::newRow("crossed") << 7 << 2 << "Port H => Cam B";
}

void tst_ScheduleTexts::portRowTitles()
{
    QFETCH(int, port);
    QFETCH(int, camera);
    QTEST(portRowTitle(port, camera), "title");
}

void tst_ScheduleTexts::extents_data()
{
    QTest::addColumn<int>("startTc");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<int>("endDays");
    QTest::addColumn<int>("nowTc");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");

    const int tenAm = 10 * 3600 * 25;
    QTest::newRow("closed, one minute") << 0x0A000000 << 0x0A010000 << 0 << -1 << tenAm << 60 * 25;
    QTest::newRow("closed, next day")
        << 0x17000000 << 0x01000000 << 1 << -1 << 23 * 3600 * 25 << 2 * 3600 * 25;
    QTest::newRow("end before start keeps one frame")
        << 0x0A010000 << 0x0A000000 << 0 << -1 << tenAm + 60 * 25 << 1;
    QTest::newRow("open end, now unknown") << 0x0A000000 << -1 << 0 << -1 << tenAm << 60 * 25;
    QTest::newRow("open end runs to now") << 0x0A000000 << -1 << 0 << 0x0B000000 << tenAm << 3600 * 25;
    QTest::newRow("open end, now before start") << 0x0A000000 << -1 << 0 << 0x09000000 << tenAm << 60 * 25;
}

void tst_ScheduleTexts::extents()
{
    QFETCH(int, startTc);
    QFETCH(int, endTc);
    QFETCH(int, endDays);
    QFETCH(int, nowTc);

    const trx::PortState state = stateAt(25, false);
    const ItemExtent e =
        itemExtent(TimeCode(state, startTc, 0), TimeCode(state, endTc, endDays), TimeCode(state, nowTc, 0));
    QTEST(e.start, "start");
    QTEST(e.length, "length");
}

void tst_ScheduleTexts::retryDelays_data()
{
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("delay");
    QTest::newRow("first retry after a failed attempt") << 0 << 1000;
    QTest::newRow("second") << 1 << 2000;
    QTest::newRow("third") << 2 << 4000;
    QTest::newRow("capped at five seconds") << 3 << 5000;
    QTest::newRow("stays capped") << 500 << 5000;
}

void tst_ScheduleTexts::retryDelays()
{
    QFETCH(int, failed);
    QTEST(retryDelayMs(RetryIntervals(), failed), "delay");
}

QTEST_GUILESS_MAIN(tst_ScheduleTexts)
#include "tst_scheduletexts.moc"
