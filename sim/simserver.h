#pragma once

#include "simchurn.h"
#include "simclock.h"
#include "simfaults.h"
#include "siminstallation.h"

#include "trx/catalogue.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QTcpServer;
class QTimer;
class SimConnection;

// The manager's side of the protocol: accepts clients, answers every command from the
// installation's state, sends pushes (port states every second, remaining time, schedule
// changes) to the clients that asked for them, and applies the fault switches. Lives on one
// thread; in-process users reach it through SimRunner.
class SimServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int PortStateIntervalMs = 1000;
    static constexpr int RemainTimeEveryTicks = 10;

    explicit SimServer(const SimScenario &scenario, QObject *parent = nullptr);
    ~SimServer() override;

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    quint16 serverPort() const;
    QHostAddress serverAddress() const;

    SimClock &clock() { return m_clock; }
    SimInstallation &installation() { return *m_pInstallation; }

    const SimFaults &faults() const { return m_faults; }
    // A new drop delay applies to the links open now (counted from now) and to later ones.
    void setFaults(const SimFaults &faults);

    // One-shot faults, to every client at once.
    void sendUnknownPush();
    void sendUnknownKind();
    void sendAbsurdLength();
    void dropLinks();

    // Adds, changes and removes schedules every intervalMs (see SimChurn); 0 stops it.
    void setChurnIntervalMs(int intervalMs);
    const SimChurn &churn() const { return *m_pChurn; }

    // Moves the clock on and lets schedules progress at once; tests use this with scale 0.
    void advanceClock(qint64 ms);
    // Runs the periodic work now: schedule progression and port-state pushes.
    void tick();

    // Schedules are read from and saved to this file (atomically, shortly after each change).
    bool useStateFile(const QString &path, QString *error);
    bool saveState(QString *error);

    int connectionCount() const { return m_connections.size(); }
    // Command codes received, in order, for tests.
    QList<int> receivedCodes() const { return m_receivedCodes; }
    void clearReceivedCodes() { m_receivedCodes.clear(); }

    // Called by a connection for every well-formed request.
    void handleRequest(SimConnection *connection, int code, const QString &requestId,
                       const QByteArray &payload);

private:
    struct Reply
    {
        int status = 1;
        QByteArray payload;
        QList<QPair<int, QByteArray>> pushes; // to the requester, after the response
    };

    void onNewConnection();
    void onConnectionClosed(SimConnection *connection);
    void sendPortStates(const QString &serverId, SimConnection *only = nullptr);
    void sendRemainTimes(const QString &serverId, SimConnection *only = nullptr);
    void broadcast(trx::PushType type, const QByteArray &payload);
    void notify(const QString &serverId, trx::PushType type, const QByteArray &payload);
    void onStormTick();
    void scheduleSave();
    void injectScheduled(SimConnection *connection);

    // The command handlers (simcommands.cpp). They fill the reply; a non-1 status refuses.
    struct Call;
    void dispatch(SimConnection *connection, int code, const QByteArray &payload, Reply &reply);

    SimClock m_clock;
    SimInstallation *m_pInstallation = nullptr;
    QTcpServer *m_pServer = nullptr;
    QList<SimConnection *> m_connections;
    SimFaults m_faults;
    QTimer *m_pTickTimer = nullptr;
    QTimer *m_pStormTimer = nullptr;
    QTimer *m_pSaveTimer = nullptr;
    QTimer *m_pChurnTimer = nullptr;
    std::unique_ptr<SimChurn> m_pChurn;
    double m_dStormCredit = 0;
    int m_iTicks = 0;
    QString m_strStateFile;
    QList<int> m_receivedCodes;
};
