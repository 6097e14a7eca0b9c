#include "simscenario.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "platform/terminationsignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "trxm-sim: %s\n", message.toLocal8Bit().constData());
    return 1;
}

bool intOption(const QCommandLineParser &p, const QCommandLineOption &o, int min, int max, int &out,
               QString *error)
{
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const int v = p.value(o).toInt(&ok);
    if (!ok || v < min || v > max) {
        *error = QStringLiteral("--%1: \"%2\" is not a number from %3 to %4")
                     .arg(o.names().constFirst(), p.value(o))
                     .arg(min)
                     .arg(max);
        return false;
    }
    out = v;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trxm-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARSA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates the manager service (TRXM) for the Tarsa client: recording servers, ports, "
                       "media gateways and schedules, over TCP."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listenOpt(QStringLiteral("listen"), QStringLiteral("Address to listen on."),
                                       QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("TCP port; 0 picks a free one (printed on stdout)."),
                                     QStringLiteral("n"), QStringLiteral("51000"));
    const QCommandLineOption scenarioOpt(
        QStringLiteral("scenario"), QStringLiteral("Scenario file (JSON); the bundled demo when omitted."),
        QStringLiteral("file"));
    const QCommandLineOption stateOpt(QStringLiteral("state"),
                                      QStringLiteral("Keep schedules in this file across restarts."),
                                      QStringLiteral("file"));
    const QCommandLineOption scaleOpt(QStringLiteral("time-scale"),
                                      QStringLiteral("Run the clock this many times faster (0 freezes it)."),
                                      QStringLiteral("x"), QStringLiteral("1"));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Log file; - for standard error."),
                                    QStringLiteral("file"), QStringLiteral("-"));
    const QCommandLineOption dropOpt(QStringLiteral("drop-link-after"),
                                     QStringLiteral("Fault: close each link this long after it opens."),
                                     QStringLiteral("ms"));
    const QCommandLineOption noHbOpt(QStringLiteral("no-heartbeat"),
                                     QStringLiteral("Fault: never answer heartbeats."));
    const QCommandLineOption delayOpt(QStringLiteral("delay-answers"),
                                      QStringLiteral("Fault: handle every request this much later."),
                                      QStringLiteral("ms"));
    const QCommandLineOption splitOpt(QStringLiteral("split-writes"),
                                      QStringLiteral("Fault: write frames this many bytes at a time."),
                                      QStringLiteral("bytes"));
    const QCommandLineOption unknownPushOpt(
        QStringLiteral("unknown-push"), QStringLiteral("Fault: send each client a push of unknown type."));
    const QCommandLineOption unknownKindOpt(
        QStringLiteral("unknown-kind"), QStringLiteral("Fault: send each client a packet of unknown kind."));
    const QCommandLineOption absurdOpt(QStringLiteral("absurd-length"),
                                       QStringLiteral("Fault: send each client a frame length of 1 TiB."));
    const QCommandLineOption injectOpt(
        QStringLiteral("inject-after"),
        QStringLiteral("When the one-shot faults are sent after a client connects."), QStringLiteral("ms"),
        QStringLiteral("2000"));
    const QCommandLineOption stormOpt(
        QStringLiteral("push-storm"),
        QStringLiteral("Fault: send each client this many extra pushes per second."), QStringLiteral("n"));
    const QCommandLineOption dropOnOpt(
        QStringLiteral("drop-on-request"),
        QStringLiteral("Fault: close the link instead of answering the first request with this code."),
        QStringLiteral("code"));
    const QCommandLineOption churnOpt(
        QStringLiteral("churn"),
        QStringLiteral("Add, change and remove a schedule this often, for long runs."), QStringLiteral("ms"));
    parser.addOptions({listenOpt, portOpt, scenarioOpt, stateOpt, scaleOpt, logOpt, dropOpt, noHbOpt,
                       delayOpt, splitOpt, unknownPushOpt, unknownKindOpt, absurdOpt, injectOpt, stormOpt,
                       dropOnOpt, churnOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));

    const QString logFile = parser.value(logOpt);
    setLogFilePath(logFile == QLatin1String("-") ? "/dev/stderr" : logFile.toLocal8Bit().constData());
    if (logFile == QLatin1String("-"))
        setLogRotation(std::size_t(-1), 0);

    QString error;
    int port = 0;
    int churnMs = 0;
    SimFaults faults;
    if (!intOption(parser, portOpt, 0, 65535, port, &error) ||
        !intOption(parser, dropOpt, 0, 86400000, faults.dropLinkAfterMs, &error) ||
        !intOption(parser, delayOpt, 0, 600000, faults.answerDelayMs, &error) ||
        !intOption(parser, splitOpt, 1, 1 << 20, faults.splitWriteBytes, &error) ||
        !intOption(parser, injectOpt, 0, 86400000, faults.injectAfterMs, &error) ||
        !intOption(parser, stormOpt, 0, 1000000, faults.pushStormPerSecond, &error) ||
        !intOption(parser, dropOnOpt, 0, 32767, faults.dropOnRequestCode, &error) ||
        !intOption(parser, churnOpt, 10, 86400000, churnMs, &error))
        return fail(error);
    faults.noHeartbeatAnswer = parser.isSet(noHbOpt);
    faults.injectUnknownPush = parser.isSet(unknownPushOpt);
    faults.injectUnknownKind = parser.isSet(unknownKindOpt);
    faults.injectAbsurdLength = parser.isSet(absurdOpt);
    bool scaleOk = false;
    const double scale = parser.value(scaleOpt).toDouble(&scaleOk);
    if (!scaleOk || scale < 0 || scale > 100000)
        return fail(QStringLiteral("--time-scale: \"%1\" is not a number from 0 to 100000")
                        .arg(parser.value(scaleOpt)));
    const QHostAddress address(parser.value(listenOpt));
    if (address.isNull())
        return fail(QStringLiteral("--listen: \"%1\" is not an IP address").arg(parser.value(listenOpt)));

    const QString scenarioPath =
        parser.isSet(scenarioOpt) ? parser.value(scenarioOpt) : QStringLiteral(":/trxmsim/demo.json");
    const std::optional<SimScenario> scenario = SimScenario::load(scenarioPath, &error);
    if (!scenario)
        return fail(error);

    SimServer server(*scenario);
    server.clock().setTimeScale(scale);
    server.setFaults(faults);
    if (parser.isSet(stateOpt) && !server.useStateFile(parser.value(stateOpt), &error))
        return fail(error);
    if (!server.listen(address, quint16(port), &error))
        return fail(
            QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(error));
    server.setChurnIntervalMs(churnMs);
    std::printf("listening on %s:%u\n", address.toString().toLatin1().constData(),
                unsigned(server.serverPort()));
    std::fflush(stdout);

    // SIGTERM, SIGINT and SIGHUP end the loop, so that the state file is still written.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::sigTerminate, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    if (!server.saveState(&error))
        return fail(error);
    return rc;
}
