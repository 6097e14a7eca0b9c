// The rules of creating and editing schedules: request fields, overlaps, maintenance occurrences
// and the messages of the OK checks.

#include "controller/schedulechecks.h"

#include "cmn/framerate.h"
#include "cmn/timecodetext.h"
#include "controller/conflictdetails.h"

#include <QtTest>

#include <climits>

namespace {

int packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

// 25 frames per second: one second is 25 frames, one day 2,160,000.
trx::PortState master25()
{
    trx::PortState s;
    s.stateCode = 1;
    s.systemFrequency = 25;
    return s;
}

constexpr int kSecond = 25;
constexpr int kDay = 24 * 3600 * kSecond;

trx::ScheduleInfo maintenanceAt(int startTc, const QDate &date = QDate())
{
    trx::ScheduleInfo m;
    m.type = trx::ScheduleInfo::Maintenance;
    m.startTc = startTc;
    m.endTc = packed((startTc >> 24) & 0xFF, (startTc >> 16) & 0xFF, ((startTc >> 8) & 0xFF) + 10, 0);
    m.startDate = date;
    m.endDate = date;
    return m;
}

} // namespace

Q_DECLARE_METATYPE(QList<FramePeriod>)

class tst_ScheduleChecks : public QObject
{
    Q_OBJECT

private slots:
    void typeAndEndDate_data();
    void typeAndEndDate();
    void dropFrameAdjustment_data();
    void dropFrameAdjustment();
    void fiveSecondGuardWrapsInADay();
    void overlap_data();
    void overlap();
    void periodsOnTheMasterClock_data();
    void periodsOnTheMasterClock();
    void maintenanceOccurrencesByDay_data();
    void maintenanceOccurrencesByDay();
    void maintenanceWindowCrossingMidnightEndsNextDay();
    void maintenanceMeetsClosedPeriod_data();
    void maintenanceMeetsClosedPeriod();
    void maintenanceBlocksOpenEndOnlyWhileRunning_data();
    void maintenanceBlocksOpenEndOnlyWhileRunning();
    void portCheckLines_data();
    void portCheckLines();
    void detailsFollowTheirKeywords();
    void nearestRecordedStretch_data();
    void nearestRecordedStretch();
    void joinedMessagesEndEveryLine();
    void startedMeanwhile_data();
    void startedMeanwhile();
    void endTooCloseRule_data();
    void endTooCloseRule();
    void finishedMeanwhile_data();
    void finishedMeanwhile();
};

void tst_ScheduleChecks::typeAndEndDate_data()
{
    QTest::addColumn<int>("startTc");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<bool>("maintenance");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("endDayOffset");

    QTest::newRow("normal same day") << packed(10, 0, 0, 0) << packed(11, 0, 0, 0) << false << 0 << 0;
    QTest::newRow("across midnight") << packed(23, 0, 0, 0) << packed(1, 0, 0, 0) << false << 0 << 1;
    QTest::newRow("open end") << packed(23, 0, 0, 0) << -1 << false << 1 << 0;
    QTest::newRow("open end wins over maintenance") << packed(2, 0, 0, 0) << -1 << true << 1 << 0;
    QTest::newRow("maintenance") << packed(2, 0, 0, 0) << packed(2, 0, 10, 0) << true << 255 << 0;
    QTest::newRow("equal start and end") << packed(10, 0, 0, 0) << packed(10, 0, 0, 0) << false << 0 << 0;
}

void tst_ScheduleChecks::typeAndEndDate()
{
    QFETCH(int, startTc);
    QFETCH(int, endTc);
    QFETCH(bool, maintenance);
    QFETCH(int, type);
    QFETCH(int, endDayOffset);
    const QDate day(2024, 12, 31);
    QCOMPARE(scheduleType(startTc, endTc, maintenance), type);
    QCOMPARE(scheduleEndDate(day, startTc, endTc), day.addDays(endDayOffset));
}

