// Gamepads through SDL's game-controller API: the D-pad, the left stick and a
// few buttons act as the keys the game reads, held in KeyState beside the keyboard.
#pragma once

union SDL_Event;

// CreateMainWindow, once video is open: the game-controller subsystem and every
// pad already plugged in. When the subsystem fails the game plays from the
// keyboard alone, with nothing said.
void OpenGamepads();
void CloseGamepads();  // ShutdownMainWindow: lets go of every pad's keys, closes the pads and the subsystem
void HandleGamepadEvent(const SDL_Event& event);  // MainWindowProc, each controller event: pads come and go, buttons and the stick -> KeyState
