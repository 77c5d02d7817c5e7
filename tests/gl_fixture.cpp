// One game window per test process, closed by the game's own shutdown at exit.
#include "tests/gl_fixture.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>

#include "shell/window.h"

static void CloseGameWindow()
{
    if (window_handle)
        ShutdownMainWindow();
}

void EnsureGameWindow()
{
    if (window_handle)
        return;
    ASSERT_TRUE(CreateMainWindow("Tarn's OpenGL Framework", 640, 480, 32, 0))
        << "tests need SDL_VIDEODRIVER=offscreen and the data/ directory";
    std::atexit(CloseGameWindow);
}

static uint8_t frame_pixels[640 * 480 * 3];

const uint8_t* ReadFrame()
{
    static uint8_t upside_down[640 * 480 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, upside_down);
    for (int y = 0; y < 480; y++)
        for (int i = 0; i < 640 * 3; i++)
            frame_pixels[y * 640 * 3 + i] = upside_down[(479 - y) * 640 * 3 + i];
    return frame_pixels;
}

Rgb ReadPixel(int x, int y)
{
    uint8_t pixel[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, 479 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

void MeanColour(int x, int y, int width, int height, double mean[3])
{
    const uint8_t* frame = ReadFrame();
    double sum[3] = {0, 0, 0};
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            for (int c = 0; c < 3; c++)
                sum[c] += frame[(row * 640 + col) * 3 + c];
    for (int c = 0; c < 3; c++)
        mean[c] = sum[c] / (width * height);
}

bool PushKey(int32_t sdl_keycode, bool down, uint16_t modifiers)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sdl_keycode;
    event.key.keysym.mod = modifiers;
    event.key.windowID = SDL_GetWindowID(window_handle);
    return SDL_PushEvent(&event) == 1;
}

bool PushWindowEvent(uint8_t what, int data1, int data2)
{
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    event.window.windowID = SDL_GetWindowID(window_handle);
    return SDL_PushEvent(&event) == 1;
}
