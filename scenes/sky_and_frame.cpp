// The sky sphere's passes and the cube frame, shared by the level-1 scene and
// the backdrop of the levels above it.
#include "scenes/sky_and_frame.h"

#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"

void DrawSkyPass(double grey)
{
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXT2]);
    glColor3d(grey, grey, grey);
    glLoadIdentity();
    glRotated(backdrop_angle / 16, 1, 0, 1);
    glRotated(backdrop_angle / 12, 0, 1, 0);
    glScaled(30, 30, 30);
    glCallList(sky_sphere_list);
}

void DrawSkyGlowPass(GLenum source_factor)
{
    glScaled(0.99, 0.99, 0.99);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXT3]);
    glEnable(GL_BLEND);
    glColor3d(glow_level * 0.01, glow_level * 0.01, glow_level * 0.01);
    glBlendFunc(source_factor, GL_ONE);
    glCallList(sky_sphere_list);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_BLEND);
}

// Sphere-mapped with boxte; the colour call has no effect under lighting.
void BeginCubeFrame()
{
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXTE]);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glLoadIdentity();
    glColor3d(1, 1, 1);
}

void DrawSpinningCubeFrame()
{
    glRotated(backdrop_angle / 4, 1, 0, 0);
    glRotated(backdrop_angle / 6, 0, 1, 0);
    glRotated(backdrop_angle / 8, 0, 0, 1);
    glCallList(cube_frame_list);
}

void EndCubeFrame()
{
    backdrop_angle += 1.0f;
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
}
