// The real client engine against the simulator over loopback: the start-up conversation, schedule
// commands and their pushes, progression on an injected clock, folders and refused input.

#include "recordingdelegate.h"
#include "simrunner.h"
#include "testscenario.h"

#include "cmn/framerate.h"
#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "platform/idbg.h"
#include "trx/trxmclient.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The integer-packed timecode `secs` seconds after hh:mm:ss:ff at 25 frames.
int packedPlus(int packed, int secs)
{
    const cmn::timecode_mode *m = cmn::get_timecode_mode(25, false);
    const int frames = m->tc_to_frames(cmn::timecode_mode::tc_t(packedToBcd(packed))) + secs * 25;
    return bcdToPacked(
        int(m->frames_to_tc(((frames % m->frames_per_day()) + m->frames_per_day()) % m->frames_per_day())));
}

} // namespace

class tst_SimConversation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startupConversation();
    void portStatesAndTrainsMatchTheClock();
    void addWithProxyComesBackAsTwoPushes();
    void statusProgressesOnTheInjectedClock();
    void failuresTheScenarioAsksFor_data();
    void failuresTheScenarioAsksFor();
    void stopCancelsThenCancelled();
    void endingAnOpenEndSchedule();
    void removeTakesTheProxyAlong();
    void updateMovesTheProxy();
    void foldersLoadLazilyPerParent();
    void syncScheduleTimeReportsTheFlagWord_data();
    void syncScheduleTimeReportsTheFlagWord();
    void masterIsNamedAfterTheScheduleList();
    void startRecordOpensATrain();
    void serverConnectionChangeIsPushed();
    void refusedAndMalformedRequests_data();
    void refusedAndMalformedRequests();
    void wrongIdentityIsRefused();
    void garbageFromAClientIsSurvived();
    void schedulesSurviveARestartWithAStateFile();

private:
    // Connects and identifies; the clock is frozen so that only advance() moves it.
    void connectClient();
    // A schedule request on srv-a port 0 starting `inSecs` after the simulator's now at 25 fps.
    trx::ScheduleRequest requestStartingIn(int inSecs, int durationSecs);
    QString addAndWait(const trx::ScheduleRequest &request);
    void advance(qint64 ms)
    {
        m_sim->call([ms](SimServer &s) { s.advanceClock(ms); });
    }

    QTemporaryDir m_logDir;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<RecordingDelegate> m_delegate;
    std::unique_ptr<trx::TRXMClient> m_client;
};

void tst_SimConversation::initTestCase()
{
    // Both ends log through the same sink; keep it out of the user's data folder.
    QVERIFY(m_logDir.isValid());
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toLocal8Bit().constData());
}

void tst_SimConversation::init()
{
    m_sim = std::make_unique<SimRunner>(testScenario());
    QVERIFY(m_sim->start() != 0);
    m_sim->call([](SimServer &s) { s.clock().setTimeScale(0); });
    m_delegate = std::make_unique<RecordingDelegate>();
    m_client = std::make_unique<trx::TRXMClient>(m_delegate.get());
}

void tst_SimConversation::cleanup()
{
    m_client.reset();
    m_delegate.reset();
    m_sim.reset();
}

void tst_SimConversation::connectClient()
{
    QVERIFY(m_client->connectToServer(QStringLiteral("127.0.0.1"), m_sim->port()));
    QVERIFY(m_client->identify());
}

trx::ScheduleRequest tst_SimConversation::requestStartingIn(int inSecs, int durationSecs)
{
    const QDateTime now = m_sim->call([](SimServer &s) { return s.clock().now(); });
    const QDateTime start = now.addSecs(inSecs);
    const QDateTime end = start.addSecs(durationSecs);
    auto tcOf = [](const QDateTime &t) {
        const int ms = t.time().msecsSinceStartOfDay();
        return (ms / 3600000 << 24) | (ms / 60000 % 60 << 16) | (ms / 1000 % 60 << 8) | (ms % 1000 / 40);
    };
    trx::ScheduleRequest r;
    r.masterMgwId = QStringLiteral("mgw-1");
    r.masterDriveId = QStringLiteral("d1");
    r.masterFolderId = QStringLiteral("news");
    r.name = QStringLiteral("Test");
    r.startDate = start.date();
    r.endDate = end.date();
    r.startTc = tcOf(start);
    r.endTc = tcOf(end);
    r.ports.append(trx::ServerPort(QStringLiteral("srv-a"), 0));
    return r;
}

