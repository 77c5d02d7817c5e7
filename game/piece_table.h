// The seven piece shapes in their four rotations, compiled in and never written.
// Rotating a piece selects the next stored mask; nothing computes a turned shape.
#pragma once
#include <cstdint>

enum { PIECE_KINDS = 7, PIECE_ROTATIONS = 4, MASK_SIDE = 4 };

// Rotation test, working-mask refresh, piece and preview drawing: 1 when the mask of
// (kind, rotation) is filled at column offset dx, row offset dy; 0 for any argument
// outside the table.
uint8_t PieceCell(int kind, int rotation, int dx, int dy);
