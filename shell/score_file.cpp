// The score table's file: where it lives, reading it, setting a damaged one aside, and
// saving under the lock. Every failure is one line on stderr; saving failures are said
// once, and later games are still entered in the table shown.
#include "shell/score_file.h"

#include <SDL.h>

#include <cstring>
#include <ctime>

#include "shell/player_files.h"

ScoreTable score_table;
int32_t finished_game_place = -1;

// Made once when the file is opened, so that keeping a game allocates nothing.
static std::string score_folder;  // with its trailing separator; "" when there is none
static std::string table_path, lock_path, file_text;
static char player_name[PLAYER_NAME_BYTES];
static bool saving_failed;         // said once: no more tries
static const size_t largest_file = 64 * 1024;
static_assert(SCORE_TEXT_BYTES <= 64 * 1024, "a table written is read back");

static const std::string& TablePath() { return table_path; }
std::string ScoreFilePath() { return score_folder.empty() ? "(no folder)" : table_path; }

static void SaySavingFailed(const std::string& why)
{
    if (!saving_failed)
        std::fprintf(stderr, "blockfall: the scores cannot be kept in %s: %s; the game plays on without keeping them\n",
                     score_folder.empty() ? "the player's folder" : score_folder.c_str(), why.c_str());
    saving_failed = true;
}

// The table as the file holds it; a file that is there and cannot be read as a table is
// set aside with one line saying so, and the table is empty.
static ScoreTable ReadTable()
{
    ScoreTable table = {};
    const FileReadResult read = ReadWholeFile(TablePath(), largest_file, &file_text);
    if (read == FILE_ABSENT)
        return table;
    const ScoreTextResult parsed = read == FILE_READ ? ReadScoreText(file_text, &table) : SCORE_TEXT_DAMAGED;
    if (parsed == SCORE_TEXT_READ)
        return table;
    const std::string aside = SetFileAside(TablePath());
    const char* what = parsed == SCORE_TEXT_FUTURE ? "is from a later version of the game"
                       : read == FILE_TOO_LARGE   ? "is too large to be a score table"
                                                  : "cannot be read as a score table";
    if (aside.empty()) {
        std::fprintf(stderr, "blockfall: %s %s, and cannot be set aside: the scores are not kept\n", TablePath().c_str(),
                     what);
        saving_failed = true;  // never overwritten unread
    } else {
        std::fprintf(stderr, "blockfall: %s %s; set aside as %s, and a new table started\n", TablePath().c_str(), what,
                     aside.c_str());
    }
    return table;
}

// The account's name, else what the environment says, else "player".
static void FindPlayerName()
{
    std::string name = AccountName();
    for (const char* variable : {"USER", "USERNAME", "LOGNAME"})
        if (name.empty() && SDL_getenv(variable))
            name = SDL_getenv(variable);
    ScoreEntry named = {};
    SetPlayerName(&named, name.empty() ? "player" : name.c_str());
    std::memcpy(player_name, named.name, sizeof player_name);
}

void OpenScoreFile(const std::string& folder)
{
    saving_failed = false;
    finished_game_place = -1;
    FindPlayerName();
    score_folder = folder;
    if (score_folder.empty()) {
        char* pref = SDL_GetPrefPath(nullptr, "blockfall");
        if (pref)
            score_folder = pref;
        SDL_free(pref);
    }
    if (!score_folder.empty() && score_folder.back() != '/' && score_folder.back() != '\\')
        score_folder += '/';
    if (score_folder.empty())
        SaySavingFailed(SDL_GetError());
    table_path = score_folder + "scores.txt";
    lock_path = score_folder + "scores.lock";
    file_text.reserve(largest_file);  // more than any table written: SCORE_TEXT_BYTES
    score_table = score_folder.empty() ? ScoreTable{} : ReadTable();
}

int32_t KeepFinishedGame(int32_t score, int32_t lines, int32_t level)
{
    ScoreEntry entry = {score, lines, level, int64_t(std::time(nullptr)), {}};
    std::memcpy(entry.name, player_name, sizeof entry.name);
    if (saving_failed || score_folder.empty())
        return finished_game_place = EnterScore(&score_table, entry);
    // Another copy of the game may have saved since: its games are read back first.
    const intptr_t lock = LockPlayerFile(lock_path);
    ScoreTable table = ReadTable();
    finished_game_place = EnterScore(&table, entry);
    std::string why;
    if (finished_game_place >= 0 && !saving_failed) {
        WriteScoreText(table, &file_text);
        if (!WriteFileWhole(TablePath(), file_text, &why))
            SaySavingFailed(why);
    }
    UnlockPlayerFile(lock);
    score_table = table;
    return finished_game_place;
}

void PrintScoreTable(std::FILE* out)
{
    if (score_table.count == 0) {
        std::fprintf(out, "No games in the table yet (%s).\n", ScoreFilePath().c_str());
        return;
    }
    std::fprintf(out, "%5s  %9s  %5s  %5s  %-20s  %s\n", "place", "score", "lines", "level", "finished (UTC)", "player");
    for (int i = 0; i < score_table.count; i++) {
        const ScoreEntry& entry = score_table.entries[i];
        char when[21] = "?";
        FormatUtcTime(entry.finished, when);
        std::fprintf(out, "%5d  %9d  %5d  %5d  %-20s  %s\n", i + 1, entry.score, entry.lines, entry.level, when,
                     entry.name);
    }
}
