// Scripted games: steps played frame by frame through a frame runner, written
// down as one line for every frame in which more than the counters changed.
// The same scripts run through the rules alone and through the drawn game
// frame, and both must give the golden trace, tests/golden/games.trace.
#pragma once
#include <string>

#include "game/board.h"

// Steps, separated by spaces: seed=N starts a game from the program's start,
// new=N restarts after the game before; level=N, lines=N and kind=K set the
// session; fill=A-B:#########.# fills rows A..B as drawn (# filled);
// L, R, U, D or N with a count holds left, right, rotate, drop or nothing for
// that many frames.
struct ScriptedGame {
    const char* name;
    const char* steps;
};
extern const ScriptedGame scripted_games[];
extern const int scripted_game_count;

// run plays one frame and returns the command left pending; heard returns the
// sounds of that frame as letters (d drop, c cleared, u level up, x explosion),
// in that order.
typedef PlayerCommand (*FrameRunner)(PlayerCommand);
std::string PlayScriptedGame(const ScriptedGame& script, FrameRunner run, std::string (*heard)());

// The golden trace of one game, as the file holds it.
std::string GoldenTrace(const char* name);
bool UpdateGoldenTrace(const char* name, const std::string& trace);  // BLOCKFALL_UPDATE_GOLDEN=1 only
