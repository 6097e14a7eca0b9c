#pragma once

#include "cmn/framerate.h"

#include <QDate>
#include <QMap>
#include <QString>

#include <array>

// What the time scale's labels depend on: the main window's axis and the current clock.
struct ScaleLabelInput
{
    int viewFrames = 0;              // frames across the timeline width
    std::array<int, 6> zoomLevels{}; // the zoom anchors L0 (10 s) ... L5 (15 days), in frames
    int anchorFrame = 0;             // origin frame + pan frames
    int originX = 0;                 // column at which the anchor frame is drawn
    int width = 0;                   // width of the timeline column in pixels
    FrameRate rate;                  // the current timecode's rate
    int midnightFrames = 0;          // the current timecode's frame value at the date's midnight
    QDate date;                      // the working date
};

// Tick labels keyed by their column within the timeline width. From two days shown on, one "[dd]"
// label per midnight; below that "[dd] hh:mm:ss" ticks at a period chosen by the zoom. Empty
// when the rate has no mode or the axis has no extent.
QMap<int, QString> computeScaleLabels(const ScaleLabelInput &input);

// Left edge of the timelines in the scale widget's coordinates (the port rows' left panel + 1).
constexpr int kScaleTimelineLeft = 401;
// Labels are drawn up to column (scale width - this). The scale is as wide as the scroll area and
// the timeline column 506 pixels narrower, so the last labels may sit a few pixels past its end.
constexpr int kScaleRightReserve = 498;

// Every how many labels one is drawn: 1 when all fit in a scale widgetWidth wide, else the
// smallest stride of 2 to 5 that fits, and 2 when none does.
int scaleLabelStride(int labelCount, int firstLabelWidth, int widgetWidth);
