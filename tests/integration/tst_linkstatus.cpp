// The main window's status line and dimming against the simulator: the link state across a drop,
// the time of the last push, and the ports short of recording time.

#include "controllerharness.h"
#include "testscenario.h"

#include "controller/linkstatuspresenter.h"
#include "platform/idbg.h"
#include "views/linkstatusbar.h"

#include <QLabel>
#include <QRegularExpression>

namespace {

const char *alertScenarioJson()
{
    return R"({
  "name": "alerts",
  "master": {"server": "srv-r", "port": 0},
  "servers": [
    {"id": "srv-r", "name": "Studio", "systemFrequency": 25, "ports": [
      {"port": 0, "camera": 1, "rate": "25", "remainMinutes": 20},
      {"port": 1, "camera": 2, "rate": "25", "remainMinutes": 60},
      {"port": 2, "camera": 3, "rate": "25", "remainMinutes": 60},
      {"port": 3, "camera": 4, "rate": "25", "remainMinutes": 200}]}
  ],
  "schedules": [
    {"id": "long", "server": "srv-r", "port": 1, "startIn": 3600, "duration": 7200},
    {"id": "short", "server": "srv-r", "port": 2, "startIn": 3600, "duration": 600},
    {"id": "long-done", "server": "srv-r", "port": 2, "startIn": -7200, "duration": 7000},
    {"id": "past", "server": "srv-r", "port": 3, "startIn": -7200, "duration": 600}
  ]
})";
}

constexpr int kTickMs = 50;

} // namespace

class tst_LinkStatus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void statusLineAcrossALinkDrop();
    void remainingTimeAlertsAgainstTheSimulator();

private:
    QTemporaryDir m_logDir;
};

void tst_LinkStatus::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setLogFilePath(m_logDir.filePath(QStringLiteral("tarsa.log")).toUtf8().constData());
}

void tst_LinkStatus::statusLineAcrossALinkDrop()
{
    ControllerHarness h;
    QVERIFY(h.startSim(testScenario()));
    h.createController();
    auto *presenter = new LinkStatusPresenter(h.controller(), h.view(), kTickMs);
    LinkStatusBar *bar = h.view()->linkStatusBar();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    const QDateTime beforeInit = QDateTime::currentDateTime().addSecs(-1);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    QVERIFY2(bar->linkText().startsWith(QLatin1String("TRXM connected since ")), qPrintable(bar->linkText()));
    QVERIFY(presenter->connectedSince() >= beforeInit);
    QCOMPARE(bar->linkText(), QStringLiteral("TRXM connected since %1")
                                  .arg(presenter->connectedSince().toString(QStringLiteral("hh:mm:ss"))));
    QCOMPARE(bar->addressText(), QStringLiteral("TRXM 127.0.0.1:%1").arg(h.sim()->port()));
    QVERIFY(bar->isVisible());
    QVERIFY(!h.view()->isLinkDimmed());
    // The schedule list itself arrives as a push.
    QVERIFY(h.controller()->lastPushMs() > 0);
    QTRY_VERIFY(bar->lastPushText().startsWith(QLatin1String("Last push ")));

    // What the line said, and whether the ports were dimmed, each time it changed.
    QStringList shown;
    QList<bool> dimmed;
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [&](const QString &text) {
        shown << text;
        dimmed << h.view()->isLinkDimmed();
    });
    const QDateTime dropped = QDateTime::currentDateTime().addSecs(-1);
    h.sim()->call([](SimServer &s) { s.dropLinks(); });

    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 10000);
    QTRY_VERIFY(bar->linkText().startsWith(QLatin1String("TRXM connected since ")));
    QVERIFY(!h.view()->isLinkDimmed());
    QVERIFY(presenter->connectedSince() >= dropped);

    const QRegularExpression retry(QStringLiteral("^TRXM disconnected, retrying in \\d+ s$"));
    int down = -1;
    for (int i = 0; i < shown.size(); ++i) {
        if (retry.match(shown.at(i)).hasMatch()) {
            down = i;
            break;
        }
    }
    QVERIFY2(down >= 0, qPrintable(shown.join(QLatin1Char('|'))));
    // Dimmed while the line said so, no longer once it said connected again.
    QVERIFY(dimmed.at(down));
    QVERIFY(shown.last().startsWith(QLatin1String("TRXM connected since ")));
    QVERIFY(!dimmed.last());
}

void tst_LinkStatus::remainingTimeAlertsAgainstTheSimulator()
{
    ControllerHarness h;
    QVERIFY(h.startSim(scenarioFromJson(alertScenarioJson())));
    h.createController();
    new LinkStatusPresenter(h.controller(), h.view(), kTickMs);
    LinkStatusBar *bar = h.view()->linkStatusBar();
    QSignalSpy done(h.controller(), &MainController::sigInitDone);
    h.controller()->init();
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 10000);

    const QString id = QStringLiteral("srv-r");
    MainController *c = h.controller();
    QTRY_COMPARE_WITH_TIMEOUT(c->findPortWidget(id, 3)->remainTime(), QStringLiteral("03H 20M"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(c->currentTc().valid, 10000);
    QTRY_COMPARE(c->tasks().size(), 4);

    // 20 min and no schedule: below half an hour. 60 min before a 2 h schedule: below. 60 min
    // before a 10 min schedule (the 2 h one is over): enough. 200 min and nothing to come: enough.
    QTRY_COMPARE(bar->alertText(), QStringLiteral("Studio Port A: remaining time below 30 minutes; "
                                                  "Studio Port B: remaining time below next schedule"));
    const QList<bool> expected{true, true, false, false};
    for (int port = 0; port < 4; ++port) {
        ServerPortWidget *row = c->findPortWidget(id, port);
        QCOMPARE(row->isRemainAlert(), expected.at(port));
        QCOMPARE(row->findChild<QLabel *>(QStringLiteral("labelRemain"))->property("RemainAlert").toString(),
                 expected.at(port) ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    QVERIFY(bar->alertLabel()->isVisibleTo(bar));

    // More time on port B clears its mark, and the line names port A alone.
    c->updatePortsRemainTime(id, QStringLiteral("20|180|60|200"));
    QTRY_VERIFY(!c->findPortWidget(id, 1)->isRemainAlert());
    QTRY_COMPARE(bar->alertText(), QStringLiteral("Studio Port A: remaining time below 30 minutes"));

    // Out of loop recording a port shows no time and has no mark.
    c->updatePortsRemainTime(id, QStringLiteral("-1|180|60|200"));
    QTRY_VERIFY(!c->findPortWidget(id, 0)->isRemainAlert());
    QTRY_VERIFY(bar->alertText().isEmpty());
    QVERIFY(!bar->alertLabel()->isVisibleTo(bar));
}

QTEST_MAIN(tst_LinkStatus)
#include "tst_linkstatus.moc"
