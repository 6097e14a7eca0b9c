#pragma once

#include <QtGlobal>

#include <array>

struct FrameRate;

// The main window's shared time axis: frame positions count from 00:00 of the working date on the
// current timecode's clock, and the axis spans 7 days before to 8 days after that midnight.

// Frames across the timeline width at the six zoom anchors, 10 s, 1 min, 10 min, 1 h, 1 day and
// 15 days (L0 ... L5).
using ZoomLevels = std::array<int, 6>;

// The anchors at 30 frames per second, used while the clock has no mode.
ZoomLevels defaultZoomLevels();
// The anchors counted on `rate`'s clock; the defaults when it has no mode.
ZoomLevels zoomLevelsFor(const FrameRate &rate);

// Frames shown at zoom slider value `value` on a slider running from 0 to `maximum`: linear
// between the anchors, L5 at 0 and L0 at the maximum, truncated toward zero. Values outside the
// slider give `current` back.
int zoomViewFrames(double value, int maximum, const ZoomLevels &levels, int current);

// The slider value (0 ... maximum, not rounded) at which zoomViewFrames shows `frames`, clamped
// to the span L0 ... L5: the inverse of the interpolation, for zooms by a factor.
double zoomSliderValue(int frames, int maximum, const ZoomLevels &levels);

// Frames in one day of `rate`, or of the 30-frame clock when it has no mode, so that the axis
// always has an extent.
int axisFramesPerDay(const FrameRate &rate);

// The scroll bar's range for the current position `currentFrame` with `viewFrames` across a
// timeline `width` pixels wide: at the minimum the left edge shows -7 days, at the maximum the
// right edge shows +8 days. originX is the column at which the anchor frame is drawn, so that the
// span keeps its proportions; step is the page and single step.
struct ScrollRange
{
    int minimum = 0;
    int maximum = 0;
    int originX = 0;
    int step = 1;
};
ScrollRange computeScrollRange(int framesPerDay, int currentFrame, int viewFrames, int width);

// The scroll offset after a zoom from `oldFrames` to `newFrames` that keeps the frame under column
// `mouseX` where it was. `anchorFrame` is the anchor before the zoom, `currentFrame` the new origin.
int panAfterZoomAtMouse(int mouseX, int originX, int width, int oldFrames, int newFrames, qint64 anchorFrame,
                        int currentFrame);

// Column of frame `frame` on a timeline `width` pixels wide showing `viewFrames`, with the anchor
// frame drawn at `originX`. Not truncated.
double frameToColumn(qint64 frame, qint64 anchorFrame, int originX, int width, int viewFrames);
