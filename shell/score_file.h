// The ten best games, kept in the player's own folder (SDL's preference path: on Linux
// $XDG_DATA_HOME/blockfall, else ~/.local/share/blockfall; on Windows %APPDATA%\blockfall)
// as scores.txt, in the text form of game/score_table. Nothing is ever lost: a save
// re-reads the file under a lock shared by every copy of the game and writes it whole;
// a file that cannot be read is set aside, never overwritten; a folder that cannot be
// written to is said once, and the game plays on.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/score_table.h"

extern ScoreTable score_table;      // as last read or saved; drawn at a game over
extern int32_t finished_game_place;  // the place the last finished game took, -1 when it took none

// main, before the window (and --scores): finds the folder and reads the table. folder
// empty: the player's folder; tests name one of their own.
void OpenScoreFile(const std::string& folder = "");
// The main loop, in the frame that ends a game, before any key can end the program:
// the game enters the table and the table is saved. Returns its place, or -1.
int32_t KeepFinishedGame(int32_t score, int32_t lines, int32_t level);
// --scores: the table, one line a game, columns aligned; or that there is none yet.
void PrintScoreTable(std::FILE* out);
std::string ScoreFilePath();  // --help and messages: where the table is kept
