#pragma once

#include "platform/idbg.h"
#include "trx/trxmclient.h"
#include "trx/trxmclientdelegate.h"

#include <QDir>
#include <QtGlobal>
#include <QVector>

// A delegate that keeps copies of what it is handed, as the controller's overrides do, so that
// the copies of decoded values run under the sanitizers too.
class CopyingDelegate : public trx::TRXMClientDelegate
{
public:
    void clipsReceived(const QString &, const QVector<trx::ClipInfo> &clips) override { m_clips = clips; }
    void recordTrainsReceived(const QString &, const QVector<trx::RecordTrainInfo> &trains) override
    {
        m_trains = trains;
    }
    void portStatesChanged(const QString &, const QMap<qint32, trx::PortState> &states) override
    {
        m_states = states;
    }
    void serversReceived(const QVector<trx::ServerInfo> &servers) override { m_servers = servers; }
    void mgwsChanged(const QList<trx::MgwInfo> &mgws) override { m_mgws = mgws; }
    void schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64) override
    {
        m_schedules = schedules;
    }
    void onPush123(const QString &, const QList<trx::VflObject> &objects) override { m_vfl = objects; }
    void onPush124(const QString &, const QMap<QString, QList<trx::FloatSample>> &samples) override
    {
        m_samples = samples;
    }

private:
    QVector<trx::ClipInfo> m_clips;
    QVector<trx::RecordTrainInfo> m_trains;
    QMap<qint32, trx::PortState> m_states;
    QVector<trx::ServerInfo> m_servers;
    QList<trx::MgwInfo> m_mgws;
    QList<trx::ScheduleInfo> m_schedules;
    QList<trx::VflObject> m_vfl;
    QMap<QString, QList<trx::FloatSample>> m_samples;
};

// One client for the whole run: its heartbeat never fires and it is never connected, so only the
// decoders run. Log lines go to a small rotated file in the temporary folder; Qt debug output is
// dropped.
inline trx::TRXMClient *fuzzClient()
{
    static trx::TRXMClient *client = [] {
        static const QByteArray logPath =
            QDir::temp().filePath(QStringLiteral("tarsa-fuzz.log")).toLocal8Bit();
        setLogFilePath(logPath.constData());
        setLogRotation(1024 * 1024, 1);
        // The free-text diagnostics ("Error Push Type: ...") would only slow the run down.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        static CopyingDelegate delegate;
        trx::LinkIntervals intervals;
        intervals.heartbeatIntervalMs = 1 << 30;
        return new trx::TRXMClient(&delegate, intervals);
    }();
    return client;
}
