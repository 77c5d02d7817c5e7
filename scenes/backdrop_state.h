// Values and resources the backdrops share between frames. Start-up makes the
// resources, the new-game reset sets the level-0 values, and the level-1 and
// level-2 start steps set the rest.
#pragma once
#include <cstdint>

extern int32_t backdrop_stage;  // -1 new game pending, 0 reset done, 1 level-1 start done, 2 level-2 start done
extern int32_t fade_in_counter;  // new game: 100 frames from black, counted by the scene director
struct GLUquadric;
extern GLUquadric* quadric;      // every sphere and cylinder of the backdrops
extern uint32_t cube_frame_list, sky_sphere_list;  // the two meshes, compiled at start-up
extern float backdrop_angle;     // degrees: the level-0 tilt, then the spin of sky and cube frame
extern float swirl_angle;        // degrees, +1 a frame: helices, ring and fans
extern float water_scroll;       // texture offset of the water, wraps past 1
extern float water_scroll_step;  // 0.005 a frame
extern int32_t fade_out_counter; // level-1 hand-over: >0 darkening (counted by the scene director), 0 relight due, -1 level-1 scene
extern int32_t sky_counter;      // first sky pass brightness (500 - sky_counter) * 0.001
extern int32_t glow_level;       // second sky pass brightness in hundredths
extern int32_t glow_step;        // +1 or -1 a frame
extern int32_t frame_depth;      // z of the cube frame
extern float frame_glide[3];     // position of the cube frame from level 2 on
extern float ring_fade;          // brightness of the ring and fans
