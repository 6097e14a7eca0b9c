#include "controller/linkretry.h"

#include "cmn/monotonic.h"

LinkRetry::LinkRetry(const RetryIntervals &intervals, AddressKnown addressKnown, QObject *parent, Clock clock,
                     int tickMs)
    : QObject(parent)
    , m_intervals(intervals)
    , m_addressKnown(std::move(addressKnown))
    , m_clock(clock ? std::move(clock) : Clock(monotonicMs))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &LinkRetry::onTimeout);
    m_ticker.setInterval(tickMs);
    connect(&m_ticker, &QTimer::timeout, this, &LinkRetry::updateStatus);
}

void LinkRetry::cancel()
{
    m_timer.stop();
    m_bDue = false;
    m_ticker.stop();
}

void LinkRetry::succeeded()
{
    m_iFailedAttempts = 0;
    setStatusText(QString());
}

void LinkRetry::failed()
{
    schedule(retryDelayMs(m_intervals, m_iFailedAttempts++));
}

void LinkRetry::linkLost()
{
    m_iFailedAttempts = 0;
    schedule(m_intervals.firstDelayMs);
}

void LinkRetry::fireNow()
{
    m_timer.stop();
    onTimeout();
}

void LinkRetry::hold()
{
    ++m_iHolds;
}

void LinkRetry::release()
{
    if (m_iHolds > 0)
        --m_iHolds;
    if (m_iHolds == 0 && m_bDue) {
        m_bDue = false;
        // Queued, so that it comes once the action that was refused has returned.
        QMetaObject::invokeMethod(this, &LinkRetry::due, Qt::QueuedConnection);
    }
}

int LinkRetry::remainingMs() const
{
    return m_timer.isActive() ? m_timer.remainingTime() : -1;
}

void LinkRetry::schedule(int delayMs)
{
    m_iDelayMs = qMax(0, delayMs);
    m_iStartedMs = m_clock();
    m_timer.start(m_iDelayMs);
    m_ticker.start();
    updateStatus();
}

void LinkRetry::onTimeout()
{
    if (m_iHolds > 0) {
        m_bDue = true;
        return;
    }
    emit due();
}

void LinkRetry::updateStatus()
{
    if (!m_timer.isActive()) {
        m_ticker.stop();
        return;
    }
    const qint64 left = qMax<qint64>(0, m_iDelayMs - (m_clock() - m_iStartedMs));
    const qint64 seconds = (left + 999) / 1000;
    if (m_addressKnown && !m_addressKnown())
        setStatusText(QStringLiteral("TRXM address not set, retrying in %1 s").arg(seconds));
    else
        setStatusText(QStringLiteral("TRXM disconnected, retrying in %1 s").arg(seconds));
}

void LinkRetry::setStatusText(const QString &text)
{
    if (text == m_strStatus)
        return;
    m_strStatus = text;
    emit statusTextChanged(text);
}
