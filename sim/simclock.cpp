#include "simclock.h"

SimClock::SimClock() : m_base(QDateTime::currentDateTime())
{
    m_elapsed.start();
}

QDateTime SimClock::now() const
{
    return m_base.addMSecs(qint64(double(m_elapsed.elapsed()) * m_dScale));
}

void SimClock::setTimeScale(double scale)
{
    m_base = now();
    m_elapsed.restart();
    m_dScale = scale < 0 ? 0 : scale;
}

void SimClock::advance(qint64 ms)
{
    m_base = m_base.addMSecs(ms);
}

void SimClock::setNow(const QDateTime &now)
{
    m_base = now;
    m_elapsed.restart();
}
