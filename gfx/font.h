// The bitmap font: 256 glyph display lists cut from the font texture's 16x16
// grid, and a printf-style printer drawing a whole text with one call.
#pragma once
#include <cstdint>

#include "shell/printf_format.h"

extern uint32_t font_base;  // list font_base + g draws glyph g and steps 15 units right

// InitScene, once, after LoadTextureSet: builds the 256 glyph lists.
void CreateFontLists();
// Score display, score popups, pause text; font texture bound, colour and
// blending chosen. (x, y): top-left of the first glyph in the 640x480 layer.
// set 0: glyphs 0..127, set 1 (or above): 128..255; texts are cut to 255 characters.
void PrintText(int x, int y, int set, const char* format, ...) PRINTF_FORMAT(4, 5);
