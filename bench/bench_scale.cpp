// The whole client at installation scale (by default sim/scenarios/large.json: 16 servers x 8
// ports, about 10,000 schedules over 15 days) against trxm-sim in another process, measured in one
// run, each figure beside its target:
//  1. start-up: the controller's init to sigInitDone, the client's own CPU time (all its threads) and the GUI
//     thread's share, the rest being time spent waiting on the manager; the floor is the
//     simulator sending the same bytes to a raw socket that replays the client's requests;
//  2. steady state: the GUI thread's CPU time over wall time with the current time moving (lock on,
//     so every timeline follows it) and the ports polled, at the default zoom and at 10 s;
//  3. one Ctrl+wheel zoom step and one Ctrl+drag pan step through the real event path, with the
//     timelines following and the window painted, against one 16.7 ms frame;
//  4. resident memory after start-up and after sweeping the zoom levels over all 15 days and
//     every port row (every item painted at least once);
//  5. a storm of 2,000 schedule-change pushes a second for 30 s, injected into the link by a relay
//     between client and simulator: how far the GUI falls behind, and memory before and after.
// Usage: bench_scale [scenario.json] [--quick] (--quick shortens the timed phases). Without a
// scenario it writes the 16, 32 and 64 server scenarios with tools/gen-large-scenario.py, runs
// itself on each and prints every figure's growth from 16 to 64 servers.
#include "simframes.h"

#include "controller/maincontroller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/scheduleinfo.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;
// Half a frame: a step leaves the rest of the frame to everything else on the GUI thread.
constexpr double kStepMs = 8.0;

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double threadCpuMs(pthread_t thread)
{
    clockid_t id;
    timespec ts{};
    if (pthread_getcpuclockid(thread, &id) != 0 || clock_gettime(id, &ts) != 0)
        return 0;
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Time this thread spent ready to run but waiting for a core (the machine is shared).
double runQueueMs()
{
    QFile f(QStringLiteral("/proc/thread-self/schedstat"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toDouble() / 1e6;
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').mid(0, 3).join(' ') : QByteArray("?");
}

double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec) + double(u.ru_stime.tv_sec)) * 1e3 +
           (double(u.ru_utime.tv_usec) + double(u.ru_stime.tv_usec)) / 1e3;
}

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

// Splits a byte stream into whole frames (8-byte big-endian length, then the body).
class FrameSplitter
{
public:
    void append(const QByteArray &bytes) { m_buffer.append(bytes); }
    bool next(QByteArray &frame)
    {
        if (m_buffer.size() < 8)
            return false;
        qint64 len = 0;
        for (int i = 0; i < 8; ++i)
            len = (len << 8) | quint8(m_buffer[i]);
        if (len < 0 || len > trx::TRXMClient::MaxFrameLength || m_buffer.size() < 8 + len)
            return false;
        frame = m_buffer.left(int(8 + len));
        m_buffer.remove(0, int(8 + len));
        return true;
    }

    int pending() const { return m_buffer.size(); }

private:
    QByteArray m_buffer;
};

// Kind and code of a frame's body; a push's payload too.
bool frameHead(const QByteArray &frame, qint16 &kind, qint16 &code, QByteArray *pushPayload = nullptr)
{
    QDataStream s(frame.mid(8));
    trx::TRXMClient::prepareStream(s);
    QDateTime stamp;
    s >> kind >> code;
    if (pushPayload && kind == trx::KindPush)
        s >> stamp >> *pushPayload;
    return s.status() == QDataStream::Ok;
}

constexpr qint16 kScheduleListPush = trx::code(trx::PushType::Schedules);
constexpr qint16 kScheduleChangePush = trx::code(trx::PushType::ScheduleChanged);

// Name of a storm push: the schedule's own name and the relay's steady clock at injection.
QString stampedName(const QString &name, qint64 ms)
{
    return name + QStringLiteral(" @") + QString::number(ms);
}

