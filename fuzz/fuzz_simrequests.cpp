// Arbitrary request payloads for the simulator's command handlers: the first byte picks the
// command code, the rest is the payload, handled as a well-formed request frame's would be. The
// installation keeps its state across inputs (schedules added, removed, updated) and is started
// afresh every few thousand inputs so that it cannot grow without bound.
#include "simconnection.h"
#include "simscenario.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "trx/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpSocket>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>

namespace {

using trx::Command;

// The order is the seed corpus's (make_seeds.py); the last code is one the simulator does not know.
// clang-format off
const Command Codes[] = {
    Command::Identify, Command::GetServers, Command::RegisterNotifications, Command::GetServerSettings,
    Command::GetRecordTrains, Command::StartRecord, Command::ArchiveClip, Command::GetMgws,
    Command::GetLoopRecMode, Command::GetPortStates, Command::GetClipInfo, Command::Heartbeat,
    Command::GetSchedules, Command::AddSchedule, Command::RemoveSchedule, Command::ExecuteSchedule,
    Command::UpdateSchedule, Command::FetchMgwFolders, Command::SyncScheduleTime, Command(12345)};
// clang-format on

struct Sim
{
    std::unique_ptr<SimServer> server;
    SimConnection *connection = nullptr; // owned by the server
};

SimScenario scenario()
{
    QFile file(QStringLiteral(TARSA_SIM_SCENARIO));
    QString error;
    std::optional<SimScenario> loaded;
    if (file.open(QIODevice::ReadOnly))
        loaded = SimScenario::fromJson(file.readAll(), &error);
    if (!loaded)
        std::abort();
    return *loaded;
}

Sim &sim()
{
    static int argc = 1;
    static char name[] = "fuzz_simrequests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Sim s;
    static int uses = 0;
    if (!s.server || ++uses % 5000 == 0) {
        static const QByteArray logPath =
            QDir::temp().filePath(QStringLiteral("tarsa-fuzz-sim.log")).toLocal8Bit();
        setLogFilePath(logPath.constData());
        setLogRotation(1024 * 1024, 1);
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        s.server.reset();
        s.server = std::make_unique<SimServer>(scenario());
        // Never connected: replies are dropped at the socket, only the handlers run.
        s.connection = new SimConnection(new QTcpSocket, s.server.get());
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 4 * 1024 * 1024)
        return 0;
    Sim &s = sim();
    const int code = trx::code(Codes[data[0] % std::size(Codes)]);
    const QByteArray payload =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    s.server->handleRequest(s.connection, code, QStringLiteral("{fuzz}"), payload);
    s.server->clearReceivedCodes();
    return 0;
}
