// The one window, its OpenGL context and, in full screen, the display mode.
#pragma once
#include <cstdint>

struct SDL_Window;
union SDL_Event;
typedef void* SDL_GLContext;

extern uint8_t fullscreen;             // cleared when the player accepts windowed mode
extern SDL_Window* window_handle;
extern SDL_GLContext render_context;
extern uint8_t window_active;          // 0 while minimised: the main loop draws nothing

// main: window, context, viewport, then InitScene. False after showing why.
bool CreateMainWindow(const char* title, int width, int height, int bits, uint8_t fullscreen_wanted);
void ShutdownMainWindow();                // main, or a failed creation: releases everything in order
void ResizeViewport(int width, int height);  // size events and creation: viewport and perspective
void MainWindowProc(const SDL_Event& event);  // main loop, every event but quit: keys and pads -> KeyState, size, minimise, close
void PresentFrame();                      // main loop: swap the buffers
