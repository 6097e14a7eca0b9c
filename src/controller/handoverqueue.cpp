#include "controller/handoverqueue.h"

HandOverQueue::HandOverQueue(QObject *parent) : QObject(parent) {}

void HandOverQueue::post(std::function<void()> work)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_work.push_back(std::move(work));
    }
    // The posted call carries no data of ours across threads: the work waits in the queue.
    QMetaObject::invokeMethod(this, &HandOverQueue::runAll, Qt::QueuedConnection);
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
