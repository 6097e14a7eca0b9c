#include "cmn/timecode.h"

#include "cmn/timecodemode.h"
#include "trx/portstate.h"

#include <limits>

namespace {

int saturate(qint64 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

} // namespace

TimeCode::TimeCode() : rate{cmn::get_timecode_mode(30, false), 1000}
{
    registerMetaType();
}

TimeCode::TimeCode(const trx::PortState &state, int packedTc, int days)
    : rate(frameRateFor(state.systemFrequency, state.dropFrame)), tag(state.tcTag)
{
    registerMetaType();
    *this = atPacked(packedTc, days);
}

TimeCode::TimeCode(const trx::PortState &state) : TimeCode(state, state.currentTc, 0) {}

TimeCode TimeCode::atPacked(int packedTc, int days) const
{
    TimeCode tc;
    tc.rate = rate;
    tc.tag = tag;
    // A port that reports no timecode has no position; counting the -1 as digits would put it
    // days away from anything real.
    tc.valid = packedTc != -1;
    if (rate.mode && tc.valid) {
        const qint64 inDay = rate.mode->tc_to_frames(cmn::timecode_mode::tc_t(packedToBcd(packedTc)));
        tc.frames = saturate(inDay + qint64(days) * rate.mode->frames_per_day());
    }
    return tc;
}

TimeCode TimeCode::rebasedTo(const TimeCode &other) const
{
    if (foldSigned(rate, other.origin) == foldSigned(rate, origin))
        return *this;
    TimeCode tc;
    tc.origin = other.origin;
    tc.rate = other.rate;
    tc.tag = 1;
    tc.frames = foldIntoDay(rate, qint64(foldIntoDay(rate, qint64(frames) + origin)) - other.origin);
    tc.valid = true;
    tc.subFrame = 0;
    return tc;
}

QString TimeCode::toString() const
{
    return formatFrames(rate, foldIntoDay(rate, qint64(frames) + origin));
}

void TimeCode::registerMetaType()
{
    static const int id = qRegisterMetaType<TimeCode>("TimeCode");
    Q_UNUSED(id)
}

bool operator>=(const TimeCode &a, const TimeCode &b)
{
    const TimeCode r = b.rebasedTo(a);
    return a.frames > r.frames || (a.frames == r.frames && a.subFrame >= r.subFrame);
}

QString durationText(const TimeCode &end, const TimeCode &start)
{
    const TimeCode s = start.rebasedTo(end);
    int d = foldIntoDay(end.rate, qint64(end.frames) - s.frames);
    d = foldIntoDay(end.rate, qint64(d) + 1);
    return formatFrames(end.rate, d);
}
