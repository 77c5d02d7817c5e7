#include "tests/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "game/random.h"
#include "game/session.h"

// Between them: every level's gravity up to the fastest and past it, the 8-frame
// rhythm against both walls, rotation, soft drop, one to four rows at once and
// their rewards, a level rise, the stack reaching the top, a piece entering over
// filled cells, rows removed at the very top, frames after the game is over, and
// a restart after it.
const ScriptedGame scripted_games[] = {
    {"rhythm", "seed=1 L60 U20 R90 N40 D40 N9 L7 R1 N300"},
    {"gravity", "seed=2 level=1 N40 level=27 N8 level=28 N6 level=29 N5 level=30 N5 level=0 D500"},
    {"single", "seed=3 kind=0 fill=18-18:##########. fill=19-19:####.###### D40 N90"},
    {"double", "seed=4 kind=0 fill=18-19:####.###### D40 N90"},
    {"triple", "seed=5 kind=0 fill=17-19:####.###### lines=8 D40 N90"},
    {"four", "seed=6 kind=0 lines=19 level=1 fill=16-19:####.###### D30 N130"},
    {"stacked_out", "new=8 fill=4-19:.....###### D900 N40"},
    {"land_turning", "seed=7 kind=1 level=26 fill=12-19:##......### U300"},
    {"full_rows", "seed=10 fill=12-19:########### N3"},
    {"entry_overhang", "seed=9 kind=0 fill=1-2:....#...... fill=6-19:....#...... N70 L8 N20"},
    {"top_rows", "seed=11 kind=0 fill=0-0:#.........# fill=1-4:####.###### fill=5-19:....#...... N70"},
    {"top_row_last", "seed=12 kind=0 fill=0-0:####.###### fill=4-19:....#...... N40"},
    {"restart", "seed=14 kind=2 fill=3-19:##########. U30 N60 new=15 N40 R40"},
};
const int scripted_game_count = sizeof scripted_games / sizeof scripted_games[0];

static uint32_t BoardHash()
{
    uint32_t hash = 2166136261u;
    for (uint8_t cell : game.board)
        hash = (hash ^ cell) * 16777619u;
    return hash;
}

static std::string StateLine(const std::string& sounds, bool with_counters)
{
    char line[200];
    std::snprintf(line, sizeof line, "piece %d/%d/%d/%d next %d score %d lines %d level %d%s shake %d:%d popup %d:%d:%d %s board %08x",
                  game.piece.kind, game.piece.rotation, game.piece.column, game.piece.row, game.next_kind,
                  game.score, game.lines, game.level, game.game_over ? " over" : "", game.shake_timer > 0,
                  game.shake_offset, game.popup_timer > 0, game.popup_kind, game.popup_row,
                  sounds.empty() ? "-" : sounds.c_str(), BoardHash());
    if (!with_counters)
        return line;
    char counters[64];
    std::snprintf(counters, sizeof counters, " | drop %d y %.2f popup %d\n", game.drop_timer, game.piece_pixel_y,
                  game.popup_timer);
    return line + std::string(counters);
}

static void Fill(const char* rows)
{
    int first = 0, last = 0, used = 0;
    char cells[16] = "";
    if (std::sscanf(rows, "%d-%d:%15s%n", &first, &last, cells, &used) != 3 || std::strlen(cells) != BOARD_COLUMNS)
        std::abort();  // a script typed wrong
    for (int row = first; row <= last; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++)
            game.board[BoardIndex(column, row)] = cells[column] == '#';
}

std::string PlayScriptedGame(const ScriptedGame& script, FrameRunner run, std::string (*heard)())
{
    std::istringstream steps(script.steps);
    std::string step, trace, last;
    PlayerCommand pending = MOVE_NONE;
    int frame = 0;
    while (steps >> step) {
        const char* value = std::strchr(step.c_str(), '=');
        int number = value ? std::atoi(value + 1) : 0;
        if (step.rfind("seed=", 0) == 0 || step.rfind("new=", 0) == 0) {
            if (step[0] == 's')
                game = GameSession{};
            EndGameForRestart();  // new= restarts after the game before, as Tab does
            SeedRandom((uint32_t)number);
            ResetGame();
        } else if (step.rfind("level=", 0) == 0) {
            game.level = number;
        } else if (step.rfind("lines=", 0) == 0) {
            game.lines = number;
        } else if (step.rfind("kind=", 0) == 0) {
            game.piece.kind = (uint8_t)number;
        } else if (step.rfind("fill=", 0) == 0) {
            Fill(value + 1);
        } else {
            static const char keys[] = "NLRUxD";  // indexed by PlayerCommand
            const char* key = std::strchr(keys, step[0]);
            if (!key || step[0] == 'x')
                std::abort();
            const PlayerCommand held = (PlayerCommand)(key - keys);
            for (int count = std::atoi(step.c_str() + 1); count > 0; count--, frame++) {
                if (held != MOVE_NONE)
                    pending = held;  // the keys are read after each frame, as the main loop does
                pending = run(pending);
                const std::string sounds = heard();
                std::string line = StateLine(sounds, false);
                if (line != last || !sounds.empty())
                    trace += std::to_string(frame) + " " + step[0] + " " + StateLine(sounds, true);
                last = line;
            }
        }
    }
    return trace;
}

static const char trace_path[] = "tests/golden/games.trace";

std::string GoldenTrace(const char* name)
{
    std::ifstream file(trace_path);
    std::string line, trace, header = std::string("== ") + name;
    bool inside = false;
    while (std::getline(file, line)) {
        if (line.rfind("== ", 0) == 0)
            inside = line == header;
        else if (inside)
            trace += line + "\n";
    }
    return trace;
}

bool UpdateGoldenTrace(const char* name, const std::string& trace)
{
    const char* update = std::getenv("BLOCKFALL_UPDATE_GOLDEN");
    if (!update || std::strcmp(update, "1") != 0)
        return false;
    std::ostringstream rest;
    std::ifstream file(trace_path);
    std::string line;
    bool inside = false;
    while (std::getline(file, line)) {
        if (line.rfind("== ", 0) == 0)
            inside = line == std::string("== ") + name;
        if (!inside)
            rest << line << "\n";
    }
    file.close();
    std::ofstream(trace_path) << rest.str() << "== " << name << "\n" << trace;
    return true;
}
