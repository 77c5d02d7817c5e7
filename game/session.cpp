// The one game session, and the reset that starts each game.
#include "game/session.h"

#include <cstring>

#include "game/random.h"

// Program-start values: everything 0 except the piece's column 4.
GameSession game = {{0}, {0, 0, 4, 0}, 0, {0}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f};

// Leaves level (the restart zeroes it), rotation, working_mask, rows_cleared, the
// shake, the popup and piece_pixel_y as the last game left them.
void ResetGame()
{
    game.piece.kind = (uint8_t)(NextRandom() % 7);
    game.next_kind = (uint8_t)(NextRandom() % 7);
    game.piece.column = ENTRY_COLUMN;
    game.piece.row = 0;
    game.game_over = 0;
    game.lines = 0;
    game.repeat_counter = 0;
    game.score = 0;
    game.drop_timer = 0;
    std::memset(game.board, 0, sizeof game.board);
}

void EndGameForRestart()
{
    game.game_over = 0;
    game.level = 0;
}
