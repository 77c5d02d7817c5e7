// Main loop, key polling and frame pacing.
#include "shell/main_loop.h"

#include <SDL.h>

#include "game/session.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/score_file.h"
#include "shell/window.h"

PlayerCommand MoveCommand = MOVE_NONE;
int32_t pause_state = -1;
uint8_t pause_key_latch = 0;
float frame_start_ms = 0.0f;
const int32_t pacing_steps[6] = {1, 2, 4, 5, 10, 20};
int32_t pacing_index = 3;

int RunMainLoop()
{
    while (RunLoopIteration()) {
    }
    return 0;
}

bool RunLoopIteration()
{
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            return false;
        MainWindowProc(event);
        return true;
    }
    return RunFrame();
}

bool RunFrame()
{
    frame_start_ms = (float)ReadFrameClock();
    if (window_active) {
        const uint32_t clock_starts = frame_clock_starts;
        const uint8_t was_over = game.game_over;
        MoveCommand = DrawScene(MoveCommand, pause_state);
        // A new game restarted the clock: this frame lasts from the restart.
        if (frame_clock_starts != clock_starts)
            frame_start_ms = 0.0f;
        // Kept in the frame that ended the game, before Esc is looked at, and shown in it.
        if (game.game_over && !was_over)
            KeepFinishedGame(game.score, game.lines, game.level);
        DrawGameOverLayer(pause_state);
    }
    const bool running = !KeyState[VK_ESCAPE];  // the frame in which Esc is seen is not presented
    if (running) {
        PresentFrame();
        PollKeys();
    }
    PaceFrame();
    return running;
}

void PollKeys()
{
    // Each test overwrites the one before: Down over Up over Right over Left.
    if (KeyState[VK_LEFT]) MoveCommand = MOVE_LEFT;
    if (KeyState[VK_RIGHT]) MoveCommand = MOVE_RIGHT;
    if (KeyState[VK_UP]) MoveCommand = MOVE_ROTATE;
    if (KeyState[VK_DOWN]) MoveCommand = MOVE_SOFT_DROP;

    if (KeyState[VK_TAB] && game.game_over) {
        EndGameForRestart();
        RequestNewGame();
    }

    if (KeyState[VK_P]) {
        if (!pause_key_latch) {
            pause_key_latch = 1;
            if (pause_state == -1)
                pause_state = 1;
            else if (pause_state == 1)
                pause_state = -1;
        }
    } else {
        pause_key_latch = 0;
    }
}

// A sleep may wake late by a scheduler tick or so: it ends this much before the
// frame does, and the wait spins the rest on the clock, so that frames come as
// often as a pure spin would make them while the core is mostly free.
static const double spin_ms = 0.5;

void PaceFrame()
{
    const double frame_end = (double)frame_start_ms + 2.0 * pacing_steps[pacing_index];
    for (double left = frame_end - ReadFrameClock(); left > 0; left = frame_end - ReadFrameClock())
        if (left > spin_ms)
            frame_clock_source.sleep(left - spin_ms);
}
