// The rule steps of one game frame, none of which draws. The game frame calls them
// in this order, with its drawing woven in between:
//   ShakeBoard; CountDropTimer; if not game over: TickGame, CountDownPopup; RemoveFullRows.
// RunRulesFrame is exactly that sequence, so random draws, sounds and state changes
// come in the same order with or without the drawing.
#pragma once
#include <cstdint>

int32_t GravityPeriod();  // tick and tests: frames per row, 30 - level, never below 1 (levels 29 and up)

void ShakeBoard();      // game frame, before border and landed cells: one random offset per shaking frame
void CountDropTimer();  // game frame, after the landed cells, game over or not: one more frame of the period
void TickGame();        // game frame, only while game_over is 0: command, gravity, landing, piece_pixel_y
void CountDownPopup();  // game frame, after the tick and the popup drawing: one frame less of the popup
void RemoveFullRows();  // game frame, after the tick, game over or not: four scans, then bonus, shake, popup, sound
void RunRulesFrame();   // tests, soak and benchmark: every rule step of one frame in order, drawing nothing
