#pragma once

#include <QElapsedTimer>

// Milliseconds on a clock that never goes back, counted from the first call: the default clock of
// the parts that take an injectable one for their tests.
inline qint64 monotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}