void tst_ScheduleChecks::dropFrameAdjustment_data()
{
    QTest::addColumn<int>("tc");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<int>("expected");

    QTest::newRow("dropped minute frame 0") << packed(0, 1, 0, 0) << true << packed(0, 1, 0, 2);
    QTest::newRow("dropped minute frame 1") << packed(0, 1, 0, 1) << true << packed(0, 1, 0, 3);
    QTest::newRow("frame 2 exists") << packed(0, 1, 0, 2) << true << packed(0, 1, 0, 2);
    QTest::newRow("tenth minute keeps frame 0") << packed(0, 10, 0, 0) << true << packed(0, 10, 0, 0);
    QTest::newRow("second 1 keeps frame 0") << packed(0, 1, 1, 0) << true << packed(0, 1, 1, 0);
    QTest::newRow("non-drop untouched") << packed(0, 1, 0, 0) << false << packed(0, 1, 0, 0);
    QTest::newRow("open end untouched") << -1 << true << -1;
}

void tst_ScheduleChecks::dropFrameAdjustment()
{
    QFETCH(int, tc);
    QFETCH(bool, dropFrame);
    QFETCH(int, expected);
    QCOMPARE(dropFrameAdjusted(tc, dropFrame), expected);
}

void tst_ScheduleChecks::fiveSecondGuardWrapsInADay()
{
    QCOMPARE(addSecondsInDay(packed(23, 59, 58, 10), 5), packed(0, 0, 3, 10));
    QCOMPARE(addSecondsInDay(packed(10, 0, 0, 0), 5), packed(10, 0, 5, 0));
    QCOMPARE(addSecondsInDay(-1, 5), -1);
}

void tst_ScheduleChecks::overlap_data()
{
    QTest::addColumn<QList<FramePeriod>>("others");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("meets");

    const QList<FramePeriod> two{{1000, 2000}, {3000, 4000}};
    QTest::newRow("no other schedule") << QList<FramePeriod>() << 100 << 200 << false;
    QTest::newRow("end exactly at the next start") << two << 2500 << 3000 << true;
    QTest::newRow("end one frame before the next start") << two << 2500 << 2999 << false;
    QTest::newRow("start at the previous end") << two << 2000 << 2500 << true;
    QTest::newRow("start one frame after the previous end") << two << 2001 << 2500 << false;
    QTest::newRow("same start") << two << 3000 << 3001 << true;
    QTest::newRow("covers a whole schedule") << two << 500 << 5000 << true;
    QTest::newRow("inside a long schedule holding a short one")
        << QList<FramePeriod>{{0, 10000}, {100, 200}} << 300 << 400 << true;
}

void tst_ScheduleChecks::overlap()
{
    QFETCH(QList<FramePeriod>, others);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, meets);
    QCOMPARE(periodMeets(others, {start, end}), meets);
}

void tst_ScheduleChecks::maintenanceOccurrencesByDay_data()
{
    QTest::addColumn<int>("nowFrames");
    QTest::addColumn<bool>("dated");
    QTest::addColumn<QList<int>>("startDays");
    QTest::addColumn<int>("datedDay"); // the dated window's date, in days from the working date

    // Maintenance at 02:00:00:00.
    const int two = 2 * 3600 * kSecond;
    QTest::newRow("daily, window still ahead today")
        << two - 1 << false << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << 0;
    QTest::newRow("daily, window running now")
        << two + 5 * kSecond << false << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << 0;
    QTest::newRow("daily, window passed today")
        << two + 11 * kSecond << false << QList<int>{1, 2, 3, 4, 5, 6, 7} << 0;
    QTest::newRow("dated, once on the working date") << two + 11 * kSecond << true << QList<int>{0} << 0;
    QTest::newRow("dated yesterday, on yesterday") << two - 1 << true << QList<int>{-1} << -1;
    QTest::newRow("dated in two days, on that day") << two - 1 << true << QList<int>{2} << 2;
}

