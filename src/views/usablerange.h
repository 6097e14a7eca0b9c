#pragma once

#include <QList>
#include <QMetaType>

// A stretch of recorded material on a port: frames on the port's clock, `start` counted from
// 00:00:00:00 of the working date (earlier or later days add or subtract whole days of frames).
struct UsableRange
{
    qint32 start = 0;
    qint32 length = 0;
};

inline bool operator==(const UsableRange &a, const UsableRange &b)
{
    return a.start == b.start && a.length == b.length;
}

inline bool operator!=(const UsableRange &a, const UsableRange &b)
{
    return !(a == b);
}

Q_DECLARE_METATYPE(UsableRange)
Q_DECLARE_METATYPE(QList<UsableRange>)

// Registers "UsableRange" and "QList<UsableRange>" so that range lists can travel in queued calls.
// Safe to call more than once and from any thread.
void registerUsableRangeMetaTypes();