QString tst_SimConversation::addAndWait(const trx::ScheduleRequest &request)
{
    const int before = m_delegate->added().size();
    if (!m_client->addSchedule(request))
        return QString();
    const int expected = before + (request.withProxy ? 2 : 1);
    if (!QTest::qWaitFor([&] { return m_delegate->added().size() >= expected; }, 3000))
        return QString();
    return m_delegate->added().size() == expected ? m_delegate->added().at(before).id : QString();
}

void tst_SimConversation::startupConversation()
{
    connectClient();
    QVERIFY(m_client->getMgws());
    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
    QCOMPARE(servers.at(2).id, QStringLiteral("srv-off"));
    QVERIFY(!servers.at(2).connected);

    for (const trx::ServerInfo &server : qAsConst(servers)) {
        if (!server.connected)
            continue;
        trx::ServerSettings settings;
        QVERIFY(m_client->getServerSettings(server.id, settings));
        QCOMPARE(settings.cameraTrains.size(), 4);
        QVector<trx::RecordTrainInfo> trains;
        QVERIFY(m_client->getRecordTrains(server.id, {}, trains));
        QCOMPARE(trains.size(), 4);
        QMap<qint32, trx::PortState> states;
        QVERIFY(m_client->getPortStates(server.id, states));
        QCOMPARE(states.keys(), QList<qint32>({0, 1, 2, 3}));
        QVERIFY(m_client->registerServerNotifications(server.id, 129));
        qint32 mode = 0;
        QMap<qint32, qint32> modes;
        QVERIFY(m_client->getLoopRecMode(server.id, 0, mode, modes));
        QCOMPARE(modes.size(), 4);
        QVERIFY(m_client->startRecord(server.id, 256));
    }
    QVERIFY(m_client->getSchedules());

    QTRY_COMPARE(m_delegate->mgws().size(), 1);
    QCOMPARE(m_delegate->mgws().at(0).size(), 2);
    QCOMPARE(m_delegate->mgws().at(0).at(0).drives.size(), 2);
    QTRY_COMPARE(m_delegate->scheduleLists().size(), 1);
    // done, later and its proxy, cancelled, and the daily maintenance window.
    QCOMPARE(m_delegate->scheduleLists().at(0).size(), 5);
    // Registration brings the port states, both remaining-time kinds and the trains at once.
    QTRY_VERIFY(m_delegate->portStateCount() >= 2);
    QTRY_COMPARE(m_delegate->trainPushes().size(), 2);
    QVERIFY(m_delegate->remain().size() >= 4);

    const QList<int> codes = m_sim->call([](SimServer &s) { return s.receivedCodes(); });
    QCOMPARE(codes, QList<int>({1, 47, 2, 5, 7, 61, 3, 52, 27, 5, 7, 61, 3, 52, 27, 1001}));
}