void tst_ScheduleChecks::maintenanceOccurrencesByDay()
{
    QFETCH(int, nowFrames);
    QFETCH(bool, dated);
    QFETCH(QList<int>, startDays);
    const int two = 2 * 3600 * kSecond;
    QFETCH(int, datedDay);
    const QDate workingDate(2024, 3, 5);
    const trx::ScheduleInfo m =
        maintenanceAt(packed(2, 0, 0, 0), dated ? workingDate.addDays(datedDay) : QDate());
    const QList<FramePeriod> occ = maintenanceOccurrences(m, master25(), nowFrames, workingDate);
    QCOMPARE(occ.size(), startDays.size());
    for (int i = 0; i < occ.size(); ++i) {
        QCOMPARE(occ[i].start, startDays[i] * kDay + two);
        QCOMPARE(occ[i].end, startDays[i] * kDay + two + 10 * kSecond);
    }
}

void tst_ScheduleChecks::maintenanceWindowCrossingMidnightEndsNextDay()
{
    trx::ScheduleInfo m = maintenanceAt(packed(23, 59, 55, 0), QDate(2024, 3, 5));
    m.endTc = packed(0, 0, 5, 0);
    const QList<FramePeriod> occ = maintenanceOccurrences(m, master25(), 0, QDate(2024, 3, 5));
    QCOMPARE(occ.size(), 1);
    QCOMPARE(occ[0].end - occ[0].start, 10 * kSecond);
}

void tst_ScheduleChecks::maintenanceMeetsClosedPeriod_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("meets");

    const int two = 2 * 3600 * kSecond;
    QTest::newRow("ends at today's window") << two - 100 << two << true;
    QTest::newRow("ends one frame before it") << two - 100 << two - 1 << false;
    QTest::newRow("starts at its end") << two + 10 * kSecond << two + 20 * kSecond << true;
    QTest::newRow("between windows") << two + 11 * kSecond << kDay << false;
    QTest::newRow("tomorrow's window") << kDay + two - 10 << kDay + two + 10 << true;
    QTest::newRow("eight days out is past the last occurrence")
        << 8 * kDay + two - 10 << 8 * kDay + two + 10 << false;
}

void tst_ScheduleChecks::maintenanceMeetsClosedPeriod()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, meets);
    const QList<trx::ScheduleInfo> mtn{maintenanceAt(packed(2, 0, 0, 0))};
    QCOMPARE(maintenanceMeets(mtn, master25(), 0, QDate(2024, 3, 5), {start, end}), meets);
}

void tst_ScheduleChecks::maintenanceBlocksOpenEndOnlyWhileRunning_data()
{
    QTest::addColumn<int>("nowFrames");
    QTest::addColumn<int>("startFrames");
    QTest::addColumn<bool>("blocked");

    const int two = 2 * 3600 * kSecond;
    QTest::newRow("running, start now") << two + kSecond << two + kSecond << true;
    QTest::newRow("running, start at its end") << two + kSecond << two + 10 * kSecond << true;
    QTest::newRow("running, start after its end") << two + kSecond << two + 10 * kSecond + 1 << false;
    QTest::newRow("not running yet") << two - 1 << two - 1 << false;
    QTest::newRow("already over") << two + 11 * kSecond << two + 11 * kSecond << false;
}

void tst_ScheduleChecks::maintenanceBlocksOpenEndOnlyWhileRunning()
{
    QFETCH(int, nowFrames);
    QFETCH(int, startFrames);
    QFETCH(bool, blocked);
    const QList<trx::ScheduleInfo> mtn{maintenanceAt(packed(2, 0, 0, 0))};
    QCOMPARE(maintenanceBlocksOpenEnd(mtn, master25(), nowFrames, QDate(2024, 3, 5), startFrames), blocked);
}

