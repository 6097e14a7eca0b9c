// The simulator under the large scenario (16 servers x 8 ports, about 10,000 schedules): loading
// it, one progression tick over every schedule, and the client's start-up conversation with the
// full schedule list over loopback. Baselines measured in the same run: parsing the JSON alone,
// and encoding plus decoding the schedule list in memory without a socket.
#include "simrunner.h"
#include "simscenario.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "trx/records.h"
#include "trx/trxmclient.h"
#include "trx/trxmclientdelegate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>

namespace {

class ListDelegate : public trx::TRXMClientDelegate
{
public:
    std::atomic<int> count{-1};
    void schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64) override
    {
        count = schedules.size();
    }
};

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir logDir;
    setLogFilePath(logDir.filePath(QStringLiteral("bench.log")).toLocal8Bit().constData());

    QFile file(QStringLiteral(TARSA_SCENARIO_DIR "/large.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_sim: %s\n", qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray json = file.readAll();

    QElapsedTimer t;
    t.start();
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    const double parseMs = msSince(t);
    t.restart();
    QString error;
    const std::optional<SimScenario> scenario = SimScenario::fromJson(json, &error);
    const double loadScenarioMs = msSince(t);
    if (!scenario || doc.isNull()) {
        std::fprintf(stderr, "bench_sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("scenario: %d servers, %d schedules, %lld bytes of JSON\n", scenario->servers.size(),
                scenario->schedules.size(), static_cast<long long>(json.size()));
    std::printf("JSON parse alone          %8.1f ms\n", parseMs);
    std::printf("scenario load (validated) %8.1f ms  ratio %.2f\n", loadScenarioMs, loadScenarioMs / parseMs);

    SimRunner runner(*scenario);
    const quint16 port = runner.start();
    const int scheduleCount = runner.call([](SimServer &s) {
        s.clock().setTimeScale(0);
        return s.installation().scheduleCount();
    });

    constexpr int Ticks = 200;
    const double tickMs = runner.call([](SimServer &s) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Ticks; ++i)
            s.advanceClock(1000);
        return msSince(timer) / Ticks;
    });
    std::printf("progression tick over %d schedules: %.3f ms\n", scheduleCount, tickMs);

    const QList<trx::ScheduleInfo> list =
        runner.call([](SimServer &s) { return s.installation().schedules(); });
    t.restart();
    QByteArray encoded;
    {
        QDataStream out(&encoded, QIODevice::WriteOnly);
        trx::TRXMClient::prepareStream(out);
        out << list << qint64(list.size());
        QDataStream in(encoded);
        trx::TRXMClient::prepareStream(in);
        QList<trx::ScheduleInfo> decoded;
        trx::readValue(in, decoded);
        if (decoded.size() != list.size())
            return 1;
    }
    const double inMemoryMs = msSince(t);

    ListDelegate delegate;
    trx::TRXMClient client(&delegate);
    t.restart();
    if (!client.connectToServer(QStringLiteral("127.0.0.1"), port) || !client.identify())
        return 1;
    QVector<trx::ServerInfo> servers;
    client.getMgws();
    client.getServers(servers);
    for (const trx::ServerInfo &s : qAsConst(servers)) {
        if (!s.connected)
            continue;
        trx::ServerSettings settings;
        QVector<trx::RecordTrainInfo> trains;
        QMap<qint32, trx::PortState> states;
        qint32 mode = 0;
        QMap<qint32, qint32> modes;
        client.getServerSettings(s.id, settings);
        client.getRecordTrains(s.id, {}, trains);
        client.getPortStates(s.id, states);
        client.registerServerNotifications(s.id, 129);
        client.getLoopRecMode(s.id, 0, mode, modes);
        client.startRecord(s.id, 256);
    }
    const double buildMs = msSince(t);
    t.restart();
    client.getSchedules();
    while (delegate.count < 0 && t.elapsed() < 30000)
        QThread::usleep(200);
    const double listMs = msSince(t);
    std::printf("start-up requests for %d servers: %.1f ms\n", servers.size(), buildMs);
    std::printf("schedule list, encode+decode in memory (%lld bytes) %8.1f ms\n",
                static_cast<long long>(encoded.size()), inMemoryMs);
    std::printf("schedule list over loopback to the client (%d)      %8.1f ms  ratio %.2f\n",
                int(delegate.count), listMs, listMs / inMemoryMs);
    return delegate.count == scheduleCount ? 0 : 1;
}
