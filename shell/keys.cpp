// The key table and its holders, and the translation from SDL keycodes to the
// Windows virtual-key codes that index it.
#include "shell/keys.h"

#include <SDL.h>

uint8_t KeyState[256];
uint8_t key_holders[256];

void HoldKey(uint8_t key, KeyHolder holder, bool held)
{
    if (held)
        key_holders[key] |= holder;
    else
        key_holders[key] &= (uint8_t)~holder;
    KeyState[key] = key_holders[key] != 0;
}

uint8_t VirtualKeyFromSdl(int32_t sdl_keycode)
{
    // Letters and digits share their ASCII upper-case codes with the virtual keys.
    if (sdl_keycode >= SDLK_a && sdl_keycode <= SDLK_z)
        return (uint8_t)('A' + (sdl_keycode - SDLK_a));
    if (sdl_keycode >= SDLK_0 && sdl_keycode <= SDLK_9)
        return (uint8_t)sdl_keycode;
    if (sdl_keycode >= SDLK_F1 && sdl_keycode <= SDLK_F12)
        return (uint8_t)(0x70 + (sdl_keycode - SDLK_F1));
    switch (sdl_keycode) {
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    default: return 0;
    }
}