void tst_SimConversation::portStatesAndTrainsMatchTheClock()
{
    connectClient();
    QVERIFY(m_client->registerServerNotifications(QStringLiteral("srv-a"), 129));
    QTRY_VERIFY(m_delegate->remain().size() >= 2);
    const QList<RecordingDelegate::Remain> remain = m_delegate->remain();
    QCOMPARE(remain.at(0).kind, 3);
    QCOMPARE(remain.at(1).kind, 5);
    // Cameras 1, 2, 3, 4 feed ports 1, 0, 2, 3: port 2 is out of loop recording.
    QCOMPARE(remain.at(1).value, QStringLiteral("125|600|-1|600"));

    const QDateTime now = m_sim->call([](SimServer &s) { return s.clock().now(); });
    QMap<qint32, trx::PortState> states;
    QMap<trx::ServerPort, trx::PortState> all;
    QVERIFY(m_client->getPortStates(QStringLiteral("srv-a"), states, &all));
    QCOMPARE(all.size(), 12);
    QCOMPARE(states.value(1).dropFrame, true);
    QCOMPARE(states.value(1).systemFrequency, 29);
    QCOMPARE(states.value(3).recording, false);
    QCOMPARE(states.value(0).stateCode, 1);
    QCOMPARE(all.value(trx::ServerPort(QStringLiteral("srv-off"), 0)).stateCode, 0);
    // A 25-frame port shows the time of day.
    const int ms = now.time().msecsSinceStartOfDay();
    const int expected =
        (ms / 3600000 << 24) | (ms / 60000 % 60 << 16) | (ms / 1000 % 60 << 8) | (ms % 1000 / 40);
    QCOMPARE(states.value(0).currentTc, expected);

    QVector<trx::RecordTrainInfo> before;
    QVERIFY(m_client->getRecordTrains(QStringLiteral("srv-a"), {}, before));
    advance(60000);
    QVector<trx::RecordTrainInfo> after;
    QVERIFY(m_client->getRecordTrains(QStringLiteral("srv-a"), {}, after));
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        const trx::RecordTrainInfo &a = after.at(i);
        const int grown = a.outPoint - before.at(i).outPoint;
        if (a.portNo == 0)
            QCOMPARE(grown, 60 * 25);
        else if (a.stillRecording)
            QVERIFY2(grown >= 60 * 23 && grown <= 60 * 30, qPrintable(QString::number(grown)));
        else
            QCOMPARE(grown, 0);
    }
    QVector<trx::RecordTrainInfo> everyServer;
    QVERIFY(m_client->getRecordTrains(QString(), {}, everyServer));
    QCOMPARE(everyServer.size(), 12);
}

void tst_SimConversation::addWithProxyComesBackAsTwoPushes()
{
    connectClient();
    trx::ScheduleRequest r = requestStartingIn(600, 60);
    r.withProxy = true;
    r.proxyMgwId = QStringLiteral("mgw-2");
    r.proxyDriveId = QStringLiteral("p1");
    r.proxyPorts.insert(trx::ServerPort(QStringLiteral("srv-a"), 0), 2);
    const QString id = addAndWait(r);
    QVERIFY(!id.isEmpty());
    const QList<trx::ScheduleInfo> added = m_delegate->added();
    const trx::ScheduleInfo &main = added.at(0);
    const trx::ScheduleInfo &proxy = added.at(1);
    QVERIFY(main.withProxy);
    QVERIFY(main.mainScheduleId.isEmpty());
    QCOMPARE(main.portNo, 0);
    QCOMPARE(main.master.status, 1);
    QCOMPARE(main.master.text3, QStringLiteral("mgw-1"));
    QCOMPARE(proxy.mainScheduleId, main.id);
    QCOMPARE(proxy.portNo, 2);
    QVERIFY(!proxy.withProxy);
    QCOMPARE(proxy.master.text3, QStringLiteral("mgw-2"));
    QCOMPARE(proxy.startTc, main.startTc);
    QCOMPARE(proxy.endTc, main.endTc);
}

void tst_SimConversation::statusProgressesOnTheInjectedClock()
{
    connectClient();
    trx::ScheduleRequest r = requestStartingIn(10, 60);
    r.withProxy = true;
    r.proxyPorts.insert(trx::ServerPort(QStringLiteral("srv-a"), 0), 2);
    const QString id = addAndWait(r);
    QVERIFY(!id.isEmpty());
    const QString proxyId = m_delegate->added().at(1).id;

    advance(15000);
    QTRY_COMPARE(m_delegate->lastChange(id).master.status, 3);
    advance(60000);
    QTRY_COMPARE(m_delegate->lastChange(id).master.status, 6);
    // The transfer takes a quarter of the schedule's length: 15 s here.
    const int firstProgress = m_delegate->lastChange(id).master.progress;
    QVERIFY(firstProgress >= 0 && firstProgress < 100);
    // 13 of the 15 s: still in progress, further on.
    for (int i = 0; i < 4; ++i)
        advance(2000);
    QTRY_COMPARE(m_delegate->lastChange(id).master.status, 6);
    QTRY_VERIFY(m_delegate->lastChange(id).master.progress > firstProgress);
    QVERIFY(m_delegate->lastChange(id).proxy.progress > 0);
    QTRY_COMPARE(m_delegate->lastChange(proxyId).master.status, 6);
    QVERIFY(m_delegate->lastChange(proxyId).master.progress > 0);
    advance(20000);
    QTRY_COMPARE(m_delegate->lastChange(id).master.status, 7);
    QCOMPARE(m_delegate->lastChange(id).master.progress, 100);
    QTRY_COMPARE(m_delegate->lastChange(proxyId).master.status, 7);

    const QList<int> progress = m_delegate->progressOf(id);
    for (int i = 1; i < progress.size(); ++i)
        QVERIFY2(progress.at(i) >= progress.at(i - 1) || progress.at(i - 1) == -1, "progress went back");
}

