// The level-0 scene. Everything here is lit by light 1 without colour
// material, so the colour calls only matter where lighting is off.
#include "scenes/level0_backdrop.h"

#include <cmath>

#include "gfx/gl.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"

// Bead k of a helix: the spun pivot, then its place on the helix.
static void PlaceBead(double pivot_x, float spin, float t, float h)
{
    glPushMatrix();
    glTranslated(pivot_x, 3, -20);
    glRotatef(spin, 0, 1, 0);
    glTranslated(2 * std::cos(3.14 * t), h - 3.0, 2 * std::sin(3.14 * t));
}

// A pair of the coarsest spheres, the second 0.5 above the first.
static void DrawBead(double pivot_x, float spin, float t, float h, float g)
{
    const double r1 = g + 0.1f, r2 = 0.45f - (g + 0.1f);
    PlaceBead(pivot_x, spin, t, h);
    gluSphere(quadric, r1, 3, 2);
    glTranslated(0, 0.5, 0);
    gluSphere(quadric, r2, 3, 2);
    glPopMatrix();
}

// The bead's mirror image below the plane between the beads and the water.
// The bead's own steps up and down come first: in single precision they need
// not cancel, and the reflection must sit exactly where it always has.
static void DrawReflection(double pivot_x, float spin, float t, float h, float g)
{
    const double r1 = g + 0.1f, r2 = 0.45f - (g + 0.1f);
    PlaceBead(pivot_x, spin, t, h);
    glTranslated(0, 0.5, 0);
    glTranslated(0, -0.5, 0);
    glTranslated(0, -2.0 * h - 1.15, 0);
    gluSphere(quadric, r1, 3, 2);
    glTranslated(0, -0.5, 0);
    gluSphere(quadric, r2, 3, 2);
    glPopMatrix();
}

// Four turns of twenty steps: t accumulates a single-precision 0.1, which
// passes 2 after exactly twenty additions. h and g carry on across turns, so
// the 80 beads climb one continuous helix on each side.
static void DrawHelixPass(void (*draw)(double, float, float, float, float))
{
    float h = 0, g = 0;
    for (float u = 0; u < 2; u += 0.5f)
        for (float t = 0; t < 2; t += 0.1f) {
            draw(8.5, swirl_angle, t, h, g);
            draw(-8.5, -swirl_angle, t, h, g);
            h += 0.1f;
            g += 0.003f;
        }
}

// All beads, then all reflections in fog: switching fog costs the software
// renderer far more than a sphere, and once a pass beats twice a bead. The
// picture is the same as bead by bead: beads and reflections lie on either
// side of the mirror plane and never meet at one depth, so the depth test
// alone decides between them, in either order; within each pass the order is
// unchanged. The last sphere is still the last reflection, whose normal the
// planes are lit with. (Under lighting the colours have no effect.)
static void DrawHelices()
{
    glColor3f(1, 1, 1);
    DrawHelixPass(DrawBead);
    glColor3f(0.1f, 0.1f, 0.1f);
    glEnable(GL_FOG);
    DrawHelixPass(DrawReflection);
    glDisable(GL_FOG);
}

static void AdvanceAnimation()
{
    swirl_angle += 1.0f;
    water_scroll += water_scroll_step;
    if (water_scroll > 1.0f)
        water_scroll = 0;
}

// The planes carry no normals: they are lit with the last sphere's normal.
static void DrawWaterPlane(float s)
{
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_WATER]);
    glTranslatef(0, -15, -3);
    glRotatef(backdrop_angle, 1, 0, 0);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(0.1f, 0, 0.3f);
    glTexCoord2f(0, s), glVertex3f(-20.3f, -2, -10);
    glTexCoord2f(1, s), glVertex3f(20.3f, -2, -10);
    glColor3f(1, 1, 1);
    glTexCoord2f(0, 1 + s), glVertex3f(-20.3f, -2, -40);
    glTexCoord2f(1, 1 + s), glVertex3f(20.3f, -2, -40);
    glEnd();
}

// Rises behind the water and scrolls the other way.
static void DrawFarPlane(float s)
{
    glLoadIdentity();
    glRotatef(backdrop_angle, 1, 0, 0);
    glTranslatef(0, -17, -40);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, -s), glVertex3f(-30, -2, 0);
    glTexCoord2f(1, -s), glVertex3f(30, -2, 0);
    glTexCoord2f(0, 1 - s), glVertex3f(-30, 28, 40);
    glTexCoord2f(1, 1 - s), glVertex3f(30, 28, 40);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

static void DrawShadedQuad()
{
    glLoadIdentity();
    glRotatef(backdrop_angle, 1, 0, 0);
    glTranslatef(0, -17, -39.5f);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex3f(-30, -2, 0);
    glVertex3f(30, -2, 0);
    glColor3f(0, 0, 0);
    glVertex3f(-30, 25, 40);
    glVertex3f(30, 25, 40);
    glEnd();
}

void DrawLevel0Backdrop()
{
    glEnable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glLoadIdentity();
    glRotatef(backdrop_angle, 1, 0, 0);
    glTranslatef(0, -15, 2);
    glEnable(GL_CULL_FACE);
    DrawHelices();
    glDisable(GL_CULL_FACE);
    glColor4f(0.1f, 0.1f, 0.1f, 1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);  // the planes add onto what is behind them
    AdvanceAnimation();
    DrawWaterPlane(water_scroll);
    DrawFarPlane(water_scroll);
    DrawShadedQuad();
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
}
