// The piece shapes, one mask per four lines as they appear on screen (top row
// first, left to right), kinds and rotations in storage order.
#include "game/piece_table.h"

// 448 bytes, 1 filled and 0 empty. Cell (kind k, rotation r, row dy, column dx)
// is byte k*64 + r*16 + dy*4 + dx: each mask is 16 bytes, top row first.
// clang-format off
static const uint8_t PieceTable[PIECE_KINDS * PIECE_ROTATIONS * MASK_SIDE * MASK_SIDE] = {
    // kind 0 (I), rotation 0
    0, 1, 0, 0,
    0, 1, 0, 0,
    0, 1, 0, 0,
    0, 1, 0, 0,
    // kind 0 (I), rotation 1
    0, 0, 0, 0,
    1, 1, 1, 1,
    0, 0, 0, 0,
    0, 0, 0, 0,
    // kind 0 (I), rotation 2
    0, 0, 1, 0,
    0, 0, 1, 0,
    0, 0, 1, 0,
    0, 0, 1, 0,
    // kind 0 (I), rotation 3
    0, 0, 0, 0,
    0, 0, 0, 0,
    1, 1, 1, 1,
    0, 0, 0, 0,
    // kind 1 (L), rotation 0
    0, 1, 0, 0,
    0, 1, 0, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 1 (L), rotation 1
    0, 0, 0, 0,
    0, 1, 1, 1,
    0, 1, 0, 0,
    0, 0, 0, 0,
    // kind 1 (L), rotation 2
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 0, 1, 0,
    0, 0, 1, 0,
    // kind 1 (L), rotation 3
    0, 0, 0, 0,
    0, 0, 1, 0,
    1, 1, 1, 0,
    0, 0, 0, 0,
    // kind 2 (T), rotation 0
    0, 0, 0, 0,
    1, 1, 1, 0,
    0, 1, 0, 0,
    0, 0, 0, 0,
    // kind 2 (T), rotation 1
    0, 0, 1, 0,
    0, 1, 1, 0,
    0, 0, 1, 0,
    0, 0, 0, 0,
    // kind 2 (T), rotation 2
    0, 0, 0, 0,
    0, 0, 1, 0,
    0, 1, 1, 1,
    0, 0, 0, 0,
    // kind 2 (T), rotation 3
    0, 0, 0, 0,
    0, 1, 0, 0,
    0, 1, 1, 0,
    0, 1, 0, 0,
    // kind 3 (O), rotation 0
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 3 (O), rotation 1
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 3 (O), rotation 2
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 3 (O), rotation 3
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 4 (S), rotation 0
    0, 1, 0, 0,
    0, 1, 1, 0,
    0, 0, 1, 0,
    0, 0, 0, 0,
    // kind 4 (S), rotation 1
    0, 0, 0, 0,
    0, 0, 1, 1,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 4 (S), rotation 2
    0, 0, 0, 0,
    0, 1, 0, 0,
    0, 1, 1, 0,
    0, 0, 1, 0,
    // kind 4 (S), rotation 3
    0, 0, 0, 0,
    0, 1, 1, 0,
    1, 1, 0, 0,
    0, 0, 0, 0,
    // kind 5 (Z), rotation 0
    0, 0, 1, 0,
    0, 1, 1, 0,
    0, 1, 0, 0,
    0, 0, 0, 0,
    // kind 5 (Z), rotation 1
    0, 0, 0, 0,
    0, 1, 1, 0,
    0, 0, 1, 1,
    0, 0, 0, 0,
    // kind 5 (Z), rotation 2
    0, 0, 0, 0,
    0, 0, 1, 0,
    0, 1, 1, 0,
    0, 1, 0, 0,
    // kind 5 (Z), rotation 3
    0, 0, 0, 0,
    1, 1, 0, 0,
    0, 1, 1, 0,
    0, 0, 0, 0,
    // kind 6 (J), rotation 0
    0, 1, 0, 0,
    0, 1, 0, 0,
    1, 1, 0, 0,
    0, 0, 0, 0,
    // kind 6 (J), rotation 1
    0, 1, 0, 0,
    0, 1, 1, 1,
    0, 0, 0, 0,
    0, 0, 0, 0,
    // kind 6 (J), rotation 2
    0, 0, 0, 0,
    0, 0, 1, 1,
    0, 0, 1, 0,
    0, 0, 1, 0,
    // kind 6 (J), rotation 3
    0, 0, 0, 0,
    0, 0, 0, 0,
    1, 1, 1, 0,
    0, 0, 1, 0,
};
// clang-format on

uint8_t PieceCell(int kind, int rotation, int dx, int dy)
{
    if (kind < 0 || kind >= PIECE_KINDS || rotation < 0 || rotation >= PIECE_ROTATIONS)
        return 0;
    if (dx < 0 || dx >= MASK_SIDE || dy < 0 || dy >= MASK_SIDE)
        return 0;
    return PieceTable[kind * 64 + rotation * 16 + dy * 4 + dx];
}
