#pragma once

#include <QList>
#include <QString>

#include <optional>

// One port of a recording server as a scenario describes it.
struct SimPortSpec
{
    int port = 0;
    int camera = 1;    // camera number, counted from 1
    int rateCode = 25; // system-frequency code: 24, 25, 29 (29.97) or 30
    bool dropFrame = false;
    bool recording = true;   // recording since trainHours before the scenario starts
    double trainHours = 6;   // age of the record train at start
    int remainMinutes = 600; // recording time left at start; negative: not in loop recording
    int tcOffsetFrames = 0;  // a port whose clock runs off the others shows as unlinked
};

struct SimServerSpec
{
    QString id;
    QString name;
    bool connected = true;
    int systemFrequency = 25;
    QString remainText = QStringLiteral("--H --M"); // remaining-time text for ports out of loop recording
    QList<SimPortSpec> ports;
};

struct SimFolderSpec
{
    QString id;
    QString parentId; // empty: at the drive's root
    QString name;
};

struct SimDriveSpec
{
    QString id;
    QString name;
    QList<SimFolderSpec> folders;
};

struct SimGatewaySpec
{
    QString id;
    QString name;
    QList<SimDriveSpec> drives;
};

struct SimDestinationSpec
{
    QString mgwId;
    QString driveId;
    QString folderId;
};

// A schedule given either relative to the moment the scenario is loaded (startIn seconds, which
// may be negative, and durationSecs) or as day offset and timecodes on the port's clock.
struct SimScheduleSpec
{
    QString id; // empty: generated
    QString serverId;
    int port = 0;
    QString name;
    int type = 0; // 0 normal, 1 open end
    bool relative = true;
    qint64 startInSecs = 0;
    qint64 durationSecs = 60;
    int day = 0;
    int startTc = -1; // integer-packed
    int endTc = -1;
    int proxyPort = -1;
    int fixedStatus = 0; // non-zero: the schedule stays in this status
    int failAt = 0;      // -2: fails when recording starts, -3: fails half-way through the transfer
    SimDestinationSpec master;
    SimDestinationSpec proxy;
};

// What the simulator runs: servers and ports, gateways with drives and folders, schedules and the
// daily maintenance time. Loaded from JSON; every problem is reported with where it is.
struct SimScenario
{
    QString name;
    QList<SimServerSpec> servers;
    QList<SimGatewaySpec> gateways;
    QList<SimScheduleSpec> schedules;
    int maintenanceTc = -1; // integer-packed daily maintenance start; -1 for none
    // The port the manager names as master clock to a client that has loaded its schedules.
    QString masterServerId;
    int masterPort = -1;

    static std::optional<SimScenario> fromJson(const QByteArray &json, QString *error);
    static std::optional<SimScenario> load(const QString &path, QString *error);
};
