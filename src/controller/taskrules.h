#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

struct TimeCode;

namespace trx {
class ScheduleInfo;
struct PortState;
} // namespace trx

// When a schedule's context menu offers Edit, Delete and Stop. Positions are built on the master's
// clock; `now` is the master's current timecode and `today` the working date.

enum class EditVerdict { Editable, NotEditable, ClipTest };

// The date and timecode part of the edit rule. ClipTest: editable only when the schedule's clip
// is found and still the one it made (clipTestPasses).
EditVerdict editVerdict(const trx::ScheduleInfo &sch, const trx::PortState &master, const TimeCode &now,
                        const QDate &today);

// `found`: the clip request succeeded; `clipRef` its reference bytes.
bool clipTestPasses(bool found, const QByteArray &clipRef, const trx::ScheduleInfo &sch);

bool deletable(const trx::ScheduleInfo &sch, const trx::PortState &master, const TimeCode &now,
               const QDate &today);

// Stop is offered only while the transfer runs.
bool stoppable(const trx::ScheduleInfo &sch);
