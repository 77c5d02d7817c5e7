// Board and piece mechanics. The movement and landing probes look only at the cell
// just beyond the outermost filled cell of each mask row or column: every row and
// column of every mask is one unbroken run, so that single cell decides. Landing
// also counts the piece's own cells, for a piece that entered over the stack.
#include "game/board.h"

#include "game/piece_table.h"
#include "game/random.h"
#include "game/rule_sounds.h"
#include "game/session.h"

static bool IsInsideBoard(int column, int row)
{
    return column >= 0 && column < BOARD_COLUMNS && row >= 0 && row < BOARD_ROWS;
}

uint8_t BoardCell(int column, int row)
{
    if (!IsInsideBoard(column, row))
        return 1;  // walls and floor block like landed cells
    return game.board[BoardIndex(column, row)];
}

static uint8_t MaskCell(int dx, int dy)
{
    return game.working_mask[dx * MASK_SIDE + dy];
}

// Leftmost and rightmost filled column offsets of mask row dy; false for an empty row.
static bool RowExtent(int dy, int* first, int* last)
{
    *first = MASK_SIDE;
    *last = -1;
    for (int dx = 0; dx < MASK_SIDE; dx++) {
        if (MaskCell(dx, dy)) {
            if (dx < *first)
                *first = dx;
            *last = dx;
        }
    }
    return *last >= 0;
}

// Bottom filled row offset of mask column dx, or -1 for an empty column.
static int ColumnBottom(int dx)
{
    int bottom = -1;
    for (int dy = 0; dy < MASK_SIDE; dy++)
        if (MaskCell(dx, dy))
            bottom = dy;
    return bottom;
}

void SpawnPiece()
{
    game.piece.column = ENTRY_COLUMN;
    game.piece.row = 0;
    game.piece.kind = game.next_kind;
    game.next_kind = (uint8_t)(NextRandom() % 7);
}

void RefreshWorkingMask()
{
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++)
            game.working_mask[dx * MASK_SIDE + dy] = PieceCell(game.piece.kind, game.piece.rotation, dx, dy);
}

// The probe of each filled mask row is the cell one step beyond its end on that side.
static bool CanShift(int step)
{
    for (int dy = 0; dy < MASK_SIDE; dy++) {
        int first, last;
        if (!RowExtent(dy, &first, &last))
            continue;
        int probe = game.piece.column + (step < 0 ? first - 1 : last + 1);
        if (BoardCell(probe, game.piece.row + dy))
            return false;
    }
    return true;
}

// The next rotation is read from the table itself, not from working_mask.
static bool CanRotateTo(int rotation)
{
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++)
            if (PieceCell(game.piece.kind, rotation, dx, dy) &&
                BoardCell(game.piece.column + dx, game.piece.row + dy))
                return false;
    return true;
}

void TryMove(PlayerCommand command)
{
    if (command == MOVE_LEFT && CanShift(-1)) {
        game.piece.column--;
    } else if (command == MOVE_RIGHT && CanShift(1)) {
        game.piece.column++;
    } else if (command == MOVE_ROTATE) {
        int next = (game.piece.rotation + 1) & 3;
        if (CanRotateTo(next))
            game.piece.rotation = (int8_t)next;
    }
}

// A piece that entered over filled cells lies on them: it is blocked where it
// is, so it lands in its entry row instead of falling through the stack.
static bool LiesOnFilledCells()
{
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++)
            if (MaskCell(dx, dy) && BoardCell(game.piece.column + dx, game.piece.row + dy))
                return true;
    return false;
}

bool IsBlockedBelow()
{
    if (LiesOnFilledCells())
        return true;
    for (int dx = 0; dx < MASK_SIDE; dx++) {
        int bottom = ColumnBottom(dx);
        if (bottom >= 0 && BoardCell(game.piece.column + dx, game.piece.row + bottom + 1))
            return true;
    }
    return false;
}

void StepDown()
{
    game.piece.row++;
}

void StampPiece()
{
    for (int dx = 0; dx < MASK_SIDE; dx++) {
        for (int dy = 0; dy < MASK_SIDE; dy++) {
            int column = game.piece.column + dx, row = game.piece.row + dy;
            if (MaskCell(dx, dy) && IsInsideBoard(column, row))
                game.board[BoardIndex(column, row)] = 1;
        }
    }
}

void RemoveRow(int row)
{
    if (row < 0 || row >= BOARD_ROWS)
        return;
    game.score += 50;
    game.lines++;
    game.rows_cleared++;
    if (game.lines % 10 == 0) {
        game.level++;
        AskForSound(RULE_SOUND_LEVELUP);
    }
    for (int column = 0; column < BOARD_COLUMNS; column++) {
        uint8_t* cells = &game.board[BoardIndex(column, 0)];
        for (int r = row; r >= 1; r--)
            cells[r] = cells[r - 1];
        cells[0] = 0;
    }
}

static bool IsRowFull(int row)
{
    for (int column = 0; column < BOARD_COLUMNS; column++)
        if (!game.board[BoardIndex(column, row)])
            return false;
    return true;
}

// After a removal the scan goes on with the row above as it now stands, so of two
// adjacent full rows one pass removes only the lower.
void ScanFullRows()
{
    for (int row = BOARD_ROWS - 1; row >= 0; row--) {
        if (IsRowFull(row)) {
            RemoveRow(row);
            game.popup_row = row;
        }
    }
}
