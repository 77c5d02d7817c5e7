// Window and OpenGL context over SDL2. Each creation step that can fail shows
// its own message; shutdown reports its failures and carries on.
#include "shell/window.h"

#include <SDL.h>
#include <cstring>

#include "audio/sound_effects.h"
#include "gfx/gl.h"
#include "gfx/projection.h"
#include "scenes/scene_director.h"
#include "shell/gamepad.h"
#include "shell/keys.h"
#include "shell/message_box.h"

uint8_t fullscreen = 1;
SDL_Window* window_handle = nullptr;
SDL_GLContext render_context = nullptr;
uint8_t window_active = 1;

static SDL_DisplayMode fullscreen_mode;

// SDL quietly falls back to its offscreen driver when there is no display; a
// game nobody can see is no use, so that counts as having no video at all,
// unless the offscreen driver was asked for by name (headless tests).
static bool OpenVideo()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && !(wanted && SDL_strcasecmp(wanted, driver) == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_DisableScreenSaver();
    return true;
}

// SDL may report success while keeping another size, so the mode itself is
// checked: full screen needs a real width x height mode.
static bool FindFullscreenMode(int width, int height, int bits)
{
    SDL_DisplayMode wanted = {bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565, width, height, 0, nullptr};
    if (!SDL_GetClosestDisplayMode(0, &wanted, &fullscreen_mode))
        return false;
    return fullscreen_mode.w == width && fullscreen_mode.h == height;
}

static bool RequestPixelFormat(int bits)
{
    int channel = bits >= 24 ? 8 : 5;
    int failures = 0;
    failures += SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0) != 0;
    return failures == 0;
}

// Everything the window holds goes first; the display connection stays until the
// last message has been shown, so that its box comes up the way every box before it
// did, on a connection the display server still counts.
static void ReleaseMainWindow();
static void CloseVideo();  // and the sound

static bool FailCreation(const char* message)
{
    ReleaseMainWindow();
    ShowMessage(message, "ERROR", MESSAGE_WARNING);
    CloseVideo();
    return false;
}

bool CreateMainWindow(const char* title, int width, int height, int bits, uint8_t fullscreen_wanted)
{
    fullscreen = fullscreen_wanted;
    if (!OpenVideo()) {
        ShowMessage("Failed To Register The Window Class.", "ERROR", MESSAGE_WARNING);
        SDL_Quit();
        return false;
    }
    // Unasked, a window is the safe answer: No would close a game the player never saw.
    if (fullscreen && !FindFullscreenMode(width, height, bits)) {
        if (AskYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                     "Tarn GL", true)) {
            fullscreen = 0;
        } else {
            ShowMessage("Program Will Now Close.", "ERROR", MESSAGE_ERROR);
            SDL_Quit();
            return false;
        }
    }
    OpenGamepads();  // after the question, so that every later failure closes them again
    if (!RequestPixelFormat(bits))
        return FailCreation("Can't Find A Suitable PixelFormat.");

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
    window_handle = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!window_handle)
        return FailCreation("Window Creation Error.");
    SetMessageOwner(window_handle);
    if (fullscreen) {
        if (SDL_SetWindowDisplayMode(window_handle, &fullscreen_mode) != 0)
            return FailCreation("Window Creation Error.");
        SDL_ShowCursor(SDL_DISABLE);
    }

    render_context = SDL_GL_CreateContext(window_handle);
    if (!render_context)
        return FailCreation("Can't Create A GL Rendering Context.");
    if (SDL_GL_MakeCurrent(window_handle, render_context) != 0)
        return FailCreation("Can't Activate The GL Rendering Context.");
    SDL_GL_SetSwapInterval(0);  // pacing alone sets the speed; a refusal is harmless

    SDL_ShowWindow(window_handle);
    SDL_RaiseWindow(window_handle);
    int drawable_width = width, drawable_height = height;
    SDL_GL_GetDrawableSize(window_handle, &drawable_width, &drawable_height);
    ResizeViewport(drawable_width, drawable_height);

    if (!InitScene())
        return FailCreation("Initialization Failed.");
    return true;
}

static void ShutdownMessage(const char* message)
{
    ShowMessage(message, "SHUTDOWN ERROR", MESSAGE_INFORMATION);
}

static void ReleaseMainWindow()
{
    if (fullscreen) {
        if (window_handle)
            SDL_SetWindowFullscreen(window_handle, 0);
        SDL_ShowCursor(SDL_ENABLE);
    }
    if (render_context) {
        DeleteSceneLists();  // while the context is still current
        if (SDL_GL_MakeCurrent(window_handle, nullptr) != 0)
            ShutdownMessage("Release Of DC And RC Failed.");
        SDL_GL_DeleteContext(render_context);
        render_context = nullptr;
    }
    if (window_handle) {
        SetMessageOwner(nullptr);
        SDL_DestroyWindow(window_handle);
        window_handle = nullptr;
    }
    CloseGamepads();
}

// The display connection, then the sound, last of all.
static void CloseVideo()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    CloseSoundSet();
    SDL_Quit();
}

void ShutdownMainWindow()
{
    ReleaseMainWindow();
    CloseVideo();
}

void ResizeViewport(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    SetScenePerspective();
}

static void HandleWindowEvent(const SDL_WindowEvent& event)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        ResizeViewport(event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window_active = 0;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN:
        window_active = 1;
        break;
    case SDL_WINDOWEVENT_CLOSE: {
        // Closing only asks the loop to end; the window goes at shutdown.
        SDL_Event quit;
        SDL_zero(quit);
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        break;
    }
    default:
        break;
    }
}

void MainWindowProc(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        // Keys held with Alt, and F10, are system keys and never reach the key table.
        if (!(event.key.keysym.mod & KMOD_ALT) && event.key.keysym.sym != SDLK_F10)
            HoldKey(VirtualKeyFromSdl(event.key.keysym.sym), KEY_HELD_BY_KEYBOARD, true);
        break;
    case SDL_KEYUP:
        // Every release counts, Alt or not: an arrow let go while Alt is down
        // must not stay held (by the keyboard: a pad may still hold it).
        HoldKey(VirtualKeyFromSdl(event.key.keysym.sym), KEY_HELD_BY_KEYBOARD, false);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        HandleGamepadEvent(event);
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
    default:
        break;
    }
}

void PresentFrame()
{
    SDL_GL_SwapWindow(window_handle);
}
