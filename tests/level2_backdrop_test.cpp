// The level-2 backdrop frame by frame: the sky fading out, the ring and fans
// fading in, the gliding cube frame, and the cases where level 2 comes early.
#include <GL/gl.h>
#include <GL/glu.h>

#include "scenes/backdrop_state.h"
#include "scenes/level1_backdrop.h"
#include "scenes/level2_backdrop.h"
#include "scenes/scene_director.h"
#include "tests/backdrop_fixture.h"
#include "tests/golden.h"

namespace {

using Level2 = BackdropTest;

// Level 1 played through: relit, its sky at full brightness, the frame
// arrived, the glow somewhere on its way up.
void FinishLevel1(int final_sky_counter, int final_frame_depth)
{
    StartLevel1Backdrop();
    fade_out_counter = 0;
    RunBackdropFrame(DrawLevel1Backdrop);
    sky_counter = final_sky_counter;
    frame_depth = final_frame_depth;
    glow_level = 40;
    glow_step = 1;
    backdrop_angle = 500;
}

bool RunLevel2Frames(int count, bool look_at_last = true)
{
    return RunFrames(DrawLevel2Backdrop, count, look_at_last);
}

// Pixels of the left half whose nearest surface is 4.5 to 11 away: where the
// columns hang. The sky is 13 to 15 away; the cube frame, while it still
// reaches into the left half, nearer than 4.5. Counts how many of them are
// not black into lit when asked.
int RingPixels(int* lit = nullptr)
{
    static float depth[640 * 480];
    glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
    const uint8_t* colour = ReadFrame();
    int count = 0;
    if (lit)
        *lit = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 320; x++) {
            double distance = EyeDistance(depth[(479 - y) * 640 + x]);
            if (distance < 4.5 || distance > 11)
                continue;
            count++;
            const uint8_t* p = colour + (y * 640 + x) * 3;
            if (lit && (p[0] | p[1] | p[2]))
                (*lit)++;
        }
    return count;
}

bool RingShows() { return RingPixels() > 5000; }

double MeanOver(int x, int y, int width, int height)
{
    double mean[3];
    MeanColour(x, y, width, height, mean);
    return mean[0] + mean[1] + mean[2];
}

}  // namespace

TEST_F(Level2, StartStepTakesOverTheFrameWhereLevel1LeftIt)
{
    FinishLevel1(0, -2);
    StartLevel2Backdrop();
    EXPECT_EQ(backdrop_stage, 2);
    EXPECT_EQ(frame_glide[0], 0.0f);
    EXPECT_EQ(frame_glide[1], 0.0f);
    EXPECT_EQ(frame_glide[2], -2.0f);
    EXPECT_EQ(ring_fade, 0.0f);
    float width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 20.0f);
}

// From a finished level 1 the sky dims a step a frame for 49 frames; in the
// 50th the ring and the fans appear, black, and brighten over 101 frames.
TEST_F(Level2, SkyFadesOutThenRingAndFansFadeIn)
{
    FinishLevel1(0, -2);
    StartLevel2Backdrop();
    double sky_before = 1e9;
    for (int frame = 1; frame <= 49; frame++) {
        bool look = frame % 12 == 1;
        if (look)
            backdrop_angle = 600;  // the same tumble for the frames compared
        ASSERT_TRUE(RunLevel2Frames(1, look));
        EXPECT_EQ(sky_counter, frame);
        if (look) {
            EXPECT_FALSE(RingShows()) << "frame " << frame;
            double sky = MeanOver(0, 0, 640, 480);
            EXPECT_LT(sky, sky_before) << "frame " << frame;
            sky_before = sky;
        }
    }
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_TRUE(RingShows()) << "frame 50";
    EXPECT_EQ(sky_counter, 50);
    int lit = -1;
    RingPixels(&lit);
    EXPECT_EQ(lit, 0) << "the columns start black";
    ASSERT_TRUE(RunLevel2Frames(10));
    double ring_early = MeanOver(0, 0, 640, 480);
    ASSERT_TRUE(RunLevel2Frames(90));
    EXPECT_NEAR(ring_fade, 1.01f, 1e-5) << "after 101 frames";
    const float settled = ring_fade;
    EXPECT_GT(MeanOver(0, 0, 640, 480), ring_early * 3);
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_EQ(ring_fade, settled);
    EXPECT_TRUE(RingShows());
    EXPECT_EQ(sky_counter, 50);
}

