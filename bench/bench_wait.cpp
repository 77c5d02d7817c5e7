// Frames of nothing but the wait, timed on the game's own frame clock.
#include "bench/bench_wait.h"

#include <ctime>
#include <vector>

#include "shell/frame_clock.h"
#include "shell/main_loop.h"

static double ThreadCpuMs()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// The wait as it was: a spin on the clock for the whole rest of the frame.
static void SpinFrame()
{
    const double frame_end = (double)frame_start_ms + 2.0 * pacing_steps[pacing_index];
    while (ReadFrameClock() < frame_end) {
    }
}

WaitResult MeasureFrameWait(bool sleeping, int frames)
{
    std::vector<double> intervals;
    double cpu = 0, wall = 0, previous_start = -1;
    StartFrameClock();
    for (int frame = 0; frame <= frames; frame++) {
        frame_start_ms = (float)ReadFrameClock();  // as RunFrame stamps it
        if (previous_start >= 0)
            intervals.push_back(frame_start_ms - previous_start);
        previous_start = frame_start_ms;
        const double cpu_before = ThreadCpuMs(), wall_before = NowMs();
        if (sleeping)
            PaceFrame();
        else
            SpinFrame();
        cpu += ThreadCpuMs() - cpu_before;
        wall += NowMs() - wall_before;
    }
    return {Summarise(intervals), wall > 0 ? cpu / wall : 0};
}
