// The game session: all per-game state, one process-wide instance.
#pragma once
#include <cstdint>

enum { BOARD_COLUMNS = 11, BOARD_ROWS = 20, BOARD_CELLS = BOARD_COLUMNS * BOARD_ROWS };
enum { ENTRY_COLUMN = 3 };  // where every piece enters, in row 0
enum { CELL_PIXELS = 16 };  // a cell's height on screen: the falling piece glides in these pixels

// The board is stored column by column, top row first.
inline int BoardIndex(int column, int row) { return column * BOARD_ROWS + row; }

// The falling piece. column may be -2..9 (a mask's left columns can be empty).
struct ActivePiece {
    uint8_t kind;     // 0..6, index into the piece table
    int8_t rotation;  // 0..3
    int8_t column;    // board column of the mask's left edge
    int8_t row;       // board row of the mask's top edge, 0..18
};

struct GameSession {
    uint8_t board[BOARD_CELLS];  // column-major, at BoardIndex(c, r); 1 filled
    ActivePiece piece;
    uint8_t next_kind;           // shown in the preview; taken by the next spawn
    uint8_t working_mask[16];    // piece mask, column-major: [dx * 4 + dy]
    int32_t score;
    int32_t lines;
    int32_t level;
    int32_t rows_cleared;        // rows removed in the current frame
    int32_t drop_timer;          // frames into the current gravity period
    int8_t repeat_counter;       // free-running, wraps 127 -> -128; paces commands
    uint8_t game_over;           // flag: 1 once a piece has landed in row 0
    int32_t shake_timer;
    int32_t shake_offset;        // -2..3 pixels added to border and landed cells
    int32_t popup_timer;         // 50 when a popup starts
    int32_t popup_kind;          // 1..4 rows
    int32_t popup_row;
    float piece_pixel_y;         // drawn distance of the piece's top from the board's top
};

extern GameSession game;

void ResetGame();            // NewGameReset, right after seeding: the game fields of a fresh game
void EndGameForRestart();    // main loop, Tab after a game over: game_over and level 0 until the new game starts
