// The game's own 640x480 window and legacy GL context, opened once per test
// process (SDL's offscreen driver: real llvmpipe rendering, no display).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

// Opens the window through the game's own creation path (windowed), so
// InitScene has run and every start-up resource exists. Safe to call often.
void EnsureGameWindow();

struct Rgb {
    uint8_t r, g, b;
};

// Reads the back buffer; (x, y) in the game's 640x480 layout, y downward.
Rgb ReadPixel(int x, int y);
// Reads the whole frame into a static buffer (y downward rows), returns it.
const uint8_t* ReadFrame();
// Mean of each channel over a rectangle of the frame (y downward).
void MeanColour(int x, int y, int width, int height, double mean[3]);

// Real events for the game's window, into SDL's queue; false when SDL refuses one.
bool PushKey(int32_t sdl_keycode, bool down, uint16_t modifiers = 0);
bool PushWindowEvent(uint8_t what, int data1 = 0, int data2 = 0);

class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGameWindow(); }
};
