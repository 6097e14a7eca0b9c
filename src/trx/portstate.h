#pragma once

#include "trx/streamio.h"

#include <QMetaType>
#include <QString>

namespace trx {

// State of one port as the manager reports it. Fields named intN/flagN/... are carried: nothing
// here uses them, but they are kept so that the record can be written back unchanged. N is the
// position in the stream, which differs from the declaration order for positions 12 and 13.
struct PortState
{
    qint32 stateCode = 0;      // 1: the port is in service; the controller ignores the others
    qint32 recordPosition = 0; // frames recorded so far in the current record train
    qint32 int3 = 0;
    qint32 currentTc = -1; // current timecode, integer-packed; -1 for none
    qint32 int5 = 0;
    qint32 tcTag = 0; // copied into the timecode values built from this state
    qint32 int7 = 0;
    bool flag8 = false;
    bool recording = false;
    bool dropFrame = false;
    qint32 systemFrequency = 0; // frame-rate code
    qint32 int13 = 0;
    qint32 int12 = 0;
    qint32 int14 = 0;
    QString text15;
    qint32 int16 = 0;
    qint16 short17 = 0;
};

bool operator==(const PortState &a, const PortState &b);
bool operator!=(const PortState &a, const PortState &b);

QDataStream &operator<<(QDataStream &s, const PortState &v);
QDataStream &operator>>(QDataStream &s, PortState &v);

template<> struct WireMin<PortState>
{
    static constexpr qint64 bytes = 12 * 4 + 3 + 4 + 2;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::PortState)