qint64 stampOf(const QString &name)
{
    const int at = name.lastIndexOf(QLatin1String(" @"));
    if (at < 0)
        return -1;
    bool ok = false;
    const qint64 v = QStringView(name).mid(at + 2).toLongLong(&ok);
    return ok ? v : -1;
}

// Sits between client and simulator on its own thread. Records what the client sends (for the
// floor), counts what it receives, keeps the schedule list it saw, and can inject schedule-change
// pushes at frame boundaries.
class Relay : public QObject
{
public:
    explicit Relay(quint16 upstreamPort) : m_upstreamPort(upstreamPort) {}

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        m_server->listen(QHostAddress::LocalHost, 0);
        connect(m_server, &QTcpServer::newConnection, this, &Relay::accept);
        m_storm = new QTimer(this);
        m_storm->setInterval(10);
        connect(m_storm, &QTimer::timeout, this, &Relay::stormTick);
        m_thread = pthread_self();
        return m_server->serverPort();
    }

    // Thread-safe snapshots.
    QByteArray requests() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    qint64 bytesToListEnd() const { return m_bytesToListEnd.load(); }
    int scheduleCount() const { return m_scheduleCount.load(); }
    qint64 injected() const { return m_injected.load(); }
    qint64 lastStamp() const { return m_lastStamp.load(); }
    pthread_t thread() const { return m_thread; }

    void startStorm(int perSecond)
    {
        m_perSecond = perSecond;
        m_stormStart = steadyMs();
        m_sent = 0;
        m_storm->start();
    }
    void stopStorm() { m_storm->stop(); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            if (m_client) {
                socket->deleteLater();
                continue;
            }
            m_client = socket;
            m_upstream = new QTcpSocket(this);
            m_upstream->connectToHost(QHostAddress::LocalHost, m_upstreamPort);
            connect(m_client, &QTcpSocket::readyRead, this, [this] {
                const QByteArray bytes = m_client->readAll();
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_requests.append(bytes);
                }
                m_upstream->write(bytes);
            });
            connect(m_upstream, &QTcpSocket::readyRead, this, &Relay::fromUpstream);
        }
    }

    void fromUpstream()
    {
        const QByteArray bytes = m_upstream->readAll();
        m_received += bytes.size();
        m_splitter.append(bytes);
        QByteArray frame;
        while (m_splitter.next(frame)) {
            m_client->write(frame);
            qint16 kind = 0;
            qint16 code = 0;
            QByteArray payload;
            if (m_bytesToListEnd.load() < 0 && frameHead(frame, kind, code, &payload) &&
                kind == trx::KindPush && code == kScheduleListPush) {
                QDataStream s(payload);
                trx::TRXMClient::prepareStream(s);
                QList<trx::ScheduleInfo> list;
                s >> list;
                for (const trx::ScheduleInfo &sch : qAsConst(list)) {
                    if (sch.type != trx::ScheduleInfo::Maintenance)
                        m_schedules.append(sch);
                }
                m_scheduleCount = m_schedules.size();
                m_bytesToListEnd = m_received - m_splitter.pending();
            }
        }
    }

    void stormTick()
    {
        if (!m_client || m_schedules.isEmpty())
            return;
        const qint64 now = steadyMs();
        const qint64 due = (now - m_stormStart) * m_perSecond / 1000;
        while (m_sent < due) {
            trx::ScheduleInfo sch = m_schedules[m_next % m_schedules.size()];
            ++m_next;
            sch.name = stampedName(sch.name, now);
            sch.master.progress = int(m_next % 101);
            QByteArray payload;
            QDataStream s(&payload, QIODevice::WriteOnly);
            trx::TRXMClient::prepareStream(s);
            s << sch << qint32(0);
            m_client->write(simframes::push(kScheduleChangePush, payload));
            m_lastStamp = now;
            ++m_sent;
            ++m_injected;
        }
    }

    quint16 m_upstreamPort = 0;
    QTcpServer *m_server = nullptr;
    QTcpSocket *m_client = nullptr;
    QTcpSocket *m_upstream = nullptr;
    QTimer *m_storm = nullptr;
    pthread_t m_thread{};
    FrameSplitter m_splitter;
    qint64 m_received = 0;
    mutable std::mutex m_mutex;
    QByteArray m_requests;
    std::atomic<qint64> m_bytesToListEnd{-1};
    std::atomic<int> m_scheduleCount{0};
    std::atomic<qint64> m_injected{0};
    std::atomic<qint64> m_lastStamp{-1};
    QList<trx::ScheduleInfo> m_schedules;
    int m_perSecond = 0;
    qint64 m_stormStart = 0;
    qint64 m_sent = 0;
    qint64 m_next = 0;
};

