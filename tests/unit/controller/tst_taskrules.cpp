// Which of Edit, Delete and Stop a schedule's menu offers.

#include "cmn/timecode.h"
#include "controller/taskrules.h"
#include "trx/portstate.h"
#include "trx/scheduleinfo.h"

#include <QtTest>

namespace {

// A 25 fps master at 12:00:00:00.
trx::PortState master()
{
    trx::PortState s;
    s.stateCode = 1;
    s.systemFrequency = 25;
    s.currentTc = 0x0C000000;
    return s;
}

const QDate kToday(2026, 12, 8);

int tc(int h, int m, int s, int f)
{
    return (h << 24) | (m << 16) | (s << 8) | f;
}

trx::ScheduleInfo sch(int startDay, int startTc, int endDay, int endTc, int status)
{
    trx::ScheduleInfo s;
    s.id = QStringLiteral("t");
    s.startDate = kToday.addDays(startDay);
    s.endDate = kToday.addDays(endDay);
    s.startTc = startTc;
    s.endTc = endTc;
    s.master.status = status;
    if (endTc == -1)
        s.type = trx::ScheduleInfo::OpenEnd;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(EditVerdict)

class tst_TaskRules : public QObject
{
    Q_OBJECT

private slots:
    void edit_data();
    void edit();
    void clipTest_data();
    void clipTest();
    void remove_data();
    void remove();
    void stopAndFinished();
    void statusPredicates_data();
    void statusPredicates();
};

void tst_TaskRules::edit_data()
{
    QTest::addColumn<trx::ScheduleInfo>("schedule");
    QTest::addColumn<EditVerdict>("verdict");

    const int noon = tc(12, 0, 0, 0);
    QTest::newRow("tomorrow") << sch(1, tc(1, 0, 0, 0), 1, tc(2, 0, 0, 0), 1) << EditVerdict::Editable;
    QTest::newRow("starts 301 frames ahead")
        << sch(0, tc(12, 0, 12, 1), 0, tc(12, 0, 20, 0), 1) << EditVerdict::Editable;
    // 300 frames ahead: the end (400 frames ahead) is within 900, the start not passed.
    QTest::newRow("starts exactly 300 frames ahead, end close")
        << sch(0, tc(12, 0, 12, 0), 0, tc(12, 0, 16, 0), 1) << EditVerdict::NotEditable;
    QTest::newRow("starts within 300 frames, end far")
        << sch(0, tc(12, 0, 4, 0), 0, tc(13, 0, 0, 0), 1) << EditVerdict::Editable;
    QTest::newRow("open end started") << sch(0, tc(11, 0, 0, 0), 0, -1, 6) << EditVerdict::NotEditable;
    QTest::newRow("open end from yesterday")
        << sch(-1, tc(23, 0, 0, 0), -1, -1, 6) << EditVerdict::NotEditable;
    QTest::newRow("open end starting soon") << sch(0, tc(12, 0, 1, 0), 0, -1, 1) << EditVerdict::NotEditable;
    QTest::newRow("ended yesterday") << sch(-1, tc(10, 0, 0, 0), -1, tc(11, 0, 0, 0), 7)
                                     << EditVerdict::ClipTest;
    QTest::newRow("ended earlier today")
        << sch(0, tc(10, 0, 0, 0), 0, tc(11, 0, 0, 0), 7) << EditVerdict::ClipTest;
    QTest::newRow("running, end far ahead")
        << sch(0, tc(11, 0, 0, 0), 0, tc(13, 0, 0, 0), 6) << EditVerdict::Editable;
    QTest::newRow("running, end within 900 frames")
        << sch(0, tc(11, 0, 0, 0), 0, tc(12, 0, 30, 0), 6) << EditVerdict::NotEditable;
    QTest::newRow("running past midnight, end early tomorrow")
        << sch(0, tc(11, 0, 0, 0), 1, tc(0, 0, 10, 0), 6) << EditVerdict::Editable;
    QTest::newRow("maintenance") << [&] {
        trx::ScheduleInfo s = sch(1, noon, 1, noon + 10, 1);
        s.type = trx::ScheduleInfo::Maintenance;
        return s;
    }() << EditVerdict::NotEditable;
    QTest::newRow("cancelling") << sch(1, noon, 1, tc(13, 0, 0, 0), -5) << EditVerdict::NotEditable;
    QTest::newRow("rec error") << sch(1, noon, 1, tc(13, 0, 0, 0), -2) << EditVerdict::NotEditable;
}

void tst_TaskRules::edit()
{
    QFETCH(trx::ScheduleInfo, schedule);
    QFETCH(EditVerdict, verdict);
    QCOMPARE(editVerdict(schedule, master(), TimeCode(master()), kToday), verdict);
}

void tst_TaskRules::clipTest_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("ref");
    QTest::addColumn<QString>("scheduleRef");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("passes");

    const QByteArray bytes("\x0a\xbc\x01", 3);
    QTest::newRow("same clip, completed") << true << bytes << "0abc01" << 7 << true;
    QTest::newRow("same clip, upper-case reference") << true << bytes << "0ABC01" << 7 << true;
    QTest::newRow("request failed") << false << bytes << "0abc01" << 7 << false;
    QTest::newRow("another clip") << true << bytes << "0abc02" << 7 << false;
    QTest::newRow("no reference") << true << QByteArray() << "" << 7 << false;
    QTest::newRow("still waiting") << true << bytes << "0abc01" << 3 << false;
    QTest::newRow("in progress") << true << bytes << "0abc01" << 6 << false;
}

void tst_TaskRules::clipTest()
{
    QFETCH(bool, found);
    QFETCH(QByteArray, ref);
    QFETCH(QString, scheduleRef);
    QFETCH(int, status);
    QFETCH(bool, passes);
    trx::ScheduleInfo s = sch(-1, tc(10, 0, 0, 0), -1, tc(11, 0, 0, 0), status);
    s.master.clipRef = scheduleRef;
    QCOMPARE(clipTestPasses(found, ref, s), passes);
}

void tst_TaskRules::remove_data()
{
    QTest::addColumn<trx::ScheduleInfo>("schedule");
    QTest::addColumn<bool>("deletable");

    QTest::newRow("waiting inside its period") << sch(0, tc(11, 0, 0, 0), 0, tc(13, 0, 0, 0), 3) << true;
    QTest::newRow("in progress") << sch(0, tc(11, 0, 0, 0), 0, tc(13, 0, 0, 0), 6) << false;
    QTest::newRow("in progress, started yesterday")
        << sch(-1, tc(11, 0, 0, 0), 0, tc(13, 0, 0, 0), 6) << false;
    QTest::newRow("scheduled inside its period") << sch(0, tc(11, 0, 0, 0), 0, tc(13, 0, 0, 0), 1) << false;
    QTest::newRow("scheduled later today") << sch(0, tc(12, 0, 0, 1), 0, tc(13, 0, 0, 0), 1) << true;
    QTest::newRow("completed earlier today") << sch(0, tc(10, 0, 0, 0), 0, tc(11, 0, 0, 0), 7) << true;
    QTest::newRow("tomorrow") << sch(1, tc(11, 0, 0, 0), 1, tc(13, 0, 0, 0), 1) << true;
    QTest::newRow("yesterday") << sch(-1, tc(11, 0, 0, 0), -1, tc(13, 0, 0, 0), 7) << true;
    QTest::newRow("open end started today") << sch(0, tc(11, 0, 0, 0), 0, -1, 1) << false;
    // The end lies tomorrow: not before now although its timecode is smaller.
    QTest::newRow("crossing midnight, started") << sch(0, tc(11, 0, 0, 0), 1, tc(1, 0, 0, 0), 1) << false;
}

void tst_TaskRules::remove()
{
    QFETCH(trx::ScheduleInfo, schedule);
    QFETCH(bool, deletable);
    QCOMPARE(::deletable(schedule, master(), TimeCode(master()), kToday), deletable);
}

void tst_TaskRules::stopAndFinished()
{
    QVERIFY(stoppable(sch(0, 0, 0, 1, 6)));
    QVERIFY(!stoppable(sch(0, 0, 0, 1, 7)));
    QVERIFY(!stoppable(sch(0, 0, 0, 1, 3)));
}

void tst_TaskRules::statusPredicates_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("mayTransfer");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("countsForRemain");
    QTest::addColumn<bool>("blocksPort");

