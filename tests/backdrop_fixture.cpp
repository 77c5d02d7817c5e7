// Frame driving for the backdrop tests.
#include "tests/backdrop_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/meshes.h"
#include "scenes/scene_director.h"
#include "shell/window.h"

void EnsureBackdropResources()
{
    if (std::all_of(texture_set, texture_set + TEXTURE_SLOT_COUNT, [](uint32_t name) { return name == 0; })) {
        ASSERT_EQ(LoadTextureSet(), 1) << "the backdrops need data/";
    }
    if (!quadric)
        quadric = gluNewQuadric();
    if (!sky_sphere_list)
        sky_sphere_list = BuildSkySphereList();
    if (!cube_frame_list)
        cube_frame_list = BuildCubeFrameList();
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

static void SetLight1(GLenum name, float x, float y, float z, float w)
{
    const float value[4] = {x, y, z, w};
    glLightfv(GL_LIGHT1, name, value);
}

void StartNewGameBackdrop()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCullFace(GL_BACK);
    swirl_angle = 0;
    water_scroll = 0;
    backdrop_angle = 35.0f;
    SetLight1(GL_POSITION, 0, -10, -20, 1);
    SetLight1(GL_AMBIENT, 0.5f, 0.6f, 0.9f, 1);
    SetLight1(GL_DIFFUSE, 0, 0.9f, 0.6f, 1);
    SetLight1(GL_SPECULAR, 1, 1, 1, 1);
    const float specular[4] = {0, 0.7f, 0.7f, 1}, shininess = 50;
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glEnable(GL_LIGHT1);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_FALSE);
    const float black[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_DENSITY, 0.01f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 1.0f);
    glFogf(GL_FOG_END, 27.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    water_scroll_step = 0.005f;
    aspect_ratio = 1.3333334f;
    backdrop_stage = 0;
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
    EnsureBackdropResources();
    if (HasFatalFailure())
        return;
    StartNewGameBackdrop();
}

// The level-2 start leaves wide lines and a flat, textured quadric behind.
void BackdropTest::TearDown()
{
    if (!quadric)
        return;
    DrawThumbnails(false);
    glLineWidth(1.0f);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_FALSE);
    glDisable(GL_BLEND);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
