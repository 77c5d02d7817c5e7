// The texture set: 16 files in a fixed order, each made into one mipmapped
// texture at start-up. A missing file is silent and leaves its slot at 0.
#include "gfx/texture_set.h"

#include <cstdio>

#include "gfx/bmp_reader.h"
#include "gfx/gl.h"

uint32_t texture_set[TEXTURE_SLOT_COUNT];

namespace {

struct SlotFile {
    const char* path;
    GLint min_filter;
};

// The board textures are drawn at full size, so their smaller levels are never sampled.
const SlotFile slot_files[TEXTURE_SLOT_COUNT] = {
    {"data/blockg.bmp", GL_LINEAR},   {"data/blockb.bmp", GL_LINEAR},
    {"data/blockp.bmp", GL_LINEAR},   {"data/blocky.bmp", GL_LINEAR},
    {"data/blockr.bmp", GL_LINEAR},   {"data/blocko.bmp", GL_LINEAR},
    {"data/blockdb.bmp", GL_LINEAR},  {"data/blkgrey.bmp", GL_LINEAR},
    {"data/border.bmp", GL_LINEAR},   {"data/water.bmp", GL_LINEAR_MIPMAP_NEAREST},
    {"data/font.bmp", GL_LINEAR_MIPMAP_NEAREST},  {"data/boxt2.bmp", GL_LINEAR_MIPMAP_NEAREST},
    {"data/boxte.bmp", GL_LINEAR_MIPMAP_NEAREST}, {"data/boxt3.bmp", GL_LINEAR_MIPMAP_NEAREST},
    {"data/light.bmp", GL_LINEAR_MIPMAP_NEAREST}, {"data/checker.bmp", GL_LINEAR_MIPMAP_NEAREST},
};

// Rows are packed 3 bytes a pixel; unless the width is a multiple of 4 they
// are not 4-byte aligned, so such images go up with an alignment of 1.
void BuildMipmaps(const RgbImage& image)
{
    GLint saved_alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_alignment);
    if (image.width % 4 != 0)
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved_alignment);
}

void MakeTexture(int slot, const RgbImage& image)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    texture_set[slot] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, slot_files[slot].min_filter);
    BuildMipmaps(image);
}

}  // namespace

// A file that is missing or cannot be opened stays silent, as a slot may be
// empty; the reader reports every failure of a file that is there.
RgbImage* OpenImageIfPresent(const char* path)
{
    return LoadBmpImageIfPresent(path);
}

int LoadTextureSet()
{
    int result = 0;
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++) {
        RgbImage* image = OpenImageIfPresent(slot_files[slot].path);
        if (!image)
            continue;
        result = 1;
        MakeTexture(slot, *image);
        FreeRgbImage(image);
    }
    return result;
}
