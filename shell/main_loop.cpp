// Main loop, key polling and frame pacing.
#include "shell/main_loop.h"

#include <SDL.h>

#include "game/session.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/window.h"

uint8_t KeyState[256];
uint8_t window_active = 1;
int32_t MoveCommand = 0;
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
    bool running = true;
    if (window_active && !DrawScene())
        running = false;
    if (running && KeyState[VK_ESCAPE])
        running = false;  // the frame in which Esc is seen is not presented
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
    if (KeyState[VK_LEFT]) MoveCommand = 1;
    if (KeyState[VK_RIGHT]) MoveCommand = 2;
    if (KeyState[VK_UP]) MoveCommand = 3;
    if (KeyState[VK_DOWN]) MoveCommand = 5;

    if (KeyState[VK_TAB] && game.game_over) {
        game.game_over = 0;
        backdrop_stage = -1;
        game.level = 0;
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

void PaceFrame()
{
    const double frame_end = (double)frame_start_ms + 2.0 * pacing_steps[pacing_index];
    while (ReadFrameClock() < frame_end) {
    }
}