void tst_SimConversation::failuresTheScenarioAsksFor_data()
{
    QTest::addColumn<QString>("fail");
    QTest::addColumn<qint64>("advanceMs");
    QTest::addColumn<int>("status");
    QTest::newRow("rec error once recording starts") << "rec" << qint64(20000) << -2;
    QTest::newRow("transfer error half-way") << "transfer" << qint64(90000) << -3;
}

void tst_SimConversation::failuresTheScenarioAsksFor()
{
    QFETCH(QString, fail);
    QFETCH(qint64, advanceMs);
    QFETCH(int, status);
    const QByteArray json = QStringLiteral(R"({"servers": [{"id": "s", "ports": [{"port": 0}]}],
        "schedules": [{"id": "x", "server": "s", "port": 0, "startIn": 10, "duration": 60, "fail": "%1"}]})")
                                .arg(fail)
                                .toUtf8();
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(json, &error);
    QVERIFY2(sc, qPrintable(error));
    m_client.reset();
    m_sim = std::make_unique<SimRunner>(*sc);
    QVERIFY(m_sim->start() != 0);
    m_sim->call([](SimServer &s) { s.clock().setTimeScale(0); });
    m_client = std::make_unique<trx::TRXMClient>(m_delegate.get());
    connectClient();
    for (qint64 t = 0; t < advanceMs; t += 5000)
        advance(5000);
    QTRY_COMPARE(m_delegate->lastChange(QStringLiteral("x")).master.status, status);
    // A failed schedule stays failed.
    advance(3600 * 1000);
    QCOMPARE(m_sim->call(
                 [](SimServer &s) { return s.installation().schedule(QStringLiteral("x"))->master.status; }),
             status);
}

void tst_SimConversation::stopCancelsThenCancelled()
{
    connectClient();
    QVERIFY(m_client->executeSchedule(QStringLiteral("later"), 2));
    QTRY_COMPARE(m_delegate->lastChange(QStringLiteral("later")).master.status, -5);
    advance(SimInstallation::CancelMs + 500);
    QTRY_COMPARE(m_delegate->lastChange(QStringLiteral("later")).master.status, -4);
    // A cancelled schedule cannot be stopped again, and stays cancelled.
    trx::RequestResult result;
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        trx::TRXMClient::prepareStream(s);
        s << QStringLiteral("later") << qint32(2);
    }
    QVERIFY(m_client->sendRequest(1004, payload, false, &result));
    QCOMPARE(result.status, 0);
    advance(7200 * 1000);
    QCOMPARE(m_sim->call([](SimServer &s) {
        return s.installation().schedule(QStringLiteral("later"))->master.status;
    }),
             -4);
}

void tst_SimConversation::endingAnOpenEndSchedule()
{
    connectClient();
    trx::ScheduleRequest r = requestStartingIn(0, 60);
    r.type = 1;
    r.endTc = -1;
    r.endDate = QDate();
    const QString id = addAndWait(r);
    QVERIFY(!id.isEmpty());
    // Started now and open: waiting for its end from the first push on.
    QCOMPARE(m_delegate->added().at(0).endTc, -1);
    QCOMPARE(m_delegate->added().at(0).master.status, 3);
    advance(30000);
    QCOMPARE(m_sim->call([&](SimServer &s) { return s.installation().schedule(id)->master.status; }), 3);
    QVERIFY(m_client->executeSchedule(id, 1));
    QTRY_VERIFY(m_delegate->lastChange(id).endTc != -1);
    QCOMPARE(m_delegate->lastChange(id).endTc, packedPlus(r.startTc, 30));
    advance(10000);
    QTRY_COMPARE(m_delegate->lastChange(id).master.status, 7);
}

