#include "siminstallation.h"

#include "simclock.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"
#include "trx/catalogue.h"

#include <QCryptographicHash>
#include <QDataStream>

#include <algorithm>

namespace {

constexpr quint32 StateMagic = 0x54534D53; // "TSMS"
constexpr qint32 StateVersion = 1;
constexpr qint64 MsPerDay = 86400000;

double fpsOf(const FrameRate &rate)
{
    return rate.mode ? rate.mode->fps() * 1000.0 / rate.scale : 25.0;
}

qint64 framesIn(const FrameRate &rate, qint64 ms)
{
    return qint64(double(ms) * fpsOf(rate) / 1000.0);
}

// The port's free-running timecode at `t`: the time of day counted in frames at its rate.
int packedAt(const FrameRate &rate, const QDateTime &t, int offsetFrames)
{
    if (!rate.mode)
        return -1;
    const int frames = foldIntoDay(rate, framesIn(rate, t.time().msecsSinceStartOfDay()) + offsetFrames);
    return bcdToPacked(int(rate.mode->frames_to_tc(frames)));
}

bool validPacked(const FrameRate &rate, int packed)
{
    if (packed < 0 || !rate.mode)
        return false;
    const int hh = (packed >> 24) & 0xFF;
    const int mm = (packed >> 16) & 0xFF;
    const int ss = (packed >> 8) & 0xFF;
    const int ff = packed & 0xFF;
    return hh < 24 && mm < 60 && ss < 60 && ff < rate.mode->fps() &&
           rate.mode->is_valid(cmn::timecode_mode::tc_t(packedToBcd(packed)));
}

QTime timeOfPacked(const FrameRate &rate, int packed)
{
    if (!validPacked(rate, packed))
        return QTime();
    const int frames = rate.mode->tc_to_frames(cmn::timecode_mode::tc_t(packedToBcd(packed)));
    const qint64 ms = qBound<qint64>(0, qint64(double(frames) * 1000.0 / fpsOf(rate)), MsPerDay - 1);
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

bool cancellable(qint32 status)
{
    return status >= 1 && status <= 6;
}

QString folderKey(const QString &mgwId, const QString &driveId)
{
    return mgwId + QLatin1Char('\n') + driveId;
}

void setDestinationIds(trx::ScheduleDestination &d, const QString &mgw, const QString &drive,
                       const QString &folder)
{
    d.text3 = mgw;
    d.text4 = drive;
    d.text5 = folder;
}

} // namespace

SimInstallation::SimInstallation(SimClock *clock, QObject *parent) : QObject(parent), m_pClock(clock) {}

void SimInstallation::load(const SimScenario &scenario)
{
    m_servers.clear();
    m_serverOrder.clear();
    m_folders.clear();
    m_schedules.clear();
    m_iNextScheduleId = 1;
    m_masterPort = trx::ServerPort(scenario.masterServerId, scenario.masterPort);
    m_masterDate = QDate();
    const QDateTime now = m_pClock->now();
    m_loadedAt = now;

    for (const SimServerSpec &config : scenario.servers) {
        Server server;
        server.config = config;
        server.connected = config.connected;
        for (const SimPortSpec &ps : config.ports) {
            Port port;
            port.config = ps;
            port.rate = frameRateFor(ps.rateCode, ps.dropFrame);
            port.recording = ps.recording;
            const QDateTime start = now.addMSecs(-qint64(ps.trainHours * 3600000.0));
            Train train = newTrain(server, start);
            if (!ps.recording)
                train.end = std::max(start, now.addSecs(-3600));
            port.trains.append(train);
            server.ports.insert(ps.port, port);
        }
        m_servers.insert(config.id, server);
        m_serverOrder.append(config.id);
    }

    m_gateways = scenario.gateways;
    for (const SimGatewaySpec &g : scenario.gateways) {
        for (const SimDriveSpec &d : g.drives) {
            QList<Folder> folders;
            QMap<QString, QString> paths;
            for (const SimFolderSpec &f : d.folders) {
                const QString path = paths.value(f.parentId) + QLatin1Char('/') + f.name;
                paths.insert(f.id, path);
                folders.append(Folder{f, path});
            }
            m_folders.insert(folderKey(g.id, d.id), folders);
        }
    }

    for (const SimScheduleSpec &config : scenario.schedules)
        addFromSpec(config, now);

    if (scenario.maintenanceTc >= 0) {
        Schedule s;
        s.info.id = nextScheduleId();
        s.info.type = trx::ScheduleInfo::Maintenance;
        s.info.startTc = scenario.maintenanceTc;
        const FrameRate rate = frameRateFor(25, false);
        s.info.endTc = bcdToPacked(int(rate.mode->frames_to_tc(
            foldIntoDay(rate, rate.mode->tc_to_frames(cmn::timecode_mode::tc_t(packedToBcd(s.info.startTc))) +
                                  10 * 25))));
        s.info.master.status = Scheduled;
        insertSchedule(s);
    }

    for (auto it = m_schedules.begin(); it != m_schedules.end(); ++it) {
        if (it.value().info.mainScheduleId.isEmpty() && progress(it.value(), now.toMSecsSinceEpoch()) &&
            !it.value().proxyId.isEmpty())
            mirrorToProxy(it.value());
    }
}

SimInstallation::Train SimInstallation::newTrain(Server &server, const QDateTime &start)
{
    Train t;
    t.trainNo = server.nextTrainNo++;
    t.start = start;
    t.clipRef = QCryptographicHash::hash(QByteArray(server.config.id.toUtf8() + '/' + QByteArray::number(t.trainNo)),
                                         QCryptographicHash::Md5);
    return t;
}

void SimInstallation::addFromSpec(const SimScheduleSpec &config, const QDateTime &now)
{
    const Port *port = findPort(config.serverId, config.port);
    if (!port)
        return;
    Schedule s;
    trx::ScheduleInfo &info = s.info;
    info.id = config.id.isEmpty() || m_schedules.contains(config.id) ? nextScheduleId() : config.id;
    info.serverId = config.serverId;
    info.name = config.name;
    info.portNo = config.port;
    info.type = config.type;
    if (config.relative) {
        const QDateTime start = now.addSecs(config.startInSecs);
        info.startDate = start.date();
        info.startTc = packedAt(port->rate, start, 0);
        if (config.durationSecs > 0) {
            const QDateTime end = start.addSecs(config.durationSecs);
            info.endDate = end.date();
            info.endTc = packedAt(port->rate, end, 0);
        }
    } else {
        info.startDate = now.date().addDays(config.day);
        info.startTc = config.startTc;
        info.endTc = config.endTc;
        if (config.endTc >= 0)
            info.endDate = info.startDate.addDays(config.endTc < config.startTc ? 1 : 0);
    }
    info.master.clipId = QStringLiteral("C") + info.id;
    info.master.clipRef = QString::fromLatin1(port->trains.last().clipRef.toHex());
    setDestinationIds(info.master, config.master.mgwId, config.master.driveId, config.master.folderId);
    info.master.status = Scheduled;
    s.failAt = config.failAt;
    if (config.fixedStatus != 0) {
        info.master.status = config.fixedStatus;
        info.master.progress = config.fixedStatus == TransferError ? 40 : -1;
        s.frozen = true;
    }
    Schedule proxy;
    if (config.proxyPort >= 0) {
        info.withProxy = true;
        setDestinationIds(info.proxy, config.proxy.mgwId, config.proxy.driveId, config.proxy.folderId);
        info.proxy.status = info.master.status;
        info.proxy.progress = config.fixedStatus == TransferError ? 30 : -1;
        proxy.info = info;
        proxy.info.id = nextScheduleId();
        proxy.info.mainScheduleId = info.id;
        proxy.info.portNo = config.proxyPort;
        proxy.info.withProxy = false;
        proxy.info.master = info.proxy;
        proxy.info.master.clipId = QStringLiteral("C") + proxy.info.id;
        proxy.info.proxy = trx::ScheduleDestination();
        proxy.frozen = s.frozen;
        s.proxyId = proxy.info.id;
    }
    insertSchedule(s);
    if (!s.proxyId.isEmpty())
        insertSchedule(proxy);
}

void SimInstallation::insertSchedule(const Schedule &s)
{
    Schedule copy = s;
    placeInTime(copy);
    m_schedules.insert(copy.info.id, copy);
}

QString SimInstallation::nextScheduleId()
{
    QString id;
    do {
        id = QStringLiteral("S%1").arg(m_iNextScheduleId++, 6, 10, QLatin1Char('0'));
    } while (m_schedules.contains(id));
    return id;
}

const SimInstallation::Port *SimInstallation::findPort(const QString &serverId, int port) const
{
    const auto it = m_servers.constFind(serverId);
    if (it == m_servers.constEnd())
        return nullptr;
    const auto pit = it.value().ports.constFind(port);
    return pit == it.value().ports.constEnd() ? nullptr : &pit.value();
}

SimInstallation::Port *SimInstallation::findPort(const QString &serverId, int port)
{
    const auto it = m_servers.find(serverId);
    if (it == m_servers.end())
        return nullptr;
    const auto pit = it.value().ports.find(port);
    return pit == it.value().ports.end() ? nullptr : &pit.value();
}

FrameRate SimInstallation::scheduleRate(const trx::ScheduleInfo &info) const
{
    if (const Port *p = findPort(info.serverId, info.portNo))
        return p->rate;
    if (const Port *p = findPort(m_masterPort.serverId, m_masterPort.portNo))
        return p->rate;
    return frameRateFor(25, false);
}

void SimInstallation::placeInTime(Schedule &s) const
{
    const FrameRate rate = scheduleRate(s.info);
    s.startMs = Schedule::NoTime;
    s.endMs = Schedule::NoTime;
    const QTime start = timeOfPacked(rate, s.info.startTc);
    if (!s.info.startDate.isValid() || !start.isValid())
        return;
    s.startMs = QDateTime(s.info.startDate, start).toMSecsSinceEpoch();
    const QTime end = timeOfPacked(rate, s.info.endTc);
    if (end.isValid()) {
        const QDate endDate = s.info.endDate.isValid() ? s.info.endDate : s.info.startDate;
        s.endMs = QDateTime(endDate, end).toMSecsSinceEpoch();
    }
}

bool SimInstallation::progress(Schedule &s, qint64 now)
{
    if (s.frozen)
        return false;
    trx::ScheduleDestination &master = s.info.master;
    trx::ScheduleDestination &proxy = s.info.proxy;
    const trx::ScheduleDestination oldMaster = master;
    const trx::ScheduleDestination oldProxy = proxy;
    const bool withProxy = s.info.withProxy;
    auto set = [&](qint32 status, qint32 masterProgress, qint32 proxyProgress) {
        master.status = status;
        master.progress = masterProgress;
        if (withProxy) {
            proxy.status = status;
            proxy.progress = proxyProgress;
        }
    };

    if (master.status == Cancelling) {
        if (now >= s.cancelDoneAtMs) {
            master.status = Cancelled;
            if (withProxy)
                proxy.status = Cancelled;
            s.frozen = true;
        }
    } else if (s.startMs == Schedule::NoTime) {
        // A daily maintenance window has no date and stays scheduled.
    } else if (now < s.startMs) {
        set(Scheduled, -1, -1);
    } else if (s.endMs == Schedule::NoTime) {
        set(Waiting, -1, -1);
    } else if (now < s.endMs) {
        if (s.failAt == RecError) {
            set(RecError, -1, -1);
            s.frozen = true;
        } else {
            set(Waiting, -1, -1);
        }
    } else {
        const qint64 transferMs = qBound(qint64(5000), (s.endMs - s.startMs) / 4, qint64(30 * 60 * 1000));
        const qint64 elapsed = now - s.endMs;
        if (elapsed < transferMs) {
            const int p = int(elapsed * 100 / transferMs);
            if (s.failAt == TransferError && p >= 50) {
                set(TransferError, p, p * 9 / 10);
                s.frozen = true;
            } else {
                set(InProgress, p, p * 9 / 10);
            }
        } else if (s.failAt == TransferError) {
            set(TransferError, 50, 45);
            s.frozen = true;
        } else {
            set(Completed, 100, 100);
        }
    }
    return master != oldMaster || proxy != oldProxy;
}

void SimInstallation::mirrorToProxy(const Schedule &main)
{
    const auto it = m_schedules.find(main.proxyId);
    if (it == m_schedules.end())
        return;
    trx::ScheduleDestination &d = it.value().info.master;
    if (d.status == main.info.proxy.status && d.progress == main.info.proxy.progress)
        return;
    d.status = main.info.proxy.status;
    d.progress = main.info.proxy.progress;
    emit scheduleChanged(it.value().info, 0);
}

void SimInstallation::tick()
{
    const qint64 now = m_pClock->now().toMSecsSinceEpoch();
    bool changed = false;
    for (auto it = m_schedules.begin(); it != m_schedules.end(); ++it) {
        Schedule &s = it.value();
        if (!s.info.mainScheduleId.isEmpty() || !progress(s, now))
            continue;
        changed = true;
        emit scheduleChanged(s.info, 0);
        if (!s.proxyId.isEmpty())
            mirrorToProxy(s);
    }
    if (changed)
        emit schedulesModified();
}

trx::ServerInfo SimInstallation::serverInfo(const Server &server) const
{
    trx::ServerInfo info;
    info.id = server.config.id;
    info.name = server.config.name;
    info.connected = server.connected;
    info.text3 = QStringLiteral("127.0.0.1");
    info.int11 = server.ports.size();
    return info;
}

QVector<trx::ServerInfo> SimInstallation::serverInfos() const
{
    QVector<trx::ServerInfo> list;
    for (const QString &id : m_serverOrder)
        list.append(serverInfo(m_servers.value(id)));
    return list;
}

bool SimInstallation::hasServer(const QString &serverId) const
{
    return m_servers.contains(serverId);
}

bool SimInstallation::hasPort(const QString &serverId, int port) const
{
    return findPort(serverId, port) != nullptr;
}

QStringList SimInstallation::serverIds() const
{
    return m_serverOrder;
}

bool SimInstallation::isServerConnected(const QString &serverId) const
{
    return m_servers.value(serverId).connected;
}

trx::ServerSettings SimInstallation::serverSettings(const QString &serverId) const
{
    trx::ServerSettings settings;
    const auto it = m_servers.constFind(serverId);
    if (it == m_servers.constEnd())
        return settings;
    settings.systemFrequency = it.value().config.systemFrequency;
    settings.int1 = it.value().ports.size();
    for (const Port &p : it.value().ports)
        settings.cameraTrains.insert(p.config.camera, p.config.port);
    return settings;
}

trx::PortState SimInstallation::portState(const Server &server, const Port &port, const QDateTime &now) const
{
    trx::PortState st;
    st.stateCode = server.connected ? 1 : 0;
    st.currentTc = packedAt(port.rate, now, port.config.tcOffsetFrames);
    st.tcTag = 1;
    st.recording = port.recording;
    st.dropFrame = port.config.dropFrame;
    st.systemFrequency = port.config.rateCode;
    if (port.recording && !port.trains.isEmpty())
        st.recordPosition = int(framesIn(port.rate, port.trains.last().start.msecsTo(now)));
    return st;
}

QMap<qint32, trx::PortState> SimInstallation::portStates(const QString &serverId) const
{
    QMap<qint32, trx::PortState> states;
    const auto it = m_servers.constFind(serverId);
    if (it == m_servers.constEnd())
        return states;
    const QDateTime now = m_pClock->now();
    for (const Port &p : it.value().ports)
        states.insert(p.config.port, portState(it.value(), p, now));
    return states;
}

QMap<trx::ServerPort, trx::PortState> SimInstallation::allPortStates() const
{
    QMap<trx::ServerPort, trx::PortState> states;
    const QDateTime now = m_pClock->now();
    for (const Server &s : m_servers)
        for (const Port &p : s.ports)
            states.insert(trx::ServerPort(s.config.id, p.config.port), portState(s, p, now));
    return states;
}

trx::RecordTrainInfo SimInstallation::trainInfo(const Server &server, const Port &port, const Train &train,
                                                const QDateTime &now) const
{
    trx::RecordTrainInfo t;
    t.serverId = server.config.id;
    t.portNo = port.config.port;
    t.cameraNo = port.config.camera;
    t.startTc = packedAt(port.rate, train.start, port.config.tcOffsetFrames);
    t.outPoint = int(framesIn(port.rate, train.start.msecsTo(train.end.isValid() ? train.end : now)));
    t.inPoint = 0;
    t.systemFrequency = server.config.systemFrequency;
    t.rateCode = port.config.rateCode;
    t.dropFrame = port.config.dropFrame;
    t.startDate = train.start.date().toString(QStringLiteral("yyyyMMdd"));
    t.startTime = train.start.time().toString(QStringLiteral("HHmmsszzz"));
    t.clipRef = train.clipRef;
    t.trainNo = train.trainNo;
    t.stillRecording = !train.end.isValid();
    return t;
}

QVector<trx::RecordTrainInfo> SimInstallation::recordTrains(const QString &serverId) const
{
    QVector<trx::RecordTrainInfo> list;
    const QDateTime now = m_pClock->now();
    for (const QString &id : m_serverOrder) {
        if (!serverId.isEmpty() && id != serverId)
            continue;
        const Server &s = m_servers[id];
        for (const Port &p : s.ports)
            for (const Train &t : p.trains)
                list.append(trainInfo(s, p, t, now));
    }
    return list;
}

QMap<qint32, qint32> SimInstallation::loopModes(const QString &serverId) const
{
    QMap<qint32, qint32> modes;
    for (const Port &p : m_servers.value(serverId).ports)
        modes.insert(p.config.port, p.config.remainMinutes >= 0 ? 1 : 0);
    return modes;
}

QString SimInstallation::remainText(const QString &serverId) const
{
    return m_servers.value(serverId).config.remainText;
}

QString SimInstallation::remainMinutes(const QString &serverId) const
{
    const auto it = m_servers.constFind(serverId);
    if (it == m_servers.constEnd())
        return QString();
    const qint64 elapsedMinutes = m_loadedAt.secsTo(m_pClock->now()) / 60;
    QMap<int, const Port *> byCamera;
    for (const Port &p : it.value().ports)
        byCamera.insert(p.config.camera, &p);
    QStringList parts;
    for (const Port *p : qAsConst(byCamera)) {
        const int rem = p->config.remainMinutes;
        const qint64 left = p->recording ? rem - elapsedMinutes : rem;
        parts.append(QString::number(rem < 0 ? -1 : std::max<qint64>(0, left)));
    }
    return parts.join(QLatin1Char('|'));
}

QList<trx::MgwInfo> SimInstallation::gateways() const
{
    QList<trx::MgwInfo> list;
    for (const SimGatewaySpec &g : m_gateways) {
        trx::MgwInfo info;
        info.id = g.id;
        info.text2 = QStringLiteral("MGW");
        info.name = g.name.isEmpty() ? g.id : g.name;
        for (const SimDriveSpec &d : g.drives)
            info.drives.append(trx::MgwDrive{d.id, d.name.isEmpty() ? d.id : d.name});
        list.append(info);
    }
    return list;
}

std::optional<QList<trx::MgwFolderInfo>>
SimInstallation::folders(const QString &mgwId, const QString &driveId, const QString &parentId) const
{
    const auto it = m_folders.constFind(folderKey(mgwId, driveId));
    if (it == m_folders.constEnd())
        return std::nullopt;
    QList<trx::MgwFolderInfo> list;
    for (const Folder &f : it.value())
        if (f.config.parentId == parentId)
            list.append(trx::MgwFolderInfo{f.config.id, f.config.parentId, f.config.name, f.path});
    return list;
}

std::optional<trx::ClipInfo> SimInstallation::clipInfo(const QString &serverId, const QString &clipId) const
{
    for (const Schedule &s : m_schedules) {
        if (s.info.serverId != serverId || s.info.master.clipId != clipId)
            continue;
        const auto server = m_servers.constFind(serverId);
        const Port *port = findPort(serverId, s.info.portNo);
        if (server == m_servers.constEnd() || !port || port->trains.isEmpty())
            return std::nullopt;
        trx::ClipInfo clip;
        static_cast<trx::RecordTrainInfo &>(clip) =
            trainInfo(server.value(), *port, port->trains.last(), m_pClock->now());
        clip.text41 = clipId;
        clip.text42 = s.info.name;
        clip.int44 = s.info.master.status;
        return clip;
    }
    return std::nullopt;
}

QList<trx::ScheduleInfo> SimInstallation::schedules() const
{
    QList<trx::ScheduleInfo> list;
    list.reserve(m_schedules.size());
    for (const Schedule &s : m_schedules)
        list.append(s.info);
    return list;
}

std::optional<trx::ScheduleInfo> SimInstallation::schedule(const QString &id) const
{
    const auto it = m_schedules.constFind(id);
    if (it == m_schedules.constEnd())
        return std::nullopt;
    return it.value().info;
}

bool SimInstallation::startRecord(const QString &serverId, qint32 cams, QString *why)
{
    const auto it = m_servers.find(serverId);
    if (it == m_servers.end()) {
        *why = QStringLiteral("unknown server \"%1\"").arg(serverId);
        return false;
    }
    // The upper half names one port counted from 1; otherwise the low bits are a port mask.
    QList<int> ports;
    if ((cams >> 16) > 0)
        ports.append((cams >> 16) - 1);
    else
        for (int p = 0; p < 8; ++p)
            if (cams & (1 << p))
                ports.append(p);
    for (int p : qAsConst(ports))
        setPortRecording(serverId, p, true);
    return true;
}

void SimInstallation::setPortRecording(const QString &serverId, int port, bool recording)
{
    const auto it = m_servers.find(serverId);
    Port *p = findPort(serverId, port);
    if (!p || p->recording == recording)
        return;
    const QDateTime now = m_pClock->now();
    p->recording = recording;
    if (recording)
        p->trains.append(newTrain(it.value(), now));
    else if (!p->trains.isEmpty())
        p->trains.last().end = now;
    if (!p->trains.isEmpty())
        emit recordTrainChanged(serverId, trainInfo(it.value(), *p, p->trains.last(), now));
}

void SimInstallation::setServerConnected(const QString &serverId, bool connected)
{
    const auto it = m_servers.find(serverId);
    if (it == m_servers.end() || it.value().connected == connected)
        return;
    it.value().connected = connected;
    emit serverChanged(serverInfo(it.value()));
}

bool SimInstallation::addSchedules(const trx::ScheduleRequest &request, QString *why)
{
    const QDateTime now = m_pClock->now();
    if (request.type == trx::ScheduleInfo::Maintenance) {
        const FrameRate rate = scheduleRate(trx::ScheduleInfo());
        if (!validPacked(rate, request.startTc) || !validPacked(rate, request.endTc)) {
            *why = QStringLiteral("maintenance window without valid timecodes");
            return false;
        }
        Schedule s;
        s.info.id = nextScheduleId();
        s.info.type = trx::ScheduleInfo::Maintenance;
        s.info.name = request.name;
        s.info.startDate = request.startDate;
        s.info.endDate = request.endDate;
        s.info.startTc = request.startTc;
        s.info.endTc = request.endTc;
        s.info.master.status = Scheduled;
        if (!request.startDate.isValid()) {
            // One daily window: a new one replaces the old.
            QStringList daily;
            for (const Schedule &old : qAsConst(m_schedules))
                if (old.info.type == trx::ScheduleInfo::Maintenance && !old.info.startDate.isValid())
                    daily.append(old.info.id);
            for (const QString &id : qAsConst(daily)) {
                m_schedules.remove(id);
                emit scheduleRemoved(id);
            }
        }
        placeInTime(s);
        progress(s, now.toMSecsSinceEpoch());
        m_schedules.insert(s.info.id, s);
        emit scheduleAdded(s.info);
        emit schedulesModified();
        return true;
    }

    if (request.type != trx::ScheduleInfo::Normal && request.type != trx::ScheduleInfo::OpenEnd) {
        *why = QStringLiteral("unknown schedule type %1").arg(request.type);
        return false;
    }
    if (request.ports.isEmpty()) {
        *why = QStringLiteral("no ports");
        return false;
    }
    if (!request.startDate.isValid()) {
        *why = QStringLiteral("no start date");
        return false;
    }
    for (const trx::ServerPort &sp : request.ports) {
        const Port *port = findPort(sp.serverId, sp.portNo);
        if (!port) {
            *why = QStringLiteral("unknown port %1 of server \"%2\"").arg(sp.portNo).arg(sp.serverId);
            return false;
        }
        const bool openEnd = request.type == trx::ScheduleInfo::OpenEnd && request.endTc == -1;
        if (!validPacked(port->rate, request.startTc) ||
            (!openEnd && !validPacked(port->rate, request.endTc))) {
            *why = QStringLiteral("invalid timecodes for port %1 of server \"%2\"")
                       .arg(sp.portNo)
                       .arg(sp.serverId);
            return false;
        }
        if (request.withProxy) {
            const int proxyPort = request.proxyPorts.value(sp, -1);
            if (proxyPort == sp.portNo || !findPort(sp.serverId, proxyPort)) {
                *why = QStringLiteral("no usable proxy port for port %1 of server \"%2\"")
                           .arg(sp.portNo)
                           .arg(sp.serverId);
                return false;
            }
        }
    }

    QList<Schedule> created;
    for (const trx::ServerPort &sp : request.ports) {
        const Port *port = findPort(sp.serverId, sp.portNo);
        Schedule s;
        trx::ScheduleInfo &info = s.info;
        info.id = nextScheduleId();
        info.serverId = sp.serverId;
        info.portNo = sp.portNo;
        info.name = request.name;
        info.type = request.type;
        info.startDate = request.startDate;
        info.startTc = request.startTc;
        info.endTc = request.endTc;
        if (request.endTc >= 0)
            info.endDate = request.endDate.isValid()
                               ? request.endDate
                               : request.startDate.addDays(request.endTc < request.startTc ? 1 : 0);
        info.master.clipId = QStringLiteral("C") + info.id;
        info.master.clipRef = QString::fromLatin1(port->trains.last().clipRef.toHex());
        setDestinationIds(info.master, request.masterMgwId, request.masterDriveId, request.masterFolderId);
        info.master.status = Scheduled;
        placeInTime(s);
        if (s.endMs != Schedule::NoTime && s.endMs <= s.startMs) {
            *why = QStringLiteral("the schedule ends before it starts");
            return false;
        }
        if (request.withProxy) {
            info.withProxy = true;
            setDestinationIds(info.proxy, request.proxyMgwId, request.proxyDriveId, request.proxyFolderId);
            info.proxy.status = Scheduled;
        }
        created.append(s);
    }

    for (Schedule &s : created) {
        Schedule proxy;
        if (s.info.withProxy) {
            const int proxyPort = request.proxyPorts.value(trx::ServerPort(s.info.serverId, s.info.portNo));
            proxy.info = s.info;
            proxy.info.id = nextScheduleId();
            proxy.info.mainScheduleId = s.info.id;
            proxy.info.portNo = proxyPort;
            proxy.info.withProxy = false;
            proxy.info.master = s.info.proxy;
            proxy.info.master.clipId = QStringLiteral("C") + proxy.info.id;
            proxy.info.master.clipRef =
                QString::fromLatin1(findPort(s.info.serverId, proxyPort)->trains.last().clipRef.toHex());
            proxy.info.proxy = trx::ScheduleDestination();
            s.proxyId = proxy.info.id;
        }
        progress(s, now.toMSecsSinceEpoch());
        m_schedules.insert(s.info.id, s);
        emit scheduleAdded(s.info);
        if (!s.proxyId.isEmpty()) {
            proxy.info.master.status = s.info.proxy.status;
            proxy.info.master.progress = s.info.proxy.progress;
            insertSchedule(proxy);
            emit scheduleAdded(m_schedules.value(proxy.info.id).info);
        }
    }
    emit schedulesModified();
    return true;
}

bool SimInstallation::removeSchedule(const QString &id, QString *why)
{
    const auto it = m_schedules.find(id);
    if (it == m_schedules.end()) {
        *why = QStringLiteral("unknown schedule \"%1\"").arg(id);
        return false;
    }
    const Schedule s = it.value();
    m_schedules.erase(it);
    emit scheduleRemoved(id);
    if (!s.proxyId.isEmpty() && m_schedules.remove(s.proxyId))
        emit scheduleRemoved(s.proxyId);
    if (!s.info.mainScheduleId.isEmpty()) {
        const auto main = m_schedules.find(s.info.mainScheduleId);
        if (main != m_schedules.end())
            main.value().proxyId.clear();
    }
    emit schedulesModified();
    return true;
}

bool SimInstallation::executeSchedule(const QString &id, qint32 func, QString *why)
{
    auto it = m_schedules.find(id);
    if (it == m_schedules.end()) {
        *why = QStringLiteral("unknown schedule \"%1\"").arg(id);
        return false;
    }
    // A proxy schedule follows its main schedule.
    if (!it.value().info.mainScheduleId.isEmpty() && m_schedules.contains(it.value().info.mainScheduleId))
        it = m_schedules.find(it.value().info.mainScheduleId);
    Schedule &s = it.value();
    const QDateTime now = m_pClock->now();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    if (func == 1) {
        if (s.info.type != trx::ScheduleInfo::OpenEnd || s.endMs != Schedule::NoTime ||
            s.startMs == Schedule::NoTime || nowMs < s.startMs) {
            *why = QStringLiteral("\"%1\" is not a running open-end schedule").arg(id);
            return false;
        }
        s.info.endTc = packedAt(scheduleRate(s.info), now, 0);
        s.info.endDate = now.date();
        placeInTime(s);
        if (s.endMs == Schedule::NoTime || s.endMs <= s.startMs)
            s.endMs = nowMs;
        auto proxy = m_schedules.find(s.proxyId);
        if (proxy != m_schedules.end()) {
            proxy.value().info.endTc = s.info.endTc;
            proxy.value().info.endDate = s.info.endDate;
            proxy.value().endMs = s.endMs;
        }
    } else if (func == 2) {
        if (s.frozen || !cancellable(s.info.master.status)) {
            *why = QStringLiteral("\"%1\" cannot be stopped in status %2").arg(id).arg(s.info.master.status);
            return false;
        }
        s.info.master.status = Cancelling;
        if (s.info.withProxy)
            s.info.proxy.status = Cancelling;
        s.cancelDoneAtMs = nowMs + CancelMs;
    } else {
        *why = QStringLiteral("unknown function %1").arg(func);
        return false;
    }
    progress(s, now.toMSecsSinceEpoch());
    emit scheduleChanged(s.info, 0);
    if (func == 1 && m_schedules.contains(s.proxyId)) {
        emit scheduleChanged(m_schedules.value(s.proxyId).info, 0);
    }
    mirrorToProxy(s);
    emit schedulesModified();
    return true;
}

bool SimInstallation::updateSchedule(const trx::ScheduleInfo &known, const trx::ScheduleRequest &values,
                                     qint32 flags, QString *why)
{
    const auto it = m_schedules.find(known.id);
    if (it == m_schedules.end()) {
        *why = QStringLiteral("unknown schedule \"%1\"").arg(known.id);
        return false;
    }
    Schedule updated = it.value();
    trx::ScheduleInfo &info = updated.info;
    const FrameRate rate = scheduleRate(info);
    const bool maintenance = info.type == trx::ScheduleInfo::Maintenance;
    const bool openEnd = info.type == trx::ScheduleInfo::OpenEnd && values.endTc == -1;
    if (!validPacked(rate, values.startTc) || (!openEnd && !validPacked(rate, values.endTc)) ||
        (!maintenance && !values.startDate.isValid())) {
        *why = QStringLiteral("invalid dates or timecodes for \"%1\"").arg(known.id);
        return false;
    }
    info.name = values.name;
    info.startDate = values.startDate;
    info.startTc = values.startTc;
    info.endTc = values.endTc;
    info.endDate = values.endDate.isValid() || values.endTc < 0 || !values.startDate.isValid()
                       ? values.endDate
                       : values.startDate.addDays(values.endTc < values.startTc ? 1 : 0);
    if (!maintenance && info.mainScheduleId.isEmpty()) {
        setDestinationIds(info.master, values.masterMgwId, values.masterDriveId, values.masterFolderId);
        if (info.withProxy)
            setDestinationIds(info.proxy, values.proxyMgwId, values.proxyDriveId, values.proxyFolderId);
    }
    placeInTime(updated);
    if (updated.endMs != Schedule::NoTime && updated.endMs <= updated.startMs) {
        *why = QStringLiteral("the schedule ends before it starts");
        return false;
    }

    const QDateTime now = m_pClock->now();
    if ((flags & 1) && info.mainScheduleId.isEmpty() && !maintenance) {
        const int proxyPort = values.proxyPorts.value(trx::ServerPort(info.serverId, info.portNo), -1);
        const bool usable = proxyPort != info.portNo && findPort(info.serverId, proxyPort);
        if (usable && m_schedules.contains(updated.proxyId)) {
            m_schedules[updated.proxyId].info.portNo = proxyPort;
        } else if (usable) {
            Schedule proxy;
            proxy.info = info;
            proxy.info.id = nextScheduleId();
            proxy.info.mainScheduleId = info.id;
            proxy.info.portNo = proxyPort;
            proxy.info.withProxy = false;
            info.withProxy = true;
            setDestinationIds(info.proxy, values.proxyMgwId, values.proxyDriveId, values.proxyFolderId);
            info.proxy.status = info.master.status;
            proxy.info.master = info.proxy;
            proxy.info.master.clipId = QStringLiteral("C") + proxy.info.id;
            proxy.info.proxy = trx::ScheduleDestination();
            updated.proxyId = proxy.info.id;
            insertSchedule(proxy);
            emit scheduleAdded(m_schedules.value(proxy.info.id).info);
        } else if (proxyPort < 0 && m_schedules.contains(updated.proxyId)) {
            m_schedules.remove(updated.proxyId);
            emit scheduleRemoved(updated.proxyId);
            updated.proxyId.clear();
            info.withProxy = false;
            info.proxy = trx::ScheduleDestination();
        }
    }
    progress(updated, now.toMSecsSinceEpoch());
    it.value() = updated;
    emit scheduleChanged(updated.info, flags);
    const auto proxy = m_schedules.find(updated.proxyId);
    if (proxy != m_schedules.end()) {
        trx::ScheduleInfo &p = proxy.value().info;
        p.name = info.name;
        p.startDate = info.startDate;
        p.endDate = info.endDate;
        p.startTc = info.startTc;
        p.endTc = info.endTc;
        p.master.status = info.proxy.status;
        p.master.progress = info.proxy.progress;
        placeInTime(proxy.value());
        emit scheduleChanged(p, flags);
    }
    emit schedulesModified();
    return true;
}

bool SimInstallation::syncScheduleTime(const QString &serverId, qint32 port, const QDate &date, qint32 mode)
{
    qint32 flags = 0;
    if ((mode & 1) && findPort(serverId, port)) {
        m_masterPort = trx::ServerPort(serverId, port);
        flags |= 1;
    }
    if ((mode & 2) && date.isValid()) {
        m_masterDate = date;
        flags |= 2;
    }
    trx::MasterPortSync sync;
    sync.serverId = serverId;
    sync.portNo = port;
    sync.date = date;
    emit masterPortSynced(sync, flags);
    return true;
}

std::optional<trx::MasterPortSync> SimInstallation::masterPort() const
{
    if (!findPort(m_masterPort.serverId, m_masterPort.portNo))
        return std::nullopt;
    trx::MasterPortSync sync;
    sync.serverId = m_masterPort.serverId;
    sync.portNo = m_masterPort.portNo;
    // A date the operator set stays the working date; otherwise today on the simulated clock.
    sync.date = m_masterDate.isValid() ? m_masterDate : m_pClock->now().date();
    return sync;
}

QByteArray SimInstallation::saveSchedules() const
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    trx::prepareWireStream(s);
    s << StateMagic << StateVersion << qint32(m_iNextScheduleId) << quint32(m_schedules.size());
    for (const Schedule &sch : m_schedules)
        s << sch.info << qint32(sch.failAt) << sch.frozen << sch.cancelDoneAtMs << sch.proxyId;
    return bytes;
}

