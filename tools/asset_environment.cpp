// The environment picture for the sphere-mapped cube frame, and the light blob
// and checkerboard that the game loads but never draws.
#include <cmath>

#include "tools/asset_images.h"
#include "tools/procedural.h"

namespace {

struct Direction {
    double x, y, z;
};

struct Lamp {
    Direction towards;  // unit vector
    Colour colour;
    int sharpness;      // power of the cosine: higher is a smaller highlight
};

double Dot(Direction a, Direction b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Power(double base, int exponent)
{
    double result = 1.0;
    for (int i = 0; i < exponent; ++i) result *= base;
    return result;
}

// What a mirror sees in direction r (y up, z towards the viewer): a dark room
// with a glowing horizon, strip lights on the ceiling and a few lamps.
Colour SeenInDirection(Direction r)
{
    const Lamp lamps[] = {{{-0.48, 0.64, 0.60}, {1.0, 0.95, 0.85}, 90},
                          {{0.70, 0.30, 0.65}, {0.55, 0.75, 1.0}, 60},
                          {{0.20, 0.85, -0.49}, {1.0, 0.80, 0.55}, 40},
                          {{-0.60, -0.20, -0.77}, {0.50, 0.60, 0.90}, 30}};
    Colour c = r.y > 0 ? Colour{0.03 + 0.04 * (1 - r.y), 0.04 + 0.05 * (1 - r.y), 0.10 + 0.08 * (1 - r.y)}
                       : Colour{0.05, 0.04, 0.05};
    double band = Exp(-(r.y * r.y) / 0.006);
    c = AddColour(c, ScaleColour({0.35, 0.42, 0.60}, band));
    if (r.y > 0.55) {
        double along = r.x / r.y * 2.0;  // strips run across the ceiling
        double strip = SmoothStep(0.12, 0.06, std::fabs(along - std::floor(along) - 0.5));
        c = AddColour(c, ScaleColour({0.75, 0.80, 0.90}, strip * SmoothStep(0.55, 0.75, r.y)));
    }
    for (const Lamp& lamp : lamps) {
        double facing = Dot(r, lamp.towards);
        if (facing <= 0) continue;
        double core = Power(facing, lamp.sharpness), halo = Power(facing, 6);
        c = AddColour(c, ScaleColour(lamp.colour, 1.4 * core + 0.18 * halo));
    }
    return c;
}

}  // namespace

Picture MakeEnvironment()
{
    const int size = 256;
    Picture picture = NewPicture(size, size, {0, 0, 0});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Sphere-map layout: the picture is a mirror ball seen head on.
            double nx = (x + 0.5) / (size / 2.0) - 1.0, ny = 1.0 - (y + 0.5) / (size / 2.0);
            double r2 = nx * nx + ny * ny;
            if (r2 > 0.998) {  // outside the ball: keep the rim's colour
                double k = std::sqrt(0.998 / r2);
                nx *= k, ny *= k, r2 = 0.998;
            }
            double nz = std::sqrt(1.0 - r2);
            Direction reflected = {2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1};
            PixelAt(picture, x, y) = SeenInDirection(reflected);
        }
    }
    return picture;
}

Picture MakeLightBlob()
{
    const int size = 128;
    Picture picture = NewPicture(size, size, {0, 0, 0});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5) / (size / 2.0) - 1.0, dy = (y + 0.5) / (size / 2.0) - 1.0;
            double fall = Clamp01(1.0 - (dx * dx + dy * dy));
            PixelAt(picture, x, y) = ScaleColour({1.0, 0.95, 0.82}, fall * fall * fall);
        }
    }
    return picture;
}

Picture MakeChecker()
{
    const int size = 128, square = 16;
    const Colour light = {0.85, 0.85, 0.88}, dark = {0.22, 0.22, 0.26};
    Picture picture = NewPicture(size, size, dark);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((x / square + y / square) % 2 == 0) PixelAt(picture, x, y) = light;
    return picture;
}