void tst_SimConversation::removeTakesTheProxyAlong()
{
    connectClient();
    const auto proxyOfLater = m_sim->call([](SimServer &s) {
        for (const trx::ScheduleInfo &i : s.installation().schedules())
            if (i.mainScheduleId == QLatin1String("later"))
                return i.id;
        return QString();
    });
    QVERIFY(!proxyOfLater.isEmpty());
    QVERIFY(m_client->removeSchedule(QStringLiteral("later")));
    QTRY_COMPARE(m_delegate->removed(), QList<QString>({QStringLiteral("later"), proxyOfLater}));
    QVERIFY(m_client->removeSchedule(QStringLiteral("done")));
    QTRY_COMPARE(m_delegate->removed().size(), 3);
    QCOMPARE(m_sim->call([](SimServer &s) { return s.installation().scheduleCount(); }), 2);
}

void tst_SimConversation::updateMovesTheProxy()
{
    connectClient();
    const trx::ScheduleInfo known =
        m_sim->call([](SimServer &s) { return *s.installation().schedule(QStringLiteral("later")); });
    trx::ScheduleRequest values;
    values.name = QStringLiteral("Renamed");
    values.startDate = known.startDate;
    values.endDate = known.endDate;
    values.startTc = known.startTc;
    values.endTc = known.endTc;
    values.withProxy = true;
    values.proxyPorts.insert(trx::ServerPort(QStringLiteral("srv-a"), 0), 3);
    QVERIFY(m_client->updateSchedule(known, values, 1));
    QTRY_COMPARE(m_delegate->changed().size(), 2);
    const auto changed = m_delegate->changed();
    QCOMPARE(changed.at(0).first.name, QStringLiteral("Renamed"));
    QCOMPARE(changed.at(0).second, 1);
    QCOMPARE(changed.at(1).first.mainScheduleId, QStringLiteral("later"));
    QCOMPARE(changed.at(1).first.portNo, 3);
    QCOMPARE(changed.at(1).first.name, QStringLiteral("Renamed"));
}

void tst_SimConversation::foldersLoadLazilyPerParent()
{
    connectClient();
    QVERIFY(m_client->fetchMgwFolders(QStringLiteral("mgw-1"), QStringLiteral("d1"), QString()));
    QTRY_COMPARE(m_delegate->folders().size(), 1);
    QList<trx::MgwFolderInfo> root = m_delegate->folders().at(0).folders;
    QCOMPARE(root.size(), 2);
    QCOMPARE(root.at(0).name, QStringLiteral("News"));
    QCOMPARE(root.at(1).name, QStringLiteral("Sports"));
    QVERIFY(m_client->fetchMgwFolders(QStringLiteral("mgw-1"), QStringLiteral("d1"),
                                      QStringLiteral("news-2026")));
    QTRY_COMPARE(m_delegate->folders().size(), 2);
    const RecordingDelegate::Folders second = m_delegate->folders().at(1);
    QCOMPARE(second.mgwId, QStringLiteral("mgw-1"));
    QCOMPARE(second.driveId, QStringLiteral("d1"));
    QCOMPARE(second.folders.size(), 1);
    QCOMPARE(second.folders.at(0).parentId, QStringLiteral("news-2026"));
    QCOMPARE(second.folders.at(0).path, QStringLiteral("/News/2026/December"));
    QVERIFY(m_client->fetchMgwFolders(QStringLiteral("mgw-1"), QStringLiteral("nope"), QString()));
    QTRY_COMPARE(m_delegate->folders().size(), 3);
    QVERIFY(m_delegate->folders().at(2).folders.isEmpty());
}

void tst_SimConversation::syncScheduleTimeReportsTheFlagWord_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("port");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("flags");
    QTest::newRow("master port") << "srv-a" << 1 << QDate() << 1 << 1;
    QTest::newRow("date from the settings dialog") << "" << 0 << QDate(2026, 12, 9) << 2 << 2;
    QTest::newRow("master port and date") << "srv-b" << 0 << QDate(2026, 12, 9) << 3 << 3;
    QTest::newRow("master port that does not exist") << "srv-a" << 7 << QDate() << 1 << 0;
    QTest::newRow("date mode without a date") << "" << 0 << QDate() << 2 << 0;
}