bool SimInstallation::restoreSchedules(const QByteArray &bytes, QString *why)
{
    QDataStream s(bytes);
    trx::prepareWireStream(s);
    quint32 magic = 0;
    qint32 version = 0;
    qint32 nextId = 0;
    quint32 count = 0;
    s >> magic >> version >> nextId >> count;
    if (s.status() != QDataStream::Ok || magic != StateMagic || version != StateVersion) {
        *why = QStringLiteral("not a simulator state file of version %1").arg(StateVersion);
        return false;
    }
    QMap<QString, Schedule> restored;
    for (quint32 i = 0; i < count; ++i) {
        Schedule sch;
        qint32 failAt = 0;
        s >> sch.info >> failAt >> sch.frozen >> sch.cancelDoneAtMs >> sch.proxyId;
        if (s.status() != QDataStream::Ok) {
            *why = QStringLiteral("truncated or corrupt at schedule %1 of %2").arg(i + 1).arg(count);
            return false;
        }
        sch.failAt = failAt;
        placeInTime(sch);
        restored.insert(sch.info.id, sch);
    }
    if (!s.atEnd()) {
        *why = QStringLiteral("unexpected bytes after %1 schedules").arg(count);
        return false;
    }
    m_schedules = restored;
    m_iNextScheduleId = std::max(1, nextId);
    return true;
}
