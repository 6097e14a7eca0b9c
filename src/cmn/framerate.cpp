#include "cmn/framerate.h"

#include "cmn/timecodemode.h"

FrameRate frameRateFor(int rateCode, bool dropFrame)
{
    switch (rateCode) {
    case 23:
    case 47:
        return {cmn::get_timecode_mode(24, false), 1001};
    case 24:
    case 48:
        return {cmn::get_timecode_mode(24, false), 1000};
    case 25:
    case 50:
    case 75:
    case 100:
    case 150:
    case 200:
    case 250:
    case 300:
    case 400:
    case 500:
    case 600:
    case 800:
    case 1000:
    case 1200:
    case 1500:
    case 1600:
        return {cmn::get_timecode_mode(25, false), 1000};
    case 29:
    case 59:
    case 89:
    case 119:
    case 179:
    case 239:
    case 299:
    case 359:
    case 479:
    case 599:
    case 719:
    case 959:
    case 1199:
    case 1439:
    case 1799:
    case 1919:
        return {cmn::get_timecode_mode(30, dropFrame), 1001};
    default:
        return {cmn::get_timecode_mode(30, false), 1000};
    }
}

int foldIntoDay(const FrameRate &rate, qint64 frames)
{
    if (!rate.mode)
        return 0;
    const qint64 perDay = rate.mode->frames_per_day();
    const qint64 r = frames % perDay;
    return int(r < 0 ? r + perDay : r);
}

int foldSigned(const FrameRate &rate, int frames)
{
    if (!rate.mode)
        return 0;
    const int folded = foldIntoDay(rate, frames);
    return folded >= rate.mode->frames_per_half_day() ? folded - rate.mode->frames_per_day() : folded;
}
