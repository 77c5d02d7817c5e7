// The level-1 scene and its hand-over from level 0. fade_out_counter is
// counted down by the scene director as the game frame darkens the hand-over frames.
#include "scenes/level1_backdrop.h"

#include "gfx/gl.h"
#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "scenes/lighting.h"
#include "scenes/sky_and_frame.h"

void StartLevel1Backdrop()
{
    fade_out_counter = 100;
    backdrop_stage = 1;
    sky_counter = 500;
    glow_level = 0;
    glow_step = 1;
}

// One frame with nothing drawn: light 1 becomes a white light at the eye and
// the cube frame is sent far away to fly in.
static void Relight()
{
    fade_out_counter = -1;
    frame_depth = -200;
    backdrop_angle = 0;
    glLoadIdentity();  // the light position is taken in eye space
    SetLight1(GL_POSITION, 0, 0, 0, 1);
    SetLight1(GL_AMBIENT, 1, 1, 1, 1);
    SetLight1(GL_DIFFUSE, 1, 1, 1, 1);
    SetLight1(GL_SPECULAR, 1, 1, 1, 1);
    SetFrontMaterial(1, 1, 1, 1, 50);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glEnable(GL_LIGHT1);
}

// The sky tumbling around the eye; the glow's brightness is a triangle wave
// whose step flips once glow_level leaves 0..149.
static void DrawSkyPasses()
{
    DrawSkyPass((500 - sky_counter) * 0.001);
    DrawSkyGlowPass(GL_SRC_COLOR);
    glow_level += glow_step;
    if (glow_level < 0 || glow_level > 149)
        glow_step = -glow_step;
}

// The cube frame flies in from far away, a unit a frame, and stops in front.
static void DrawLevel1Scene()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    DrawSkyPasses();
    BeginCubeFrame();
    glTranslated(0, 0, frame_depth);
    DrawSpinningCubeFrame();
    EndCubeFrame();
    if (frame_depth < -2)
        frame_depth += 1;
    if (sky_counter > 0)
        sky_counter -= 1;
}

void DrawLevel1Backdrop()
{
    if (fade_out_counter > 0)
        DrawLevel0Backdrop();
    else if (fade_out_counter == 0)
        Relight();
    else if (fade_out_counter == -1)
        DrawLevel1Scene();
}
