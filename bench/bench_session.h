// Game states the benchmark draws and ticks. The board is full but for one
// gap in each row (so no row clears), a piece is in play, the "+600" popup
// rises and the board shakes; each frame starts again from the same state.
#pragma once
#include <cstdint>

// Bench, once, after the first frame's new-game reset: snapshots game with the full board.
void MakeFullBoardSession();
// Bench, before every frame and every rules call: the snapshot back, at this level,
// the popup frame-th of its 50 frames (so it is always running).
void RestoreFullBoardSession(int32_t level, int frame);
// Rules timing: the full board with its four bottom rows closed, ready to be removed.
void RestoreFullRowsSession();
