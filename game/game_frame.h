// The game layer of a frame: the rules of one tick with the 2D drawing woven
// between them, over the backdrop the scene director has just drawn.
#pragma once

#include "game/board.h"

// The backdrop's fades this frame, counted by the scene director: the screen so
// far is multiplied by each factor, fade-out first; a factor below 0 is no fade.
struct BackdropFades {
    double out;
    double in;
};

// DrawScene, once a frame while pause_state is -1, after the backdrop. Expects
// lighting, fog, culling and texturing off and the blend function (GL_SRC_ALPHA,
// GL_ONE); leaves the perspective projection, an identity modelview, depth test
// on, blending and texturing off, that blend function and the colour black.
// Plays the sounds the rules ask for; returns the command that stays pending.
PlayerCommand GameFrame(PlayerCommand command, const BackdropFades& fades);