struct SimProcess
{
    QProcess process;
    quint16 port = 0;

    bool start(const QString &scenario, const QString &log)
    {
        process.setProgram(QStringLiteral(TARSA_SIM_BIN));
        process.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--scenario"),
                              scenario, QStringLiteral("--log"), log});
        process.start();
        const QRegularExpression listening(QStringLiteral("listening on .*:(\\d+)"));
        QElapsedTimer wait;
        wait.start();
        QByteArray out;
        // A large scenario takes the simulator many seconds to build before it listens.
        while (!port && wait.elapsed() < 300000 && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(1000);
            out += process.readAllStandardOutput();
            const QRegularExpressionMatch m = listening.match(QString::fromUtf8(out));
            if (m.hasMatch())
                port = quint16(m.captured(1).toUInt());
        }
        return port != 0;
    }
    ~SimProcess()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};

// The floor: a fresh simulator answering the recorded requests, all written at once, to a socket
// that only reads until the schedule list has arrived.
double floorMs(const QString &scenario, const QString &dir, const QByteArray &requests, qint64 bytes)
{
    SimProcess sim;
    if (!sim.start(scenario, dir + QStringLiteral("/sim-floor.log")))
        return -1;
    QTcpSocket socket;
    QElapsedTimer clock;
    clock.start();
    socket.connectToHost(QHostAddress::LocalHost, sim.port);
    if (!socket.waitForConnected(5000))
        return -1;
    socket.write(requests);
    qint64 received = 0;
    while (received < bytes && clock.elapsed() < 60000) {
        if (!socket.waitForReadyRead(5000))
            break;
        received += socket.readAll().size();
    }
    return received >= bytes ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

QList<TimelineWidget *> timelines(OXAMainView *view)
{
    QList<TimelineWidget *> list;
    for (ServerWidget *server : view->serverWidgets())
        for (ServerPortWidget *row : server->portWidgets())
            list.append(row->timeline());
    return list;
}

// What the controller does on every timecode update, run at once so that a step shows its effect.
void followAxis(OXAMainView *view)
{
    const int frame = view->anchorFrame();
    const int x = view->originX();
    const TimeCode tc = view->currentTc();
    for (TimelineWidget *t : timelines(view)) {
        t->setAnchor(frame, x);
        t->setCurrentTc(tc);
    }
}

// One pass of the event loop as the application's own loop makes it. processEvents() called from
// main() outside any exec() leaves deleteLater() for ever, so widgets the timelines let go of would
// pile up here as they never do in the client; they are deleted as the client's loop would.
void pumpEvents(int maxMs = 0)
{
    if (maxMs > 0)
        QApplication::processEvents(QEventLoop::AllEvents, maxMs);
    else
        QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        pumpEvents(10);
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts item paints and, for storm-stamped names, the delay from injection to the paint.
class PaintWatch : public QObject
{
public:
    int paints = 0;
    bool stamps = false;
    std::vector<qint64> delays;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            if (auto *item = qobject_cast<TimelineItemWidget *>(watched)) {
                ++paints;
                if (stamps) {
                    // A pooled widget taking another item (one scrolled into view) draws that
                    // item's latest change at once, however old: only a change reaching an item
                    // already drawn is a repaint delay.
                    const QString task = item->taskId();
                    const bool rebound = m_task.value(item) != task;
                    m_task.insert(item, task);
                    const qint64 s = stampOf(item->name());
                    if (s >= 0 && s != m_last.value(item, -1)) {
                        m_last.insert(item, s);
                        if (!rebound)
                            delays.push_back(steadyMs() - s);
                    }
                }
            }
        }
        return false;
    }

private:
    QHash<TimelineItemWidget *, qint64> m_last;
    QHash<TimelineItemWidget *, QString> m_task;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

void line(const char *what, double value, const char *unit, double target, const char *targetText)
{
    std::printf("  %-46s %10.2f %-3s target %-22s ratio %6.3f  %s\n", what, value, unit, targetText,
                target > 0 ? value / target : 0.0, value <= target ? "met" : "NOT met");
}

struct SizeRun
{
    int servers = 0;
    QMap<QString, double> figures;
    QStringList order;
};

// Runs this program on one scenario in a child process (fresh memory figures), echoing its output
// and collecting the figures it prints.
bool runSize(const QString &scenario, bool quick, SizeRun &run)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{scenario};
    if (quick)
        args << QStringLiteral("--quick");
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForStarted())
        return false;
    const QRegularExpression figure(QStringLiteral("^  (\\S.{45}) +(-?\\d+\\.\\d+) "));
    QByteArray pending;
    const auto take = [&] {
        pending += child.readAllStandardOutput();
        int nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QByteArray text = pending.left(nl);
            pending.remove(0, nl + 1);
            std::printf("%s\n", text.constData());
            const QRegularExpressionMatch m = figure.match(QString::fromUtf8(text));
            if (!m.hasMatch())
                continue;
            const QString name = m.captured(1).trimmed();
            if (!run.figures.contains(name))
                run.order << name;
            run.figures.insert(name, m.captured(2).toDouble());
        }
    };
    while (child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(1000);
        take();
    }
    take();
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

