// The rule steps of one game frame, none of which draws. The game frame calls them
// in this order, with its drawing woven in between:
//   ShakeBoard; CountDropTimer; if not game over: TickGame, CountDownPopup; RemoveFullRows.
// RunRulesFrame is exactly that sequence, so random draws, sounds and state changes
// come in the same order with or without the drawing. The command comes in as an
// argument and what stays pending goes back: a tick uses it up, a frame without
// a tick (game over) leaves it pending.
#pragma once
#include <cstdint>

#include "game/board.h"

int32_t GravityPeriod();  // tick and tests: frames per row, 30 - level, never below 1 (levels 29 and up)
int32_t RowsReward(int32_t rows);  // row removal and the popup: points for rows removed at once, 0 outside 1..4

void ShakeBoard();      // game frame, before border and landed cells: one random offset per shaking frame
void CountDropTimer();  // game frame, after the landed cells, game over or not: one more frame of the period
// Game frame, only while game_over is 0: command, gravity, landing, piece_pixel_y.
// Returns what stays pending, which is nothing: the tick uses the command up.
PlayerCommand TickGame(PlayerCommand command);
void CountDownPopup();  // game frame, after the tick and the popup drawing: one frame less of the popup
void RemoveFullRows();  // game frame, after the tick, game over or not: four scans, then bonus, shake, popup, sound
// Tests, soak and benchmark: every rule step of one frame in order, drawing nothing;
// rule_sounds holds that frame's sounds afterwards. Returns what stays pending.
PlayerCommand RunRulesFrame(PlayerCommand command);
