// The key table, indexed by Windows virtual-key codes, and the translation to them.
#pragma once
#include <cstdint>

enum VirtualKey : uint8_t {
    VK_TAB = 0x09,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_P = 0x50,
};

extern uint8_t KeyState[256];  // by virtual-key code; 1 while held (the window's event handler writes it)

// SDL keycode -> virtual-key code, or 0 for keys the table has no code for.
// Called by the window's event handler for every key event.
uint8_t VirtualKeyFromSdl(int32_t sdl_keycode);
