// The player's choices on the command line: help, version, the scores, a window or full screen.
#pragma once
#include <cstdint>

// What main does next: play, or leave at once with exit_code.
struct StartChoice {
    bool play;
    int exit_code;       // without play: 0 after --help, --version or --scores, 2 after a wrong argument
    uint8_t fullscreen;  // with play: CreateMainWindow's fullscreen_wanted
    bool print_scores = false;  // without play: --scores, which main prints once the table is read
};

// main, first thing: reads the arguments, the last of --window and --fullscreen counting;
// prints the usage (stdout for --help, stderr for a wrong argument) or the version itself.
StartChoice ReadCommandLine(int argc, char** argv, uint8_t fullscreen_default);
