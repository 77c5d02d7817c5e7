// The main loop driven through real SDL events: key polling order, the pause
// latch, restart and quit keys, minimising, resizing, and the frame pacing.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "game/session.h"
#include "gfx/projection.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/gl_fixture.h"

namespace {

struct MainLoop : GlTest {
    void SetUp() override
    {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        std::memset(KeyState, 0, sizeof(KeyState));
        MoveCommand = MOVE_NONE;
        pause_state = -1;
        pause_key_latch = 0;
        window_active = 1;
        game.game_over = 0;
    }


    // Hands every queued event to the loop, one per iteration, as the game does.
    // (SDL keeps an internal poll sentinel, 0x7F00, in the queue: not counted.)
    static void DrainEvents()
    {
        while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, 0x7EFF) > 0)
            ASSERT_TRUE(RunLoopIteration());
    }
};

}  // namespace

TEST_F(MainLoop, KeyEventsReachTheKeyTableByVirtualKeyCode)
{
    ASSERT_TRUE(PushKey(SDLK_LEFT, true));
    ASSERT_TRUE(PushKey(SDLK_p, true));
    ASSERT_TRUE(PushKey(SDLK_TAB, true));
    DrainEvents();
    EXPECT_EQ(KeyState[0x25], 1);
    EXPECT_EQ(KeyState[0x50], 1);
    EXPECT_EQ(KeyState[0x09], 1);
    ASSERT_TRUE(PushKey(SDLK_LEFT, false));
    DrainEvents();
    EXPECT_EQ(KeyState[0x25], 0);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 0x1B);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), 0x26);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), 0x27);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 0x28);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_7), '7');
}

TEST_F(MainLoop, SystemKeysNeverReachTheKeyTableButEveryReleaseDoes)
{
    ASSERT_TRUE(PushKey(SDLK_LEFT, true, KMOD_LALT));
    ASSERT_TRUE(PushKey(SDLK_p, true, KMOD_RALT));
    ASSERT_TRUE(PushKey(SDLK_F10, true));
    DrainEvents();
    EXPECT_EQ(KeyState[VK_LEFT], 0);
    EXPECT_EQ(KeyState[0x50], 0);
    EXPECT_EQ(KeyState[0x79], 0);
    ASSERT_TRUE(PushKey(SDLK_RIGHT, true));
    ASSERT_TRUE(PushKey(SDLK_RIGHT, false, KMOD_LALT));  // let go while Alt is down
    DrainEvents();
    EXPECT_EQ(KeyState[VK_RIGHT], 0);
}

TEST_F(MainLoop, AHeldKeyRepeatingIsHarmless)
{
    for (int i = 0; i < 5; i++)
        ASSERT_TRUE(PushKey(SDLK_RIGHT, true));
    DrainEvents();
    EXPECT_EQ(KeyState[VK_RIGHT], 1);
    ASSERT_TRUE(PushKey(SDLK_RIGHT, false));
    DrainEvents();
    EXPECT_EQ(KeyState[VK_RIGHT], 0);
}

TEST_F(MainLoop, PollingOrderIsDownOverUpOverRightOverLeft)
{
    ASSERT_TRUE(PushKey(SDLK_LEFT, true));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(MoveCommand, 1);
    ASSERT_TRUE(PushKey(SDLK_RIGHT, true));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(MoveCommand, 2);  // Left and Right: Right
    ASSERT_TRUE(PushKey(SDLK_UP, true));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(MoveCommand, 3);
    ASSERT_TRUE(PushKey(SDLK_DOWN, true));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(MoveCommand, 5);

    ASSERT_TRUE(PushKey(SDLK_RIGHT, false));
    ASSERT_TRUE(PushKey(SDLK_UP, false));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(MoveCommand, 5);  // Left and Down: soft drop only
}

TEST_F(MainLoop, NoKeyLeavesThePendingCommandAlone)
{
    MoveCommand = MOVE_ROTATE;
    PollKeys();
    EXPECT_EQ(MoveCommand, 3);
}

TEST_F(MainLoop, HoldingPTogglesThePauseOnceUntilReleased)
{
    ASSERT_TRUE(PushKey(SDLK_p, true));
    DrainEvents();
    for (int frame = 0; frame < 20; frame++)
        PollKeys();
    EXPECT_EQ(pause_state, 1);
    EXPECT_EQ(pause_key_latch, 1);

    ASSERT_TRUE(PushKey(SDLK_p, false));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(pause_key_latch, 0);
    EXPECT_EQ(pause_state, 1);

    ASSERT_TRUE(PushKey(SDLK_p, true));
    DrainEvents();
    PollKeys();
    PollKeys();
    EXPECT_EQ(pause_state, -1);
}

TEST_F(MainLoop, PauseTogglesEvenAfterGameOverAndLeavesOtherValuesAlone)
{
    game.game_over = 1;
    KeyState[VK_P] = 1;
    PollKeys();
    EXPECT_EQ(pause_state, 1);

    pause_state = 7;
    pause_key_latch = 0;
    PollKeys();
    EXPECT_EQ(pause_state, 7);
    EXPECT_EQ(pause_key_latch, 1);
}

