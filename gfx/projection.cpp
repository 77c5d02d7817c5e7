// The perspective of the backdrops and the flat space of the game layer.
#include "gfx/projection.h"

#include "gfx/gl.h"
#include "gfx/layout.h"

float aspect_ratio = 0.0f;

void UseGameAspect()
{
    aspect_ratio = 1.3333334f;
}

// The near plane is the single-precision 0.1 widened to double, as everywhere.
void SetScenePerspective()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect_ratio, (double)0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SetLayerProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, LAYER_WIDTH, LAYER_HEIGHT, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}