void tst_ScheduleChecks::portCheckLines_data()
{
    QTest::addColumn<bool>("asProxy");
    QTest::addColumn<bool>("materialOk");
    QTest::addColumn<bool>("openEnd");
    QTest::addColumn<bool>("overlap");
    QTest::addColumn<bool>("maintenance");
    QTest::addColumn<int>("remain");
    QTest::addColumn<int>("line24h");
    QTest::addColumn<QString>("line");

    QTest::newRow("passes") << false << true << false << false << false << 1000 << 0 << QString();
    QTest::newRow("material and overlap") << false << false << false << true << false << 1000 << 0
                                          << "Server1 Port C: No material, Next Schedule";
    QTest::newRow("proxy prefix") << true << true << false << false << false << 10 << 0
                                  << "Server1 [Port C]: Remain time";
    QTest::newRow("all closed reasons in order")
        << false << false << false << true << true << 10 << 150
        << "Server1 Port C: No material, Next Schedule, Maintenance Schedule, Remain time, 24hrs";
    QTest::newRow("24-hour line at the start is no crossing")
        << false << true << false << false << false << 1000 << 100 << QString();
    QTest::newRow("open end ignores remain and line")
        << false << true << true << false << false << 0 << 150 << QString();
    QTest::newRow("open end running schedule") << false << true << true << true << true << 0 << 0
                                               << "Server1 Port C: Maintenance Schedule, Next schedule";
}

void tst_ScheduleChecks::portCheckLines()
{
    QFETCH(bool, asProxy);
    QFETCH(bool, materialOk);
    QFETCH(bool, openEnd);
    QFETCH(bool, overlap);
    QFETCH(bool, maintenance);
    QFETCH(int, remain);
    QFETCH(int, line24h);
    QFETCH(QString, line);
    PortCheckFacts f;
    f.serverName = QStringLiteral("Server1");
    f.portName = portLabel(QString(), 2);
    f.asProxy = asProxy;
    f.materialOk = materialOk;
    f.openEnd = openEnd;
    f.period = {100, 200};
    f.overlapsSchedule = overlap;
    f.meetsMaintenance = maintenance;
    f.remainFrames = remain;
    f.line24h = line24h;
    QCOMPARE(portCheckLine(f), line);
}

void tst_ScheduleChecks::detailsFollowTheirKeywords()
{
    PortCheckFacts f;
    f.serverName = QStringLiteral("Studio A");
    f.portName = portLabel(QString(), 2);
    f.period = {100, 200};
    f.overlapsSchedule = true;
    f.meetsMaintenance = true;
    f.remainFrames = 10;
    f.line24h = 150;
    trx::ScheduleInfo other;
    other.name = QStringLiteral("UX Test One");
    other.startTc = packed(2, 35, 0, 0);
    other.endTc = packed(2, 40, 0, 0);
    f.overlapDetail = scheduleSpanText(other);
    f.maintenanceDetail = maintenanceWindowText(maintenanceAt(packed(2, 0, 0, 0)));
    f.remainDetail = remainDetailText(frameRateFor(25, false), 25 * 60, 25 * 3600);
    f.materialDetail = QStringLiteral("nothing recorded");
    QCOMPARE(portCheckLine(f),
             QStringLiteral("Studio A Port C: No material (nothing recorded), Next Schedule ('UX Test One', "
                            "02:35:00:00-02:40:00:00), Maintenance Schedule (daily 02:00:00:00-%1), "
                            "Remain time (remaining 00:01:00:00, needed 01:00:00:00), 24hrs")
                 .arg(formatPacked(maintenanceAt(packed(2, 0, 0, 0)).endTc)));
}

void tst_ScheduleChecks::nearestRecordedStretch_data()
{
    constexpr int hour = 25 * 3600;
    QTest::addColumn<QList<UsableRange>>("ranges");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<UsableRange>() << "nothing recorded";
    QTest::newRow("the closer of two")
        << QList<UsableRange>{{0, hour}, {5 * hour, hour}} << "recorded 00:00:00:00-01:00:00:00";
    QTest::newRow("the day before") << QList<UsableRange>{{-2 * hour, hour}}
                                    << "recorded 22:00:00:00 (day -1)-23:00:00:00 (day -1)";
}