// From straight ahead at z = -2 to the upper right: x and y stop after 61
// frames, z after 81, one single-precision step past (3, 2, -8).
TEST_F(Level2, CubeFrameGlidesUpRightAndAway)
{
    FinishLevel1(0, -2);
    StartLevel2Backdrop();
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_NEAR(NearestDistance(220, 140, 200, 200), 2.1 - 0.87, 0.5) << "starts close in front";
    ASSERT_TRUE(RunLevel2Frames(80));
    EXPECT_NEAR(frame_glide[0], 3.05f, 1e-3);
    EXPECT_NEAR(frame_glide[1], 2.025f, 1e-3);
    EXPECT_NEAR(frame_glide[2], -8.1f, 1e-3);
    const float settled[3] = {frame_glide[0], frame_glide[1], frame_glide[2]};
    ASSERT_TRUE(RunLevel2Frames(5));
    EXPECT_EQ(frame_glide[0], settled[0]);
    EXPECT_EQ(frame_glide[1], settled[1]);
    EXPECT_EQ(frame_glide[2], settled[2]);
    double model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, projection[16], x, y, z;
    int viewport[4] = {0, 0, 640, 480};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    gluProject(3.05, 2.025, -8.1, model, projection, viewport, &x, &y, &z);
    EXPECT_GT(x, 400) << "right of centre";
    EXPECT_GT(y, 300) << "above centre";
    double nearest = NearestDistance(static_cast<int>(x) - 40, 480 - static_cast<int>(y) - 40, 80, 80);
    EXPECT_GT(nearest, 8.1 - 0.87);
    EXPECT_LT(nearest, 8.1);
}

// A short level 1 leaves the counter between 1 and 49: a shorter fade.
TEST_F(Level2, EarlyLevel2ShortensTheSkyFade)
{
    FinishLevel1(30, -2);
    StartLevel2Backdrop();
    ASSERT_TRUE(RunLevel2Frames(19));
    EXPECT_EQ(sky_counter, 49);
    EXPECT_FALSE(RingShows());
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_EQ(sky_counter, 50);
    EXPECT_TRUE(RingShows());
}

// Fewer than 450 frames of level 1 leave the counter above 50: no sky, no
// ring, no fans for the rest of the game; only the cube frame, which writes
// depth wherever it draws.
TEST_F(Level2, VeryEarlyLevel2ShowsOnlyTheCubeFrame)
{
    FinishLevel1(120, -2);
    StartLevel2Backdrop();
    for (int frame = 1; frame <= 5; frame++) {
        ASSERT_TRUE(RunLevel2Frames(1));
        EXPECT_EQ(sky_counter, 120);
        EXPECT_EQ(ring_fade, 0.0f);
        static float depth[640 * 480];
        glReadPixels(0, 0, 640, 480, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
        const uint8_t* colour = ReadFrame();
        int empty = 0, lit_but_empty = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) {
                if (depth[(479 - y) * 640 + x] < 1.0f)
                    continue;
                empty++;
                const uint8_t* p = colour + (y * 640 + x) * 3;
                lit_but_empty += (p[0] | p[1] | p[2]) != 0;
            }
        EXPECT_GT(empty, 640 * 480 / 2);
        EXPECT_EQ(lit_but_empty, 0) << "frame " << frame;
    }
}

// A frame that had not arrived keeps its depth and glides only sideways; one
// at -8 or beyond never moves in z.
TEST_F(Level2, LateCubeFrameKeepsItsDepth)
{
    for (int start : {-150, -8}) {
        FinishLevel1(0, start);
        StartLevel2Backdrop();
        ASSERT_TRUE(RunLevel2Frames(3));
        EXPECT_EQ(frame_glide[2], static_cast<float>(start));
        EXPECT_NEAR(frame_glide[0], 0.15f, 1e-6);
        EXPECT_NEAR(frame_glide[1], 0.075f, 1e-6);
    }
}

TEST_F(Level2, GoldenSkyFadingAndRingWithFans)
{
    FinishLevel1(30, -2);
    StartLevel2Backdrop();
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_TRUE(MatchesGolden("level2_sky_fading"));
    sky_counter = 50;
    ring_fade = 0.8f;
    swirl_angle = 300;
    frame_glide[0] = 2, frame_glide[1] = 1.5f, frame_glide[2] = -6;
    ASSERT_TRUE(RunLevel2Frames(1));
    EXPECT_TRUE(MatchesGolden("level2_ring_and_fans"));
}
