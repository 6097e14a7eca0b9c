// The scenario loader's error messages, the bundled scenarios, and the simulator's frame reader
// against byte vectors written out by hand.

#include "framereader.h"
#include "simclock.h"
#include "siminstallation.h"
#include "simscenario.h"

#include <QtTest>

class tst_SimScenario : public QObject
{
    Q_OBJECT

private slots:
    void rejectsWithAClearError_data();
    void rejectsWithAClearError();
    void readsPortsAndSchedules();
    void bundledScenariosLoad_data();
    void bundledScenariosLoad();
    void demoShowsEveryStatus();
    void missingFileNamesThePath();
    void frameReader_data();
    void frameReader();
};

void tst_SimScenario::rejectsWithAClearError_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QByteArray port = R"({"servers": [{"id": "s", "ports": [{"port": 0}, {"port": 1}]}], )";
    QTest::newRow("not JSON") << QByteArray("{\"servers\": [") << "JSON: ";
    QTest::newRow("not an object") << QByteArray("[1, 2]") << "scenario: the document must be an object";
    QTest::newRow("no servers") << QByteArray("{}") << "scenario: missing \"servers\"";
    QTest::newRow("server without id")
        << QByteArray(R"({"servers": [{"ports": []}]})") << "servers[0]: missing \"id\"";
    QTest::newRow("duplicate server")
        << QByteArray(R"({"servers": [{"id": "a", "ports": []}, {"id": "a", "ports": []}]})")
        << "servers[1].id: duplicate server id \"a\"";
    QTest::newRow("port out of range") << QByteArray(R"({"servers": [{"id": "a", "ports": [{"port": 8}]}]})")
                                       << "servers[0].ports[0].port: 8 is outside 0..7";
    QTest::newRow("unknown rate") << QByteArray(R"({"servers": [{"id": "a", "ports": [{"rate": "31"}]}]})")
                                  << "servers[0].ports[0].rate: unknown rate \"31\"";
    QTest::newRow("duplicate camera")
        << QByteArray(R"({"servers": [{"id": "a", "ports": [{"camera": 2}, {"camera": 2}]}]})")
        << "servers[0].ports[1].camera: duplicate camera 2";
    QTest::newRow("text where a number belongs")
        << QByteArray(R"({"servers": [{"id": "a", "ports": [{"remainMinutes": "lots"}]}]})")
        << "servers[0].ports[0].remainMinutes: must be a number";
    QTest::newRow("folder parent unknown")
        << QByteArray(
               R"({"servers": [], "gateways": [{"id": "g", "drives": [{"id": "d", "folders": [{"id": "f", "parent": "x", "name": "F"}]}]}]})")
        << "gateways[0].drives[0].folders[0].parent: unknown parent \"x\"";
    QTest::newRow("schedule on unknown server")
        << port + R"("schedules": [{"server": "t", "port": 0, "startIn": 0}]})"
        << "schedules[0].server: unknown server \"t\"";
    QTest::newRow("schedule on missing port")
        << port + R"("schedules": [{"server": "s", "port": 5, "startIn": 0}]})"
        << "schedules[0].port: server \"s\" has no port 5";
    QTest::newRow("proxy on its own port")
        << port + R"("schedules": [{"server": "s", "port": 0, "proxyPort": 0, "startIn": 0}]})"
        << "schedules[0].proxyPort: port 0 cannot be the proxy of port 0";
    QTest::newRow("bad timecode")
        << port +
               R"("schedules": [{"server": "s", "port": 0, "start": "25:00:00:00", "end": "26:00:00:00"}]})"
        << "schedules[0].start: \"25:00:00:00\" is not a timecode";
    QTest::newRow("normal schedule without end")
        << port + R"("schedules": [{"server": "s", "port": 0, "start": "10:00:00:00"}]})"
        << "schedules[0]: missing \"end\"";
    QTest::newRow("unknown status")
        << port + R"("schedules": [{"server": "s", "port": 0, "startIn": 0, "status": "done"}]})"
        << "schedules[0].status: unknown status \"done\"";
    QTest::newRow("unknown failure")
        << port + R"("schedules": [{"server": "s", "port": 0, "startIn": 0, "fail": "disk"}]})"
        << "schedules[0].fail: unknown failure \"disk\"";
    QTest::newRow("master on a missing port") << port + R"("master": {"server": "s", "port": 4}})"
                                              << "master.port: server \"s\" has no port 4";
    QTest::newRow("maintenance not a timecode") << QByteArray(R"({"servers": [], "maintenance": "2am"})")
                                                << "scenario.maintenance: \"2am\" is not a timecode";
}

