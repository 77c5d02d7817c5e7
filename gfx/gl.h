// OpenGL 1.1 and GLU, included the way each platform's headers want them: Windows'
// gl.h needs <windows.h> first, kept lean and without its VK_ key names, which the
// game's own key table uses. Every file that draws includes this, never GL/ itself.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define NOVIRTUALKEYCODES
#include <windows.h>
#endif

#include <GL/gl.h>
#include <GL/glu.h>
