// Placeholder scene director: clears the screen until the real one lands.
#include "scenes/scene_director.h"

#include <GL/gl.h>

int32_t backdrop_stage = -1;
uint32_t tile_list = 0;
uint32_t cube_frame_list = 0, sky_sphere_list = 0;
int32_t fade_in_counter = 0;

bool InitScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    return true;
}

bool DrawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void NewGameReset() {}

void DeleteSceneLists() {}
