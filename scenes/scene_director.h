// Start-up, the per-frame scene director and the new-game reset.
#pragma once

#include "game/board.h"
#include "game/game_frame.h"

bool InitScene();         // window creation, context current: every resource, once; false when no texture loaded
// Main loop, every frame while not minimised: clears, starts a new game or a
// level's backdrop when due, draws the backdrop, then by pause_state the game
// layer (-1, handed the command) or the pause text (1). Returns the command that stays pending.
PlayerCommand DrawScene(PlayerCommand command, int32_t pause_state);
// Main loop, right after DrawScene and the keeping of a game just finished: while the game
// is over and not paused, the best games over the game layer.
void DrawGameOverLayer(int32_t pause_state);
BackdropFades CountDownFades();  // DrawScene, right before the game frame: this frame's fades, counted down
void NewGameReset();      // DrawScene, first frame of a game
void RequestNewGame();    // main loop, Tab after a game over: the next frame starts a new game
void DeleteSceneLists();  // shutdown, while the context is still current
