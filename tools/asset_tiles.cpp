// Board tiles: bevelled blocks and the border's frame tile. The textures are
// 32x32 and drawn at 16x16, so every feature is at least two texels wide.
#include <algorithm>

#include "tools/asset_images.h"
#include "tools/procedural.h"

namespace {

const int tile_size = 32;
const Colour white = {1.0, 1.0, 1.0};

// Which of the four bevel faces a texel lies on: the nearest edge, with the
// diagonals going to the top and bottom faces.
enum Face { FACE_TOP, FACE_LEFT, FACE_RIGHT, FACE_BOTTOM };

Face NearestFace(int x, int y)
{
    int left = x, top = y, right = tile_size - 1 - x, bottom = tile_size - 1 - y;
    int nearest = std::min(std::min(left, right), std::min(top, bottom));
    if (top == nearest) return FACE_TOP;
    if (bottom == nearest) return FACE_BOTTOM;
    return left == nearest ? FACE_LEFT : FACE_RIGHT;
}

int EdgeDistance(int x, int y)
{
    return std::min(std::min(x, tile_size - 1 - x), std::min(y, tile_size - 1 - y));
}

// Light falls from the top left: top face brightest, bottom darkest.
Colour BevelColour(Colour base, Face face, double depth)
{
    switch (face) {
    case FACE_TOP: return MixColour(base, white, 0.62 - 0.15 * depth);
    case FACE_LEFT: return MixColour(base, white, 0.34 - 0.10 * depth);
    case FACE_RIGHT: return ScaleColour(base, 0.62 + 0.08 * depth);
    default: return ScaleColour(base, 0.40 + 0.10 * depth);
    }
}

// The flat top of the block: a gentle top-to-bottom falloff, a soft shine
// near the top-left corner and a faint grain.
Colour FaceColour(Colour base, int x, int y, int inset, uint32_t seed)
{
    double span = tile_size - 2.0 * inset;
    double u = (x - inset + 0.5) / span, v = (y - inset + 0.5) / span;
    Colour c = ScaleColour(base, 1.06 - 0.22 * v);
    double du = u - 0.3, dv = v - 0.28;
    double shine = Clamp01(1.0 - (du * du + dv * dv) / 0.09);
    c = MixColour(c, white, 0.35 * shine * shine);
    return ScaleColour(c, 0.97 + 0.06 * HashUnit(x, y, seed));
}

}  // namespace

Picture MakeBlock(Colour base, uint32_t seed)
{
    const int rim = 1, bevel = 5;
    Picture picture = NewPicture(tile_size, tile_size, base);
    for (int y = 0; y < tile_size; ++y) {
        for (int x = 0; x < tile_size; ++x) {
            int edge = EdgeDistance(x, y);
            Colour& c = PixelAt(picture, x, y);
            if (edge < rim)
                c = ScaleColour(base, 0.25);
            else if (edge < rim + bevel)
                c = BevelColour(base, NearestFace(x, y), (edge - rim + 0.5) / bevel);
            else
                c = FaceColour(base, x, y, rim + bevel, seed);
        }
    }
    return picture;
}

Picture MakeBorder()
{
    const Colour steel = {0.26, 0.29, 0.36};
    const int bevel = 4;
    Picture picture = NewPicture(tile_size, tile_size, steel);
    for (int y = 0; y < tile_size; ++y) {
        for (int x = 0; x < tile_size; ++x) {
            int edge = EdgeDistance(x, y);
            Colour& c = PixelAt(picture, x, y);
            // Brushed metal: grain that runs along the rows.
            double grain = 0.9 + 0.2 * PeriodicNoise(x / 16.0, y, 2, 7u);
            if (edge < bevel)
                c = ScaleColour(BevelColour(steel, NearestFace(x, y), (edge + 0.5) / bevel), grain);
            else
                c = ScaleColour(steel, grain * (1.0 - 0.1 * (y - bevel) / (tile_size - 2.0 * bevel)));
            // A rivet in the middle, lit like the bevel.
            double dx = x + 0.5 - tile_size / 2.0, dy = y + 0.5 - tile_size / 2.0;
            double d2 = (dx * dx + dy * dy) / 16.0;
            if (d2 < 1.0) {
                double lit = Clamp01(0.5 - 0.35 * (dx + dy) / 4.0);
                c = MixColour(ScaleColour(steel, 0.5), MixColour(steel, white, 0.5), lit);
            }
        }
    }
    return picture;
}
