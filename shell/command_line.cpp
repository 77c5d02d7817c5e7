// Command-line options. None given, the game starts as it always has: full
// screen, asking about a window where the display lacks 640x480.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>

static const char usage[] =
    "Usage: blockfall [--window | --fullscreen | --help | --version]\n"
    "  --window      play in a window, without asking\n"
    "  --fullscreen  play full screen, as with no option: asks where 640x480 is missing\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "Of --window and --fullscreen, the last one given counts.\n";

StartChoice ReadCommandLine(int argc, char** argv, uint8_t fullscreen_default)
{
    StartChoice choice = {true, 0, fullscreen_default};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--window") == 0) {
            choice.fullscreen = 0;
        } else if (std::strcmp(argument, "--fullscreen") == 0) {
            choice.fullscreen = 1;
        } else if (std::strcmp(argument, "--help") == 0) {
            std::fputs(usage, stdout);
            return {false, 0, choice.fullscreen};
        } else if (std::strcmp(argument, "--version") == 0) {
            std::puts("blockfall " BLOCKFALL_VERSION);
            return {false, 0, choice.fullscreen};
        } else {
            std::fprintf(stderr, "blockfall: unknown argument '%s'\n%s", argument, usage);
            return {false, 2, choice.fullscreen};
        }
    }
    return choice;
}
