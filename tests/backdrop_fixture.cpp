// Frame driving for the backdrop tests.
#include "tests/backdrop_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "gfx/texture_set.h"
#include "scenes/scene_director.h"
#include "shell/window.h"
#include "gfx/projection.h"
#include "scenes/backdrop_state.h"

::testing::AssertionResult BackdropResourcesExist()
{
    const int slots[] = {TEXTURE_WATER, TEXTURE_BOXT2, TEXTURE_BOXT3, TEXTURE_BOXTE};
    for (int slot : slots)
        if (!texture_set[slot])
            return ::testing::AssertionFailure() << "texture slot " << slot << " did not load";
    if (!quadric || !glIsList(sky_sphere_list) || !glIsList(cube_frame_list))
        return ::testing::AssertionFailure() << "start-up made no quadric or no mesh lists";
    return ::testing::AssertionSuccess();
}

// The reset takes the light position in eye space: the modelview must be the
// identity, as every frame leaves it.
void StartNewGameBackdrop()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    NewGameReset();
}

static void HandOverFrom2DLayer()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect_ratio, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void RunBackdropFrame(void (*draw)())
{
    HandOverFrom2DLayer();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
}

static void DrawThumbnails(bool on)
{
    if (on)
        glViewport(0, 0, 64, 48);
    else
        glViewport(0, 0, 640, 480);
}

bool RunFrames(void (*draw)(), int count, bool look_at_last)
{
    for (int frame = 1; frame <= count; frame++) {
        DrawThumbnails(frame < count || !look_at_last);
        RunBackdropFrame(draw);
        ::testing::AssertionResult handed_back = LeavesStateFor2DLayer();
        if (!handed_back) {
            DrawThumbnails(false);
            ADD_FAILURE() << handed_back.message();
            return false;
        }
    }
    DrawThumbnails(false);
    return true;
}

::testing::AssertionResult LeavesStateFor2DLayer()
{
    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        return ::testing::AssertionFailure() << "GL error 0x" << std::hex << error;
    const struct {
        GLenum cap;
        const char* name;
    } must_be_off[] = {{GL_LIGHTING, "lighting"},         {GL_FOG, "fog"},
                       {GL_CULL_FACE, "face culling"},    {GL_TEXTURE_2D, "texturing"},
                       {GL_TEXTURE_GEN_S, "s generation"}, {GL_TEXTURE_GEN_T, "t generation"}};
    for (const auto& state : must_be_off)
        if (glIsEnabled(state.cap))
            return ::testing::AssertionFailure() << state.name << " left on";
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    if (source != GL_SRC_ALPHA || destination != GL_ONE)
        return ::testing::AssertionFailure() << "blend function left at 0x" << std::hex << source << ", 0x"
                                             << destination;
    return ::testing::AssertionSuccess();
}

double NearestDistance(int x, int y, int width, int height)
{
    static float depth[640 * 480];
    glReadPixels(x, 480 - y - height, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
    float nearest = *std::min_element(depth, depth + width * height);
    return nearest >= 1.0f ? 100.0 : EyeDistance(nearest);
}

double EyeDistance(float window_depth)
{
    const double near_plane = 0.1, far_plane = 100.0, ndc = 2.0 * window_depth - 1.0;
    return 2.0 * far_plane * near_plane / (far_plane + near_plane - ndc * (far_plane - near_plane));
}

int Brightest(int x, int y, int width, int height)
{
    const uint8_t* frame = ReadFrame();
    int brightest = 0;
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            for (int c = 0; c < 3; c++)
                brightest = std::max<int>(brightest, frame[(row * 640 + col) * 3 + c]);
    return brightest;
}

void BackdropTest::SetUp()
{
    ASSERT_TRUE(BackdropResourcesExist());
    StartNewGameBackdrop();
}

// The level-2 start leaves wide lines and a flat, textured quadric behind.
void BackdropTest::TearDown()
{
    DrawThumbnails(false);
    if (!quadric)
        return;
    glLineWidth(1.0f);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_FALSE);
    glDisable(GL_BLEND);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
