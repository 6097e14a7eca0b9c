#include "controller/portpoller.h"

#include "controller/handoverqueue.h"
#include "trx/trxmclient.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimerEvent>

#include <chrono>
#include <utility>

namespace {

const QEvent::Type StartEvent = QEvent::Type(QEvent::User + 1);
const QEvent::Type StopEvent = QEvent::Type(QEvent::User + 2);

} // namespace

PortPoller::Fetch PortPoller::fetchFrom(trx::TRXMClient *client)
{
    return [client](Answer &answer) {
        if (!client->isConnected())
            return false;
        QThread *self = QThread::currentThread();
        QMap<qint32, trx::PortState> byNumber;
        if (!client->getPortStates(QString(), byNumber, &answer.states) || self->isInterruptionRequested())
            return false;
        return client->getRecordTrains(QString(), QMap<qint32, QString>(), answer.trains) &&
               !self->isInterruptionRequested();
    };
}

PortPoller::PortPoller(Fetch fetch, HandOverQueue *answers, int intervalMs)
    : m_fetch(std::move(fetch)), m_pAnswers(answers), m_iIntervalMs(intervalMs)
{}

PortPoller::~PortPoller()
{
    delete m_pStopEvent;
}

void PortPoller::requestStart()
{
    delete m_pStopEvent;
    m_pStopEvent = new QEvent(StopEvent);
    QCoreApplication::postEvent(this, new QEvent(StartEvent));
}

bool PortPoller::stopAndWait(int timeoutMs)
{
    QEvent *stop = std::exchange(m_pStopEvent, nullptr);
    if (!stop)
        return true;
    std::unique_lock<std::mutex> lock(m_stopLock);
    m_bStopped = false;
    QCoreApplication::postEvent(this, stop);
    return m_stopped.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_bStopped; });
}

bool PortPoller::event(QEvent *e)
{
    if (e->type() == StartEvent) {
        m_timer.start(m_iIntervalMs, this);
        return true;
    }
    if (e->type() == StopEvent) {
        m_timer.stop();
        // Told under the lock: the waiting thread may destroy the poller as soon as it returns.
        std::lock_guard<std::mutex> lock(m_stopLock);
        m_bStopped = true;
        m_stopped.notify_all();
        return true;
    }
    return QObject::event(e);
}

void PortPoller::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_timer.timerId())
        poll();
    else
        QObject::timerEvent(e);
}

void PortPoller::poll()
{
    if (m_bPending.load()) {
        ++m_iSkipped;
        return;
    }
    Answer answer;
    if (!m_fetch(answer))
        return;
    ++m_iPollCount;
    m_bPending = true;
    m_pAnswers->post([this, answer] {
        emit polled(answer);
        m_bPending = false;
    });
}
