// Boards as text pictures: one string per board row, 11 characters, 'X' a filled
// cell and '.' an empty one. A picture of fewer than 20 rows stands at the bottom
// of the board, the rows above it empty. The falling piece shows as '#'.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>

#include "game/board.h"
#include "game/piece_table.h"
#include "game/session.h"

// Fills game.board from the picture (bottom-aligned); every other cell empty.
inline void SetBoard(std::initializer_list<const char*> rows)
{
    ASSERT_LE(rows.size(), (size_t)BOARD_ROWS);
    std::fill(std::begin(game.board), std::end(game.board), 0);
    int row = BOARD_ROWS - (int)rows.size();
    for (const char* text : rows) {
        ASSERT_EQ(std::string(text).size(), (size_t)BOARD_COLUMNS) << "row picture: " << text;
        for (int column = 0; column < BOARD_COLUMNS; column++)
            game.board[column * BOARD_ROWS + row] = text[column] == 'X' ? 1 : 0;
        row++;
    }
}

// The bottom `count` rows of the board as a picture, one line per row; with
// show_piece the falling piece's cells are drawn as '#' (over filled cells too).
inline std::string BoardPicture(int count = BOARD_ROWS, bool show_piece = false)
{
    std::string text;
    for (int row = BOARD_ROWS - count; row < BOARD_ROWS; row++) {
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            int dx = column - game.piece.column, dy = row - game.piece.row;
            if (show_piece && PieceCell(game.piece.kind, game.piece.rotation, dx, dy))
                text += '#';
            else
                text += game.board[column * BOARD_ROWS + row] ? 'X' : '.';
        }
        text += '\n';
    }
    return text;
}

// The same layout from a list of row strings, to compare with BoardPicture.
inline std::string Picture(std::initializer_list<const char*> rows)
{
    std::string text;
    for (const char* row : rows)
        text += std::string(row) + '\n';
    return text;
}

// Places the falling piece and refreshes nothing: callers refresh the mask themselves.
inline void PlacePiece(int kind, int rotation, int column, int row)
{
    game.piece.kind = (uint8_t)kind;
    game.piece.rotation = (int8_t)rotation;
    game.piece.column = (int8_t)column;
    game.piece.row = (int8_t)row;
}

// True when a filled cell of the falling piece lies on a filled board cell.
inline bool PieceOverlapsBoard()
{
    for (int dx = 0; dx < 4; dx++)
        for (int dy = 0; dy < 4; dy++)
            if (PieceCell(game.piece.kind, game.piece.rotation, dx, dy) &&
                BoardCell(game.piece.column + dx, game.piece.row + dy))
                return true;
    return false;
}
