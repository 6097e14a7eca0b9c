// The whole client starting against a simulator in another process: the time from the assembly to
// the main window showing every server with its schedules, and the client's memory at that point.
// Baseline measured in the same run: the same start-up against an installation with no schedules,
// so that the share of the schedule list shows as a ratio.
// Usage: bench_startup [scenario.json] (default: the large scenario).
#include "app/appassembly.h"
#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelinewidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

struct Run
{
    qint64 ms = -1;
    int servers = 0;
    int rows = 0;
    int items = 0;
    qint64 rssKb = 0;
    qint64 peakKb = 0;
};

qint64 statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

Run startOnce(const QString &scenario, const QString &dataDir)
{
    Run run;
    QProcess sim;
    sim.setProgram(QStringLiteral(TARSA_SIM_BIN));
    sim.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--scenario"), scenario,
                      QStringLiteral("--log"), dataDir + QStringLiteral("/sim.log")});
    sim.start();
    quint16 port = 0;
    const QRegularExpression listening(QStringLiteral("listening on .*:(\\d+)"));
    QElapsedTimer wait;
    wait.start();
    while (!port && wait.elapsed() < 60000 && sim.waitForReadyRead(1000)) {
        const QRegularExpressionMatch m = listening.match(QString::fromUtf8(sim.readAllStandardOutput()));
        if (m.hasMatch())
            port = quint16(m.captured(1).toUInt());
    }
    if (!port) {
        std::fprintf(stderr, "bench_startup: the simulator did not start\n");
        return run;
    }

    const QString settings = dataDir + QStringLiteral("/Settings.xml");
    QFile file(settings);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("<Setting ver=\"1.0\"><m_trxmIp value=\"127.0.0.1\"/><m_trxmPort value=\"%1\"/>"
                              "</Setting>\n")
                   .arg(port)
                   .toUtf8());
    file.close();

    ControllerOptions options;
    options.settingsFile = settings;
    QElapsedTimer clock;
    {
        AppAssembly assembly(options);
        clock.start();
        assembly.assemble();
        QObject::connect(assembly.controller(), &MainController::sigInitDone, assembly.view(), [&] {
            run.ms = clock.elapsed();
            QTimer::singleShot(0, assembly.view(), &QWidget::close);
        });
        QTimer::singleShot(300000, qApp, [] { QCoreApplication::exit(1); });
        assembly.exec();
        run.rssKb = statusKb("VmRSS:");
        run.peakKb = statusKb("VmHWM:");
        for (ServerWidget *server : assembly.view()->serverWidgets()) {
            ++run.servers;
            for (ServerPortWidget *row : server->portWidgets()) {
                ++run.rows;
                run.items += row->timeline()->itemCount();
            }
        }
    }
    sim.terminate();
    sim.waitForFinished(5000);
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
    const QString scenario =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TARSA_SCENARIO_DIR "/large.json");

    // The same servers without schedules: the cost of the panels alone.
    QFile source(scenario);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_startup: cannot read %s\n", qPrintable(scenario));
        return 1;
    }
    QJsonObject json = QJsonDocument::fromJson(source.readAll()).object();
    json.remove(QStringLiteral("schedules"));
    const QString empty = dir.path() + QStringLiteral("/no-schedules.json");
    QFile out(empty);
    out.open(QIODevice::WriteOnly);
    out.write(QJsonDocument(json).toJson());
    out.close();

    const Run base = startOnce(empty, dir.path());
    const Run full = startOnce(scenario, dir.path());
    std::printf("bench_startup %s\n", qPrintable(scenario));
    std::printf("  no schedules : %6lld ms to the main window, %d servers, %d rows\n", base.ms, base.servers,
                base.rows);
    std::printf("  full         : %6lld ms to the main window, %d servers, %d rows, %d items\n", full.ms,
                full.servers, full.rows, full.items);
    std::printf("  memory       : %lld kB resident after start-up, peak %lld kB\n", full.rssKb, full.peakKb);
    if (base.ms > 0 && full.ms >= 0)
        std::printf("  ratio full / no schedules: %.2f\n", double(full.ms) / double(base.ms));
    return full.ms >= 0 ? 0 : 1;
}