void tst_SimScenario::rejectsWithAClearError()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QString why;
    QVERIFY(!SimScenario::fromJson(json, &why));
    QVERIFY2(why.startsWith(error), qPrintable(why));
}

void tst_SimScenario::readsPortsAndSchedules()
{
    const QByteArray json =
        R"({"maintenance": "02:00:00:00", "servers": [{"id": "s", "systemFrequency": 24, "ports": [
        {"port": 3, "camera": 1, "rate": "29.97df", "recording": false, "tcOffsetFrames": -5}, {}]}],
        "schedules": [{"server": "s", "port": 3, "day": 1, "start": "23:00:00;00", "end": "01:00:00;00", "proxyPort": 1},
                      {"server": "s", "port": 1, "type": 1, "startIn": -30}]})";
    QString why;
    const std::optional<SimScenario> sc = SimScenario::fromJson(json, &why);
    QVERIFY2(sc, qPrintable(why));
    QCOMPARE(sc->maintenanceTc, 0x02000000);
    const SimPortSpec &a = sc->servers.at(0).ports.at(0);
    QCOMPARE(a.port, 3);
    QCOMPARE(a.rateCode, 29);
    QVERIFY(a.dropFrame);
    QVERIFY(!a.recording);
    QCOMPARE(a.tcOffsetFrames, -5);
    // A port without fields takes its place in the list and the server's rate.
    const SimPortSpec &b = sc->servers.at(0).ports.at(1);
    QCOMPARE(b.port, 1);
    QCOMPARE(b.camera, 2);
    QCOMPARE(b.rateCode, 24);
    const SimScheduleSpec &s0 = sc->schedules.at(0);
    QVERIFY(!s0.relative);
    QCOMPARE(s0.day, 1);
    QCOMPARE(s0.startTc, 0x17000000);
    QCOMPARE(s0.endTc, 0x01000000);
    QCOMPARE(s0.proxyPort, 1);
    const SimScheduleSpec &s1 = sc->schedules.at(1);
    QVERIFY(s1.relative);
    QCOMPARE(s1.startInSecs, qint64(-30));
    QCOMPARE(s1.durationSecs, qint64(-1));
}

void tst_SimScenario::bundledScenariosLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("servers");
    QTest::addColumn<int>("minSchedules");
    QTest::addColumn<int>("disconnectedServers");
    // The demo keeps one server off to show that state; the large installation has every
    // server connected so that all 128 timelines are there.
    QTest::newRow("demo") << "demo.json" << 3 << 10 << 1;
    QTest::newRow("large") << "large.json" << 16 << 9000 << 0;
}

void tst_SimScenario::bundledScenariosLoad()
{
    QFETCH(QString, file);
    QFETCH(int, servers);
    QFETCH(int, minSchedules);
    QFETCH(int, disconnectedServers);
    QString why;
    const std::optional<SimScenario> sc =
        SimScenario::load(QStringLiteral(TARSA_SCENARIO_DIR "/") + file, &why);
    QVERIFY2(sc, qPrintable(why));
    QCOMPARE(sc->servers.size(), servers);
    QVERIFY(sc->schedules.size() >= minSchedules);
    QVERIFY(sc->maintenanceTc >= 0);
    QVERIFY(sc->masterPort >= 0);
    int disconnected = 0;
    for (const SimServerSpec &s : sc->servers) {
        disconnected += s.connected ? 0 : 1;
        QVERIFY(s.ports.size() >= 4 && s.ports.size() <= 8);
    }
    QCOMPARE(disconnected, disconnectedServers);
}

