#pragma once

// The installation the integration tests run against: two connected servers with mixed rates,
// one disconnected, a gateway with a folder tree, and schedules in fixed and clock-driven states.

#include "simscenario.h"

#include "trx/scheduleinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <functional>
#include <thread>

// Runs f on a thread that is not the GUI thread, as the link's socket thread would.
inline void onLinkThread(const std::function<void()> &f)
{
    std::thread t(f);
    t.join();
}

// A scheduled 10:00:00:00 to 10:01:00:00 schedule of today on one port, named by its id.
inline trx::ScheduleInfo schedule(const QString &id, const QString &serverId, int port)
{
    trx::ScheduleInfo s;
    s.id = id;
    s.serverId = serverId;
    s.portNo = port;
    s.name = id;
    s.startDate = QDate::currentDate();
    s.endDate = s.startDate;
    s.startTc = 0x0A000000; // 10:00:00:00
    s.endTc = 0x0A010000;   // 10:01:00:00
    s.master.status = 1;
    return s;
}

// The integer-packed timecode of a wall-clock time on a 25-frame port of the test scenario.
inline int packedTcAt25(const QDateTime &t)
{
    const int ms = t.time().msecsSinceStartOfDay();
    return (ms / 3600000 << 24) | (ms / 60000 % 60 << 16) | (ms / 1000 % 60 << 8) | (ms % 1000 / 40);
}

// A settings file that points the client at a simulator on 127.0.0.1:port, its folder made.
inline void writeSettingsFor(const QString &path, quint16 port)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<Setting ver=\"1.0\"><m_trxmIp value=\"127.0.0.1\"/>"
                              "<m_trxmPort value=\"%1\"/></Setting>\n")
                   .arg(port)
                   .toUtf8());
}

inline const char *testScenarioJson()
{
    return R"({
  "name": "integration",
  "maintenance": "02:00:00:00",
  "servers": [
    {"id": "srv-a", "name": "A", "systemFrequency": 25, "ports": [
      {"port": 0, "camera": 2, "rate": "25"},
      {"port": 1, "camera": 1, "rate": "29.97df", "remainMinutes": 125},
      {"port": 2, "camera": 3, "rate": "30", "remainMinutes": -1},
      {"port": 3, "camera": 4, "rate": "24", "recording": false}]},
    {"id": "srv-b", "name": "B", "systemFrequency": 25, "ports": [
      {"port": 0, "rate": "25"}, {"port": 1, "rate": "25"}, {"port": 2, "rate": "25"}, {"port": 3, "rate": "25"}]},
    {"id": "srv-off", "name": "Off", "connected": false, "ports": [{"port": 0}, {"port": 1}, {"port": 2}, {"port": 3}]}
  ],
  "gateways": [
    {"id": "mgw-1", "name": "Archive", "drives": [
      {"id": "d1", "name": "RAID", "folders": [
        {"id": "news", "name": "News"},
        {"id": "news-2026", "parent": "news", "name": "2026"},
        {"id": "news-2026-12", "parent": "news-2026", "name": "December"},
        {"id": "sports", "name": "Sports"}]},
      {"id": "d2", "name": "Nearline"}]},
    {"id": "mgw-2", "name": "Proxy", "drives": [{"id": "p1", "name": "Proxy Store"}]}
  ],
  "schedules": [
    {"id": "done", "server": "srv-a", "port": 0, "startIn": -7200, "duration": 600},
    {"id": "later", "server": "srv-a", "port": 0, "proxyPort": 1, "startIn": 3600, "duration": 600},
    {"id": "cancelled", "server": "srv-b", "port": 1, "startIn": -3600, "duration": 60, "status": "cancelled"}
  ]
})";
}

inline SimScenario testScenario()
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(testScenarioJson(), &error);
    if (!sc)
        qFatal("test scenario: %s", qPrintable(error));
    return *sc;
}
