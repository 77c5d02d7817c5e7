// The ten best games: which games enter, in what order, and the table's text form. Pure
// rules and text, no files: the player's folder (shell/score_file) reads and writes it.
#pragma once
#include <cstdint>
#include <string>

enum { SCORE_PLACES = 10, PLAYER_NAME_BYTES = 32, SCORE_FILE_VERSION = 1 };

struct ScoreEntry {
    int32_t score;
    int32_t lines;
    int32_t level;
    int64_t finished;              // when the game ended: seconds since 1970-01-01 UTC
    char name[PLAYER_NAME_BYTES];  // the player's, UTF-8, no tab or line break, NUL-terminated
};

struct ScoreTable {
    int32_t count;
    ScoreEntry entries[SCORE_PLACES];  // best first; of equal scores, the earlier game first
};

// The game over: the finished game takes its place, 0 for the best, and the games below
// move down, the eleventh leaving; -1 when it does not enter (the table full of games
// that scored as much or more, which came first).
int EnterScore(ScoreTable* table, const ScoreEntry& entry);

// Copies name into entry.name, cut to fit at a whole UTF-8 character; tabs and line
// breaks become spaces, so that the text form stays one line a game.
void SetPlayerName(ScoreEntry* entry, const char* name);

// The text form: "blockfall scores 1", then one line a game, best first:
// score TAB lines TAB level TAB finished (YYYY-MM-DDTHH:MM:SSZ) TAB name. Written into
// *text, whose room the caller may have made beforehand (SCORE_TEXT_BYTES is always enough).
enum { SCORE_TEXT_BYTES = 24 + SCORE_PLACES * (52 + PLAYER_NAME_BYTES) };
void WriteScoreText(const ScoreTable& table, std::string* text);

enum ScoreTextResult { SCORE_TEXT_READ, SCORE_TEXT_DAMAGED, SCORE_TEXT_FUTURE };
// The table from its text; anything but a whole, well-formed table of this or an
// earlier version is refused, and *table is then left empty.
ScoreTextResult ReadScoreText(const std::string& text, ScoreTable* table);

// "2026-12-08T06:59:00Z" for the seconds since 1970 (UTC); false outside years 1970..9999.
bool FormatUtcTime(int64_t seconds, char out[21]);