void tst_SimScenario::demoShowsEveryStatus()
{
    QString why;
    const std::optional<SimScenario> sc =
        SimScenario::load(QStringLiteral(TARSA_SCENARIO_DIR "/demo.json"), &why);
    QVERIFY2(sc, qPrintable(why));
    SimClock clock;
    clock.setTimeScale(0);
    SimInstallation installation(&clock);
    installation.load(*sc);
    QSet<int> statuses;
    bool maintenance = false;
    bool proxyPair = false;
    for (const trx::ScheduleInfo &s : installation.schedules()) {
        statuses.insert(s.master.status);
        maintenance = maintenance || s.type == trx::ScheduleInfo::Maintenance;
        proxyPair = proxyPair || !s.mainScheduleId.isEmpty();
    }
    for (int status : {1, 3, 6, 7, -1, -2, -3, -4})
        QVERIFY2(statuses.contains(status), qPrintable(QString::number(status)));
    QVERIFY(maintenance);
    QVERIFY(proxyPair);
}

void tst_SimScenario::missingFileNamesThePath()
{
    QString why;
    QVERIFY(!SimScenario::load(QStringLiteral("/nonexistent/scenario.json"), &why));
    QVERIFY2(why.startsWith(QLatin1String("/nonexistent/scenario.json: ")), qPrintable(why));
}

void tst_SimScenario::frameReader_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("bodies");
    QTest::addColumn<bool>("bad");
    const QByteArray one = QByteArray::fromHex("0000000000000003616263");
    const QByteArray two = QByteArray::fromHex("000000000000000178");
    QTest::newRow("one whole frame") << QList<QByteArray>{one} << QList<QByteArray>{"abc"} << false;
    QTest::newRow("two frames in one read")
        << QList<QByteArray>{one + two} << QList<QByteArray>{"abc", "x"} << false;
    QTest::newRow("length split across reads")
        << QList<QByteArray>{one.left(3), one.mid(3, 6), one.mid(9)} << QList<QByteArray>{"abc"} << false;
    QTest::newRow("body still missing") << QList<QByteArray>{one.left(10)} << QList<QByteArray>{} << false;
    QTest::newRow("zero length") << QList<QByteArray>{QByteArray::fromHex("0000000000000000") + two}
                                 << QList<QByteArray>{} << true;
    QTest::newRow("negative length") << QList<QByteArray>{QByteArray::fromHex("ffffffffffffffff")}
                                     << QList<QByteArray>{} << true;
    QTest::newRow("beyond 64 MiB") << QList<QByteArray>{QByteArray::fromHex("0000000004000001")}
                                   << QList<QByteArray>{} << true;
    QTest::newRow("exactly 64 MiB waits")
        << QList<QByteArray>{QByteArray::fromHex("0000000004000000")} << QList<QByteArray>{} << false;
}

void tst_SimScenario::frameReader()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, bodies);
    QFETCH(bool, bad);
    FrameReader reader;
    QList<QByteArray> got;
    bool sawBad = false;
    for (const QByteArray &c : qAsConst(chunks)) {
        reader.append(c);
        QByteArray body;
        for (;;) {
            const FrameReader::Result r = reader.next(body);
            if (r == FrameReader::Result::Body)
                got.append(body);
            else {
                sawBad = sawBad || r == FrameReader::Result::BadLength;
                break;
            }
        }
    }
    QCOMPARE(got, bodies);
    QCOMPARE(sawBad, bad);
}

QTEST_GUILESS_MAIN(tst_SimScenario)
#include "tst_simscenario.moc"
