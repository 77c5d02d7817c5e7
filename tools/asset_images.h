// The generated pictures of data/: board tiles, backdrop skies and water,
// the environment picture, the unused light blob and checkerboard, and the font.
#pragma once
#include <string>

#include "tools/asset_files.h"

// A bevelled block in the given colour, 32x32, lit from the top left;
// called by main for the seven piece textures and the grey landed cell.
Picture MakeBlock(Colour base, uint32_t seed);
// The darker steel frame tile of the board border, 32x32; called by main.
Picture MakeBorder();

// Rippled water, 256x256, tiles in both directions; called by main.
Picture MakeWater();
// Nebula sky with stars for the sky sphere's first pass, 256x256, tiles.
Picture MakeNebula();
// Warm glow clouds, mostly black, added over the sky; 256x256, tiles.
Picture MakeGlow();
// Sphere-mapped reflection of a dark room with bright lights, 256x256.
Picture MakeEnvironment();
// Soft round light blob on black, 128x128 (loaded, never drawn).
Picture MakeLightBlob();
// Checkerboard of 16-pixel squares, 128x128 (loaded, never drawn).
Picture MakeChecker();

// The 16x16 grid of 16x16 glyph cells: the upper half holds characters 32..126
// in one style, the lower half in another. Empty string on success, else why
// it failed (font missing or unreadable). Called by main.
std::string MakeFont(Picture& font);
