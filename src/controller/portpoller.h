#pragma once

#include "trx/records.h"

#include <QBasicTimer>
#include <QMap>
#include <QObject>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class HandOverQueue;

namespace trx {
class TRXMClient;
}

// The port poll: a worker object that lives on the poll thread and owns its timer there. Each
// tick asks the manager for the port states and record trains of all servers and hands the answer
// to the controller's thread, where `polled` is emitted. While an answer waits there, ticks are
// skipped, so that a slow controller thread gets no pile of polls.
class PortPoller : public QObject
{
    Q_OBJECT

public:
    struct Answer
    {
        QMap<trx::ServerPort, trx::PortState> states;
        QVector<trx::RecordTrainInfo> trains;
    };
    // Fills the answer on the poll thread; false when there is none this time.
    using Fetch = std::function<bool(Answer &)>;

    // Asks `client` for all servers; gives up when the link is down or the thread is told to stop.
    static Fetch fetchFrom(trx::TRXMClient *client);

    // `answers` lives on the thread that receives `polled`.
    PortPoller(Fetch fetch, HandOverQueue *answers, int intervalMs);

    ~PortPoller() override;

    // Before the poller's thread starts: the timer starts once that thread runs its events.
    void requestStart();
    // From another thread while the poller's thread runs its events: stops the timer there and
    // waits for that (a tick under way first ends) at most `timeoutMs`; false when it did not.
    bool stopAndWait(int timeoutMs);
    // One tick, on the poll thread.
    void poll();

    int pollCount() const { return m_iPollCount.load(); }
    int skippedCount() const { return m_iSkipped.load(); }

signals:
    // On the thread of the hand-over queue.
    void polled(const PortPoller::Answer &answer);

protected:
    // Posted events and the timer, rather than connections: nothing of a connection made on one
    // thread is then called on the other.
    bool event(QEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

private:
    const Fetch m_fetch;
    HandOverQueue *const m_pAnswers;
    const int m_iIntervalMs;
    QBasicTimer m_timer;
    // Made with the start, before the thread runs, so that the thread reads nothing made later.
    QEvent *m_pStopEvent = nullptr;
    std::mutex m_stopLock;
    std::condition_variable m_stopped;
    bool m_bStopped = false;
    std::atomic<bool> m_bPending{false};
    std::atomic<int> m_iPollCount{0};
    std::atomic<int> m_iSkipped{0};
};
