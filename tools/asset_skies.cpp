// Backdrop pictures: water, the two sky layers, the environment picture, and
// the two textures that are loaded but never drawn. Everything that tiles is
// built from functions periodic over the picture, so its edges meet.
#include <cmath>
#include <vector>

#include "tools/asset_images.h"
#include "tools/procedural.h"

namespace {

const int sky_size = 256;
const Colour black = {0.0, 0.0, 0.0};
const Colour white = {1.0, 1.0, 1.0};

struct ColourStop {
    double at;
    Colour colour;
};

// Piecewise-linear colour ramp over stops sorted by `at`.
template <int N>
Colour Ramp(const ColourStop (&stops)[N], double t)
{
    if (t <= stops[0].at) return stops[0].colour;
    for (int i = 1; i < N; ++i)
        if (t <= stops[i].at)
            return MixColour(stops[i - 1].colour, stops[i].colour,
                             (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    return stops[N - 1].colour;
}

int WrapIndex(int value, int period)
{
    return ((value % period) + period) % period;
}

double Power(double base, int exponent)
{
    double result = 1.0;
    for (int i = 0; i < exponent; ++i) result *= base;
    return result;
}

// Sparse stars, one chance per 8x8 cell, drawn with distances measured
// around the torus so that stars near an edge continue on the other side.
double StarLight(int x, int y, double chance, uint32_t seed)
{
    const int cell = 8, cells = sky_size / cell;
    double light = 0.0;
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            int cx = WrapIndex(x / cell + ox, cells), cy = WrapIndex(y / cell + oy, cells);
            if (HashUnit(cx, cy, seed) >= chance) continue;
            double sx = (cx + HashUnit(cx, cy, seed + 1)) * cell;
            double sy = (cy + HashUnit(cx, cy, seed + 2)) * cell;
            double dx = std::fabs(x + 0.5 - sx), dy = std::fabs(y + 0.5 - sy);
            if (dx > sky_size / 2) dx = sky_size - dx;
            if (dy > sky_size / 2) dy = sky_size - dy;
            double size = 0.8 + 1.4 * HashUnit(cx, cy, seed + 3);
            double fall = Clamp01(1.0 - (dx * dx + dy * dy) / (size * size));
            light += (0.35 + 0.65 * HashUnit(cx, cy, seed + 4)) * fall * fall;
        }
    }
    return light;
}

// Fractal noise whose sampling point is pushed around by two more noises:
// gives the swirled, filament look of gas clouds.
double WarpedClouds(double u, double v, int period, double warp, uint32_t seed)
{
    double wx = PeriodicFbm(u, v, 3, 4, seed + 1000);
    double wy = PeriodicFbm(u, v, 3, 4, seed + 2000);
    return PeriodicFbm(u + warp * wx, v + warp * wy, period, 6, seed);
}

}  // namespace

Picture MakeWater()
{
    struct Wave {
        int kx, ky;  // whole waves across the picture, so it tiles
        double amplitude, phase;
    };
    const Wave waves[] = {{3, 1, 1.0, 0.10}, {-2, 5, 0.8, 0.40}, {5, -4, 0.6, 0.70},
                          {1, 8, 0.45, 0.20}, {9, 3, 0.35, 0.55}, {-7, 10, 0.25, 0.90},
                          {13, -6, 0.18, 0.30}, {4, 15, 0.12, 0.65}};
    std::vector<double> height(sky_size * sky_size);
    for (int y = 0; y < sky_size; ++y) {
        for (int x = 0; x < sky_size; ++x) {
            double u = double(x) / sky_size, v = double(y) / sky_size, h = 0.0;
            for (const Wave& w : waves) h += w.amplitude * Sine(w.kx * u + w.ky * v + w.phase);
            height[y * sky_size + x] = h + 1.5 * PeriodicFbm(u, v, 8, 3, 31u);
        }
    }
    const Colour deep = {0.02, 0.10, 0.28}, shallow = {0.10, 0.45, 0.66};
    const double lx = -0.35, ly = -0.55, lz = 0.76;  // light from the upper left
    Picture picture = NewPicture(sky_size, sky_size, deep);
    for (int y = 0; y < sky_size; ++y) {
        for (int x = 0; x < sky_size; ++x) {
            auto at = [&](int px, int py) {
                return height[WrapIndex(py, sky_size) * sky_size + WrapIndex(px, sky_size)];
            };
            double nx = -4.0 * (at(x + 1, y) - at(x - 1, y));
            double ny = -4.0 * (at(x, y + 1) - at(x, y - 1));
            double length = std::sqrt(nx * nx + ny * ny + 1.0);
            double diffuse = Clamp01((nx * lx + ny * ly + lz) / length);
            // Half vector between the light and a viewer straight above.
            double hx = lx, hy = ly, hz = lz + 1.0, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
            double specular = Power(Clamp01((nx * hx + ny * hy + hz) / (length * hl)), 48);
            Colour c = MixColour(deep, shallow, diffuse * diffuse);
            PixelAt(picture, x, y) = AddColour(c, ScaleColour(white, 0.8 * specular));
        }
    }
    return picture;
}

Picture MakeNebula()
{
    const ColourStop gas[] = {{0.0, {0.01, 0.01, 0.04}}, {0.30, {0.06, 0.07, 0.28}},
                              {0.60, {0.36, 0.12, 0.50}}, {0.85, {0.85, 0.42, 0.70}},
                              {1.0, {1.0, 0.85, 0.90}}};
    const Colour teal = {0.05, 0.35, 0.45};
    Picture picture = NewPicture(sky_size, sky_size, black);
    for (int y = 0; y < sky_size; ++y) {
        for (int x = 0; x < sky_size; ++x) {
            double u = double(x) / sky_size, v = double(y) / sky_size;
            double density = SmoothStep(0.30, 0.78, WarpedClouds(u, v, 4, 0.4, 13u));
            Colour c = Ramp(gas, density);
            // Some regions lean towards teal instead of magenta.
            double tint = SmoothStep(0.45, 0.7, PeriodicFbm(u, v, 2, 3, 14u));
            c = MixColour(c, ScaleColour(teal, density * 1.3), 0.5 * tint);
            double stars = StarLight(x, y, 0.35, 15u) * (1.0 - 0.7 * density);
            PixelAt(picture, x, y) = AddColour(c, ScaleColour({0.9, 0.93, 1.0}, stars));
        }
    }
    return picture;
}

Picture MakeGlow()
{
    const ColourStop glow[] = {{0.0, black}, {0.35, {0.25, 0.05, 0.02}},
                               {0.70, {0.85, 0.40, 0.08}}, {1.0, {1.0, 0.90, 0.55}}};
    Picture picture = NewPicture(sky_size, sky_size, black);
    for (int y = 0; y < sky_size; ++y) {
        for (int x = 0; x < sky_size; ++x) {
            double u = double(x) / sky_size, v = double(y) / sky_size;
            double density = SmoothStep(0.42, 0.82, WarpedClouds(u, v, 2, 0.5, 21u));
            PixelAt(picture, x, y) = Ramp(glow, density);
        }
    }
    return picture;
}
