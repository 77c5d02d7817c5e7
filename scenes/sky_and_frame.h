// What level 1 and the levels above draw alike: the two passes of the sky
// sphere around the eye, and the sphere-mapped cube frame lit by light 1.
#pragma once
#include "gfx/gl.h"

// The sky's first pass in a grey of `grey`: 30 across, tumbling with backdrop_angle.
void DrawSkyPass(double grey);
// Right after it, just inside it: the glow pass in glow_level hundredths, added
// with GL_SRC_COLOR (the colour's square) or GL_SRC_ALPHA (the colour itself).
void DrawSkyGlowPass(GLenum source_factor);
// Texture generation, the boxte texture, lighting and culling on, the modelview
// reset and the colour white: the caller moves the frame into place from here.
void BeginCubeFrame();
// At the frame's place: spun by backdrop_angle, and drawn.
void DrawSpinningCubeFrame();
// After it: backdrop_angle one degree on, and every state BeginCubeFrame set off again, texturing too.
void EndCubeFrame();
