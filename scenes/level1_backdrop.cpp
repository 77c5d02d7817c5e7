// The level-1 scene and its hand-over from level 0. fade_out_counter is
// counted down by the game frame, which also darkens the hand-over frames.
#include "scenes/level1_backdrop.h"

#include <GL/gl.h>

#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/level0_backdrop.h"
#include "scenes/scene_director.h"

void StartLevel1Backdrop()
{
    fade_out_counter = 100;
    backdrop_stage = 1;
    sky_counter = 500;
    glow_level = 0;
    glow_step = 1;
}

static void PassLight1(GLenum name, float* storage, float x, float y, float z, float w)
{
    storage[0] = x, storage[1] = y, storage[2] = z, storage[3] = w;
    glLightfv(GL_LIGHT1, name, storage);
}

// One frame with nothing drawn: light 1 becomes a white light at the eye and
// the cube frame is sent far away to fly in.
static void Relight()
{
    fade_out_counter = -1;
    frame_depth = -200;
    backdrop_angle = 0;
    glLoadIdentity();  // the light position is taken in eye space
    PassLight1(GL_POSITION, light_position, 0, 0, 0, 1);
    PassLight1(GL_AMBIENT, light_ambient, 1, 1, 1, 1);
    PassLight1(GL_DIFFUSE, light_diffuse, 1, 1, 1, 1);
    PassLight1(GL_SPECULAR, light_specular, 1, 1, 1, 1);
    material_specular[0] = material_specular[1] = material_specular[2] = material_specular[3] = 1;
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    material_shininess[0] = 50;
    glMaterialfv(GL_FRONT, GL_SHININESS, material_shininess);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glEnable(GL_LIGHT1);
}

// The sky sphere, 30 across around the eye, tumbling with backdrop_angle.
static void PlaceSky()
{
    glLoadIdentity();
    glTranslated(0, 0, 0);
    glRotated(backdrop_angle / 16, 1, 0, 1);
    glRotated(backdrop_angle / 12, 0, 1, 0);
    glScaled(30, 30, 30);
}

// The glow pass adds the square of its textured colour; its brightness is a
// triangle wave whose step flips once glow_level leaves 0..149.
static void DrawSkyPasses()
{
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXT2]);
    glColor3d((500 - sky_counter) * 0.001, (500 - sky_counter) * 0.001, (500 - sky_counter) * 0.001);
    PlaceSky();
    glCallList(sky_sphere_list);
    glScaled(0.99, 0.99, 0.99);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXT3]);
    glEnable(GL_BLEND);
    glColor3d(glow_level * 0.01, glow_level * 0.01, glow_level * 0.01);
    glow_level += glow_step;
    if (glow_level < 0 || glow_level > 149)
        glow_step = -glow_step;
    glBlendFunc(GL_SRC_COLOR, GL_ONE);
    glCallList(sky_sphere_list);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_BLEND);
}

void DrawSpinningCubeFrame()
{
    glRotated(backdrop_angle / 4, 1, 0, 0);
    glRotated(backdrop_angle / 6, 0, 1, 0);
    glRotated(backdrop_angle / 8, 0, 0, 1);
    glCallList(cube_frame_list);
}

// Sphere-mapped with boxte; the colour call has no effect under lighting.
static void DrawIncomingCubeFrame()
{
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXTE]);
    glEnable(GL_LIGHTING);
    glLoadIdentity();
    glColor3d(1, 1, 1);
    glTranslated(0, 0, frame_depth);
    DrawSpinningCubeFrame();
}

static void DrawLevel1Scene()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    DrawSkyPasses();
    DrawIncomingCubeFrame();
    backdrop_angle += 1.0f;
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    if (frame_depth < -2)
        frame_depth += 1;
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
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
