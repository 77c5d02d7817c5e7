// The heartbeat: one event per turn, a frame whenever the queue is empty,
// frames held at least 10 ms apart; held keys become the pending command.
#pragma once
#include <cstdint>

#include "game/board.h"

// The pending command: sampled from the held keys after each frame, handed to
// the next frame's game layer, and kept as that frame hands it back (used up by a
// tick, left pending through a pause or a game over).
extern PlayerCommand MoveCommand;
extern int32_t pause_state;     // -1 game runs, 1 paused
extern uint8_t pause_key_latch; // 1 from P seen down until P seen up
extern float frame_start_ms;    // frame clock reading at the start of this frame
extern const int32_t pacing_steps[6];
extern int32_t pacing_index;

int RunMainLoop();        // main: runs until quit; returns the exit code (0)
bool RunLoopIteration();  // one event, or one frame when the queue is empty; false when done
bool RunFrame();          // stamp, draw, present, poll keys, pace; false when the program ends
void PollKeys();          // held keys -> MoveCommand, restart after a game over, pause toggle
void PaceFrame();         // sleep, then spin the last half millisecond, until the frame has lasted its period