int runSizes(bool quick)
{
    QTemporaryDir dir;
    std::vector<SizeRun> runs;
    for (const int servers : {16, 32, 64}) {
        const QString file = dir.path() + QStringLiteral("/large-%1.json").arg(servers);
        QProcess gen;
        gen.setProcessChannelMode(QProcess::ForwardedChannels);
        gen.start(QStringLiteral("python3"), {QStringLiteral(TARSA_TOOLS_DIR "/gen-large-scenario.py"),
                                              QStringLiteral("--servers"), QString::number(servers), file});
        if (!gen.waitForFinished(120000) || gen.exitCode() != 0) {
            std::fprintf(stderr, "bench_scale: could not write the %d server scenario\n", servers);
            return 1;
        }
        SizeRun run;
        run.servers = servers;
        std::printf("== %d servers of 8 ports\n", servers);
        if (!runSize(file, quick, run)) {
            std::fprintf(stderr, "bench_scale: the %d server run failed\n", servers);
            return 1;
        }
        runs.push_back(run);
    }
    std::printf("== growth from 16 to 64 servers (same run)\n");
    std::printf("  %-46s %10s %10s %10s %8s\n", "figure", "16", "32", "64", "64/16");
    for (const QString &name : qAsConst(runs.front().order)) {
        const double a = runs[0].figures.value(name);
        const double c = runs[2].figures.value(name);
        std::printf("  %-46s %10.2f %10.2f %10.2f %7.2fx\n", qPrintable(name), a, runs[1].figures.value(name), c,
                    a != 0 ? c / a : 0.0);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    setLogFilePath((dir.path() + QStringLiteral("/tarsa.log")).toUtf8().constData());
    QString scenario;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--quick"))
            quick = true;
        else
            scenario = arg;
    }
    if (scenario.isEmpty())
        return runSizes(quick);
    const int steadyMsEach = quick ? 5000 : 20000;
    const int stormMs = quick ? 10000 : 30000;

    SimProcess sim;
    if (!sim.start(scenario, dir.path() + QStringLiteral("/sim.log"))) {
        std::fprintf(stderr, "bench_scale: the simulator did not start\n");
        return 1;
    }
    QThread relayThread;
    relayThread.start();
    auto *relay = new Relay(sim.port);
    relay->moveToThread(&relayThread);
    quint16 relayPort = 0;
    QMetaObject::invokeMethod(
        relay, [&] { relayPort = relay->listen(); }, Qt::BlockingQueuedConnection);

    ControllerOptions options;
    options.settingsFile = dir.path() + QStringLiteral("/Settings.xml");

    std::printf("bench_scale %s%s\n", qPrintable(scenario), quick ? " (quick)" : "");
    std::printf("  machine: %d cores, load average %s at the start\n", QThread::idealThreadCount(),
                loadAverage().constData());
    int exitCode = 0;
    {
        // 1. Start-up: controller and window as the application builds them, then init.
        const qint64 rss0 = statusKb("VmRSS:");
        const double relayCpu0 = threadCpuMs(relay->thread());
        const double cpu0 = processCpuMs();
        const double gui0 = threadCpuMs();
        const double queue0 = runQueueMs();
        QElapsedTimer wall;
        wall.start();
        auto controller = std::make_unique<MainController>(options);
        auto viewOwner = std::make_unique<OXAMainView>(controller.get());
        OXAMainView *view = viewOwner.get();
        controller->setMainView(view);
        controller->settings()->m_trxmIp = QStringLiteral("127.0.0.1");
        controller->settings()->m_trxmPort = relayPort;
        QEventLoop started;
        QObject::connect(controller.get(), &MainController::sigInitDone, &started, &QEventLoop::quit);
        QTimer::singleShot(300000, &started, [&started] { started.exit(1); });
        QMetaObject::invokeMethod(controller.get(), &MainController::init, Qt::QueuedConnection);
        if (started.exec() != 0) {
            std::fprintf(stderr, "bench_scale: start-up did not finish\n");
            return 1;
        }
        const double startMs = double(wall.nsecsElapsed()) / 1e6;
        const double guiMs = threadCpuMs() - gui0;
        const double queuedMs = runQueueMs() - queue0;
        const double clientCpuMs = processCpuMs() - cpu0 - (threadCpuMs(relay->thread()) - relayCpu0);
        const QList<TimelineWidget *> lines = timelines(view);
        int items = 0;
        int widgetsAtStart = 0;
        for (TimelineWidget *t : lines) {
            items += t->itemCount();
            widgetsAtStart += t->liveWidgetCount();
        }

        const double floor =
            floorMs(scenario, dir.path(), relay->requests(), std::max<qint64>(1, relay->bytesToListEnd()));

        if (floor < 0) {
            std::fprintf(stderr, "bench_scale: the floor run did not receive the schedule list\n");
            exitCode = 1;
        }
        // Full HD instead of the offscreen screen's 800 x 600; port rows at their default height.
        view->showNormal();
        view->setGeometry(0, 0, 1920, 1080);
        settle(1500);
        const qint64 rssStart = statusKb("VmRSS:");
        const qint64 hwmStart = statusKb("VmHWM:");

        int widgets = 0;
        for (TimelineWidget *t : lines)
            widgets += t->liveWidgetCount();
        std::printf("  %d timelines, %d schedule items (%d schedules in the list), window %dx%d\n"
                    "  item widgets: %d at sigInitDone, %d once the window is shown\n",
                    lines.size(), items, relay->scheduleCount(), view->width(), view->height(), widgetsAtStart,
                    widgets);
        std::printf("1. start-up (controller init to sigInitDone)   wall %8.0f ms\n", startMs);
        std::printf("  client CPU, all threads %8.0f ms; GUI thread %8.0f ms, waiting for a core %8.0f ms,\n"
                    "  waiting on the manager (the rest) %8.0f ms\n",
                    clientCpuMs, guiMs, queuedMs, startMs - guiMs - queuedMs);
        std::printf("  floor: simulator sending the same %lld bytes to a raw reader %8.0f ms\n",
                    relay->bytesToListEnd(), floor);
        line("client CPU beyond the floor", (clientCpuMs - floor) / 1000.0, "s", 1.0, "<= 1 s");

        // 2. Steady state, locked so that every timeline follows the clock.
        QSlider *zoom = view->zoomSlider();
        if (!view->isLocked())
            view->lockCheckBox()->click();
        std::printf("2. steady state, GUI thread busy share over %d s each (lock on, poll running)\n",
                    steadyMsEach / 1000);
        const int defaultZoom = (zoom->minimum() + zoom->maximum()) / 2;
        for (const int value : {defaultZoom, zoom->maximum()}) {
            zoom->setValue(value);
            runFor(2000);
            const double c0 = threadCpuMs();
            QElapsedTimer w;
            w.start();
            runFor(steadyMsEach);
            const double share = (threadCpuMs() - c0) / (double(w.nsecsElapsed()) / 1e6);
            char what[64];
            std::snprintf(what, sizeof what, "busy share, %d frames across", view->viewFrames());
            line(what, 100.0 * share, "%", 2.0, "<= 2 % of one core");
        }

        // 3. Interaction: zoom and pan steps through the window's event filter, then the timelines
        // follow and the window paints.
        if (view->isLocked())
            view->lockCheckBox()->click();
        zoom->setValue(defaultZoom);
        followAxis(view);
        settle(500);
        auto *watch = new PaintWatch;
        app.installEventFilter(watch);
        TimelineWidget *target = lines.value(0);
        const QPoint centre(target->width() / 2, target->height() / 2);
        std::vector<double> zoomTimes;
        std::vector<double> panTimes;
        // The GUI thread's own CPU time for the same steps: on a shared machine the wall time
        // also holds the time the thread waited for a core.
        std::vector<double> zoomCpu;
        std::vector<double> panCpu;
        // Event handling, the timelines following, the paint.
        std::vector<double> zoomParts[3];
        std::vector<double> panParts[3];
        int zoomPaints = 0;
        int panPaints = 0;
        for (int i = 0; i < 20; ++i) {
            watch->paints = 0;
            QElapsedTimer t;
            const double c0 = threadCpuMs();
            t.start();
            const int delta = i % 2 ? -120 : 120;
            QWheelEvent wheel(QPointF(centre), QPointF(target->mapToGlobal(centre)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
            const double event = double(t.nsecsElapsed()) / 1e6;
            followAxis(view);
            const double follow = double(t.nsecsElapsed()) / 1e6;
            QApplication::processEvents();
            QApplication::processEvents();
            zoomTimes.push_back(double(t.nsecsElapsed()) / 1e6);
            zoomCpu.push_back(threadCpuMs() - c0);
            zoomParts[0].push_back(event);
            zoomParts[1].push_back(follow - event);
            zoomParts[2].push_back(zoomTimes.back() - follow);
            zoomPaints += watch->paints;
        }
        for (int i = 0; i < 20; ++i) {
            const QPoint from = centre;
            const QPoint to = centre + QPoint(i % 2 ? 100 : -100, 0);
            QMouseEvent press(QEvent::MouseButtonPress, from, target->mapToGlobal(from), Qt::LeftButton,
                              Qt::LeftButton, Qt::ControlModifier);
            QApplication::sendEvent(target, &press);
            watch->paints = 0;
            QElapsedTimer t;
            const double c0 = threadCpuMs();
            t.start();
            QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                             Qt::ControlModifier);
            QApplication::sendEvent(target, &move);
            const double event = double(t.nsecsElapsed()) / 1e6;
            followAxis(view);
            const double follow = double(t.nsecsElapsed()) / 1e6;
            QApplication::processEvents();
            QApplication::processEvents();
            panTimes.push_back(double(t.nsecsElapsed()) / 1e6);
            panCpu.push_back(threadCpuMs() - c0);
            panParts[0].push_back(event);
            panParts[1].push_back(follow - event);
            panParts[2].push_back(panTimes.back() - follow);
            panPaints += watch->paints;
            QMouseEvent release(QEvent::MouseButtonRelease, to, target->mapToGlobal(to), Qt::LeftButton,
                                Qt::NoButton, Qt::ControlModifier);
            QApplication::sendEvent(target, &release);
        }
        std::printf(
            "3. interaction over %d timelines (median of 20 steps, %.0f / %.0f item paints per step)\n",
            lines.size(), zoomPaints / 20.0, panPaints / 20.0);
        line("zoom step, wall, ms", percentile(zoomTimes, 0.5), "ms", kStepMs, "<= 8 ms");
        line("zoom step, GUI thread CPU, ms", percentile(zoomCpu, 0.5), "ms", kStepMs, "<= 8 ms");
        line("zoom step, slowest, ms", percentile(zoomTimes, 1.0), "ms", kFrameMs, "<= 16.7 ms");
        line("pan step, wall, ms", percentile(panTimes, 0.5), "ms", kStepMs, "<= 8 ms");
        line("pan step, GUI thread CPU, ms", percentile(panCpu, 0.5), "ms", kStepMs, "<= 8 ms");
        line("pan step, slowest, ms", percentile(panTimes, 1.0), "ms", kFrameMs, "<= 16.7 ms");
        std::printf("  medians: zoom event %.2f ms, timelines follow %.2f ms, paint %.2f ms; "
                    "pan event %.2f ms, follow %.2f ms, paint %.2f ms\n",
                    percentile(zoomParts[0], 0.5), percentile(zoomParts[1], 0.5),
                    percentile(zoomParts[2], 0.5), percentile(panParts[0], 0.5), percentile(panParts[1], 0.5),
                    percentile(panParts[2], 0.5));
        std::printf("  slowest: zoom %.2f ms, pan %.2f ms\n", percentile(zoomTimes, 1.0),
                    percentile(panTimes, 1.0));

        // 4. Memory: every zoom level's worth of the axis, every row, so every item is painted.
        QElapsedTimer sweepClock;
        sweepClock.start();
        QScrollArea *area = view->findChild<QScrollArea *>(QStringLiteral("scrollArea"));
        QScrollBar *vbar = area ? area->verticalScrollBar() : nullptr;
        QSlider *cursor = view->timeScrollBar();
        int sweepSteps = 0;
        watch->paints = 0;
        const int vStep = area ? std::max(100, area->viewport()->height() - 20) : 1;
        for (int value = zoom->minimum(); value <= zoom->maximum(); value += 23) {
            zoom->setValue(value);
            const int range = cursor->maximum() - cursor->minimum();
            const int wanted = range / std::max(1, int(view->viewFrames() * 0.9)) + 1;
            const int hSteps = std::min(wanted, 24);
            // Every row at the levels that show a day or more, so every item is painted at least
            // once; the top, middle and bottom rows at the finer levels.
            const bool allRows = view->viewFrames() >= view->zoomLevels()[4];
            const int vMax = vbar ? vbar->maximum() : 0;
            std::vector<int> rows;
            if (allRows) {
                for (int v = 0; v < vMax + vStep; v += vStep)
                    rows.push_back(std::min(v, vMax));
            } else {
                rows = {0, vMax / 2, vMax};
            }
            for (int h = 0; h <= hSteps; ++h) {
                view->setScrollPos(cursor->minimum() + int(qint64(range) * h / std::max(1, hSteps)));
                followAxis(view);
                for (const int v : rows) {
                    if (vbar)
                        vbar->setValue(v);
                    pumpEvents();
                    ++sweepSteps;
                }
            }
        }
        if (vbar)
            vbar->setValue(0);
        zoom->setValue(defaultZoom);
        view->setScrollPos(0);
        followAxis(view);
        settle(2000);
        const qint64 rssSweep = statusKb("VmRSS:");
        const qint64 hwmSweep = statusKb("VmHWM:");
        std::printf("4. memory (sweep: %d views in %.0f s, %d item paints)\n", sweepSteps,
                    sweepClock.elapsed() / 1000.0, watch->paints);
        std::printf("  before start-up %lld kB; after start-up %lld kB resident, peak %lld kB\n", rss0,
                    rssStart, hwmStart);
        line("resident after start-up, MB", rssStart / 1024.0, "MB", 250.0, "<= 250 MB");
        line("peak resident after the sweep, MB", hwmSweep / 1024.0, "MB", 250.0, "<= 250 MB");
        line("resident after the sweep / after start-up",
             double(rssSweep) / double(std::max<qint64>(1, rssStart)), "x", 1.5, "bounded (<= 1.5 x)");

        // 5. Push storm at the one-day zoom, so that many stamped items are on screen.
        if (!view->isLocked())
            view->lockCheckBox()->click();
        // The slider's first fifth runs from 15 days down to one day.
        zoom->setValue(int(std::ceil(zoom->maximum() / 5.0)));
        settle(2000);
        const qint64 rssBefore = statusKb("VmRSS:");
        watch->delays.clear();
        watch->stamps = true;
        std::vector<double> lags;
        QTimer probe;
        probe.setInterval(200);
        // The newest change the timelines hold, drawn or not: most items are off screen, where
        // no widget draws them.
        QObject::connect(&probe, &QTimer::timeout, &app, [&] {
            qint64 newest = -1;
            for (TimelineWidget *t : lines)
                for (const TimelineItemData &item : t->itemsData())
                    newest = std::max(newest, stampOf(item.name));
            if (newest >= 0)
                lags.push_back(double(steadyMs() - newest));
        });
        QMetaObject::invokeMethod(
            relay, [relay] { relay->startStorm(2000); }, Qt::BlockingQueuedConnection);
        probe.start();
        runFor(stormMs);
        QMetaObject::invokeMethod(
            relay, [relay] { relay->stopStorm(); }, Qt::BlockingQueuedConnection);
        probe.stop();
        const qint64 injected = relay->injected();
        // The last change sent shows on its item once the GUI has worked through the queue.
        const qint64 lastStamp = relay->lastStamp();
        QElapsedTimer drain;
        drain.start();
        qint64 newest = -1;
        while (newest < lastStamp && drain.elapsed() < 60000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            for (TimelineWidget *t : lines)
                for (const TimelineItemData &item : t->itemsData())
                    newest = std::max(newest, stampOf(item.name));
        }
        const double catchUpMs = double(steadyMs() - lastStamp);
        lags.push_back(catchUpMs);
        watch->stamps = false;
        settle(5000);
        const qint64 rssAfter = statusKb("VmRSS:");
        std::vector<double> paintDelays(watch->delays.begin(), watch->delays.end());
        std::printf(
            "5. push storm: %lld schedule changes in %d s, %zu lag samples, %zu item repaints stamped\n",
            injected, stormMs / 1000, lags.size(), paintDelays.size());
        line("GUI lag behind the link, worst, ms", percentile(lags, 1.0), "ms", 1000.0, "< 1000 ms");
        std::printf("  lag median %.0f ms, p99 %.0f ms; the last change shown %.0f ms after it was sent\n",
                    percentile(lags, 0.5), percentile(lags, 0.99), catchUpMs);
        line("injection to item repaint, worst, ms", percentile(paintDelays, 1.0), "ms", 1000.0, "< 1000 ms");
        std::printf("  repaint delay median %.0f ms, p99 %.0f ms\n", percentile(paintDelays, 0.5),
                    percentile(paintDelays, 0.99));
        line("resident after / before the storm", double(rssAfter) / double(std::max<qint64>(1, rssBefore)),
             "x", 1.1, "back to its level (<= 1.1 x)");
        std::printf("  resident before %lld kB, after %lld kB\n", rssBefore, rssAfter);
        app.removeEventFilter(watch);
        delete watch;
        controller->setMainView(nullptr);
        viewOwner.reset();
        controller.reset();
    }
    std::printf("  load average %s at the end\n", loadAverage().constData());
    // Back to this thread, so that it can go once its own thread has stopped.
    QThread *mainThread = app.thread();
    QMetaObject::invokeMethod(
        relay, [relay, mainThread] { relay->moveToThread(mainThread); }, Qt::BlockingQueuedConnection);
    relayThread.quit();
    relayThread.wait();
    delete relay;
    return exitCode;
}
