// The level-0 scene drawn for real: its helices (read back through GL
// feedback), its lighting and animation values, the state every frame hands
// to the 2D layer, and golden frames.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "tests/backdrop_fixture.h"
#include "tests/golden.h"

namespace {

using Level0 = BackdropTest;

struct Extent {
    float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
};

// Draws one frame into a feedback buffer under a 80 x 60 orthographic view
// (nothing clipped, window units back to scene units) and returns the extent of
// every polygon before the last six: the three planes come last, two
// triangles each.
Extent BeadExtentSeenSideOn()
{
    static GLfloat feedback[200000];
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-40, 40, -30, 30, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer(sizeof feedback / sizeof feedback[0], GL_3D, feedback);
    glRenderMode(GL_FEEDBACK);
    DrawLevel0Backdrop();
    int used = glRenderMode(GL_RENDER);
    std::vector<int> polygons;
    for (int i = 0; i < used;) {
        EXPECT_EQ(feedback[i], GL_POLYGON_TOKEN);
        polygons.push_back(i);
        i += 2 + 3 * static_cast<int>(feedback[i + 1]);
    }
    Extent extent;
    for (size_t p = 0; p + 6 < polygons.size(); p++)
        for (int v = 0; v < feedback[polygons[p] + 1]; v++) {
            float x = feedback[polygons[p] + 2 + v * 3] / 8 - 40, y = feedback[polygons[p] + 3 + v * 3] / 8 - 30;
            extent = {std::min(extent.left, x), std::max(extent.right, x), std::min(extent.bottom, y),
                      std::max(extent.top, y)};
        }
    return extent;
}

}  // namespace

// Untilted, the helices stand at x = +-8.5 with radius 2. Bead 79 is the
// highest: 7.9 above bead 0, its upper sphere 0.5 higher with radius 0.113.
// Its reflection, mirrored in y = -3.575 of the scene, is the lowest. A turn
// of 21 steps (t up to 2.0) would put the top 0.4 higher and the bottom lower.
TEST_F(Level0, HelicesClimbEightyBeadsAndMirrorThemBelow)
{
    backdrop_angle = 0;
    Extent beads = BeadExtentSeenSideOn();
    const float scene_y = -15 + 3;  // pivot height after the scene's translations
    const float top_centre = scene_y + (7.9f - 3) + 0.5f, top_radius = 0.113f;
    EXPECT_LE(beads.top, top_centre + top_radius + 0.01f);
    EXPECT_GE(beads.top, top_centre + top_radius / 2 - 0.01f);
    const float mirror = scene_y - 3.575f;
    const float lowest_centre = 2 * mirror - top_centre;
    EXPECT_GE(beads.bottom, lowest_centre - top_radius - 0.01f);
    EXPECT_LE(beads.bottom, lowest_centre - top_radius / 2 + 0.01f);
    EXPECT_NEAR(beads.right, 8.5f + 2 + 0.337f, 0.35f);
    EXPECT_NEAR(beads.left, -beads.right, 0.35f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The colour calls are ignored under lighting: the beads take the teal of
// light 1 (no red in its diffuse or in the material's specular), not white.
TEST_F(Level0, BeadsAreLitTealLeftAndRightOfAnEmptyMiddle)
{
    RunBackdropFrame(DrawLevel0Backdrop);
    ASSERT_TRUE(LeavesStateFor2DLayer());
    const uint8_t* frame = ReadFrame();
    int bright_left = 0, bright_right = 0, bright_middle = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            const uint8_t* p = frame + (y * 640 + x) * 3;
            if (p[1] < 150)
                continue;
            EXPECT_LT(p[0], 64) << "at " << x << ", " << y;
            (x < 213 ? bright_left : x >= 427 ? bright_right : bright_middle)++;
        }
    EXPECT_GT(bright_left, 300);
    EXPECT_GT(bright_right, 300);
    EXPECT_EQ(bright_middle, 0);
}

// The tilt holds at 35 degrees, the helices spin a degree a frame and the
// water wraps at the first value past 1: a cycle of 201 frames.
TEST_F(Level0, EveryFrameAnimatesAndHandsBackTheState)
{
    int wrapped_at = 0;
    for (int frame = 1; frame <= 202; frame++) {
        ASSERT_TRUE(RunFrames(DrawLevel0Backdrop, 1, false)) << "frame " << frame;
        EXPECT_EQ(swirl_angle, static_cast<float>(frame));
        EXPECT_EQ(backdrop_angle, 35.0f);
        EXPECT_LE(water_scroll, 1.0f);
        if (water_scroll == 0 && !wrapped_at)
            wrapped_at = frame;
    }
    EXPECT_EQ(wrapped_at, 201);
    EXPECT_FLOAT_EQ(water_scroll, 0.005f);
}

// The first frame of a game, and one later with the helices turned and the
// water half scrolled.
TEST_F(Level0, GoldenFirstFrameAndATurnedOne)
{
    RunBackdropFrame(DrawLevel0Backdrop);
    EXPECT_TRUE(MatchesGolden("level0_first_frame"));
    swirl_angle = 100;
    water_scroll = 0.5f;
    RunBackdropFrame(DrawLevel0Backdrop);
    EXPECT_TRUE(MatchesGolden("level0_turned"));
}
