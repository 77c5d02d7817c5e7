// Placeholder scene director: clears the screen until the real one lands.
#include "scenes/scene_director.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "shell/frame_clock.h"

int32_t backdrop_stage = -1;
uint32_t tile_list = 0;
uint32_t cube_frame_list = 0, sky_sphere_list = 0;
int32_t fade_in_counter = 0;
GLUquadric* quadric = nullptr;
float light_position[4], light_ambient[4], light_diffuse[4], light_specular[4];
float material_specular[4], material_shininess[1];

bool InitScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    StartFrameClock();
    return true;
}

bool DrawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void NewGameReset() {}

void DeleteSceneLists() {}
