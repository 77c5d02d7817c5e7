// The frame wait alone: frames that draw nothing, as in a pause on a fast GPU,
// paced by the game's sleeping wait or by the spin it replaced.
#pragma once
#include "bench/bench_timing.h"

struct WaitResult {
    SampleSummary interval_ms;  // from one frame's start to the next
    double cpu_share;           // CPU time of the waiting thread over the wall time of its waits
};

WaitResult MeasureFrameWait(bool sleeping, int frames);  // report: runs the frames and sums them up
