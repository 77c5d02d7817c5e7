#include "tests/support.h"

#include <SDL.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "gfx/gl.h"
#include "shell/window.h"

// Before main and before SDL starts: a real legacy GL context on llvmpipe
// without any X server, and no sound card. Tests that need others set their own.
static const bool headless_drivers = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

// Leaks of libraries outside the game only: the D-Bus client SDL starts and Mesa's driver.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\nleak:swrast_dri.so\nleak:libEGL_mesa.so\nleak:libGLX_mesa.so\n";
}
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

void OpenGameWindow()
{
    if (window_handle)
        return;
    ASSERT_TRUE(CreateMainWindow("Tarn's OpenGL Framework", 640, 480, 32, 0)) << "tests run from the source folder";
    std::atexit([] {
        if (window_handle)
            ShutdownMainWindow();
    });
}

const uint8_t* ReadFrame()
{
    static uint8_t upside_down[640 * 480 * 3], frame[640 * 480 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, upside_down);
    for (int y = 0; y < 480; y++)
        std::memcpy(frame + y * 640 * 3, upside_down + (479 - y) * 640 * 3, 640 * 3);
    return frame;
}

static bool WritePng(const std::string& path, const uint8_t* rgb)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 640;
    image.height = 480;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb, 0, nullptr) != 0;
}

static bool ReadPng(const std::string& path, std::vector<uint8_t>& rgb)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    bool read = image.width == 640 && image.height == 480 &&
                png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return read;
}

static std::string Renderer()
{
    return std::string((const char*)glGetString(GL_RENDERER)) + " | " + (const char*)glGetString(GL_VERSION);
}

::testing::AssertionResult MatchesGolden(const std::string& name)
{
    const std::string path = "tests/golden/" + name + ".png", renderer_path = "tests/golden/renderer.txt";
    const uint8_t* frame = ReadFrame();
    const char* update = std::getenv("BLOCKFALL_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        std::ofstream(renderer_path) << Renderer() << "\n";
        return WritePng(path, frame) ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << "could not write " << path;
    }
    std::vector<uint8_t> golden;
    if (!ReadPng(path, golden))
        return ::testing::AssertionFailure() << "no 640x480 " << path << " (scripts/update-golden makes it)";
    std::string recorded;
    std::getline(std::ifstream(renderer_path), recorded);
    // Another renderer rounds differently: allow 16 levels on 1 pixel in 2000.
    const bool same = recorded == Renderer();
    const int tolerance = same ? 0 : 16, allowed = same ? 0 : 640 * 480 / 2000;
    int differing = 0;
    for (int p = 0; p < 640 * 480; p++)
        for (int c = 0; c < 3; c++)
            if (std::abs(frame[p * 3 + c] - golden[p * 3 + c]) > tolerance) {
                differing++;
                break;
            }
    if (differing <= allowed)
        return ::testing::AssertionSuccess();
    const std::string seen = (std::filesystem::temp_directory_path() / ("blockfall-" + name + ".png")).string();
    WritePng(seen, frame);
    return ::testing::AssertionFailure() << differing << " pixels differ from " << path << " (renderer "
                                         << (same ? "as recorded" : Renderer()) << "); the frame is in " << seen;
}

bool PushKey(int32_t sdl_keycode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sdl_keycode;
    event.key.windowID = SDL_GetWindowID(window_handle);
    return SDL_PushEvent(&event) == 1;
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "blockfall-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : "";
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::filesystem::path file = path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}
