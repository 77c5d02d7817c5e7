// Mesa's driver modules are unloaded at shutdown, which leaves LeakSanitizer
// unable to name the module behind their one-time allocations; kept loaded,
// they keep their names and the suppressions below can match exactly them
// (the same ones the test binary suppresses).
#include "bench/bench_environment.h"

#include <dlfcn.h>

#include <cstdlib>

void PrepareBenchEnvironment()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* modules[] = {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"};
    for (const char* module : modules)
        dlopen(module, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

// Only read by LeakSanitizer, in a sanitized build.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:swrast_dri.so\n"
           "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n";
}