void tst_SimConversation::syncScheduleTimeReportsTheFlagWord()
{
    QFETCH(QString, server);
    QFETCH(int, port);
    QFETCH(QDate, date);
    QFETCH(int, mode);
    QFETCH(int, flags);
    connectClient();
    QVERIFY(m_client->syncScheduleTime(server, port, date, mode));
    QTRY_COMPARE(m_delegate->syncs().size(), 1);
    const auto sync = m_delegate->syncs().at(0);
    QCOMPARE(sync.first.serverId, server);
    QCOMPARE(sync.first.portNo, port);
    QCOMPARE(sync.first.date, date);
    QCOMPARE(sync.second, flags);
}

void tst_SimConversation::masterIsNamedAfterTheScheduleList()
{
    SimScenario sc = testScenario();
    sc.masterServerId = QStringLiteral("srv-b");
    sc.masterPort = 2;
    m_sim = std::make_unique<SimRunner>(sc);
    QVERIFY(m_sim->start() != 0);
    m_client = std::make_unique<trx::TRXMClient>(m_delegate.get());
    connectClient();
    QVERIFY(m_client->getSchedules());
    QTRY_COMPARE(m_delegate->syncs().size(), 1);
    QCOMPARE(m_delegate->scheduleLists().size(), 1);
    const auto sync = m_delegate->syncs().at(0);
    QCOMPARE(sync.first.serverId, QStringLiteral("srv-b"));
    QCOMPARE(sync.first.portNo, 2);
    QCOMPARE(sync.first.date, m_sim->call([](SimServer &s) { return s.clock().now().date(); }));
    QCOMPARE(sync.second, 3);
    // A master the operator picks is the one named to the next client.
    QVERIFY(m_client->syncScheduleTime(QStringLiteral("srv-a"), 3, QDate(), 1));
    QTRY_COMPARE(m_delegate->syncs().size(), 2);
    QVERIFY(m_client->getSchedules());
    QTRY_COMPARE(m_delegate->syncs().size(), 3);
    QCOMPARE(m_delegate->syncs().at(2).first.serverId, QStringLiteral("srv-a"));
    QCOMPARE(m_delegate->syncs().at(2).first.portNo, 3);
}

void tst_SimConversation::startRecordOpensATrain()
{
    connectClient();
    QVERIFY(m_client->registerServerNotifications(QStringLiteral("srv-a"), 129));
    QVERIFY(m_client->startRecord(QStringLiteral("srv-a"), (3 + 1) << 16));
    QTRY_COMPARE(m_delegate->trainChanges().size(), 1);
    // Registration brought the trains once; the new train brings them again.
    QTRY_COMPARE(m_delegate->trainPushes().size(), 2);
    QCOMPARE(m_delegate->trainChanges().at(0).second.portNo, 3);
    QVERIFY(m_delegate->trainChanges().at(0).second.stillRecording);
    QMap<qint32, trx::PortState> states;
    QVERIFY(m_client->getPortStates(QStringLiteral("srv-a"), states));
    QVERIFY(states.value(3).recording);
}

void tst_SimConversation::serverConnectionChangeIsPushed()
{
    connectClient();
    m_sim->call([](SimServer &s) { s.installation().setServerConnected(QStringLiteral("srv-off"), true); });
    QTRY_COMPARE(m_delegate->serverChanges().size(), 1);
    QCOMPARE(m_delegate->serverChanges().at(0).id, QStringLiteral("srv-off"));
    QVERIFY(m_delegate->serverChanges().at(0).connected);
}

void tst_SimConversation::refusedAndMalformedRequests_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("status");
    QTest::newRow("unknown command") << 4242 << QByteArray() << 0;
    QTest::newRow("settings of an unknown server") << 5 << QByteArray::fromHex("00000004006e006f") << 0;
    QTest::newRow("settings with a cut string") << 5 << QByteArray::fromHex("00000010006e") << -1;
    QTest::newRow("add with a garbage request") << 1002 << QByteArray::fromHex("ffff") << -1;
    // Seven null strings, the dates, timecodes, flag and type, then a port count of two billion.
    QTest::newRow("container count beyond the payload")
        << 1002 << QByteArray(7 * 4, '\xff') + QByteArray(29, '\0') + QByteArray::fromHex("7fffffff") << -1;
    QTest::newRow("remove of an unknown schedule") << 1003 << QByteArray::fromHex("00000002005a") << 0;
    QTest::newRow("execute with an unknown function")
        << 1004 << QByteArray::fromHex("0000000a006c0061007400650072") + QByteArray::fromHex("00000009") << 0;
    QTest::newRow("identify with a lying length") << 1 << QByteArray::fromHex("7fffffff789c") << -1;
    QTest::newRow("identify that is not compressed") << 1 << QByteArray::fromHex("00000010deadbeef") << -1;
}

