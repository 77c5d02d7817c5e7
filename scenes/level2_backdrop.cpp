// The level-2 scene. sky_counter is its phase: below 50 the sky fades out a
// step a frame, at 50 the ring and fans show; above 50 only the frame does.
#include "scenes/level2_backdrop.h"

#include <cmath>

#include "gfx/gl.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/sky_and_frame.h"

// The line width and the quadric's settings last until the next new game
// (the line width for the rest of the run).
void StartLevel2Backdrop()
{
    backdrop_stage = 2;
    frame_glide[0] = 0;
    frame_glide[1] = 0;
    frame_glide[2] = static_cast<float>(frame_depth);
    glLineWidth(20.0f);
    gluQuadricNormals(quadric, GLU_FLAT);
    gluQuadricTexture(quadric, GL_TRUE);
    ring_fade = 0;
}

// The level-1 sky once more, darker each frame; the glow pass is now a plain
// additive one, falling by 0.05 a frame.
static void DrawFadingSky()
{
    DrawSkyPass((50 - sky_counter) * 0.01);  // blending is off: this pass is opaque
    DrawSkyGlowPass(GL_SRC_ALPHA);
    glow_level += glow_step;
    glow_step = -5;
    sky_counter += 1;
}

// 41 columns hanging from a circle of radius 20 centred right of the eye:
// t accumulates a single-precision 0.05 and is still below 2 on its 41st step.
static void DrawRing()
{
    double r = ring_fade * 0.5;
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BOXT2]);
    glColor3d(r, r, r);
    glLoadIdentity();
    glTranslated(16, 5, 0);
    glRotated(-90, 0, 1, 0);
    glRotated(swirl_angle / 6, 0, 1, 0);
    glEnable(GL_CULL_FACE);
    for (float t = 0; t < 2; t += 0.05f) {
        glPushMatrix();
        glTranslated(20 * std::cos(3.14 * t), 0, 20 * std::sin(3.14 * t));
        glRotated(90, 1, 0, 0);
        gluCylinder(quadric, 1.0, 1.0, 10.0, 6, 1);
        glPopMatrix();
    }
}

// Six 20-pixel lines through the fan's centre; each turns further than the
// one before, the rotations accumulating.
static void DrawFanLines()
{
    for (int i = 0; i < 6; i++) {
        if (i > 0)
            glRotated(swirl_angle / static_cast<double>(1 << i), 0, 0, 1);
        glBegin(GL_LINES);
        glVertex3d(i, 8, 0);
        glVertex3d(-i, -8, 0);
        glEnd();
    }
}

// Cyan, blue and magenta fans, added over everything without depth test; the
// third centre runs off with the tangent and comes back from the other side.
static void DrawFans()
{
    const double f = ring_fade;
    const double angle = swirl_angle / 64;  // radians
    const double offsets[3] = {std::sin(angle), 5 * std::cos(angle), 2 * std::tan(angle)};
    const double colours[3][3] = {{0, 0.1 * f, 0.1 * f}, {0, 0, 0.1 * f}, {0.1 * f, 0, 0.1 * f}};
    for (int fan = 0; fan < 3; fan++) {
        glLoadIdentity();
        glColor3dv(colours[fan]);
        glRotated(swirl_angle, 0, 0, 1);
        glTranslated(offsets[fan], 0, -5);
        DrawFanLines();
    }
}

static void DrawRingAndFans()
{
    DrawRing();
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawFans();
    if (ring_fade < 1.0f)
        ring_fade += 0.01f;
}

// Single-precision steps towards (3, 2, -8), each axis at its own pace.
static void GlideCubeFrame()
{
    if (frame_glide[2] > -8)
        frame_glide[2] -= 0.1f;
    if (frame_glide[0] < 3)
        frame_glide[0] += 0.05f;
    if (frame_glide[1] < 2)
        frame_glide[1] += 0.025f;
    glTranslated(frame_glide[0], frame_glide[1], frame_glide[2]);
}

static void DrawGlidingCubeFrame()
{
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    BeginCubeFrame();
    GlideCubeFrame();
    DrawSpinningCubeFrame();
    EndCubeFrame();
}

void DrawLevel2Backdrop()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    if (sky_counter < 50)
        DrawFadingSky();
    if (sky_counter == 50)
        DrawRingAndFans();
    swirl_angle += 0.5f;
    DrawGlidingCubeFrame();
}
