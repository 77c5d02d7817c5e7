// The heartbeat: one event per turn, a frame whenever the queue is empty,
// frames held at least 10 ms apart; held keys become the pending command.
#pragma once
#include <cstdint>

extern uint8_t KeyState[256];   // by virtual-key code; 1 while held
extern uint8_t window_active;   // 0 while minimised: no drawing
extern int32_t MoveCommand;     // 0 none, 1 left, 2 right, 3 rotate, 5 soft drop; the game frame clears it
extern int32_t pause_state;     // -1 game runs, 1 paused
extern uint8_t pause_key_latch; // 1 from P seen down until P seen up
extern float frame_start_ms;    // frame clock reading at the start of this frame
extern const int32_t pacing_steps[6];
extern int32_t pacing_index;

int RunMainLoop();        // main: runs until quit; returns the exit code (0)
bool RunLoopIteration();  // one event, or one frame when the queue is empty; false when done
bool RunFrame();          // stamp, draw, present, poll keys, pace; false when the program ends
void PollKeys();          // held keys -> MoveCommand, restart, pause toggle
void PaceFrame();         // spin on the frame clock until the frame has lasted its period
