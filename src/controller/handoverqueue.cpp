#include "controller/handoverqueue.h"

HandOverQueue::HandOverQueue(QObject *parent) : QObject(parent)
{
    // Connected here, on the owner's thread: the call that a post queues then carries nothing of
    // ours across threads (a functor posted from another thread would be made there and run here).
    connect(this, &HandOverQueue::posted, this, &HandOverQueue::runAll, Qt::QueuedConnection);
}

void HandOverQueue::post(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_work.push_back(std::move(work));
    }
    emit posted();
}

void HandOverQueue::clear()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_work.clear();
}

void HandOverQueue::runAll()
{
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_work.empty())
                return;
            work = std::move(m_work.front());
            m_work.pop_front();
        }
        work();
    }
}
