#pragma once

#include "trx/records.h"

#include <QMap>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <atomic>
#include <functional>

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

    // On the poll thread.
    void start();
    void stop();
    void poll();

    int pollCount() const { return m_iPollCount.load(); }
    int skippedCount() const { return m_iSkipped.load(); }

signals:
    // On the thread of the hand-over queue.
    void polled(const PortPoller::Answer &answer);

private:
    const Fetch m_fetch;
    HandOverQueue *const m_pAnswers;
    const int m_iIntervalMs;
    QTimer m_timer{this};
    std::atomic<bool> m_bPending{false};
    std::atomic<int> m_iPollCount{0};
    std::atomic<int> m_iSkipped{0};
};