void tst_ScheduleChecks::nearestRecordedStretch()
{
    QFETCH(QList<UsableRange>, ranges);
    // The request: 02:00 to 02:10 on the working date.
    const FramePeriod period{2 * 25 * 3600, 2 * 25 * 3600 + 25 * 600};
    QTEST(nearestRecordedText(frameRateFor(25, false), ranges, period), "text");
}

void tst_ScheduleChecks::joinedMessagesEndEveryLine()
{
    QCOMPARE(joinedMessages({QStringLiteral("No schedule name"), QStringLiteral("No Start TC")}),
             QStringLiteral("No schedule name\nNo Start TC\n"));
    QCOMPARE(portLabel(QStringLiteral("Studio"), 2), QStringLiteral("Studio"));
    QCOMPARE(portLabel(QString(), 0), QStringLiteral("Port A"));
}

void tst_ScheduleChecks::startedMeanwhile_data()
{
    QTest::addColumn<trx::ScheduleStatus>("opening");
    QTest::addColumn<trx::ScheduleStatus>("now");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<int>("newStart");
    QTest::addColumn<QString>("newMgw");
    QTest::addColumn<QStringList>("messages");

    const int start = packed(10, 0, 0, 5);
    QTest::newRow("name changed while it began")
        << trx::ScheduleStatus::Scheduled << trx::ScheduleStatus::InProgress << "other" << start << "mgw"
        << QStringList{"Could not edit the name because it is in progress."};
    QTest::newRow("start and destination changed")
        << trx::ScheduleStatus::Scheduled << trx::ScheduleStatus::Waiting << "n" << packed(10, 0, 1, 0)
        << "mgw2"
        << QStringList{"Could not edit the Start because it is in progress.",
                       "Could not edit the destination because it is in progress."};
    QTest::newRow("frames alone are no change")
        << trx::ScheduleStatus::Scheduled << trx::ScheduleStatus::Waiting << "n" << packed(10, 0, 0, 0)
        << "mgw" << QStringList();
    QTest::newRow("still scheduled") << trx::ScheduleStatus::Scheduled << trx::ScheduleStatus::Scheduled
                                     << "other" << start << "mgw" << QStringList();
    QTest::newRow("already running when opened")
        << trx::ScheduleStatus::InProgress << trx::ScheduleStatus::InProgress << "other" << start << "mgw"
        << QStringList();
}

void tst_ScheduleChecks::startedMeanwhile()
{
    QFETCH(trx::ScheduleStatus, opening);
    QFETCH(trx::ScheduleStatus, now);
    QFETCH(QString, newName);
    QFETCH(int, newStart);
    QFETCH(QString, newMgw);
    QFETCH(QStringList, messages);
    EditValues before{QStringLiteral("n"),
                      QDate(2024, 3, 5),
                      packed(10, 0, 0, 5),
                      packed(11, 0, 0, 0),
                      {"mgw", "d", "", "", "", ""}};
    EditValues after = before;
    after.name = newName;
    after.startTc = newStart;
    after.destinations[0] = newMgw;
    QCOMPARE(startedMeanwhileMessages(opening, now, before, after), messages);
}

void tst_ScheduleChecks::endTooCloseRule_data()
{
    QTest::addColumn<int>("newEnd");
    QTest::addColumn<int>("oldEnd");
    QTest::addColumn<bool>("tooClose");

    // now = 10000
    QTest::newRow("new end on now") << 10000 << 50000 << true;
    QTest::newRow("new end 899 frames ahead") << 10899 << 50000 << true;
    QTest::newRow("new end 900 frames ahead") << 10900 << 50000 << false;
    QTest::newRow("new end in the past") << 5000 << 50000 << true;
    QTest::newRow("old end passed") << 50000 << 9000 << true;
    QTest::newRow("old end too close") << 50000 << 10500 << true;
}

