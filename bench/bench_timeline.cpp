// Cost of a port timeline with many schedule items: the lane packing and placement (relayout, and
// a zoom change that resizes every item) and the once-a-second current-timecode update that moves,
// shows and hides the items, at 250 to 4,000 items. Prints the growth per doubling and the cost of
// relaying out 1,000 items against one 60 fps frame (16.7 ms).
#include "cmn/timecode.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kDay = 2592000; // frames per day at 30 fps
constexpr int kHalfHour = 54000;
constexpr int kSecond = 30;
constexpr double kFrameBudgetMs = 1000.0 / 60.0;
constexpr int kRuns = 9;

// Day offsets from today outwards: 0, -1, 1, -2, 2, ... 7, then around again.
int dayAround(int n)
{
    const int k = n % 15;
    return k % 2 ? -(k + 1) / 2 : k / 2;
}

// A port's schedules over the scrollable fortnight: days of back-to-back half-hour schedules filled
// from today outwards (once every day is full, further rounds lie a little later on top of them),
// some overlapping hour-long ones, and the daily 10-second maintenance window.
void fillTimeline(TimelineWidget &timeline, int count)
{
    const int maintenance = 15;
    const int overlapping = count / 5;
    const int backToBack = count - overlapping - maintenance;
    const int firstDay = -7 * kDay;
    for (int i = 0; i < backToBack; ++i) {
        const int day = i / 48;
        const int start = dayAround(day) * kDay + (i % 48) * kHalfHour + (day / 15) * 9000;
        auto *item =
            new TimelineItemWidget(nullptr, QStringLiteral("Cam A %1").arg(i), start, kHalfHour,
                                   QStringLiteral("[01] 10:00:00:00"), QStringLiteral("[01] 10:30:00:00"),
                                   i % 3 ? QStringLiteral("Completed") : QStringLiteral("Scheduled"));
        item->setValue(TimelineItemWidget::TaskIdKey, QStringLiteral("b%1").arg(i));
        item->setProgress(i % 3 ? 100 : -1, -1);
        item->setReady(true);
        timeline.addItem(item, false);
    }
    for (int i = 0; i < overlapping; ++i) {
        const int day = i / 16;
        const int start =
            dayAround(day) * kDay + (i % 16) * 3 * kHalfHour + kHalfHour / 3 + (day / 15) * 9000;
        auto *item =
            new TimelineItemWidget(nullptr, QStringLiteral("Overlap %1").arg(i), start, 2 * kHalfHour,
                                   QString(), QString(), QStringLiteral("In-Progress"));
        item->setValue(TimelineItemWidget::TaskIdKey, QStringLiteral("o%1").arg(i));
        item->setProgress(40, 20);
        item->setReady(true);
        timeline.addItem(item, false);
    }
    for (int d = 0; d < maintenance; ++d) {
        auto *item =
            new TimelineItemWidget(nullptr, QStringLiteral("Maintenance"), firstDay + d * kDay + 2 * 108000,
                                   300, QString(), QString(), QStringLiteral("Scheduled"));
        item->setValue(TimelineItemWidget::TaskIdKey, QStringLiteral("m%1").arg(d));
        item->setMaintenance(true);
        item->setReady(true);
        timeline.addItem(item, false);
    }
}

TimeCode timecodeAt(int frames)
{
    TimeCode tc;
    tc.frames = frames;
    tc.valid = true;
    return tc;
}

template<typename Body> double medianMs(int runs, Body body)
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        body(r);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures
{
    int items = 0;
    int visible = 0;
    double relayoutMs = 0;
    double zoomMs = 0;
    double tickMs = 0;
    double tickCallMs = 0;
};

constexpr int kTicksPerRun = 300;
constexpr int kRelayoutsPerRun = 20;

Figures measure(int count)
{
    auto timeline = std::make_unique<TimelineWidget>();
    timeline->resize(1422, 240);
    timeline->setViewFrames(108000); // one hour across
    fillTimeline(*timeline, count);
    timeline->show();
    int now = kDay / 2;
    timeline->setAnchor(now, 660);
    timeline->setCurrentTc(timecodeAt(now));
    QApplication::processEvents();

    Figures f;
    f.items = count;
    f.relayoutMs = medianMs(kRuns,
                            [&](int) {
                                for (int n = 0; n < kRelayoutsPerRun; ++n)
                                    timeline->relayout();
                            }) /
                   kRelayoutsPerRun;
    f.zoomMs = medianMs(kRuns, [&](int r) {
        timeline->setViewFrames(r % 2 ? 108000 : 100000);
        QApplication::processEvents();
    });
    timeline->setViewFrames(108000);
    QApplication::processEvents();
    // One tick of the locked axis: the anchor follows the clock by one second, then the repaint.
    // Each run averages five minutes of ticks.
    f.tickMs = medianMs(kRuns,
                        [&](int) {
                            for (int t = 0; t < kTicksPerRun; ++t) {
                                now += kSecond;
                                timeline->setAnchor(now, 660);
                                timeline->setCurrentTc(timecodeAt(now));
                                QApplication::processEvents();
                            }
                        }) /
               kTicksPerRun;
    // The same without the repaint: the timeline's own work.
    f.tickCallMs = medianMs(kRuns,
                            [&](int) {
                                for (int t = 0; t < kTicksPerRun; ++t) {
                                    now += kSecond;
                                    timeline->setAnchor(now, 660);
                                    timeline->setCurrentTc(timecodeAt(now));
                                }
                            }) /
                   kTicksPerRun;
    QApplication::processEvents();
    for (TimelineItemWidget *item : timeline->items())
        f.visible += item->isVisible() ? 1 : 0;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<Figures> rows;
    for (int count : {250, 500, 1000, 2000, 4000})
        rows.push_back(measure(count));

    std::printf("%6s %8s %12s %12s %12s %12s | growth per doubling: %8s %8s %8s %8s\n", "items", "visible",
                "relayout ms", "zoom ms", "tick ms", "tick call ms", "relayout", "zoom", "tick", "call");
    double worstTick = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Figures &f = rows[i];
        std::printf("%6d %8d %12.4f %12.4f %12.4f %12.4f |", f.items, f.visible, f.relayoutMs, f.zoomMs,
                    f.tickMs, f.tickCallMs);
        if (i == 0) {
            std::printf("%30s %8s %8s %8s %8s\n", "", "-", "-", "-", "-");
            continue;
        }
        const Figures &p = rows[i - 1];
        worstTick = std::max(worstTick, f.tickMs / p.tickMs);
        std::printf("%30s %8.2f %8.2f %8.2f %8.2f\n", "", f.relayoutMs / p.relayoutMs, f.zoomMs / p.zoomMs,
                    f.tickMs / p.tickMs, f.tickCallMs / p.tickCallMs);
    }
    const Figures &thousand = rows[2];
    std::printf("per-second update growth per doubling, worst: %.2f (target <= 2.3)\n", worstTick);
    std::printf("relayout of 1000 items: %.3f ms = %.3f x one 60 fps frame (16.7 ms)\n", thousand.relayoutMs,
                thousand.relayoutMs / kFrameBudgetMs);
    std::printf("zoom change with 1000 items: %.3f ms = %.3f x one 60 fps frame\n", thousand.zoomMs,
                thousand.zoomMs / kFrameBudgetMs);
    return 0;
}
