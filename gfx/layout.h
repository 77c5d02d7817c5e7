// Where things are on the screen: the game layer is a 640x480 space, y downward,
// whatever the window's size, and the board's cell (c, r) is the square of
// CELL_PIXELS at (BOARD_LEFT + c * CELL_PIXELS, BOARD_TOP + r * CELL_PIXELS).
#pragma once

#include "game/session.h"  // CELL_PIXELS: the rules glide the piece in them

enum { LAYER_WIDTH = 640, LAYER_HEIGHT = 480 };
enum { BOARD_LEFT = 232, BOARD_TOP = 72 };
