// The test binary's own environment: headless drivers unless the caller chose
// others, and the sanitizer settings, wherever the binary is started from.
#include <cstdlib>

namespace {

// Before main, before SDL starts: a real legacy GL context on llvmpipe without
// any X server, and no sound card. Tests that need another driver set their own.
const bool headless_drivers = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

}  // namespace

// Leaks of libraries outside the game only: the D-Bus client SDL starts, and
// Mesa's driver, whose context caches go when the driver module unloads (the
// GL fixture keeps it loaded so that these can be named at all).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:swrast_dri.so\n"
           "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
