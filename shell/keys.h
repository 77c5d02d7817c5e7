// The key table, indexed by Windows virtual-key codes, who holds each key, and
// the translation from SDL's keycodes.
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

// A key can be held by the keyboard and a gamepad at once; it is up only when
// both have let go, so neither can release a key the other still holds.
enum KeyHolder : uint8_t {
    KEY_HELD_BY_KEYBOARD = 1,
    KEY_HELD_BY_PAD = 2,
};
extern uint8_t key_holders[256];  // by virtual-key code: the KeyHolder bits now holding it

// The window's event handler (keyboard) and the gamepad module (pads): one holder
// presses or lets go of a key; KeyState[key] follows whether any holder is left.
void HoldKey(uint8_t key, KeyHolder holder, bool held);

// SDL keycode -> virtual-key code, or 0 for keys the table has no code for.
// Called by the window's event handler for every key event.
uint8_t VirtualKeyFromSdl(int32_t sdl_keycode);
