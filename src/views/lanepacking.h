#pragma once

#include <QVector>

// One schedule on a timeline, in frames: it covers [start, start + length - 1].
struct LaneSpan
{
    int start = 0;
    int length = 0;
};

inline bool operator==(const LaneSpan &a, const LaneSpan &b)
{
    return a.start == b.start && a.length == b.length;
}

// Where a span landed: its group, its lane within the group and how many lanes the group has.
struct LaneSlot
{
    int group = -1;
    int lane = -1;
    int laneCount = 0;
};

// groups -> lanes -> indices into the packed span list.
using LaneGroups = QVector<QVector<QVector<int>>>;

struct LanePacking
{
    LaneGroups groups;
    QVector<LaneSlot> placements; // one per input span, same order
};

// Packs spans into lanes so that no two spans that share a frame ever share a lane, and so that
// lanes never cover each other on screen: a group is a run of spans chained together by overlaps
// (spans that overlap nothing are a group of their own and keep the full height), and within a
// group each span takes the first lane that is free at its start. Taken in start order this uses
// as few lanes as the deepest overlap needs. Spans shorter than one frame count as one frame.
LanePacking packLanes(const QVector<LaneSpan> &spans);

// Vertical place of a lane on a timeline `widgetHeight` pixels high: the lanes of a group share
// the height between a 20-pixel top and bottom margin, with 2 pixels between lanes.
struct LaneBox
{
    int y = 0;
    int height = 0;
};
LaneBox laneBox(const LaneSlot &slot, int widgetHeight);
