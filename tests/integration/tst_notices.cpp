// Desktop notices from the real controller, fed by the simulator: a failing transfer, a storm of
// pushes that change nothing, a link lost for more than 30 s (on a clock the test moves).

#include "controllerharness.h"
#include "testscenario.h"

#include "controller/linkstatuspresenter.h"
#include "notify/noticefeed.h"
#include "notify/noticesink.h"
#include "platform/idbg.h"

struct FakeSink : NoticeSink
{
    QStringList *seen = nullptr;
    void notify(const QString &title, const QString &text) override
    {
        *seen << title + QLatin1String(" | ") + text;
    }
};

class tst_Notices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void transferErrorIsToldOnce();
    void linkLostIsToldAfterThirtySeconds();

private:
    QTemporaryDir m_logDir;
    std::unique_ptr<ControllerHarness> m_h;
    QStringList m_seen;
    qint64 m_nowMs = 0;
};

void tst_Notices::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_Notices::init()
{
    m_seen.clear();
    m_nowMs = 0;
    m_h = std::make_unique<ControllerHarness>();
    QString json = QString::fromUtf8(testScenarioJson());
    json.replace(
        QStringLiteral("\"schedules\": ["),
        QStringLiteral("\"schedules\": [{\"id\": \"fails\", \"name\": \"Evening news\", \"server\": "
                       "\"srv-b\", \"port\": 0, \"startIn\": 5, \"duration\": 20, \"fail\": \"transfer\"},"));
    QString error;
    const std::optional<SimScenario> scenario = SimScenario::fromJson(json.toUtf8(), &error);
    QVERIFY2(scenario, qPrintable(error));
    QVERIFY(m_h->startSim(*scenario));
    m_h->sim()->call([](SimServer &s) { s.clock().setTimeScale(0); });
    m_h->createController();
    auto *presenter = new LinkStatusPresenter(m_h->controller(), m_h->view(), 50);
    auto sink = std::make_unique<FakeSink>();
    sink->seen = &m_seen;
    new NoticeFeed(m_h->controller(), presenter, std::move(sink), m_h->view(), [this] { return m_nowMs; });
    QSignalSpy done(m_h->controller(), &MainController::sigInitDone);
    m_h->controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);
}

void tst_Notices::cleanup()
{
    m_h.reset();
}

void tst_Notices::transferErrorIsToldOnce()
{
    QVERIFY(m_h->controller()->tasks().contains(QStringLiteral("fails")));
    m_h->sim()->call([](SimServer &s) { s.advanceClock(60 * 1000); });
    QTRY_COMPARE(m_h->controller()->tasks().value(QStringLiteral("fails")).schedule.master.status, -3);
    QTRY_COMPARE(m_seen.size(), 1);
    QCOMPARE(m_seen.first(), QStringLiteral("Schedule Error | Evening news on B Port A: Transfer Error."));

    // The same state over and over, in the middle of a storm of port states: nothing more.
    m_h->sim()->call([](SimServer &s) {
        SimFaults f;
        f.pushStormPerSecond = 2000;
        s.setFaults(f);
    });
    const trx::ScheduleInfo failed = m_h->controller()->tasks().value(QStringLiteral("fails")).schedule;
    for (int i = 0; i < 50; ++i)
        onLinkThread([this, failed] { m_h->controller()->scheduleChanged(failed, 0); });
    QTest::qWait(500);
    QCOMPARE(m_seen.size(), 1);
}

void tst_Notices::linkLostIsToldAfterThirtySeconds()
{
    QSignalSpy lost(m_h->controller(), &MainController::sigConnectionStatusChanged);
    m_h->stopSim();
    QTRY_VERIFY(!m_h->controller()->isConnected());
    QTest::qWait(200);
    m_nowMs += 30 * 1000;
    QTest::qWait(200);
    QVERIFY(m_seen.isEmpty());
    m_nowMs += 1;
    QTRY_COMPARE(m_seen.size(), 1);
    QVERIFY(m_seen.first().startsWith(QLatin1String("TRXM disconnected | ")));
    m_nowMs += 60 * 1000;
    QTest::qWait(200);
    QCOMPARE(m_seen.size(), 1);
}

QTEST_MAIN(tst_Notices)
#include "tst_notices.moc"
