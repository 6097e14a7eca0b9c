// The GUI thread's share of one core while the client keeps a large installation's ports up to
// date: poll answers (usable ranges, link states, recording states, 24-hour lines), port-state and
// remaining-time pushes and the timeline updates they cause, with the main window shown.
// Baseline measured in the same run: the same client with the poll switched off, so that the
// poll's own share shows as the difference.
// Usage: bench_ports [scenario.json] [seconds] (defaults: the large scenario, 10 s).
#include "simrunner.h"

#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Run
{
    bool ok = false;
    int rows = 0;
    int polls = 0;
    int skipped = 0;
    double busyShare = 0.0; // GUI thread CPU time / wall time
};

Run measure(const SimScenario &scenario, const QString &dir, int pollMs, int seconds)
{
    Run run;
    SimRunner sim(scenario);
    if (!sim.start()) {
        std::fprintf(stderr, "bench_ports: the simulator did not start\n");
        return run;
    }
    ControllerOptions options;
    options.settingsFile = dir + QStringLiteral("/Settings-%1.xml").arg(pollMs);
    options.pollIntervalMs = pollMs;
    auto controller = std::make_unique<MainController>(options);
    auto view = std::make_unique<OXAMainView>(controller.get());
    controller->setMainView(view.get());
    controller->settings()->m_trxmIp = QStringLiteral("127.0.0.1");
    controller->settings()->m_trxmPort = sim.port();

    QEventLoop started;
    QObject::connect(controller.get(), &MainController::sigInitDone, &started, &QEventLoop::quit);
    QTimer::singleShot(120000, &started, [&started] { started.exit(1); });
    QMetaObject::invokeMethod(controller.get(), &MainController::init, Qt::QueuedConnection);
    if (started.exec() != 0) {
        std::fprintf(stderr, "bench_ports: start-up did not finish\n");
        return run;
    }
    for (ServerWidget *server : view->serverWidgets())
        run.rows += server->portWidgets().size();

    // Let the first answers and the layout settle, then measure whole seconds of steady state.
    QEventLoop settle;
    QTimer::singleShot(3000, &settle, &QEventLoop::quit);
    settle.exec();

    const int polls = controller->pollCount();
    const int skipped = controller->skippedPollCount();
    QElapsedTimer wall;
    const double cpu0 = threadCpuSeconds();
    wall.start();
    QEventLoop steady;
    QTimer::singleShot(seconds * 1000, &steady, &QEventLoop::quit);
    steady.exec();
    const double cpu = threadCpuSeconds() - cpu0;
    run.busyShare = cpu / (double(wall.nsecsElapsed()) / 1e9);
    run.polls = controller->pollCount() - polls;
    run.skipped = controller->skippedPollCount() - skipped;
    run.ok = true;

    controller->setMainView(nullptr);
    view.reset();
    controller.reset();
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    setLogFilePath((dir.path() + QStringLiteral("/tarsa.log")).toUtf8().constData());
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TARSA_SCENARIO_DIR "/large.json");
    const int seconds = argc > 2 ? qMax(1, QString::fromLocal8Bit(argv[2]).toInt()) : 10;
    QString error;
    const std::optional<SimScenario> scenario = SimScenario::load(path, &error);
    if (!scenario) {
        std::fprintf(stderr, "bench_ports: %s\n", qPrintable(error));
        return 1;
    }

    // A poll period far beyond the run: pushes only.
    const Run base = measure(*scenario, dir.path(), 24 * 3600 * 1000, seconds);
    const Run full = measure(*scenario, dir.path(), 1000, seconds);
    if (!base.ok || !full.ok)
        return 1;
    std::printf("bench_ports %s, %d s of steady state each\n", qPrintable(path), seconds);
    std::printf("  pushes only     : GUI thread busy %5.2f %% of one core, %d rows\n", 100.0 * base.busyShare,
                base.rows);
    std::printf(
        "  pushes and poll : GUI thread busy %5.2f %% of one core, %d polls (%d skipped while one waited)\n",
        100.0 * full.busyShare, full.polls, full.skipped);
    std::printf("  the poll's own share: %5.2f %% of one core; ratio with / without poll: %.2f\n",
                100.0 * (full.busyShare - base.busyShare),
                base.busyShare > 0 ? full.busyShare / base.busyShare : 0.0);
    std::printf("  target: under 5 %% of one core with the poll -> %s\n",
                full.busyShare < 0.05 ? "met" : "NOT met");
    return 0;
}
