// The 16 textures every textured drawing binds, made once at start-up from
// the bitmaps of data/; slots are named after the file stems.
#pragma once
#include <cstdint>

struct RgbImage;

// Slots 0..6 are indexed by piece kind and stay contiguous and in this order.
enum TextureSlot {
    TEXTURE_BLOCKG, TEXTURE_BLOCKB, TEXTURE_BLOCKP, TEXTURE_BLOCKY, TEXTURE_BLOCKR,
    TEXTURE_BLOCKO, TEXTURE_BLOCKDB, TEXTURE_BLKGREY, TEXTURE_BORDER, TEXTURE_WATER,
    TEXTURE_FONT, TEXTURE_BOXT2, TEXTURE_BOXTE, TEXTURE_BOXT3, TEXTURE_LIGHT,
    TEXTURE_CHECKER, TEXTURE_SLOT_COUNT
};

// OpenGL texture names by slot; 0 for a file that did not load (binds the
// empty default texture, so that geometry shows its colour alone).
extern uint32_t texture_set[TEXTURE_SLOT_COUNT];

// InitScene, once, context current: 1 when at least one file became a texture.
int LoadTextureSet();
// LoadTextureSet, per slot: the decoded file, or nullptr (silently) when it cannot be opened.
RgbImage* OpenImageIfPresent(const char* path);
