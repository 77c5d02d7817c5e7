// The frame clock: the only source of elapsed time. It holds frames to their
// minimum period; nothing in the game advances by time.
#pragma once
#include <cstdint>

struct FrameClock {
    int64_t frequency;                // counts per second (1000 on the fallback)
    float resolution;                 // seconds per count
    uint32_t mm_start;                // millisecond timer at start (fallback only)
    uint8_t use_performance_counter;  // 1 high-resolution counter, 0 millisecond fallback
    int64_t performance_start;        // counter value at start
};

// Where the clock reads time. The game uses SDL's counters; tests substitute
// their own to exercise the millisecond fallback and its wrap.
struct FrameClockSource {
    uint64_t (*counter_frequency)();  // 0 means "no high-resolution counter"
    uint64_t (*counter_value)();
    uint32_t (*milliseconds)();       // wraps after 2^32 ms
    void (*sleep)(double ms);         // gives the core away for about ms; may wake late, never early
};

extern FrameClock frame_clock;
extern uint32_t frame_clock_starts;  // StartFrameClock calls so far: the main loop sees a restart by it
extern FrameClockSource frame_clock_source;

void StartFrameClock();   // start-up and every new game: restart from ~0
double ReadFrameClock();  // ms since the last start; called in the pacing spin
