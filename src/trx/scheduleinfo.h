#pragma once

#include "trx/scheduledestination.h"
#include "trx/streamio.h"

#include <QDate>
#include <QList>
#include <QMetaType>
#include <QString>

namespace trx {

// What a schedule's status code (its master destination's status) means. The manager reports four
// codes for waiting and two for completed; None is code 0, Other a code it does not list.
enum class ScheduleStatus {
    None,
    Scheduled,
    Waiting,
    InProgress,
    Completed,
    Cancelling,
    Cancelled,
    TransferError,
    RecError,
    UnknownError,
    Other,
};

ScheduleStatus scheduleStatusOf(qint32 code);

// Stop is still worth sending: the transfer has neither completed nor failed for good. A status
// the manager has not reported yet counts as still transferring.
bool mayStillTransfer(ScheduleStatus status);
// Waiting for its material or transferring it.
bool isRunning(ScheduleStatus status);
// Still to be recorded, so the port's remaining recording time must cover it.
bool countsForRemainTime(ScheduleStatus status);
// An open-end schedule keeps its port from here on until it finishes (scheduled, waiting or in
// progress); once finished, cancelled or failed it ends where it started. Every check that meets
// an open end uses this, so a cancelled open-end schedule blocks nothing.
bool blocksPortWhileOpen(ScheduleStatus status);
inline bool isFinished(ScheduleStatus status)
{
    return !blocksPortWhileOpen(status);
}

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

    ScheduleStatus status() const { return scheduleStatusOf(master.status); }
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
Q_DECLARE_METATYPE(trx::ScheduleStatus)
