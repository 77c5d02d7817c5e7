/* Linked into the test binary and the benchmark, and preloaded into the real
 * game by the scripts that run it under the sanitizers. Mesa's driver modules are unloaded when the game's window closes; after that
 * LeakSanitizer can no longer name the module behind their one-time allocations
 * and would report them against no one. Loaded once more here with
 * RTLD_NODELETE, they stay mapped until exit, their names stay known, and
 * tests/lsan.supp can leave out exactly them while any leak of the game's own
 * code still fails the run. */
#include <dlfcn.h>

__attribute__((constructor)) static void KeepGlDriverModulesLoaded(void)
{
    static const char* const modules[] = {"libEGL_mesa.so.0", "libGLX_mesa.so.0",
                                          "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"};
    for (unsigned i = 0; i < sizeof modules / sizeof modules[0]; i++)
        dlopen(modules[i], RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}
