// The maintenance window: which days are checked, what the request carries, how ports and items
// are labelled.

#include "controller/maintenancerules.h"
#include "controller/schedulechecks.h"
#include "trx/portstate.h"
#include "trx/schedulerequest.h"

#include <QtTest>

namespace {

int tc(int h, int m, int s, int f)
{
    return (h << 24) | (m << 16) | (s << 8) | f;
}

trx::PortState master(int rateCode, bool dropFrame, int currentTc)
{
    trx::PortState s;
    s.stateCode = 1;
    s.systemFrequency = rateCode;
    s.dropFrame = dropFrame;
    s.currentTc = currentTc;
    return s;
}

const QDate kToday(2026, 12, 8);

} // namespace

class tst_MaintenanceRules : public QObject
{
    Q_OBJECT

private slots:
    void days_data();
    void days();
    void request_data();
    void request();
    void labels_data();
    void labels();
};

void tst_MaintenanceRules::days_data()
{
    QTest::addColumn<bool>("ahead");
    QTest::addColumn<bool>("now");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("daily, time passed today") << false << false << 1 << 7;
    QTest::newRow("daily, time still ahead") << true << false << 0 << 7;
    QTest::newRow("now") << false << true << 0 << 0;
}

void tst_MaintenanceRules::days()
{
    QFETCH(bool, ahead);
    QFETCH(bool, now);
    QFETCH(int, first);
    QFETCH(int, last);
    const MaintenanceDays d = maintenanceDays(ahead, now);
    QCOMPARE(d.first, first);
    QCOMPARE(d.last, last);
}

void tst_MaintenanceRules::request_data()
{
    QTest::addColumn<int>("rateCode");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<int>("currentTc");
    QTest::addColumn<int>("maintenanceTime");
    QTest::addColumn<bool>("now");
    QTest::addColumn<int>("startTc");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<QDate>("startDate");
    QTest::addColumn<QDate>("endDate");

    QTest::newRow("daily at 02:00") << 25 << false << tc(12, 0, 0, 0) << tc(2, 0, 0, 0) << false
                                    << tc(2, 0, 0, 0) << tc(2, 0, 10, 0) << QDate() << QDate();
    QTest::newRow("now at 23:59:55:00 ends tomorrow")
        << 25 << false << tc(23, 59, 55, 0) << tc(2, 0, 0, 0) << true << tc(23, 59, 55, 0) << tc(0, 0, 5, 0)
        << kToday << kToday.addDays(1);
    QTest::newRow("now at noon stays today") << 25 << false << tc(12, 0, 0, 3) << -1 << true
                                             << tc(12, 0, 0, 3) << tc(12, 0, 10, 3) << kToday << kToday;
    QTest::newRow("drop-frame daily 00:01:00:00") << 29 << true << tc(12, 0, 0, 0) << tc(0, 1, 0, 0) << false
                                                  << tc(0, 1, 0, 2) << tc(0, 1, 10, 2) << QDate() << QDate();
    QTest::newRow("drop-frame 00:10:00:00 is real")
        << 29 << true << tc(12, 0, 0, 0) << tc(0, 10, 0, 0) << false << tc(0, 10, 0, 0) << tc(0, 10, 10, 0)
        << QDate() << QDate();
    // 300 frames on: the window ends on a dropped number and moves on as well.
    QTest::newRow("drop-frame end on a dropped number")
        << 29 << true << tc(12, 0, 0, 0) << tc(0, 0, 50, 0) << false << tc(0, 0, 50, 0) << tc(0, 1, 0, 2)
        << QDate() << QDate();
}

void tst_MaintenanceRules::request()
{
    QFETCH(int, rateCode);
    QFETCH(bool, dropFrame);
    QFETCH(int, currentTc);
    QFETCH(int, maintenanceTime);
    QFETCH(bool, now);
    QFETCH(int, startTc);
    QFETCH(int, endTc);
    QFETCH(QDate, startDate);
    QFETCH(QDate, endDate);

    const trx::ScheduleRequest r =
        maintenanceRequest(master(rateCode, dropFrame, currentTc), maintenanceTime, now, kToday);
    QCOMPARE(QString::number(r.startTc, 16), QString::number(startTc, 16));
    QCOMPARE(QString::number(r.endTc, 16), QString::number(endTc, 16));
    QCOMPARE(r.startDate, startDate);
    QCOMPARE(r.endDate, endDate);
    QCOMPARE(r.type, 255);
    QVERIFY(r.name.isEmpty());
    QVERIFY(r.ports.isEmpty());
    QVERIFY(r.proxyPorts.isEmpty());
    QVERIFY(!r.withProxy);
}

void tst_MaintenanceRules::labels_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("asProxy");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("unnamed port 2") << QString() << 2 << false << "Server1 Port C: ";
    QTest::newRow("named port") << "Studio" << 0 << false << "Server1 Studio: ";
    QTest::newRow("unnamed proxy port 1") << QString() << 1 << true << "Server1 [Port B]: ";
}

void tst_MaintenanceRules::labels()
{
    QFETCH(QString, portName);
    QFETCH(int, port);
    QFETCH(bool, asProxy);
    QFETCH(QString, prefix);
    QCOMPARE(maintenancePortPrefix(QStringLiteral("Server1"), portLabel(portName, port), asProxy), prefix);
    QCOMPARE(maintenanceItemText(QDate(2026, 12, 6), QStringLiteral("02:00:00:00")),
             QStringLiteral("[6] 02:00:00:00"));
}

QTEST_GUILESS_MAIN(tst_MaintenanceRules)
#include "tst_maintenancerules.moc"
