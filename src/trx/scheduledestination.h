#pragma once

#include "trx/streamio.h"

#include <QMetaType>
#include <QString>

namespace trx {

// What a schedule knows about one of its destinations (master or proxy). text10 is declared
// seventh but travels last.
struct ScheduleDestination
{
    QString clipId;  // with the schedule's server id, addresses the clip (command 63)
    QString clipRef; // compared with a clip's reference bytes written as hexadecimal text
    QString text3;
    QString text4;
    QString text5;
    QString text6;
    QString text10;
    qint32 progress = -1; // -1: none
    qint32 status = 0;    // the master's status is the schedule's status
    bool flag9 = false;
};

bool operator==(const ScheduleDestination &a, const ScheduleDestination &b);
bool operator!=(const ScheduleDestination &a, const ScheduleDestination &b);

QDataStream &operator<<(QDataStream &s, const ScheduleDestination &v);
QDataStream &operator>>(QDataStream &s, ScheduleDestination &v);

template<> struct WireMin<ScheduleDestination>
{
    static constexpr qint64 bytes = 7 * 4 + 2 * 4 + 1;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ScheduleDestination)
