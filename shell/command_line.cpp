// Command-line options. None given, the game starts as it always has: full
// screen, asking about a window where the display lacks 640x480.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>

static const char usage[] =
    "Usage: blockfall [--window | --fullscreen | --scores | --help | --version]\n"
    "  --window      play in a window, without asking\n"
    "  --fullscreen  play full screen, as with no option: asks where 640x480 is missing\n"
    "  --scores      print the ten best games and exit\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "Of --window and --fullscreen, the last one given counts.\n"
    "The ten best games are kept in the player's own folder: scores.txt in\n"
    "$XDG_DATA_HOME/blockfall (else ~/.local/share/blockfall) on Linux, and in\n"
    "%APPDATA%\\blockfall on Windows.\n";

StartChoice ReadCommandLine(int argc, char** argv, uint8_t fullscreen_default)
{
    StartChoice choice = {true, 0, fullscreen_default, false};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--window") == 0) {
            choice.fullscreen = 0;
        } else if (std::strcmp(argument, "--fullscreen") == 0) {
            choice.fullscreen = 1;
        } else if (std::strcmp(argument, "--scores") == 0) {
            return {false, 0, choice.fullscreen, true};
        } else if (std::strcmp(argument, "--help") == 0) {
            std::fputs(usage, stdout);
            return {false, 0, choice.fullscreen, false};
        } else if (std::strcmp(argument, "--version") == 0) {
            std::puts("blockfall " BLOCKFALL_VERSION);
            return {false, 0, choice.fullscreen, false};
        } else {
            std::fprintf(stderr, "blockfall: unknown argument '%s'\n%s", argument, usage);
            return {false, 2, choice.fullscreen, false};
        }
    }
    return choice;
}
