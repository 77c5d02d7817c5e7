// The two projections every frame switches between: the perspective of the
// backdrops, and the flat 640x480 space of the game layer and the pause text.
#pragma once

extern float aspect_ratio;  // every perspective projection: 0.0 until the first new game, then 4/3

void UseGameAspect();          // new-game reset: aspect_ratio 4/3 from now on, whatever the window's size
void SetScenePerspective();    // resize, and the end of every game-layer and pause frame: 45 degrees, aspect_ratio
void SetLayerProjection();     // game layer and pause overlay, first: x right and y down, a unit a pixel of 640x480
