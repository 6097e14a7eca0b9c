// Cost of the timeline items' cached rendering and of the scale label computation. The item
// renders only the part from the timeline's left edge on, so an item millions of pixels wide
// should cost about what an item as wide as the timeline costs; a repaint from the cache should be
// far cheaper than a render. Figures are the best of several passes; ratios are within this run.
#include "cmn/timecodemode.h"
#include "views/scalelabels.h"
#include "views/timelineitemwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kPasses = 5;

template<typename Body> double bestMicros(int count, Body body)
{
    qint64 best = -1;
    for (int pass = 0; pass < kPasses; ++pass) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i)
            body(i);
        const qint64 ns = timer.nsecsElapsed();
        if (best < 0 || ns < best)
            best = ns;
    }
    return double(best) / 1e3 / count;
}

TimelineItemWidget *makeItem(QWidget *timeline, int x, int width)
{
    auto *item = new TimelineItemWidget(timeline, QStringLiteral("Camera 1 interview"), 0, 1000,
                                        QStringLiteral("[08] 10:00:00:00"),
                                        QStringLiteral("[08] 10:30:00:00"), QStringLiteral("In-Progress"));
    item->setStatus(trx::ScheduleStatus::InProgress);
    item->setAssignedSize(width, 120);
    item->move(x, 20);
    item->setDuration(QStringLiteral("00:30:00:01"));
    item->setProgress(40, 20);
    item->show();
    item->setReady(true);
    return item;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget timeline;
    timeline.resize(1500, 300);
    timeline.show();
    // Repaints only paint once the window is exposed.
    QElapsedTimer wait;
    wait.start();
    while (!(timeline.windowHandle() && timeline.windowHandle()->isExposed()) && wait.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);

    TimelineItemWidget *small = makeItem(&timeline, 100, 400);
    TimelineItemWidget *wide = makeItem(&timeline, 200, 1500);
    TimelineItemWidget *huge = makeItem(&timeline, -8000000, 16777215);

    const int renders = 300;
    const double smallUs = bestMicros(renders, [&](int) { small->render(true); });
    const double wideUs = bestMicros(renders, [&](int) { wide->render(true); });
    const double hugeUs = bestMicros(renders, [&](int) { huge->render(true); });
    const double repaintUs = bestMicros(renders, [&](int) { small->repaint(); });
    const double renderAndRepaintUs = bestMicros(renders, [&](int) {
        small->render(true);
        small->repaint();
    });

    std::printf("item render, 400 x 120:                %8.1f us\n", smallUs);
    std::printf("item render, 1500 x 120 (full width):  %8.1f us  (x%.2f of 400 wide)\n", wideUs,
                wideUs / smallUs);
    std::printf("item render, 16777215 wide, clipped:   %8.1f us  (x%.2f of full width)\n", hugeUs,
                hugeUs / wideUs);
    std::printf("repaint from the cache, 400 x 120:     %8.1f us\n", repaintUs);
    std::printf("render + repaint, 400 x 120:           %8.1f us  (x%.2f of a cached repaint)\n",
                renderAndRepaintUs, renderAndRepaintUs / repaintUs);

    ScaleLabelInput in;
    in.rate = FrameRate{cmn::get_timecode_mode(25, false), 1000};
    const int day = in.rate.mode->frames_per_day();
    in.zoomLevels = {250, 1500, 15000, 90000, day, 15 * day};
    in.width = 1600 - 506;
    in.originX = in.width / 2;
    in.date = QDate(2026, 12, 8);
    in.anchorFrame = ((10 * 60 + 7) * 60 + 31) * 25 + 3;
    const int calls = 2000;
    for (int v : {250, 1000, 10000, 40000, 300000, 3 * day}) {
        in.viewFrames = v;
        int labels = 0;
        const double us = bestMicros(calls, [&](int i) {
            in.anchorFrame += i & 1;
            labels += computeScaleLabels(in).size();
        });
        std::printf("scale labels, %9d frames shown:    %8.2f us per rebuild (%d labels)\n", v, us,
                    labels / (calls * kPasses));
    }
    return 0;
}
