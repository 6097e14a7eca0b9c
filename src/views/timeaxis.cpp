#include "views/timeaxis.h"

#include "cmn/framerate.h"
#include "cmn/timecodemode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Frame-accurate results must not lose a frame to the binary representation of the slider step.
int truncateFrames(double v)
{
    return int(std::trunc(v + (v >= 0 ? 1e-7 : -1e-7)));
}

int clampToInt(double v)
{
    return int(std::max<double>(std::numeric_limits<int>::min(),
                                std::min<double>(std::numeric_limits<int>::max(), std::trunc(v))));
}

} // namespace

ZoomLevels defaultZoomLevels()
{
    return {{300, 1800, 18000, 108000, 2592000, 38880000}};
}

ZoomLevels zoomLevelsFor(const FrameRate &rate)
{
    const cmn::timecode_mode *mode = rate.mode;
    if (!mode)
        return defaultZoomLevels();
    const int day = mode->frames_per_day();
    return {{mode->tc_to_frames(0x00001000u), mode->tc_to_frames(0x00010000u),
             mode->tc_to_frames(0x00100000u), mode->tc_to_frames(0x01000000u), day, 15 * day}};
}

int zoomViewFrames(double value, int maximum, const ZoomLevels &levels, int current)
{
    if (maximum <= 0)
        return current;
    const double step = maximum / 5.0;
    // Piece k runs from k*step (level L(5-k)) up to (k+1)*step (level L(4-k)); the top piece
    // includes its upper end.
    for (int k = 4; k >= 0; --k) {
        const double lo = k * step;
        const double hi = (k + 1) * step;
        const bool inside = k == 4 ? (value >= lo && value <= hi) : (value >= lo && value < hi);
        if (!inside)
            continue;
        const double levelHi = levels[std::size_t(4 - k)];
        const double levelLo = levels[std::size_t(5 - k)];
        return truncateFrames(levelHi + (levelHi - levelLo) / step * (value - hi));
    }
    return current;
}

double zoomSliderValue(int frames, int maximum, const ZoomLevels &levels)
{
    if (maximum <= 0)
        return 0.0;
    const double step = maximum / 5.0;
    const double f = std::clamp<double>(frames, levels[0], levels[5]);
    // Piece k runs from L(5-k) at k*step down to L(4-k) at (k+1)*step.
    for (int k = 0; k < 5; ++k) {
        const double hi = levels[std::size_t(5 - k)];
        const double lo = levels[std::size_t(4 - k)];
        if (f <= hi && f >= lo && hi > lo)
            return k * step + (hi - f) / (hi - lo) * step;
    }
    return f >= levels[5] ? 0.0 : double(maximum);
}

int axisFramesPerDay(const FrameRate &rate)
{
    if (rate.mode)
        return rate.mode->frames_per_day();
    return cmn::get_timecode_mode(30, false)->frames_per_day();
}

ScrollRange computeScrollRange(int framesPerDay, int currentFrame, int viewFrames, int width)
{
    ScrollRange r;
    r.step = std::max(1, viewFrames / 20);
    if (framesPerDay <= 0)
        return r;
    const double span = 15.0 * framesPerDay;
    const double after = 8.0 * framesPerDay - currentFrame;
    const double before = 7.0 * framesPerDay + currentFrame;
    r.minimum = clampToInt(-(before - before / span * viewFrames));
    r.maximum = clampToInt(after - after / span * viewFrames);
    r.originX = clampToInt(before / span * width);
    return r;
}

int panAfterZoomAtMouse(int mouseX, int originX, int width, int oldFrames, int newFrames, qint64 anchorFrame,
                        int currentFrame)
{
    if (width <= 0)
        return clampToInt(double(anchorFrame - currentFrame));
    const double shift = double(mouseX - originX) / width * (double(oldFrames) - newFrames);
    return clampToInt(shift + double(anchorFrame) - currentFrame);
}

double frameToColumn(qint64 frame, qint64 anchorFrame, int originX, int width, int viewFrames)
{
    if (viewFrames <= 0)
        return originX;
    return double(width) * double(frame - anchorFrame) / viewFrames + originX;
}
