// Start-up, the per-frame scene director and the new-game reset: every
// rendering resource is made once here, and every game starts from the same
// render state.
#include "scenes/scene_director.h"

#include "audio/sound_effects.h"
#include "game/game_frame.h"
#include "game/random.h"
#include "game/session.h"
#include "gfx/board_drawing.h"
#include "gfx/font.h"
#include "gfx/gl.h"
#include "gfx/projection.h"
#include "gfx/score_drawing.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "scenes/level1_backdrop.h"
#include "scenes/level2_backdrop.h"
#include "scenes/lighting.h"
#include "scenes/meshes.h"
#include "shell/frame_clock.h"
#include "shell/score_file.h"

static const GLenum fog_modes[3] = {GL_EXP, GL_EXP2, GL_LINEAR};
static const int32_t fog_mode_index = 2;
static const float fog_color[4] = {0.0f, 0.0f, 0.0f, 1.0f};

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
    BuildTileList();
    sky_sphere_list = BuildSkySphereList();
    cube_frame_list = BuildCubeFrameList();
    // Generation itself stays off; the cube frame switches it on around itself.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    return true;
}

// Each fade counted down as it is handed over.
BackdropFades CountDownFades()
{
    BackdropFades fades = {-1.0, -1.0};
    if (fade_out_counter > 0)
        fades.out = fade_out_counter-- * 0.01;  // to black
    if (fade_in_counter > 0)
        fades.in = (100 - fade_in_counter--) * 0.01;  // from black
    return fades;
}

// Each test sees the values as the steps before it left them, so a start step
// and the first drawing of its backdrop fall in the same frame.
PlayerCommand DrawScene(PlayerCommand command, int32_t pause_state)
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
        command = GameFrame(command, CountDownFades());
    if (pause_state == 1)
        PauseOverlay();
    return command;
}

void DrawGameOverLayer(int32_t pause_state)
{
    if (pause_state == -1 && game.game_over)
        DrawScoreTable(score_table, finished_game_place);
}

// Light 1 below and in front of the eye; the modelview is the identity here
// (every frame ends with it), so the position is in eye coordinates.
static void ResetLightAndMaterial()
{
    SetLight1(GL_POSITION, 0.0f, -10.0f, -20.0f, 1.0f);
    SetLight1(GL_AMBIENT, 0.5f, 0.6f, 0.9f, 1.0f);
    SetLight1(GL_DIFFUSE, 0.0f, 0.9f, 0.6f, 1.0f);
    SetLight1(GL_SPECULAR, 1.0f, 1.0f, 1.0f, 1.0f);
    SetFrontMaterial(0.0f, 0.7f, 0.7f, 1.0f, 50.0f);
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
    UseGameAspect();
    fade_in_counter = 100;
    backdrop_stage = 0;
}

void RequestNewGame()
{
    backdrop_stage = -1;
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
    DeleteTileList();
    DeleteList(cube_frame_list, 1);
    DeleteList(sky_sphere_list, 1);
    if (quadric)
        gluDeleteQuadric(quadric);
    quadric = nullptr;
}
