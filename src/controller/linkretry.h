#pragma once

#include "controller/controlleroptions.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// When the controller tries the manager again after a failed connection or a lost link: one
// pending attempt at a time, the waits growing with the failed attempts, held back while a
// refusal message is open, and the status-line text that counts the wait down.
class LinkRetry : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;
    using AddressKnown = std::function<bool()>;

    // `addressKnown` picks the text; `clock` (milliseconds, monotonic) and `tickMs` are for tests.
    LinkRetry(const RetryIntervals &intervals, AddressKnown addressKnown, QObject *parent = nullptr,
              Clock clock = Clock(), int tickMs = 1000);

    // An attempt starts: nothing pending any more.
    void cancel();
    // The attempt succeeded: the waits start again from the first, and the text goes.
    void succeeded();
    // The attempt failed: the next one after the next wait.
    void failed();
    // A link that was up is lost: the first short wait.
    void linkLost();
    // The operator asks for the attempt now.
    void fireNow();

    // While a refusal message runs its own event loop, a due attempt waits: it would delete the
    // panel whose button handler is still under the message. Holds nest.
    void hold();
    void release();

    // Milliseconds until the pending attempt; -1 when none is pending.
    int remainingMs() const;
    // The wait before the pending (or last) attempt.
    int delayMs() const { return m_iDelayMs; }
    QString statusText() const { return m_strStatus; }

signals:
    // Time for the next attempt.
    void due();
    void statusTextChanged(QString text);

private:
    void schedule(int delayMs);
    void onTimeout();
    void updateStatus();
    void setStatusText(const QString &text);

    const RetryIntervals m_intervals;
    const AddressKnown m_addressKnown;
    const Clock m_clock;
    QTimer m_timer;
    QTimer m_ticker;
    qint64 m_iStartedMs = 0;
    int m_iDelayMs = 0;
    int m_iFailedAttempts = 0;
    int m_iHolds = 0;
    bool m_bDue = false;
    QString m_strStatus;
};
