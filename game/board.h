// The board and the falling piece: spawning, moving, rotating, falling, landing,
// and removing full rows. Nothing here draws or reads the keyboard; the game frame
// decides when each runs. Every access stays within the 220 board cells.
#pragma once
#include <cstdint>

// The one command a frame hands to the rules: from the keys held, or left pending.
enum PlayerCommand : int32_t { MOVE_NONE = 0, MOVE_LEFT = 1, MOVE_RIGHT = 2, MOVE_ROTATE = 3, MOVE_SOFT_DROP = 5 };

// Rules and drawing: 1 when cell (column, row) is filled; cells outside the board read 1.
uint8_t BoardCell(int column, int row);

void SpawnPiece();          // tick, after a landing: next_kind enters at ENTRY_COLUMN, row 0, rotation kept
void RefreshWorkingMask();  // start of every tick (and after a rotate command): working_mask from kind and rotation
void TryMove(PlayerCommand command);  // tick, on the command rhythm: left, right, rotate if it fits; other values nothing
bool IsBlockedBelow();      // tick, at a gravity step: true when the piece cannot fall one row, or lies on filled cells
void StepDown();            // tick, after IsBlockedBelow said false: row + 1
void StampPiece();          // tick, at a landing: the piece's cells become filled board cells
void RemoveRow(int row);    // ScanFullRows: scores 50 and one line (a level and its sound every tenth), drops the rows above
void ScanFullRows();        // row removal, four times a frame: one pass from the bottom row up
