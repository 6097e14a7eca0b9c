#include "notify/noticetracker.h"

#include "cmn/monotonic.h"
#include "controller/remainalert.h"
#include "controller/scheduletexts.h"
#include "notify/noticesink.h"
#include "trx/scheduleinfo.h"

namespace {

bool isErrorStatus(int status)
{
    const trx::ScheduleStatus s = trx::scheduleStatusOf(status);
    return s == trx::ScheduleStatus::TransferError || s == trx::ScheduleStatus::RecError;
}

} // namespace

NoticeTracker::NoticeTracker(NoticeSink *sink, Clock clock)
    : m_pSink(sink), m_clock(clock ? std::move(clock) : Clock(monotonicMs))
{}

void NoticeTracker::scheduleStatus(const QString &id, const QString &name, const QString &port, int status,
                                   bool baseline)
{
    const auto known = m_statuses.constFind(id);
    const bool changed = known == m_statuses.cend() ? !baseline : *known != status;
    m_statuses.insert(id, status);
    if (!changed || !isErrorStatus(status) || !m_kinds.scheduleError)
        return;
    m_pending.append({QStringLiteral("Schedule Error"),
                      QStringLiteral("%1 on %2: %3").arg(name, port, statusText(status))});
}

void NoticeTracker::scheduleGone(const QString &id)
{
    m_statuses.remove(id);
}

void NoticeTracker::linkState(bool connected)
{
    if (connected) {
        m_bLinkWasUp = true;
        m_iLinkLostAt = -1;
        m_bLinkNoticed = false;
        return;
    }
    // Never up yet (no address, or the manager not there at start): nothing was lost.
    if (!m_bLinkWasUp || m_bLinkNoticed)
        return;
    const qint64 now = m_clock();
    if (m_iLinkLostAt < 0) {
        m_iLinkLostAt = now;
        return;
    }
    if (now - m_iLinkLostAt <= LinkLostAfterMs)
        return;
    m_bLinkNoticed = true;
    if (m_kinds.linkLost)
        m_pending.append({QStringLiteral("TRXM disconnected"),
                          QStringLiteral("The link to TRXM has been down for more than %1 s.")
                              .arg(LinkLostAfterMs / 1000)});
}

void NoticeTracker::remainAlerts(const QList<RemainAlert> &alerts)
{
    QSet<trx::ServerPort> shortPorts;
    for (const RemainAlert &alert : alerts) {
        const trx::ServerPort key(alert.serverId, alert.port);
        shortPorts.insert(key);
        if (m_shortPorts.contains(key) || !m_kinds.remainTime)
            continue;
        m_pending.append({QStringLiteral("Remaining Time"), remainAlertLine({alert})});
    }
    // A port that recovers is told about again when it falls short the next time.
    m_shortPorts = shortPorts;
}

void NoticeTracker::flush()
{
    if (m_pending.isEmpty())
        return;
    const QList<Notice> pending = std::exchange(m_pending, {});
    if (!m_pSink)
        return;
    const int shown = pending.size() <= BurstLimit ? pending.size() : BurstLimit - 1;
    for (int i = 0; i < shown; ++i)
        m_pSink->notify(pending.at(i).title, pending.at(i).text);
    if (shown < pending.size()) {
        QStringList rest;
        for (int i = shown; i < pending.size(); ++i)
            rest << pending.at(i).text;
        m_pSink->notify(QStringLiteral("%1 more notices").arg(pending.size() - shown),
                        rest.join(QLatin1Char('\n')));
    }
}
