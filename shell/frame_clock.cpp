// Frame clock over SDL's performance counter, with SDL's millisecond ticks as
// the fallback when no high-resolution counter is reported.
#include "shell/frame_clock.h"

#include <SDL.h>

#include <chrono>
#include <cstring>
#include <thread>

static uint64_t SdlCounterFrequency() { return SDL_GetPerformanceFrequency(); }
static uint64_t SdlCounterValue() { return SDL_GetPerformanceCounter(); }
static uint32_t SdlMilliseconds() { return SDL_GetTicks(); }
// Finer than SDL_Delay's whole milliseconds.
static void SleepMilliseconds(double ms) { std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms)); }

FrameClock frame_clock;
uint32_t frame_clock_starts = 0;
FrameClockSource frame_clock_source = {SdlCounterFrequency, SdlCounterValue, SdlMilliseconds, SleepMilliseconds};

void StartFrameClock()
{
    frame_clock_starts++;
    std::memset(&frame_clock, 0, sizeof(frame_clock));
    frame_clock.frequency = (int64_t)frame_clock_source.counter_frequency();
    if (frame_clock.frequency <= 0) {
        frame_clock.use_performance_counter = 0;
        frame_clock.mm_start = frame_clock_source.milliseconds();
        frame_clock.resolution = 0.001f;
        frame_clock.frequency = 1000;
        return;
    }
    frame_clock.performance_start = (int64_t)frame_clock_source.counter_value();
    frame_clock.use_performance_counter = 1;
    frame_clock.resolution = (float)(1.0 / (double)frame_clock.frequency);
}

double ReadFrameClock()
{
    double counts;
    if (frame_clock.use_performance_counter) {
        counts = (double)((int64_t)frame_clock_source.counter_value() - frame_clock.performance_start);
    } else {
        // Unsigned 32-bit difference: a wrap of the millisecond timer still
        // gives the right small value.
        uint32_t elapsed = frame_clock_source.milliseconds() - frame_clock.mm_start;
        counts = (double)(uint64_t)elapsed;
    }
    return counts * (double)frame_clock.resolution * 1000.0;
}
