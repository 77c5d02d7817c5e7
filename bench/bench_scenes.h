// Whole frames through the scene director, as the main loop draws them, over
// the benchmark's full-board session.
#pragma once
#include <cstdint>

#include "bench/bench_timing.h"

struct FrameTimes {
    SampleSummary wall_ms;
    double cpu_median_ms;  // CPU time of all threads, llvmpipe's included
};

// Bench, first: the program's first frame (the new-game reset), then a fixed seed
// and a fresh game, so the piece, the preview and every shake are the same each run.
void StartBenchGame();
// Bench, checksum mode: from now on every frame is read back and folded into a hash.
void HashEveryFrame();
// Bench, after a stretch of frames: the hash of all frames read back since the last call.
uint64_t TakeFrameHash();
// Bench, between timed stretches: count frames at level, untimed (fades, hand-over, sky fade).
void RunFrames(int32_t level, int count);
// Bench: count frames at level, each timed from glFinish to glFinish around DrawScene.
FrameTimes TimeFrames(int32_t level, int count);
// Bench, after a level-1 stretch: frames until the level-1 sky has fully brightened,
// so that level 2 starts with its sky fade and then shows the ring and fans.
void RunUntilSkyDone();
