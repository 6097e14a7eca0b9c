#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Work for the thread this object lives on, handed over from any other thread and run there in
// the order it was handed over. A standard mutex guards the queue, so that ThreadSanitizer follows
// the hand-over that Qt's uninstrumented event queue hides from it.
class HandOverQueue : public QObject
{
    Q_OBJECT

public:
    explicit HandOverQueue(QObject *parent = nullptr);

    // Any thread.
    void post(std::function<void()> work);
    // Drops what has not run yet (the threads that post must have stopped).
    void clear();

signals:
    void posted();

private:
    void runAll();

    std::mutex m_lock;
    std::deque<std::function<void()>> m_work;
};
