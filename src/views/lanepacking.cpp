#include "views/lanepacking.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int kTopMargin = 20;
constexpr int kVerticalMargins = 40;
constexpr int kLaneGap = 2;

qint64 lastFrame(const LaneSpan &s)
{
    return qint64(s.start) + std::max(s.length, 1) - 1;
}

} // namespace

LanePacking packLanes(const QVector<LaneSpan> &spans)
{
    LanePacking result;
    result.placements.resize(spans.size());

    QVector<int> order(spans.size());
    std::iota(order.begin(), order.end(), 0);
    // Longer spans first among equal starts, so that a span holding others takes the top lane.
    std::sort(order.begin(), order.end(), [&spans](int a, int b) {
        if (spans[a].start != spans[b].start)
            return spans[a].start < spans[b].start;
        if (spans[a].length != spans[b].length)
            return spans[a].length > spans[b].length;
        return a < b;
    });

    qint64 groupEnd = 0;
    QVector<qint64> laneEnds; // last frame taken in each lane of the open group
    for (const int index : order) {
        const LaneSpan &span = spans[index];
        const qint64 first = span.start;
        const qint64 last = lastFrame(span);
        if (result.groups.isEmpty() || first > groupEnd) {
            result.groups.append(QVector<QVector<int>>());
            laneEnds.clear();
            groupEnd = last;
        }
        QVector<QVector<int>> &lanes = result.groups.last();
        int lane = 0;
        while (lane < laneEnds.size() && laneEnds[lane] >= first)
            ++lane;
        if (lane == laneEnds.size()) {
            lanes.append(QVector<int>());
            laneEnds.append(last);
        } else {
            laneEnds[lane] = last;
        }
        lanes[lane].append(index);
        groupEnd = std::max(groupEnd, last);
        result.placements[index].group = result.groups.size() - 1;
        result.placements[index].lane = lane;
    }

    for (const QVector<QVector<int>> &lanes : qAsConst(result.groups)) {
        for (const QVector<int> &lane : lanes) {
            for (const int index : lane)
                result.placements[index].laneCount = lanes.size();
        }
    }
    return result;
}

LaneBox laneBox(const LaneSlot &slot, int widgetHeight)
{
    LaneBox box;
    if (slot.laneCount <= 0)
        return box;
    const int laneHeight = (widgetHeight - kVerticalMargins) / slot.laneCount;
    box.y = kTopMargin + slot.lane * laneHeight;
    box.height = std::max(1, laneHeight - kLaneGap);
    return box;
}