TEST_F(MainLoop, TabRestartsOnlyAfterGameOver)
{
    game.level = 3;
    backdrop_stage = 2;
    ASSERT_TRUE(PushKey(SDLK_TAB, true));
    DrainEvents();
    PollKeys();
    EXPECT_EQ(game.level, 3);
    EXPECT_EQ(backdrop_stage, 2);

    game.game_over = 1;
    PollKeys();
    EXPECT_EQ(game.game_over, 0);
    EXPECT_EQ(game.level, 0);
    EXPECT_EQ(backdrop_stage, -1);
}

TEST_F(MainLoop, EscEndsTheLoopWithoutPollingTheKeys)
{
    ASSERT_TRUE(PushKey(SDLK_LEFT, true));
    ASSERT_TRUE(PushKey(SDLK_ESCAPE, true));
    DrainEvents();
    pause_state = 1;  // Esc quits while paused too
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(MoveCommand, 0);  // the frame stopped before the keys were polled
    EXPECT_FALSE(RunLoopIteration());
}

TEST_F(MainLoop, ClosingTheWindowEndsTheLoop)
{
    ASSERT_TRUE(PushWindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(RunLoopIteration());  // the close itself only asks to quit
    EXPECT_NE(window_handle, nullptr);  // the window goes at shutdown, not here
    int iterations = 0;
    while (RunLoopIteration() && iterations < 20)
        iterations++;
    EXPECT_LT(iterations, 20) << "the quit never ended the loop";
}

TEST_F(MainLoop, AMinimisedWindowDrawsNothing)
{
    ASSERT_TRUE(PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED));
    DrainEvents();
    EXPECT_EQ(window_active, 0);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    ASSERT_TRUE(RunFrame());
    Rgb untouched = ReadPixel(5, 5);
    EXPECT_EQ(untouched.r, 255);  // the scene would have cleared it to black

    ASSERT_TRUE(PushWindowEvent(SDL_WINDOWEVENT_RESTORED));
    DrainEvents();
    EXPECT_EQ(window_active, 1);
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(ReadPixel(5, 5).r, 0);
}

TEST_F(MainLoop, ResizeToHeightZeroUsesOneRow)
{
    ASSERT_TRUE(PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 320, 0));
    DrainEvents();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 1);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    ResizeViewport(640, 480);
}

TEST_F(MainLoop, ResizeKeepsTheAspectRatioOfTheProjection)
{
    aspect_ratio = 1.3333334f;
    ResizeViewport(800, 300);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective: m[0] = f / aspect, m[5] = f with f = cot(22.5 degrees).
    EXPECT_NEAR(projection[5] / projection[0], 1.3333334f, 1e-5);
    ResizeViewport(640, 480);
}

TEST_F(MainLoop, FramesAreAtLeastTenMillisecondsApart)
{
    StartFrameClock();
    std::vector<double> stamps;
    for (int frame = 0; frame < 12; frame++) {
        ASSERT_TRUE(RunFrame());
        stamps.push_back(frame_start_ms);
    }
    // From the second frame on (the first runs the new-game reset, which
    // restarts the clock and takes a fresh stamp).
    for (size_t i = 2; i < stamps.size(); i++)
        EXPECT_GE(stamps[i] - stamps[i - 1], 10.0 - 1e-3) << "frame " << i;
}

// The wait alone, on a scripted clock: a read moves it a quarter millisecond, a
// sleep by the time asked. The wait sleeps until half a millisecond before the
// frame's end, spins the rest and stops at the first reading 10 ms on; a frame
// that is already late neither sleeps nor spins.
uint64_t scripted_counter;
int clock_reads;
double slept_ms;
uint64_t QuarterMillisecondsPerSecond() { return 4000; }
uint64_t ScriptedCounter() { clock_reads++; return scripted_counter += 1; }
uint32_t NoMilliseconds() { return 0; }
void ScriptedSleep(double ms) { slept_ms += ms, scripted_counter += (uint64_t)std::llround(ms * 4); }

TEST_F(MainLoop, PacingSleepsMostOfTheWaitAndSpinsOnlyItsEnd)
{
    const FrameClockSource saved = frame_clock_source;
    frame_clock_source = {QuarterMillisecondsPerSecond, ScriptedCounter, NoMilliseconds, ScriptedSleep};
    scripted_counter = 1000;
    StartFrameClock();
    frame_start_ms = (float)ReadFrameClock();  // 0.25
    clock_reads = 0, slept_ms = 0;
    PaceFrame();
    EXPECT_NEAR(slept_ms, 9.25, 1e-3) << "asleep from 0.5 to 9.75 ms";
    EXPECT_EQ(clock_reads, 3) << "reads at 0.5, 10.0 and 10.25 ms: it stops at the first reading 10 ms on";

    frame_start_ms = (float)(ReadFrameClock() - 15.0);
    clock_reads = 0, slept_ms = 0;
    PaceFrame();
    EXPECT_EQ(clock_reads, 1) << "a late frame does not wait";
    EXPECT_EQ(slept_ms, 0.0);
    frame_clock_source = saved;
    StartFrameClock();
}
