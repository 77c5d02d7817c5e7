// Runs the backdrops frame by frame in the game's real window, the way the
// scene director and the 2D layer around them do, and checks the render state
// each frame hands back to the 2D layer.
#pragma once
#include <gtest/gtest.h>

#include "scenes/backdrop_state.h"
#include "tests/gl_fixture.h"

// The start-up resources the backdrops draw with are all there: textures,
// quadric, mesh lists (InitScene made them when the window opened).
::testing::AssertionResult BackdropResourcesExist();

// The real new-game reset: level-0 light, material, fog, backdrop values.
void StartNewGameBackdrop();

// One frame: the state the previous frame's 2D layer leaves (identity
// modelview, 45-degree 4:3 projection, depth test on, texturing and blending
// off, blend function GL_SRC_ALPHA, GL_ONE), the director's clear, then draw.
void RunBackdropFrame(void (*draw)());

// Runs count frames of draw, each checked with LeavesStateFor2DLayer. Frames
// whose pixels nobody looks at (all but the last, or all of them) are drawn
// into a 64 x 48 corner of the window: the same calls and state for a
// hundredth of the fill. False (after adding a failure) at the first frame
// that hands back bad state.
bool RunFrames(void (*draw)(), int count, bool look_at_last = true);

// After a backdrop: lighting, fog, culling, texturing and texture generation
// off, blend function GL_SRC_ALPHA, GL_ONE, and no GL error raised.
::testing::AssertionResult LeavesStateFor2DLayer();

// Distance from the eye along the view of a window depth (0.1 .. 100 projection).
double EyeDistance(float window_depth);

// Distance from the eye of the nearest surface in a rectangle (y downward),
// from the depth buffer; 100 or more where nothing was drawn.
double NearestDistance(int x, int y, int width, int height);

// Largest channel value over a rectangle of the frame (y downward).
int Brightest(int x, int y, int width, int height);

class BackdropTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;
};
