#pragma once

// A delegate that records what the client hands it, for tests. Pushes arrive on the client's
// socket thread; every accessor copies under the lock.

#include "trx/trxmclientdelegate.h"

#include <QList>
#include <QPair>
#include <mutex>

class RecordingDelegate : public trx::TRXMClientDelegate
{
public:
    struct Remain
    {
        QString serverId;
        qint32 kind = 0;
        QString value;
    };
    struct Folders
    {
        QString mgwId;
        QString driveId;
        QList<trx::MgwFolderInfo> folders;
    };

    void connectionStateChanged(bool connected, int socketError) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_links.append(qMakePair(connected, socketError));
    }
    void portStatesChanged(const QString &serverId, const QMap<qint32, trx::PortState> &states) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_portStates.append(qMakePair(serverId, states));
    }
    void remainTimeChanged(const QString &serverId, qint32 kind, const QString &value) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_remain.append(Remain{serverId, kind, value});
    }
    void recordTrainsReceived(const QString &serverId, const QVector<trx::RecordTrainInfo> &trains) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_trainPushes.append(qMakePair(serverId, trains.size()));
    }
    void recordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_trainChanges.append(qMakePair(serverId, train));
    }
    void serverInfoChanged(const trx::ServerInfo &server) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_serverChanges.append(server);
    }
    void mgwsChanged(const QList<trx::MgwInfo> &mgws) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_mgws.append(mgws);
    }
    void mgwFoldersReceived(const QString &mgwId, const QString &driveId,
                            const QList<trx::MgwFolderInfo> &folders) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_folders.append(Folders{mgwId, driveId, folders});
    }
    void schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_scheduleLists.append(schedules);
    }
    void scheduleAdded(const trx::ScheduleInfo &schedule) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_added.append(schedule);
    }
    void scheduleChanged(const trx::ScheduleInfo &schedule, qint32 flags) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_changed.append(qMakePair(schedule, flags));
    }
    void scheduleRemoved(const QString &id) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_removed.append(id);
    }
    void masterPortSynced(const trx::MasterPortSync &sync, qint32 flags) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_syncs.append(qMakePair(sync, flags));
    }

    QList<QPair<bool, int>> links() const { return locked(m_links); }
    QList<QPair<QString, QMap<qint32, trx::PortState>>> portStates() const { return locked(m_portStates); }
    QList<Remain> remain() const { return locked(m_remain); }
    QList<QPair<QString, int>> trainPushes() const { return locked(m_trainPushes); }
    QList<QPair<QString, trx::RecordTrainInfo>> trainChanges() const { return locked(m_trainChanges); }
    QList<trx::ServerInfo> serverChanges() const { return locked(m_serverChanges); }
    QList<QList<trx::MgwInfo>> mgws() const { return locked(m_mgws); }
    QList<Folders> folders() const { return locked(m_folders); }
    QList<QList<trx::ScheduleInfo>> scheduleLists() const { return locked(m_scheduleLists); }
    QList<trx::ScheduleInfo> added() const { return locked(m_added); }
    QList<QPair<trx::ScheduleInfo, qint32>> changed() const { return locked(m_changed); }
    QList<QString> removed() const { return locked(m_removed); }
    QList<QPair<trx::MasterPortSync, qint32>> syncs() const { return locked(m_syncs); }

    int portStateCount() const
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        return m_portStates.size();
    }
    // The last change pushed for a schedule; a default record when none came.
    trx::ScheduleInfo lastChange(const QString &id) const
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        for (int i = m_changed.size() - 1; i >= 0; --i)
            if (m_changed.at(i).first.id == id)
                return m_changed.at(i).first;
        return trx::ScheduleInfo();
    }
    QList<int> progressOf(const QString &id) const
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        QList<int> values;
        for (const auto &c : m_changed)
            if (c.first.id == id)
                values.append(c.first.master.progress);
        return values;
    }
    void clear()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_portStates.clear();
        m_remain.clear();
        m_added.clear();
        m_changed.clear();
        m_removed.clear();
        m_scheduleLists.clear();
        m_folders.clear();
    }

private:
    template<typename T> T locked(const T &v) const
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        return v;
    }

    // A standard mutex, so that ThreadSanitizer sees the hand-over in an uninstrumented Qt.
    mutable std::mutex m_mutex;
    QList<QPair<bool, int>> m_links;
    QList<QPair<QString, QMap<qint32, trx::PortState>>> m_portStates;
    QList<Remain> m_remain;
    QList<QPair<QString, int>> m_trainPushes;
    QList<QPair<QString, trx::RecordTrainInfo>> m_trainChanges;
    QList<trx::ServerInfo> m_serverChanges;
    QList<QList<trx::MgwInfo>> m_mgws;
    QList<Folders> m_folders;
    QList<QList<trx::ScheduleInfo>> m_scheduleLists;
    QList<trx::ScheduleInfo> m_added;
    QList<QPair<trx::ScheduleInfo, qint32>> m_changed;
    QList<QString> m_removed;
    QList<QPair<trx::MasterPortSync, qint32>> m_syncs;
};
