#pragma once

#include "cmn/framerate.h"
#include "trx/records.h"
#include "views/usablerange.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

#include <mutex>
#include <optional>

// Port status computations the controller applies to the views: remaining-time texts, usable
// ranges of recorded material, timecode link states and the 24-hour line. No widgets here.

// Where the recording in progress on a port began: its start frame on the port's clock, the rate
// that counts it and the day it was created on the master clock.
struct TrainStart
{
    int startFrame = 0;
    FrameRate rate;
    QDate date;
};

// The 30 non-drop reference a port gets before the poll has seen its recording.
TrainStart defaultTrainStart();

// "%1H %2M" (each at least two digits) for minutes >= 0; the server's kind-3 text otherwise.
QString remainTimeText(int minutes, const QString &kind3Text);
// One part of a remaining-time value list: a decimal number of minutes, 0 when it is none.
int remainMinutesOf(const QString &part);
// The frames of a "hhH mmM" text at `rate`: whole days of frames for the hours past 24 plus the
// time of day. Nothing when the text does not hold both numbers or the rate is unknown; values
// past the 32-bit range are clamped.
std::optional<int> remainTextToFrames(const QString &text, const FrameRate &rate);

// Link (1) when the port's timecode lies less than one second of master frames from the master's,
// UnLink (3) otherwise. Ports on the master's frame count are compared across midnight.
int linkStatus(const trx::PortState &port, const trx::PortState &master);

// The train's creation date and time ("yyyyMMdd" + "HHmmss"), moved by the seconds offset to the
// master clock; invalid when the texts do not read as a date and time.
QDateTime trainCreation(const trx::RecordTrainInfo &train, int offsetSecs);

// `frames` counted at `from`'s real rate, as frames of `to` at the same instant (rounded to the
// nearest frame). Unchanged when either rate is unknown or both are the same.
qint64 framesOnRate(qint64 frames, const FrameRate &from, const FrameRate &to);

// The stretch a train offers schedules, on the working date's frame axis counted at `axis` (the
// master's rate; the train's own when `axis` is unknown): a port on another rate than the master's
// would otherwise be drawn and checked as if its frames were the master's. Nothing for a port that
// is not in service (state code other than 1), a train whose creation cannot be read, or one
// whose position does not fit in 32 bits.
std::optional<UsableRange> usableRangeFor(const trx::RecordTrainInfo &train, const trx::PortState &state,
                                          const QDate &workingDate, int offsetSecs,
                                          const FrameRate &axis = FrameRate());

// The usable ranges of every train that has a port state, grouped by port in train order.
QMap<trx::ServerPort, QList<UsableRange>> usableRangesFor(const QVector<trx::RecordTrainInfo> &trains,
                                                          const QMap<trx::ServerPort, trx::PortState> &states,
                                                          const QDate &workingDate, int offsetSecs,
                                                          const FrameRate &axis = FrameRate());

// The reference of a train still being recorded; nothing when its creation cannot be read.
std::optional<TrainStart> trainStartFor(const trx::RecordTrainInfo &train, int offsetSecs);

// Frame of the 24-hour line: one day after the recording in progress began, on the working date's
// axis counted at `axis` (the train's own rate when unknown). Nothing for an unknown rate or a
// position past 32 bits.
std::optional<int> line24hFrame(const TrainStart &start, const QDate &workingDate,
                                const FrameRate &axis = FrameRate());

// Whether one port's ranges cover a schedule from frame `start` to `end` when the master is at
// `now`: any range covers a start that is not in the past; a past start must lie inside a range
// that also holds the end, or inside the last range (still being recorded) when the end is not in
// the past. A port without ranges covers nothing.
bool rangesAccept(QList<UsableRange> ranges, qint32 start, qint32 end, qint32 now);

// The remaining-time texts of the manager's servers: kind 3 is the text shown for ports out of
// loop recording, kind 5 the per-camera minutes. accept() tells what to show, if anything. Called
// from the link's thread while the GUI thread reads the kind-3 texts, hence the lock.
class RemainTimeTexts
{
public:
    // The value list to show for the server now, or nothing when nothing changed or the kind is
    // not one of ours. A repeated kind-5 text of the same server shows nothing.
    std::optional<QString> accept(const QString &serverId, int kind, const QString &text);
    QString kind3Text(const QString &serverId) const;

private:
    mutable std::mutex m_mutex;
    QMap<QString, QString> m_mapRemainKind3;
    QMap<QString, QString> m_mapRemainKind5;
};
