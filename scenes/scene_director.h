// Start-up, the per-frame scene director and the new-game reset.
#pragma once
#include <cstdint>

extern int32_t backdrop_stage;  // -1 new game pending, 0 reset done, 1 level-1 start done, 2 level-2 start done
extern uint32_t tile_list;      // one 16x16 textured square
extern uint32_t cube_frame_list, sky_sphere_list;
extern int32_t fade_in_counter;
struct GLUquadric;
extern GLUquadric* quadric;     // every sphere and cylinder of the backdrops

// Storage handed to glLightfv(GL_LIGHT1, ...) and glMaterialfv(GL_FRONT, ...);
// filled right before each call (the new-game reset, the level-1 relight).
extern float light_position[4], light_ambient[4], light_diffuse[4], light_specular[4];
extern float material_specular[4], material_shininess[1];

bool InitScene();         // window creation, context current: every resource, once
bool DrawScene();         // main loop, every frame while not minimised; always true
void NewGameReset();      // DrawScene, first frame of a game
void DeleteSceneLists();  // shutdown, while the context is still current
