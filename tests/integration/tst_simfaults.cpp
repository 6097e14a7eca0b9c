// Each fault switch of the simulator against the real client engine, with short link intervals,
// and the effect the client must show for it.

#include "recordingdelegate.h"
#include "simrunner.h"
#include "testscenario.h"

#include "platform/idbg.h"
#include "trx/trxmclient.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_SimFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void droppedLinkIsReportedOnce();
    void unansweredHeartbeatIsOneLinkLoss();
    void delayedAnswers_data();
    void delayedAnswers();
    void splitWritesAreReassembled();
    void unknownPushIsLoggedAndLaterPushesArrive();
    void unknownKindIsSkippedAndTheLinkKept();
    void absurdLengthDropsTheLinkOnce();
    void pushStormIsDeliveredAndTheLinkStaysResponsive();
    void injectedFaultsFireAfterConnecting();
    void dropOnRequestCodeDropsOnceThenAnswers();

private:
    void startClient(const trx::LinkIntervals &intervals = trx::LinkIntervals());
    QByteArray logText() const;

    QTemporaryDir m_dir;
    QString m_strLog;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<RecordingDelegate> m_delegate;
    std::unique_ptr<trx::TRXMClient> m_client;
};

void tst_SimFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_SimFaults::init()
{
    m_strLog =
        m_dir.filePath(QStringLiteral("%1.log").arg(QString::fromLatin1(QTest::currentTestFunction())));
    setLogFilePath(m_strLog.toLocal8Bit().constData());
    m_sim = std::make_unique<SimRunner>(testScenario());
    QVERIFY(m_sim->start() != 0);
    m_delegate = std::make_unique<RecordingDelegate>();
}

void tst_SimFaults::cleanup()
{
    m_client.reset();
    m_delegate.reset();
    m_sim.reset();
}

void tst_SimFaults::startClient(const trx::LinkIntervals &intervals)
{
    m_client = std::make_unique<trx::TRXMClient>(m_delegate.get(), intervals);
    QVERIFY(m_client->connectToServer(QStringLiteral("127.0.0.1"), m_sim->port()));
}

QByteArray tst_SimFaults::logText() const
{
    QFile f(m_strLog);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void tst_SimFaults::droppedLinkIsReportedOnce()
{
    SimFaults f;
    f.dropLinkAfterMs = 300;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    startClient();
    QVERIFY(m_client->identify());
    QTRY_COMPARE(m_delegate->links().size(), 1);
    QCOMPARE(m_delegate->links().at(0).first, false);
    QCOMPARE(m_delegate->links().at(0).second, int(QAbstractSocket::RemoteHostClosedError));
    QTest::qWait(500);
    QCOMPARE(m_delegate->links().size(), 1);
    QVERIFY(!m_client->isConnected());
}

void tst_SimFaults::unansweredHeartbeatIsOneLinkLoss()
{
    SimFaults f;
    f.noHeartbeatAnswer = true;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    trx::LinkIntervals intervals;
    intervals.requestTimeoutMs = 300;
    intervals.heartbeatIntervalMs = 200;
    startClient(intervals);
    QTRY_COMPARE(m_delegate->links().size(), 1);
    QCOMPARE(m_delegate->links().at(0).second, int(QAbstractSocket::SocketTimeoutError));
    QTest::qWait(800);
    QCOMPARE(m_delegate->links().size(), 1);
    QVERIFY(m_sim->call([](SimServer &s) { return s.receivedCodes(); }).contains(99));
    QVERIFY(logText().contains("Heartbeat timeout!!!"));
}

void tst_SimFaults::delayedAnswers_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("answered");
    QTest::newRow("delay inside the request timeout") << 200 << 2000 << true;
    QTest::newRow("delay beyond the request timeout") << 600 << 300 << false;
}

void tst_SimFaults::delayedAnswers()
{
    QFETCH(int, delayMs);
    QFETCH(int, timeoutMs);
    QFETCH(bool, answered);
    SimFaults f;
    f.answerDelayMs = delayMs;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    trx::LinkIntervals intervals;
    intervals.requestTimeoutMs = timeoutMs;
    startClient(intervals);
    QVector<trx::ServerInfo> servers;
    QCOMPARE(m_client->getServers(servers), answered);
    QCOMPARE(servers.size(), answered ? 3 : 0);
    if (!answered)
        QVERIFY(logText().contains("Request timeout: 2"));
}

