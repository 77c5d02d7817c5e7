// The backdrop values and their program-start values.
#include "scenes/backdrop_state.h"

int32_t backdrop_stage = -1;
int32_t fade_in_counter = 0;
GLUquadric* quadric = nullptr;
uint32_t cube_frame_list = 0, sky_sphere_list = 0;
float backdrop_angle = 0.0f;
float swirl_angle = 0.0f;
float water_scroll = 0.0f;
float water_scroll_step = 0.0f;
int32_t fade_out_counter = 0;
int32_t sky_counter = 0;
int32_t glow_level = 0;
int32_t glow_step = 0;
int32_t frame_depth = -100;
float frame_glide[3] = {0.0f, 0.0f, 0.0f};
float ring_fade = 0.0f;
