// Light 1 and the front material.
#include "scenes/lighting.h"

static float light_position[4], light_ambient[4], light_diffuse[4], light_specular[4];
static float material_specular[4], material_shininess[1];

static float* LightStorage(GLenum parameter)
{
    switch (parameter) {
    case GL_POSITION: return light_position;
    case GL_AMBIENT: return light_ambient;
    case GL_DIFFUSE: return light_diffuse;
    default: return light_specular;
    }
}

void SetLight1(GLenum parameter, float a, float b, float c, float d)
{
    float* storage = LightStorage(parameter);
    storage[0] = a;
    storage[1] = b;
    storage[2] = c;
    storage[3] = d;
    glLightfv(GL_LIGHT1, parameter, storage);
}

void SetFrontMaterial(float red, float green, float blue, float alpha, float shininess)
{
    material_specular[0] = red;
    material_specular[1] = green;
    material_specular[2] = blue;
    material_specular[3] = alpha;
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    material_shininess[0] = shininess;
    glMaterialfv(GL_FRONT, GL_SHININESS, material_shininess);
}
