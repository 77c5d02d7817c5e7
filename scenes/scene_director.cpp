// Start-up, the per-frame scene director and the new-game reset: every
// rendering resource is made once here, and every game starts from the same
// render state.
#include "scenes/scene_director.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "audio/sound_effects.h"
#include "game/game_frame.h"
#include "game/random.h"
#include "game/session.h"
#include "gfx/board_drawing.h"
#include "gfx/font.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "scenes/level1_backdrop.h"
#include "scenes/level2_backdrop.h"
#include "scenes/meshes.h"
#include "shell/frame_clock.h"
#include "shell/main_loop.h"
#include "shell/window.h"

int32_t backdrop_stage = -1;
uint32_t tile_list = 0;
uint32_t cube_frame_list = 0, sky_sphere_list = 0;
int32_t fade_in_counter = 0;
GLUquadric* quadric = nullptr;
float light_position[4], light_ambient[4], light_diffuse[4], light_specular[4];
float material_specular[4], material_shininess[1];

static const GLenum fog_modes[3] = {GL_EXP, GL_EXP2, GL_LINEAR};
static const int32_t fog_mode_index = 2;
static const float fog_color[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// One 16x16 square with its top-left corner at the origin, texture upright
// (the image's bottom row at the bottom). Geometry only: the caller binds the
// texture and translates to the cell.
static uint32_t BuildTileList()
{
    uint32_t list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2s(0, 0);
    glVertex2d(0, 16);
    glTexCoord2s(0, 1);
    glVertex2d(0, 0);
    glTexCoord2s(1, 0);
    glVertex2d(16, 16);
    glTexCoord2s(1, 1);
    glVertex2d(16, 0);
    glEnd();
    glEndList();
    return list;
}

bool InitScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    if (!LoadTextureSet())
        return false;
    StartFrameClock();
    SeedRandomFromTime();
    OpenSoundSet();
    quadric = gluNewQuadric();
    CreateFontLists();
    tile_list = BuildTileList();
    sky_sphere_list = BuildSkySphereList();
    cube_frame_list = BuildCubeFrameList();
    // Generation itself stays off; the cube frame switches it on around itself.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    return true;
}

// Each test sees the values as the steps before it left them, so a start step
// and the first drawing of its backdrop fall in the same frame.
bool DrawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (game.level == 0 && backdrop_stage == -1)
        NewGameReset();
    if (game.level == 0)
        DrawLevel0Backdrop();
    if (game.level == 1 && backdrop_stage == 0)
        StartLevel1Backdrop();
    if (game.level == 1)
        DrawLevel1Backdrop();
    if (game.level == 2 && backdrop_stage == 1)
        StartLevel2Backdrop();
    if (game.level >= 2)
        DrawLevel2Backdrop();
    if (pause_state == -1)
        GameFrame();
    if (pause_state == 1)
        PauseOverlay();
    return true;
}

static void SetLight1(float* storage, GLenum parameter, float a, float b, float c, float d)
{
    storage[0] = a;
    storage[1] = b;
    storage[2] = c;
    storage[3] = d;
    glLightfv(GL_LIGHT1, parameter, storage);
}

// Light 1 below and in front of the eye; the modelview is the identity here
// (every frame ends with it), so the position is in eye coordinates.
static void ResetLightAndMaterial()
{
    SetLight1(light_position, GL_POSITION, 0.0f, -10.0f, -20.0f, 1.0f);
    SetLight1(light_ambient, GL_AMBIENT, 0.5f, 0.6f, 0.9f, 1.0f);
    SetLight1(light_diffuse, GL_DIFFUSE, 0.0f, 0.9f, 0.6f, 1.0f);
    SetLight1(light_specular, GL_SPECULAR, 1.0f, 1.0f, 1.0f, 1.0f);
    material_specular[0] = 0.0f;
    material_specular[1] = 0.7f;
    material_specular[2] = 0.7f;
    material_specular[3] = 1.0f;
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    material_shininess[0] = 50.0f;
    glMaterialfv(GL_FRONT, GL_SHININESS, material_shininess);
}

// Fog is set up here but enabled only around the level-0 reflections.
static void ResetFog()
{
    glFogi(GL_FOG_MODE, (GLint)fog_modes[fog_mode_index]);
    glFogfv(GL_FOG_COLOR, fog_color);
    glFogf(GL_FOG_DENSITY, 0.01f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 1.0f);
    glFogf(GL_FOG_END, 27.0f);
}

void NewGameReset()
{
    glCullFace(GL_BACK);
    StartFrameClock();
    SeedRandomFromTime();
    ResetGame();
    swirl_angle = 0.0f;
    water_scroll = 0.0f;
    backdrop_angle = 35.0f;
    ResetLightAndMaterial();
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glEnable(GL_LIGHT1);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_FALSE);
    ResetFog();
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    water_scroll_step = 0.005f;
    aspect_ratio = 1.3333334f;
    fade_in_counter = 100;
    backdrop_stage = 0;
    // The clock restarted above: the frame's pacing needs a stamp from the new clock.
    frame_start_ms = (float)ReadFrameClock();
}

static void DeleteList(uint32_t& list, int count)
{
    if (list)
        glDeleteLists(list, count);
    list = 0;
}

void DeleteSceneLists()
{
    DeleteList(font_base, 256);
    DeleteList(tile_list, 1);
    DeleteList(cube_frame_list, 1);
    DeleteList(sky_sphere_list, 1);
    if (quadric)
        gluDeleteQuadric(quadric);
    quadric = nullptr;
}
