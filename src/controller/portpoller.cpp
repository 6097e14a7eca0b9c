#include "controller/portpoller.h"

#include "controller/handoverqueue.h"
#include "trx/trxmclient.h"

#include <QThread>

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
{
    connect(&m_timer, &QTimer::timeout, this, &PortPoller::poll);
}

void PortPoller::start()
{
    m_timer.start(m_iIntervalMs);
}

void PortPoller::stop()
{
    m_timer.stop();
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
