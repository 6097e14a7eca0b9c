#pragma once

#include "trx/serverport.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>

class NoticeSink;
struct RemainAlert;

// Which kinds of notification the operator wants.
struct NoticeKinds
{
    bool scheduleError = true;
    bool linkLost = true;
    bool remainTime = true;
};

// Decides what the operator is told about: a schedule turning Transfer Error or Rec Error, the link
// down for more than 30 s, a port falling short of recording time. Each at most once per schedule
// or port and change of state; what comes together is sent together on flush(), at most a few
// notices and one summary, so that a storm of pushes never becomes a storm of notifications.
class NoticeTracker
{
public:
    using Clock = std::function<qint64()>;
    static constexpr qint64 LinkLostAfterMs = 30 * 1000;
    static constexpr int BurstLimit = 3;

    // `sink` is not owned; `clock` gives milliseconds, the monotonic clock when empty.
    explicit NoticeTracker(NoticeSink *sink, Clock clock = Clock());

    void setKinds(const NoticeKinds &kinds) { m_kinds = kinds; }
    NoticeKinds kinds() const { return m_kinds; }

    // A schedule's status as now known. `baseline`: a state found rather than seen changing (the
    // list at start-up), remembered without notice.
    void scheduleStatus(const QString &id, const QString &name, const QString &port, int status,
                        bool baseline);
    void scheduleGone(const QString &id);
    // The link as now known; called at least once a second while it is down.
    void linkState(bool connected);
    // The ports now short of recording time.
    void remainAlerts(const QList<RemainAlert> &alerts);
    // Sends what came up since the last flush.
    void flush();

    int pendingCount() const { return m_pending.size(); }

private:
    struct Notice
    {
        QString title;
        QString text;
    };

    NoticeSink *m_pSink = nullptr;
    Clock m_clock;
    NoticeKinds m_kinds;
    QList<Notice> m_pending;
    QMap<QString, int> m_statuses;
    QSet<trx::ServerPort> m_shortPorts;
    bool m_bLinkWasUp = false;
    qint64 m_iLinkLostAt = -1;
    bool m_bLinkNoticed = false;
};