void tst_SimFaults::splitWritesAreReassembled()
{
    SimFaults f;
    f.splitWriteBytes = 3;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    startClient();
    QVERIFY(m_client->identify());
    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
    QVERIFY(m_client->getSchedules());
    QVERIFY(m_client->getMgws());
    QTRY_COMPARE(m_delegate->scheduleLists().size(), 1);
    QCOMPARE(m_delegate->scheduleLists().at(0).size(), 5);
    QTRY_COMPARE(m_delegate->mgws().size(), 1);
    QCOMPARE(m_delegate->mgws().at(0).size(), 2);
}

void tst_SimFaults::unknownPushIsLoggedAndLaterPushesArrive()
{
    startClient();
    QVERIFY(m_client->identify());
    m_sim->call([](SimServer &s) { s.sendUnknownPush(); });
    QVERIFY(m_client->getSchedules());
    QTRY_COMPARE(m_delegate->scheduleLists().size(), 1);
    QVERIFY(logText().contains("Error Push Type: 116"));
    QVERIFY(m_client->isConnected());
    QCOMPARE(m_delegate->links().size(), 0);
}

void tst_SimFaults::unknownKindIsSkippedAndTheLinkKept()
{
    startClient();
    QVERIFY(m_client->identify());
    m_sim->call([](SimServer &s) { s.sendUnknownKind(); });
    QTRY_VERIFY(logText().contains("Error Packet Type: 7"));
    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
    QCOMPARE(m_delegate->links().size(), 0);
}

void tst_SimFaults::absurdLengthDropsTheLinkOnce()
{
    startClient();
    QVERIFY(m_client->identify());
    m_sim->call([](SimServer &s) { s.sendAbsurdLength(); });
    QTRY_COMPARE(m_delegate->links().size(), 1);
    QTest::qWait(300);
    QCOMPARE(m_delegate->links().size(), 1);
    QVERIFY(logText().contains("Frame length refused"));
    QTRY_COMPARE(m_sim->call([](SimServer &s) { return s.connectionCount(); }), 0);
}

void tst_SimFaults::pushStormIsDeliveredAndTheLinkStaysResponsive()
{
    startClient();
    QVERIFY(m_client->identify());
    SimFaults f;
    f.pushStormPerSecond = 2000;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    QTRY_VERIFY_WITH_TIMEOUT(m_delegate->portStateCount() >= 1000, 5000);
    // Requests still get their answers in the middle of the storm.
    QVector<trx::ServerInfo> servers;
    QVERIFY(m_client->getServers(servers));
    m_sim->call([](SimServer &s) { s.setFaults(SimFaults()); });
    QCOMPARE(m_delegate->links().size(), 0);
    const auto states = m_delegate->portStates();
    QCOMPARE(states.last().first, QStringLiteral("srv-a"));
    QCOMPARE(states.last().second.size(), 4);
}

void tst_SimFaults::injectedFaultsFireAfterConnecting()
{
    SimFaults f;
    f.injectUnknownPush = true;
    f.injectAbsurdLength = true;
    f.injectAfterMs = 100;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    startClient();
    QTRY_COMPARE(m_delegate->links().size(), 1);
    const QByteArray log = logText();
    QVERIFY(log.contains("Error Push Type: 116"));
    QVERIFY(log.contains("Frame length refused"));
}

void tst_SimFaults::dropOnRequestCodeDropsOnceThenAnswers()
{
    SimFaults f;
    f.dropOnRequestCode = 2;
    m_sim->call([&](SimServer &s) { s.setFaults(f); });
    trx::LinkIntervals intervals;
    intervals.requestTimeoutMs = 1000;
    startClient(intervals);
    // Other commands are answered as usual.
    QVERIFY(m_client->identify());
    QVector<trx::ServerInfo> servers;
    QVERIFY(!m_client->getServers(servers));
    QTRY_COMPARE(m_delegate->links().size(), 1);
    QCOMPARE(m_sim->call([](SimServer &s) { return s.faults().dropOnRequestCode; }), -1);

    // The switch went off with the first drop: the next link gets its answer.
    QVERIFY(m_client->connectToServer(QStringLiteral("127.0.0.1"), m_sim->port()));
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 3);
    QCOMPARE(m_delegate->links().size(), 1);
}

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_simfaults.moc"
