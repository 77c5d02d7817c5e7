// Mesa's driver modules are kept loaded by tests/lib/keep_gl_modules.c, linked
// in, so that LeakSanitizer names them and the suppressions below match exactly
// them (the same ones the test binary suppresses).
#include "bench/bench_environment.h"

#include <cstdlib>

void PrepareBenchEnvironment()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

// Only read by LeakSanitizer, in a sanitized build.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:swrast_dri.so\n"
           "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n";
}
