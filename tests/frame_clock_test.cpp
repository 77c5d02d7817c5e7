// The frame clock on the real counter, and on the millisecond fallback with a
// substituted source so that the wrap of the timer is exercised for real.
#include <gtest/gtest.h>

#include <SDL.h>

#include "shell/frame_clock.h"

namespace {

uint32_t fake_milliseconds;
uint64_t NoCounter() { return 0; }
uint64_t NeverRead() { ADD_FAILURE() << "counter read on the fallback"; return 0; }
uint32_t FakeMilliseconds() { return fake_milliseconds; }

struct FallbackClock : ::testing::Test {
    FrameClockSource saved = frame_clock_source;
    void SetUp() override { frame_clock_source = {NoCounter, NeverRead, FakeMilliseconds, nullptr}; }
    void TearDown() override { frame_clock_source = saved; }
};

}  // namespace

// Near zero: no more than the time the start and the read took, measured round them.
TEST(FrameClock, RealCounterStartsNearZeroAndAdvances)
{
    const uint64_t before = SDL_GetPerformanceCounter();
    StartFrameClock();
    EXPECT_EQ(frame_clock.use_performance_counter, 1);
    double first = ReadFrameClock();
    const double round_trip = (SDL_GetPerformanceCounter() - before) * 1000.0 / SDL_GetPerformanceFrequency();
    EXPECT_GE(first, 0.0);
    EXPECT_LE(first, round_trip + 1e-3);
    SDL_Delay(20);
    EXPECT_GE(ReadFrameClock(), first + 19.0);
}

TEST_F(FallbackClock, ReadsWholeMillisecondsAtFrequency1000)
{
    fake_milliseconds = 5000;
    StartFrameClock();
    EXPECT_EQ(frame_clock.use_performance_counter, 0);
    EXPECT_EQ(frame_clock.frequency, 1000);
    EXPECT_EQ(frame_clock.resolution, 0.001f);
    EXPECT_EQ(frame_clock.mm_start, 5000u);
    EXPECT_NEAR(ReadFrameClock(), 0.0, 1e-9);
    fake_milliseconds = 5007;
    EXPECT_NEAR(ReadFrameClock(), 7.0, 1e-6);
}

TEST_F(FallbackClock, WrapOfTheMillisecondTimerStillGivesTheSmallDifference)
{
    fake_milliseconds = 0xFFFFFFF0u;
    StartFrameClock();
    fake_milliseconds = 0x00000010u;  // 32 ms later, past the wrap
    EXPECT_NEAR(ReadFrameClock(), 32.0, 1e-5);
}

TEST_F(FallbackClock, RestartZeroesTheRecord)
{
    fake_milliseconds = 100;
    StartFrameClock();
    fake_milliseconds = 900;
    StartFrameClock();
    EXPECT_EQ(frame_clock.performance_start, 0);
    EXPECT_NEAR(ReadFrameClock(), 0.0, 1e-9);
}