void tst_SimConversation::refusedAndMalformedRequests()
{
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(int, status);
    connectClient();
    trx::RequestResult result;
    QVERIFY(m_client->sendRequest(code, payload, false, &result));
    QCOMPARE(result.status, status);
    // The link carries on.
    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
    QCOMPARE(m_sim->call([](SimServer &s) { return s.installation().scheduleCount(); }), 5);
}

void tst_SimConversation::wrongIdentityIsRefused()
{
    QVERIFY(m_client->connectToServer(QStringLiteral("127.0.0.1"), m_sim->port()));
    QByteArray values;
    {
        QDataStream s(&values, QIODevice::WriteOnly);
        trx::TRXMClient::prepareStream(s);
        s << QString(128, QChar(0)) << QStringLiteral("{00000000-0000-0000-0000-000000000000}") << qint32(3)
          << QDateTime::currentDateTime();
    }
    trx::RequestResult result;
    QVERIFY(m_client->sendRequest(1, qCompress(values), false, &result));
    QCOMPARE(result.status, 0);
    QVERIFY(m_client->identify());
}

void tst_SimConversation::garbageFromAClientIsSurvived()
{
    connectClient();
    // Random payloads for every command, fixed seed: each gets an answer, none brings it down.
    const QList<int> codes = {1,  2,  3,    5,    7,    27,   43,   47,   52,
                              61, 63, 1001, 1002, 1003, 1004, 1005, 1006, 1007};
    QRandomGenerator random(20261208);
    for (int round = 0; round < 20; ++round) {
        for (int code : codes) {
            QByteArray payload(int(random.bounded(64)), Qt::Uninitialized);
            for (char &c : payload)
                c = char(random.bounded(256));
            trx::RequestResult result;
            QVERIFY2(m_client->sendRequest(code, payload, false, &result), qPrintable(QString::number(code)));
        }
    }
    // Frames that are not requests, and a length that cannot be right, on a raw link.
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, m_sim->port());
    QVERIFY(raw.waitForConnected(2000));
    raw.write(QByteArray::fromHex("000000000000000400030000"));
    raw.write(QByteArray::fromHex("0000000000000003ffffff"));
    raw.write(QByteArray::fromHex("ffffffffffffffff"));
    QVERIFY(raw.waitForDisconnected(2000));

    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
}

void tst_SimConversation::schedulesSurviveARestartWithAStateFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("state.bin"));
    QString error;
    QVERIFY(m_sim->call([&](SimServer &s) { return s.useStateFile(path, &error); }));
    connectClient();
    const QString id = addAndWait(requestStartingIn(600, 60));
    QVERIFY(!id.isEmpty());
    QVERIFY(m_client->removeSchedule(QStringLiteral("done")));
    QTRY_COMPARE(m_delegate->removed().size(), 1);
    QVERIFY2(m_sim->call([&](SimServer &s) { return s.saveState(&error); }), qPrintable(error));
    m_client.reset();

    m_sim = std::make_unique<SimRunner>(testScenario());
    QVERIFY2(m_sim->call([&](SimServer &s) { return s.useStateFile(path, &error); }), qPrintable(error));
    const QList<trx::ScheduleInfo> restored =
        m_sim->call([](SimServer &s) { return s.installation().schedules(); });
    QCOMPARE(restored.size(), 5);
    QVERIFY(std::any_of(restored.cbegin(), restored.cend(),
                        [&](const trx::ScheduleInfo &i) { return i.id == id; }));
    QVERIFY(std::none_of(restored.cbegin(), restored.cend(),
                         [](const trx::ScheduleInfo &i) { return i.id == QLatin1String("done"); }));

    QFile corrupt(path);
    QVERIFY(corrupt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    corrupt.write("not a state file");
    corrupt.close();
    m_sim = std::make_unique<SimRunner>(testScenario());
    QVERIFY(!m_sim->call([&](SimServer &s) { return s.useStateFile(path, &error); }));
    QVERIFY2(error.contains(QLatin1String("not a simulator state file")), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_SimConversation)
#include "tst_simconversation.moc"
