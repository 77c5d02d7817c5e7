// The best games drawn at a game over, over the backdrop beside the board, in the
// game's own font; the board, its border and the score display are left as they are.
#pragma once
#include <cstdint>

#include "game/score_table.h"

// DrawScene after the game layer, while the game is over and not paused: the table with
// the place `marked` (the game just finished; -1 none) in the font's other glyph set, and "New best score!"
// when that place is the first. An empty table draws nothing. Leaves the render state as
// the game layer does.
void DrawScoreTable(const ScoreTable& table, int32_t marked);
