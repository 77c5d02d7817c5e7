// The level-1 backdrop through its three phases, frame by frame: the
// hand-over over the level-0 scene, the black relight frame, then the sky
// that brightens and glows and the cube frame that flies in.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "scenes/level1_backdrop.h"
#include "scenes/scene_director.h"
#include "tests/backdrop_fixture.h"
#include "tests/golden.h"

namespace {

using Level1 = BackdropTest;

// The backdrop, then what the game frame does with the hand-over counter.
void DrawLevel1Frame()
{
    DrawLevel1Backdrop();
    if (fade_out_counter > 0)
        fade_out_counter--;
}

bool RunLevel1Frames(int count, bool look_at_last = true)
{
    return RunFrames(DrawLevel1Frame, count, look_at_last);
}

// Straight to the relight frame, skipping the hand-over.
void StartLevel1AtRelight()
{
    StartLevel1Backdrop();
    fade_out_counter = 0;
    RunLevel1Frames(1);
}

std::vector<uint8_t> CopyFrame()
{
    const uint8_t* frame = ReadFrame();
    return std::vector<uint8_t>(frame, frame + 640 * 480 * 3);
}

void ExpectLight1(GLenum name, float x, float y, float z, float w)
{
    float value[4];
    glGetLightfv(GL_LIGHT1, name, value);
    EXPECT_EQ(std::vector<float>(value, value + 4), (std::vector<float>{x, y, z, w})) << "light parameter " << name;
}

// Sum of the colour of every pixel whose nearest surface is the sky sphere.
double SkyBrightness()
{
    static float depth[640 * 480];
    glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
    const uint8_t* frame = ReadFrame();
    double sum = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (depth[(479 - y) * 640 + x] > 0.99f)  // beyond about 10 units
                sum += frame[(y * 640 + x) * 3] + frame[(y * 640 + x) * 3 + 1] + frame[(y * 640 + x) * 3 + 2];
    return sum;
}

}  // namespace

TEST_F(Level1, StartStepArmsTheHandOver)
{
    backdrop_stage = 0;
    StartLevel1Backdrop();
    EXPECT_EQ(fade_out_counter, 100);
    EXPECT_EQ(backdrop_stage, 1);
    EXPECT_EQ(sky_counter, 500);
    EXPECT_EQ(glow_level, 0);
    EXPECT_EQ(glow_step, 1);
}

// Frames 1 to 100 are the level-0 scene itself (the game frame darkens it and
// counts down; the frames between the first and the last are skipped here);
// frame 101 is black while light 1 turns white at the eye; frame 102 starts
// the level-1 scene with its sky still black and the cube frame far away.
TEST_F(Level1, HandOverShowsLevel0ThenOneBlackFrameThenABlackSky)
{
    StartLevel1Backdrop();
    for (int frame : {1, 100}) {
        if (frame == 100)
            fade_out_counter = 1;
        float swirl = swirl_angle, water = water_scroll;
        ASSERT_TRUE(RunLevel1Frames(1));
        EXPECT_EQ(backdrop_angle, 35.0f);
        std::vector<uint8_t> handed_over = CopyFrame();
        float next_swirl = swirl_angle, next_water = water_scroll;
        swirl_angle = swirl, water_scroll = water;
        RunBackdropFrame(DrawLevel0Backdrop);
        EXPECT_TRUE(CopyFrame() == handed_over) << "frame " << frame << " is not the level-0 scene";
        EXPECT_GT(Brightest(0, 0, 640, 480), 100);
        swirl_angle = next_swirl, water_scroll = next_water;
    }
    ASSERT_EQ(fade_out_counter, 0);
    ASSERT_TRUE(RunLevel1Frames(1));
    EXPECT_EQ(Brightest(0, 0, 640, 480), 0) << "frame 101";
    EXPECT_EQ(fade_out_counter, -1);
    EXPECT_EQ(frame_depth, -200);
    EXPECT_EQ(backdrop_angle, 0.0f);
    ExpectLight1(GL_POSITION, 0, 0, 0, 1);
    ExpectLight1(GL_AMBIENT, 1, 1, 1, 1);
    ExpectLight1(GL_DIFFUSE, 1, 1, 1, 1);
    ExpectLight1(GL_SPECULAR, 1, 1, 1, 1);
    float specular[4];
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    EXPECT_EQ(std::vector<float>(specular, specular + 4), (std::vector<float>{1, 1, 1, 1}));
    ASSERT_TRUE(RunLevel1Frames(1));
    EXPECT_EQ(Brightest(0, 0, 640, 480), 0) << "frame 102";
    EXPECT_EQ(sky_counter, 499);
    EXPECT_EQ(backdrop_angle, 1.0f);
}

