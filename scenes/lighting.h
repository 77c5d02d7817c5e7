// Light 1 and the front material, the only light the backdrops use. Values are
// handed to GL from storage that outlives the call, as GL 1.1 reads them then.
#pragma once
#include "gfx/gl.h"

// New-game reset and the level-1 relight: one parameter of light 1.
void SetLight1(GLenum parameter, float a, float b, float c, float d);
// The same two callers: the front material's specular colour and shininess.
void SetFrontMaterial(float red, float green, float blue, float alpha, float shininess);
