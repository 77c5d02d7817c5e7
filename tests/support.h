// What the in-process tests share: the game's own window and GL context (SDL's
// offscreen driver, llvmpipe, no display), frames read back and compared with
// golden pictures, real SDL key events, and scratch folders.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

// Opens the window through the game's own creation path (windowed, InitScene
// run, every start-up resource made), once per process; shut down at exit.
void OpenGameWindow();

// The back buffer, 640x480 RGB, top row first.
const uint8_t* ReadFrame();
inline const uint8_t* FramePixel(const uint8_t* frame, int x, int y) { return frame + (y * 640 + x) * 3; }

// The frame against tests/golden/<name>.png: exact on the renderer the set was
// made on (tests/golden/renderer.txt), a few levels on a few pixels elsewhere.
// With BLOCKFALL_UPDATE_GOLDEN=1 the picture and the renderer are rewritten.
::testing::AssertionResult MatchesGolden(const std::string& name);

bool PushKey(int32_t sdl_keycode, bool down);  // into SDL's queue, for the game's window

// A fresh folder under the system's temporary folder, removed with the object.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    std::filesystem::path path;
    std::string Write(const std::string& name, const std::string& bytes) const;  // returns the full path
};
