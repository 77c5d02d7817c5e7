// Entry point: create the window, run the loop, shut down.
#include "gfx/layout.h"
#include "shell/main_loop.h"
#include "shell/window.h"

int main(int, char**)
{
    if (!CreateMainWindow("Tarn's OpenGL Framework", LAYER_WIDTH, LAYER_HEIGHT, 32, fullscreen))
        return 1;  // creation has cleaned up and said why
    int exit_code = RunMainLoop();
    ShutdownMainWindow();
    return exit_code;
}