// Frame n of the scene places the frame at z = n - 200: it passes the glow
// sphere (radius 14.85) at about n = 186 and stops at z = -2 after 198 frames.
TEST_F(Level1, CubeFrameFliesInThroughTheSkyAndStopsInFront)
{
    StartLevel1AtRelight();
    ASSERT_TRUE(RunLevel1Frames(180));
    EXPECT_GT(NearestDistance(220, 140, 200, 200), 14.0) << "still behind the sky";
    ASSERT_TRUE(RunLevel1Frames(10));
    double nearest = NearestDistance(220, 140, 200, 200);
    EXPECT_GT(nearest, 9.0);
    EXPECT_LT(nearest, 11.0);
    ASSERT_TRUE(RunLevel1Frames(8));
    EXPECT_EQ(frame_depth, -2);
    ASSERT_TRUE(RunLevel1Frames(2));
    EXPECT_EQ(frame_depth, -2);
    nearest = NearestDistance(220, 140, 200, 200);
    EXPECT_GT(nearest, 2.0 - 0.87);
    EXPECT_LT(nearest, 2.0);
}

// The sky's first pass brightens by 0.001 a frame to 0.5 after 500 frames; the
// glow pass rises to 1.50, falls to -0.01 and rises again (period 302). Where
// the glow is 0 the sky shows the first pass alone: at frame 300 of the scene
// it is, and at frame 500 it is made so; drawn at the same tumble, the two
// compare as 0.3 to 0.5.
TEST_F(Level1, SkyBrightensToHalfWhileTheGlowPulses)
{
    StartLevel1AtRelight();
    std::vector<int> flips_at;
    double at_300 = 0, at_500 = 0;
    for (int n = 0; n <= 500; n++) {
        int step_before = glow_step;
        if (n == 300 || n == 500)
            backdrop_angle = 123.0f;
        if (n == 500)
            glow_level = 0;
        ASSERT_TRUE(RunLevel1Frames(1, n == 300 || n == 500));
        if (glow_step != step_before && n < 500)
            flips_at.push_back(glow_level);
        EXPECT_GE(glow_level, -1);
        EXPECT_LE(glow_level, 150);
        EXPECT_EQ(sky_counter, std::max(0, 499 - n));
        if (n == 300)
            at_300 = SkyBrightness();
        if (n == 500)
            at_500 = SkyBrightness();
    }
    EXPECT_EQ(flips_at, (std::vector<int>{150, -1, 150}));
    ASSERT_GT(at_300, 0);
    EXPECT_NEAR(at_500 / at_300, 0.5 / 0.3, 0.05);
}

// Part way in: the sky at 0.3 with the glow at 0.6, the frame close and turned.
TEST_F(Level1, GoldenFrameOfTheSceneUnderWay)
{
    StartLevel1AtRelight();
    sky_counter = 200;
    glow_level = 60;
    frame_depth = -3;
    backdrop_angle = 250;
    ASSERT_TRUE(RunLevel1Frames(1));
    EXPECT_TRUE(MatchesGolden("level1_under_way"));
}
