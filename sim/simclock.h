#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The installation's notion of now: local wall-clock time, optionally running faster (or frozen,
// scale 0) and shiftable, so that tests drive schedule progression without waiting.
class SimClock
{
public:
    SimClock();

    QDateTime now() const;
    double timeScale() const { return m_dScale; }
    // Keeps the current instant and runs on at the new scale from it.
    void setTimeScale(double scale);
    void advance(qint64 ms);
    void setNow(const QDateTime &now);

private:
    QDateTime m_base;
    QElapsedTimer m_elapsed;
    double m_dScale = 1.0;
};
