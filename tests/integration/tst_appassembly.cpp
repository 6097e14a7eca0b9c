// The application assembly around the event loop, against the simulator: the order of start-up,
// the end of the loop when the main window closes and the last log line, the status line while
// the manager is away, and the demo installation on screen (the headless check of `make run`).

#include "app/appassembly.h"
#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "simrunner.h"
#include "testscenario.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelinewidget.h"
#include "widgets/splashwindow.h"

#include <QFile>
#include <QSet>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

ControllerOptions optionsFor(const QString &settingsFile)
{
    ControllerOptions options;
    options.settingsFile = settingsFile;
    options.link.requestTimeoutMs = 3000;
    options.link.connectTimeoutMs = 1000;
    options.retry.backoffMs = {200, 400};
    return options;
}

// Closes the main window once start-up is done (after `extra` ms), so that the loop ends as an
// operator would end it; a watchdog ends a loop that never gets there.
void closeWhenDone(AppAssembly &assembly, int extraMs = 0)
{
    OXAMainView *view = assembly.view();
    QObject::connect(assembly.controller(), &MainController::sigInitDone, view,
                     [view, extraMs] { QTimer::singleShot(extraMs, view, &QWidget::close); });
    QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(99); });
}

QStringList logLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_AppAssembly : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void initRunsInTheLoopAndExitIsTheLastLine();
    void managerAwayShowsTheStatusLine();
    void demoInstallationIsOnScreen();

private:
    QString m_logFile;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_AppAssembly::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(true);
}

void tst_AppAssembly::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_logFile = m_dir->filePath(QStringLiteral("tarsa.log"));
    setLogFilePath(m_logFile.toUtf8().constData());
}

void tst_AppAssembly::initRunsInTheLoopAndExitIsTheLastLine()
{
    SimRunner sim(testScenario());
    QVERIFY(sim.start() != 0);
    const QString settings = m_dir->filePath(QStringLiteral("Settings.xml"));
    writeSettingsFor(settings, sim.port());

    AppAssembly assembly(optionsFor(settings));
    assembly.assemble();
    // Assembled, with init queued: the splash says so and the manager has heard nothing yet.
    QVERIFY(assembly.splash()->isVisible());
    QCOMPARE(assembly.splash()->statusText(), QStringLiteral("Initializing..."));
    QVERIFY(assembly.controller()->isInitializing());
    QVERIFY(!assembly.view()->isVisible());
    QCOMPARE(sim.call([](SimServer &s) { return s.connectionCount(); }), 0);
    QVERIFY(sim.call([](SimServer &s) { return s.receivedCodes().isEmpty(); }));

    QSignalSpy texts(assembly.controller(), &MainController::sigInitStatusChanged);
    closeWhenDone(assembly);
    QCOMPARE(assembly.exec(), 0);

    QCOMPARE(texts.count(), 3);
    QCOMPARE(assembly.splash()->statusText(), QStringLiteral("Loading schedules..."));
    QVERIFY(!assembly.splash()->isVisible());
    QVERIFY(!assembly.controller()->isInitializing());
    QCOMPARE(sim.call([](SimServer &s) { return s.receivedCodes().value(0); }), 1); // identify first

    assembly.teardown();
    QVERIFY(!assembly.controller());
    // The simulator runs in this process and writes to the same log; only the client's lines count.
    QStringList lines = logLines(m_logFile);
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString &l) { return l.contains(QLatin1String("<TRXMSim>")); }),
                lines.end());
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.last().endsWith(QLatin1String("INFO <MRL> Exit.")), qPrintable(lines.last()));
}

void tst_AppAssembly::managerAwayShowsTheStatusLine()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const QString settings = m_dir->filePath(QStringLiteral("Settings.xml"));
    writeSettingsFor(settings, port);

    AppAssembly assembly(optionsFor(settings));
    assembly.assemble();
    QString shown;
    QObject::connect(assembly.controller(), &MainController::sigInitDone, assembly.view(), [&] {
        QTimer::singleShot(300, assembly.view(), [&] {
            shown = assembly.view()->statusBar()->isVisible() ? assembly.view()->statusBar()->currentMessage()
                                                              : QString();
            assembly.view()->close();
        });
    });
    QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(assembly.exec(), 0);
    QVERIFY2(shown.startsWith(QLatin1String("TRXM disconnected, retrying in ")), qPrintable(shown));
    QVERIFY(assembly.view()->serverWidgets().isEmpty());
}

void tst_AppAssembly::demoInstallationIsOnScreen()
{
    QString error;
    const std::optional<SimScenario> demo =
        SimScenario::load(QStringLiteral(TARSA_SOURCE_DIR "/sim/scenarios/demo.json"), &error);
    QVERIFY2(demo, qPrintable(error));
    SimRunner sim(*demo);
    QVERIFY(sim.start() != 0);
    const QString settings = m_dir->filePath(QStringLiteral("Settings.xml"));
    writeSettingsFor(settings, sim.port());

    AppAssembly assembly(optionsFor(settings));
    assembly.assemble();
    closeWhenDone(assembly, 500);
    QImage shot;
    QObject::connect(assembly.controller(), &MainController::sigInitDone, assembly.view(), [&] {
        QTimer::singleShot(400, assembly.view(), [&] { shot = assembly.view()->grab().toImage(); });
    });
    QCOMPARE(assembly.exec(), 0);

    OXAMainView *view = assembly.view();
    const QList<QString> servers = view->serverWidgets().keys();
    QCOMPARE(servers, (QList<QString>{QStringLiteral("srv-studio-a"), QStringLiteral("srv-studio-b")}));
    int rows = 0;
    int items = 0;
    for (ServerWidget *server : view->serverWidgets()) {
        QVERIFY(!server->isHidden());
        QVERIFY(server->height() > 0);
        for (ServerPortWidget *row : server->portWidgets()) {
            ++rows;
            items += row->timeline()->itemCount();
        }
    }
    QCOMPARE(rows, 10);
    QVERIFY(items > 0);

    // The picture a person would look at: saved next to the test for inspection, and not blank.
    QVERIFY(!shot.isNull());
    shot.save(QStringLiteral("tst_appassembly-demo.png"));
    const QRect panels = view->serverWidgets().first()->geometry();
    QVERIFY(panels.width() > 0 && panels.height() > 0);
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7) {
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    }
    QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
}

QTEST_MAIN(tst_AppAssembly)
#include "tst_appassembly.moc"
