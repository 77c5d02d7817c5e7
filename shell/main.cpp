// Entry point: read the options, find data/, create the window, run the loop, shut down.
#include "gfx/layout.h"
#include "shell/command_line.h"
#include "shell/data_folder.h"
#include "shell/main_loop.h"
#include "shell/window.h"

int main(int argc, char** argv)
{
    const StartChoice choice = ReadCommandLine(argc, argv, fullscreen);
    if (!choice.play)
        return choice.exit_code;
    EnterDataFolder();
    if (!CreateMainWindow("Tarn's OpenGL Framework", LAYER_WIDTH, LAYER_HEIGHT, 32, choice.fullscreen))
        return 1;  // creation has cleaned up and said why
    int exit_code = RunMainLoop();
    ShutdownMainWindow();
    return exit_code;
}
