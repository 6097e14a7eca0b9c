#pragma once

#include "simscenario.h"

#include "cmn/framerate.h"
#include "trx/records.h"

#include <QDateTime>
#include <QMap>
#include <QObject>

#include <optional>

class SimClock;

// The living installation behind the simulator: recording servers with free-running ports and
// growing record trains, media gateways with their folder trees, and the schedules with their
// progression through the statuses. Everything is computed from the injected clock, so that a
// test that advances the clock and calls tick() sees the same progression a person sees live.
// Changes to schedules and servers are announced by signals; the server side turns them into
// pushes.
class SimInstallation : public QObject
{
    Q_OBJECT

public:
    enum Status : qint32 {
        Cancelling = -5,
        Cancelled = -4,
        TransferError = -3,
        RecError = -2,
        UnknownError = -1,
        Scheduled = 1,
        Waiting = 3,
        InProgress = 6,
        Completed = 7,
    };
    // How long a Cancelling schedule takes to become Cancelled.
    static constexpr qint64 CancelMs = 2000;

    explicit SimInstallation(SimClock *clock, QObject *parent = nullptr);

    // Replaces everything with the scenario; relative schedule times count from the clock's now.
    void load(const SimScenario &scenario);

    // What the wire answers carry, as of the clock's now.
    QVector<trx::ServerInfo> serverInfos() const;
    bool hasServer(const QString &serverId) const;
    bool hasPort(const QString &serverId, int port) const;
    QStringList serverIds() const;
    bool isServerConnected(const QString &serverId) const;
    trx::ServerSettings serverSettings(const QString &serverId) const;
    QMap<qint32, trx::PortState> portStates(const QString &serverId) const;
    // Every port of every server.
    QMap<trx::ServerPort, trx::PortState> allPortStates() const;
    // Trains of one server, or of every server for an empty id.
    QVector<trx::RecordTrainInfo> recordTrains(const QString &serverId) const;
    QMap<qint32, qint32> loopModes(const QString &serverId) const;
    // Remaining-time texts: kind 3 for ports out of loop recording, kind 5 the minutes per camera.
    QString remainText(const QString &serverId) const;
    QString remainMinutes(const QString &serverId) const;
    QList<trx::MgwInfo> gateways() const;
    // The folders directly under parentId (empty: the drive's root); nullopt for an unknown drive.
    std::optional<QList<trx::MgwFolderInfo>> folders(const QString &mgwId, const QString &driveId,
                                                     const QString &parentId) const;
    std::optional<trx::ClipInfo> clipInfo(const QString &serverId, const QString &clipId) const;
    QList<trx::ScheduleInfo> schedules() const;
    std::optional<trx::ScheduleInfo> schedule(const QString &id) const;
    int scheduleCount() const { return m_schedules.size(); }

    // Commands. Each returns false, with a reason, when it changes nothing.
    bool startRecord(const QString &serverId, qint32 cams, QString *why);
    bool addSchedules(const trx::ScheduleRequest &request, QString *why);
    bool removeSchedule(const QString &id, QString *why);
    // func 1 ends an open-end schedule now, 2 stops the schedule (Cancelling, then Cancelled).
    bool executeSchedule(const QString &id, qint32 func, QString *why);
    // flags bit 0: the proxy port in `values` replaces the current one.
    bool updateSchedule(const trx::ScheduleInfo &known, const trx::ScheduleRequest &values, qint32 flags,
                        QString *why);
    // mode bit 0 names the master port, bit 1 sets the date; the push's flag word says which took.
    bool syncScheduleTime(const QString &serverId, qint32 port, const QDate &date, qint32 mode);
    // The master port and today's date on the simulated clock, when a master is known.
    std::optional<trx::MasterPortSync> masterPort() const;

    // Control for tests and demonstrations.
    void setServerConnected(const QString &serverId, bool connected);
    void setPortRecording(const QString &serverId, int port, bool recording);

    // Moves every schedule to the status its times give at the clock's now.
    void tick();

    // Schedules with their progression data, for --state files.
    QByteArray saveSchedules() const;
    bool restoreSchedules(const QByteArray &bytes, QString *why);

signals:
    void scheduleAdded(const trx::ScheduleInfo &schedule);
    void scheduleChanged(const trx::ScheduleInfo &schedule, qint32 flags);
    void scheduleRemoved(const QString &id);
    void masterPortSynced(const trx::MasterPortSync &sync, qint32 flags);
    void serverChanged(const trx::ServerInfo &server);
    void recordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train);
    void schedulesModified();

private:
    struct Train
    {
        qint32 trainNo = 0;
        QDateTime start;
        QDateTime end; // invalid while recording
        QByteArray clipRef;
    };
    struct Port
    {
        SimPortSpec config;
        FrameRate rate;
        bool recording = false;
        QList<Train> trains;
    };
    struct Server
    {
        SimServerSpec config;
        bool connected = true;
        QMap<int, Port> ports;
        qint32 nextTrainNo = 1;
    };
    struct Folder
    {
        SimFolderSpec config;
        QString path;
    };
    struct Schedule
    {
        // Times as milliseconds since the epoch: progression compares them for every schedule on
        // every tick, and local-time QDateTime comparisons convert through the time zone each time.
        static constexpr qint64 NoTime = -1;
        trx::ScheduleInfo info;
        qint64 startMs = NoTime;
        qint64 endMs = NoTime; // none for an open end or a daily maintenance
        int failAt = 0;
        bool frozen = false;
        qint64 cancelDoneAtMs = 0;
        QString proxyId;
    };

    const Port *findPort(const QString &serverId, int port) const;
    Port *findPort(const QString &serverId, int port);
    FrameRate scheduleRate(const trx::ScheduleInfo &info) const;
    void placeInTime(Schedule &s) const;
    bool progress(Schedule &s, qint64 nowMs);
    void mirrorToProxy(const Schedule &main);
    QString nextScheduleId();
    Train newTrain(Server &server, const QDateTime &start);
    trx::PortState portState(const Server &server, const Port &port, const QDateTime &now) const;
    trx::RecordTrainInfo trainInfo(const Server &server, const Port &port, const Train &train,
                                   const QDateTime &now) const;
    trx::ServerInfo serverInfo(const Server &server) const;
    void addFromSpec(const SimScheduleSpec &config, const QDateTime &now);
    void insertSchedule(const Schedule &s);

    SimClock *m_pClock = nullptr;
    QMap<QString, Server> m_servers;
    QStringList m_serverOrder;
    QList<SimGatewaySpec> m_gateways;
    QMap<QString, QList<Folder>> m_folders; // "mgw\ndrive" to its folders
    QMap<QString, Schedule> m_schedules;
    QDateTime m_loadedAt;
    int m_iNextScheduleId = 1;
    trx::ServerPort m_masterPort{QString(), -1};
    QDate m_masterDate;
};
