// The churn that keeps a long run's schedules moving: what each step adds, changes and removes,
// as the installation announces it.

#include "simchurn.h"
#include "simclock.h"
#include "siminstallation.h"
#include "simscenario.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

SimScenario scenario(const char *json)
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(json, &error);
    if (!sc)
        qFatal("scenario: %s", qPrintable(error));
    return *sc;
}

const char TwoServers[] = R"({
  "servers": [
    {"id": "a", "ports": [{"port": 0, "rate": "29.97df"}, {"port": 1, "rate": "24"}]},
    {"id": "off", "connected": false, "ports": [{"port": 0}]}],
  "gateways": [{"id": "g", "name": "G", "drives": [{"id": "d", "name": "D"}]}]
})";

} // namespace

class tst_SimChurn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<trx::ScheduleInfo>(); }
    void stepsAddChangeAndRemove_data();
    void stepsAddChangeAndRemove();
    void churnedSchedulesAreOnConnectedPortsInTheFuture();
    void nothingToAddWithoutGateways();
    void scheduleRemovedElsewhereIsForgotten();
};

void tst_SimChurn::stepsAddChangeAndRemove_data()
{
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("owned");
    QTest::addColumn<int>("changes");
    QTest::addColumn<int>("removals");

    QTest::newRow("first step only adds") << 3 << 1 << 1 << 0 << 0;
    QTest::newRow("second step changes the first") << 3 << 2 << 2 << 1 << 0;
    QTest::newRow("up to keep nothing is removed") << 3 << 3 << 3 << 2 << 0;
    QTest::newRow("beyond keep the oldest goes") << 3 << 5 << 3 << 4 << 2;
    QTest::newRow("keep of one swaps each step") << 1 << 4 << 1 << 3 << 3;
}

void tst_SimChurn::stepsAddChangeAndRemove()
{
    QFETCH(int, keep);
    QFETCH(int, steps);
    QFETCH(int, owned);
    QFETCH(int, changes);
    QFETCH(int, removals);

    SimClock clock;
    clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    clock.setTimeScale(0);
    SimInstallation installation(&clock);
    installation.load(scenario(TwoServers));
    const int initial = installation.scheduleCount();
    QSignalSpy added(&installation, &SimInstallation::scheduleAdded);
    QSignalSpy changed(&installation, &SimInstallation::scheduleChanged);
    QSignalSpy removed(&installation, &SimInstallation::scheduleRemoved);

    SimChurn churn(&installation, &clock, keep);
    for (int i = 0; i < steps; ++i)
        QVERIFY(churn.step());

    QCOMPARE(added.count(), steps);
    QCOMPARE(changed.count(), changes);
    QCOMPARE(removed.count(), removals);
    QCOMPARE(churn.ownIds().size(), owned);
    QCOMPARE(installation.scheduleCount(), initial + owned);
    for (const QString &id : churn.ownIds())
        QVERIFY(installation.schedule(id));
    // The oldest went first: what is left are the newest.
    QCOMPARE(churn.ownIds().last(), added.last().at(0).value<trx::ScheduleInfo>().id);
    if (removals > 0)
        QCOMPARE(removed.first().at(0).toString(), added.first().at(0).value<trx::ScheduleInfo>().id);
}

void tst_SimChurn::churnedSchedulesAreOnConnectedPortsInTheFuture()
{
    SimClock clock;
    const QDateTime now(QDate(2026, 12, 8), QTime(23, 58, 30));
    clock.setNow(now);
    clock.setTimeScale(0);
    SimInstallation installation(&clock);
    installation.load(scenario(TwoServers));
    SimChurn churn(&installation, &clock, 10);
    QVERIFY(churn.step());
    QVERIFY(churn.step());

    const trx::ScheduleInfo first = *installation.schedule(churn.ownIds().at(0));
    const trx::ScheduleInfo second = *installation.schedule(churn.ownIds().at(1));
    // Ports are taken in turn, the disconnected server never.
    QCOMPARE(first.serverId, QStringLiteral("a"));
    QCOMPARE(first.portNo, 0);
    QCOMPARE(second.portNo, 1);
    // Three minutes ahead, across midnight: the next day, frame 2.
    QCOMPARE(first.startDate, QDate(2026, 12, 9));
    QCOMPARE(first.startTc, (0 << 24) | (1 << 16) | (30 << 8) | 2);
    QCOMPARE(first.master.status, qint32(SimInstallation::Scheduled));
    // The first one was changed by the second step: renamed, and 30 s longer than its minute.
    QCOMPARE(first.name, QStringLiteral("Churn 1 (changed)"));
    QCOMPARE(first.endTc, (0 << 24) | (3 << 16) | (0 << 8) | 2);
    QCOMPARE(first.endDate, QDate(2026, 12, 9));
    QCOMPARE(second.name, QStringLiteral("Churn 2"));
    QCOMPARE(first.master.text3, QStringLiteral("g"));
    QCOMPARE(first.master.text4, QStringLiteral("d"));
}

void tst_SimChurn::nothingToAddWithoutGateways()
{
    SimClock clock;
    SimInstallation installation(&clock);
    installation.load(scenario(R"({"servers": [{"id": "a", "ports": [{"port": 0}]}]})"));
    const int initial = installation.scheduleCount();
    SimChurn churn(&installation, &clock);
    QVERIFY(!churn.step());
    QCOMPARE(installation.scheduleCount(), initial);
    QCOMPARE(churn.added(), 0);
}

void tst_SimChurn::scheduleRemovedElsewhereIsForgotten()
{
    SimClock clock;
    clock.setTimeScale(0);
    SimInstallation installation(&clock);
    installation.load(scenario(TwoServers));
    SimChurn churn(&installation, &clock, 5);
    QVERIFY(churn.step());
    const QString id = churn.ownIds().constFirst();
    QString why;
    QVERIFY(installation.removeSchedule(id, &why));
    QVERIFY(churn.step());
    QCOMPARE(churn.ownIds().size(), 1);
    QVERIFY(!churn.ownIds().contains(id));
    QCOMPARE(churn.changed(), 0);
}

QTEST_GUILESS_MAIN(tst_SimChurn)
#include "tst_simchurn.moc"
