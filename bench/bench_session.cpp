// The benchmark's game states, built from the session the new-game reset made
// so that the piece, its kind and the preview are the game's own.
#include "bench/bench_session.h"

#include "game/piece_table.h"
#include "game/session.h"

static GameSession full_board;

// Staggered, so the gaps do not line up into an open column.
static int GapColumn(int row)
{
    return (row * 4) % BOARD_COLUMNS;
}

static bool UnderPiece(const ActivePiece& piece, int column, int row)
{
    return PieceCell(piece.kind, piece.rotation, column - piece.column, row - piece.row) == 1;
}

void MakeFullBoardSession()
{
    full_board = game;
    for (int column = 0; column < BOARD_COLUMNS; column++)
        for (int row = 0; row < BOARD_ROWS; row++) {
            bool open = column == GapColumn(row) || UnderPiece(full_board.piece, column, row);
            full_board.board[column * BOARD_ROWS + row] = open ? 0 : 1;
        }
    full_board.game_over = 0;
    full_board.drop_timer = 0;  // gravity never comes due: the piece stays in play
    full_board.shake_timer = 120;
    full_board.popup_kind = 4;
    full_board.popup_row = 12;
}

void RestoreFullBoardSession(int32_t level, int frame)
{
    game = full_board;
    game.level = level;
    game.popup_timer = 50 - frame % 50;
}

void RestoreFullRowsSession()
{
    game = full_board;
    game.shake_timer = 0;
    game.popup_timer = 0;
    for (int row = BOARD_ROWS - 4; row < BOARD_ROWS; row++)
        game.board[GapColumn(row) * BOARD_ROWS + row] = 1;
}
