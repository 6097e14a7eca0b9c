#pragma once

#include "trx/scheduledestination.h"
#include "trx/streamio.h"

#include <QDate>
#include <QList>
#include <QMetaType>
#include <QString>

namespace trx {

// A schedule (task) as the manager stores it. On the wire the dates and timecodes interleave:
// start date, start timecode, end date, end timecode.
class ScheduleInfo
{
public:
    // Values of `type`.
    enum Type : qint32 { Normal = 0, OpenEnd = 1, Maintenance = 255 };

    ScheduleInfo() = default;
    ScheduleInfo(const ScheduleInfo &) = default;
    ScheduleInfo &operator=(const ScheduleInfo &) = default;
    virtual ~ScheduleInfo();

    QString id;
    QString mainScheduleId; // set on a proxy schedule: the schedule it is the proxy of
    QString serverId;
    QString name;
    bool withProxy = false;
    QDate startDate;
    QDate endDate;
    qint32 startTc = -1; // integer-packed
    qint32 endTc = -1;   // integer-packed; -1: open end
    qint32 portNo = -1;
    qint32 type = Normal;
    ScheduleDestination master;
    ScheduleDestination proxy;
};

bool operator==(const ScheduleInfo &a, const ScheduleInfo &b);
bool operator!=(const ScheduleInfo &a, const ScheduleInfo &b);

QDataStream &operator<<(QDataStream &s, const ScheduleInfo &v);
QDataStream &operator>>(QDataStream &s, ScheduleInfo &v);

template<> struct WireMin<ScheduleInfo>
{
    static constexpr qint64 bytes = 4 * 4 + 1 + 2 * 8 + 4 * 4 + 2 * WireMin<ScheduleDestination>::bytes;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ScheduleInfo)
