// Frame/timecode conversion throughput of the timecode modes, against a plain integer division
// loop measured in the same run. Each figure is the best of several passes over one whole day.
#include "cmn/timecodemode.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPasses = 7;

volatile unsigned g_sink; // keeps every loop's result alive

template<typename Body> double bestRate(int count, Body body)
{
    qint64 best = -1;
    for (int pass = 0; pass < kPasses; ++pass) {
        QElapsedTimer timer;
        timer.start();
        g_sink = body();
        const qint64 ns = timer.nsecsElapsed();
        if (best < 0 || ns < best)
            best = ns;
    }
    return double(count) / (double(std::max<qint64>(best, 1)) / 1e9);
}

void run(const char *label, const cmn::timecode_mode *mode)
{
    const int perDay = mode->frames_per_day();
    volatile int fpsSource = mode->fps();
    const int fps = fpsSource; // unknown to the optimiser, so the division stays a division

    const double baseline = bestRate(perDay, [&] {
        unsigned sum = 0;
        for (int n = 0; n < perDay; ++n)
            sum += unsigned(n / fps) ^ unsigned(n % fps);
        return sum;
    });

    const double toTc = bestRate(perDay, [&] {
        unsigned sum = 0;
        for (int n = 0; n < perDay; ++n)
            sum ^= mode->frames_to_tc(n);
        return sum;
    });

    std::vector<cmn::timecode_mode::tc_t> tcs(std::size_t(perDay), 0);
    for (int n = 0; n < perDay; ++n)
        tcs[std::size_t(n)] = mode->frames_to_tc(n);
    const double toFrames = bestRate(perDay, [&] {
        unsigned sum = 0;
        for (const auto tc : tcs)
            sum += unsigned(mode->tc_to_frames(tc));
        return sum;
    });

    std::printf("%-14s baseline n/fps,n%%fps %8.1f M/s\n", label, baseline / 1e6);
    std::printf("%-14s frames_to_tc         %8.1f M/s   %5.2fx the baseline time\n", label, toTc / 1e6,
                baseline / toTc);
    std::printf("%-14s tc_to_frames         %8.1f M/s   %5.2fx the baseline time\n", label, toFrames / 1e6,
                baseline / toFrames);
}

} // namespace

int main()
{
    run("25", cmn::get_timecode_mode(25, false));
    run("29.97 drop", cmn::get_timecode_mode(30, true));
    return 0;
}
