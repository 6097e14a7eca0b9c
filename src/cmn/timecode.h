#pragma once

#include "cmn/framerate.h"
#include "cmn/timecodetext.h"

#include <QMetaType>
#include <QString>

namespace trx {
struct PortState;
}

// A frame position on a port's timecode clock. `frames` counts from `origin` (always 0 in the
// values this program builds) and may run past one day when a day offset was added; `tag` is
// carried from the port state and takes no part in arithmetic or comparison. Registered as the
// meta-type "TimeCode" on first construction, so it can travel through queued calls.
struct TimeCode
{
    qint32 origin = 0;
    FrameRate rate;
    qint32 tag = 1;
    qint32 frames = 0;
    bool valid = false;
    qint32 subFrame = 0;

    // 00:00:00:00 at 30 non-drop, not valid.
    TimeCode();
    // `packedTc` (integer-packed) on the port's clock, `days` whole days after the working date.
    // A missing timecode (-1) gives frames 0 and an invalid value.
    TimeCode(const trx::PortState &state, int packedTc, int days);
    // The port's current timecode.
    explicit TimeCode(const trx::PortState &state);

    // Another timecode on the same clock (rate, tag), built as the port-state constructor does.
    TimeCode atPacked(int packedTc, int days) const;

    // The same instant on `other`'s origin and rate.
    TimeCode rebasedTo(const TimeCode &other) const;

    QString toString() const;

    static void registerMetaType();
};

Q_DECLARE_METATYPE(TimeCode)

bool operator>=(const TimeCode &a, const TimeCode &b);

// The inclusive length from `start` to `end` as timecode text, folded into one day, so an end
// past midnight counts forward (23:59:59:29 to 00:00:00:00 is two frames).
QString durationText(const TimeCode &end, const TimeCode &start);