void tst_ScheduleChecks::endTooCloseRule()
{
    QFETCH(int, newEnd);
    QFETCH(int, oldEnd);
    QFETCH(bool, tooClose);
    QCOMPARE(endTooClose(newEnd, oldEnd, 10000), tooClose);
}

void tst_ScheduleChecks::finishedMeanwhile_data()
{
    QTest::addColumn<trx::ScheduleStatus>("now");
    QTest::addColumn<bool>("dateChanged");
    QTest::addColumn<bool>("endChanged");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("completed, end changed") << trx::ScheduleStatus::Completed << false << true
                                            << QStringList{"Could not edit the TC because it is completed."};
    QTest::newRow("transfer error, date and end")
        << trx::ScheduleStatus::TransferError << true << true
        << QStringList{"Could not edit the date because it is failed to transfer.",
                       "Could not edit the TC because it is failed to transfer."};
    QTest::newRow("cancelled, date") << trx::ScheduleStatus::Cancelled << true << false
                                     << QStringList{"Could not edit the date because it is cancelled."};
    QTest::newRow("completed, nothing changed")
        << trx::ScheduleStatus::Completed << false << false << QStringList();
    QTest::newRow("still running") << trx::ScheduleStatus::InProgress << true << true << QStringList();
}

void tst_ScheduleChecks::finishedMeanwhile()
{
    QFETCH(trx::ScheduleStatus, now);
    QFETCH(bool, dateChanged);
    QFETCH(bool, endChanged);
    QFETCH(QStringList, messages);
    EditValues before{QStringLiteral("n"), QDate(2024, 3, 5), packed(10, 0, 0, 0), packed(11, 0, 0, 0), {}};
    EditValues after = before;
    if (dateChanged)
        after.date = before.date.addDays(1);
    if (endChanged)
        after.endTc = packed(11, 30, 0, 0);
    QCOMPARE(finishedMeanwhileMessages(trx::ScheduleStatus::Scheduled, now, before, after), messages);
}

void tst_ScheduleChecks::periodsOnTheMasterClock_data()
{
    // A schedule from 23:00 on the working date; `endTc` -1 is an open end.
    QTest::addColumn<int>("endTc");
    QTest::addColumn<int>("endDay");
    QTest::addColumn<int>("status");
    QTest::addColumn<qint32>("plannedEnd");
    QTest::addColumn<qint32>("knownEnd");

    const qint32 start = 23 * 3600 * kSecond;
    QTest::newRow("same day") << packed(23, 30, 0, 0) << 0 << 1 << start + 1800 * kSecond
                              << start + 1800 * kSecond;
    QTest::newRow("past midnight: the end lies on the next day")
        << packed(1, 0, 0, 0) << 1 << 1 << kDay + 3600 * kSecond << kDay + 3600 * kSecond;
    QTest::newRow("running open end keeps its port") << -1 << 0 << 6 << 0 << qint32(INT_MAX);
    QTest::newRow("cancelled open end ends where it started") << -1 << 0 << -4 << 0 << start;
}

void tst_ScheduleChecks::periodsOnTheMasterClock()
{
    QFETCH(int, endTc);
    QFETCH(int, endDay);
    QFETCH(int, status);
    const QDate today(2026, 12, 8);
    const int startTc = packed(23, 0, 0, 0);
    trx::ScheduleInfo sch;
    sch.startTc = startTc;
    sch.endTc = endTc;
    sch.startDate = today;
    sch.endDate = today.addDays(endDay);
    sch.master.status = status;

    QCOMPARE(plannedPeriod(master25(), startTc, endTc, 0).start, 23 * 3600 * kSecond);
    QTEST(plannedPeriod(master25(), startTc, endTc, 0).end, "plannedEnd");
    QTEST(schedulePeriod(master25(), sch, today).end, "knownEnd");
}

QTEST_GUILESS_MAIN(tst_ScheduleChecks)
#include "tst_schedulechecks.moc"