    QTest::newRow("no status yet") << 0 << true << false << true << false;
    QTest::newRow("scheduled") << 1 << true << false << true << true;
    QTest::newRow("last waiting code") << 5 << true << true << true << true;
    QTest::newRow("in progress") << 6 << true << true << true << true;
    QTest::newRow("second completed code") << 8 << false << false << false << false;
    QTest::newRow("code the manager does not list") << 9 << true << false << false << false;
    QTest::newRow("cancelling") << -5 << true << false << false << false;
    // Stop may still be sent, but a cancelled open end no longer keeps its port.
    QTest::newRow("cancelled") << -4 << true << false << false << false;
    QTest::newRow("transfer error") << -3 << false << false << false << false;
    QTest::newRow("rec error") << -2 << false << false << false << false;
    QTest::newRow("unknown error") << -1 << true << false << false << false;
}

void tst_TaskRules::statusPredicates()
{
    QFETCH(int, code);
    const trx::ScheduleStatus status = trx::scheduleStatusOf(code);
    QTEST(trx::mayStillTransfer(status), "mayTransfer");
    QTEST(trx::isRunning(status), "running");
    QTEST(trx::countsForRemainTime(status), "countsForRemain");
    QTEST(trx::blocksPortWhileOpen(status), "blocksPort");
}

QTEST_GUILESS_MAIN(tst_TaskRules)
#include "tst_taskrules.moc"
