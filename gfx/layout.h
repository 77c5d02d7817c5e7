// Where things are on the screen: the game layer is a 640x480 space, y downward,
// whatever the window's size, and the board's cell (c, r) is the square of
// CELL_PIXELS at (BOARD_LEFT + c * CELL_PIXELS, BOARD_TOP + r * CELL_PIXELS).
#pragma once

#include "game/session.h"  // CELL_PIXELS: the rules glide the piece in them

enum { LAYER_WIDTH = 640, LAYER_HEIGHT = 480 };
enum { BOARD_LEFT = 232, BOARD_TOP = 72 };

// Texts are placed by the top-left corner of their first glyph.
enum { SCORE_TEXT_LEFT = 16, LINES_TEXT_TOP = 410, SCORE_TEXT_TOP = 430, LEVEL_TEXT_TOP = 450 };
enum { NEXT_TEXT_LEFT = 534, NEXT_TEXT_TOP = 400 };
// The next piece under "Next :": a point of PREVIEW_STEP pixels a cell of its mask.
enum { PREVIEW_LEFT = 564, PREVIEW_TOP = 440, PREVIEW_STEP = 8 };
// A score popup starts POPUP_DROP pixels below its row's top edge (row * CELL_PIXELS) plus
// its timer, so that it rises a pixel a frame; "+50" stands further right than the rest.
enum { POPUP_LEFT = 288, POPUP_ONE_ROW_LEFT = 296, POPUP_DROP = 22 };
enum { PAUSE_TEXT_LEFT = 226, PAUSE_TEXT_TOP = 232 };
// At a game over, the best games left of the board, two lines a game (place and score,
// then the player), and a new best score's word above the board.
enum { TABLE_LEFT = 16, TABLE_TOP = 40, TABLE_LINE = 16, TABLE_INDENT = 30, TABLE_COLUMNS = 13 };
enum { NEW_BEST_LEFT = 208, NEW_BEST_TOP = 40 };
