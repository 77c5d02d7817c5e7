// The seven piece shapes in their four rotations, compiled in and never written.
// Rotating a piece selects the next stored mask; nothing computes a turned shape.
#pragma once
#include <cstdint>

enum { PIECE_KINDS = 7, PIECE_ROTATIONS = 4, MASK_SIDE = 4 };

// 448 bytes, 1 filled and 0 empty. Cell (kind k, rotation r, row dy, column dx)
// is byte k*64 + r*16 + dy*4 + dx: each mask is 16 bytes, top row first.
extern const uint8_t PieceTable[PIECE_KINDS * PIECE_ROTATIONS * MASK_SIDE * MASK_SIDE];

// Rotation test, working-mask refresh, piece and preview drawing: 1 when the mask of
// (kind, rotation) is filled at column offset dx, row offset dy; 0 for any argument
// outside the table.
uint8_t PieceCell(int kind, int rotation, int dx, int dy);
