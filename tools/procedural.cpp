// Hashing, noise and the few transcendental functions the generator needs.
#include "tools/procedural.h"

#include <cmath>

namespace {

const double two_pi = 6.283185307179586;

int Wrap(int value, int period)
{
    int r = value % period;
    return r < 0 ? r + period : r;
}

}  // namespace

uint32_t HashPoint(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double HashUnit(uint32_t x, uint32_t y, uint32_t seed)
{
    return (HashPoint(x, y, seed) >> 8) / 16777215.0;
}

double PeriodicNoise(double x, double y, int period, uint32_t seed)
{
    double fx = std::floor(x), fy = std::floor(y);
    int x0 = Wrap(int(fx), period), y0 = Wrap(int(fy), period);
    int x1 = Wrap(x0 + 1, period), y1 = Wrap(y0 + 1, period);
    double tx = SmoothStep(0.0, 1.0, x - fx), ty = SmoothStep(0.0, 1.0, y - fy);
    double top = Mix(HashUnit(x0, y0, seed), HashUnit(x1, y0, seed), tx);
    double bottom = Mix(HashUnit(x0, y1, seed), HashUnit(x1, y1, seed), tx);
    return Mix(top, bottom, ty);
}

double PeriodicFbm(double u, double v, int base_period, int octaves, uint32_t seed)
{
    double sum = 0.0, weight = 0.5, total = 0.0;
    int period = base_period;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * PeriodicNoise(u * period, v * period, period, seed + 101u * i);
        total += weight;
        weight *= 0.5;
        period *= 2;
    }
    return sum / total;
}

double Sine(double turns)
{
    double t = turns - std::floor(turns);  // 0..1
    if (t > 0.5) t -= 1.0;                 // -0.5..0.5
    if (t > 0.25) t = 0.5 - t;             // fold onto -0.25..0.25, where the
    if (t < -0.25) t = -0.5 - t;           // series below is accurate to 1e-11
    double x = t * two_pi, x2 = x * x;
    double series = 1.0;
    for (int n = 15; n >= 3; n -= 2) series = 1.0 - series * x2 / (double(n) * (n - 1));
    return x * series;
}

double Cosine(double turns)
{
    return Sine(turns + 0.25);
}

double Exp(double x)
{
    if (x < -700.0) return 0.0;
    int halvings = 0;
    while (x > 0.01 || x < -0.01) {
        x *= 0.5;
        ++halvings;
    }
    double term = 1.0, sum = 1.0;
    for (int n = 1; n <= 7; ++n) {
        term *= x / n;
        sum += term;
    }
    for (int i = 0; i < halvings; ++i) sum *= sum;
    return sum;
}

double Clamp01(double value)
{
    return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

double Mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

double SmoothStep(double edge0, double edge1, double value)
{
    double t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

Colour MixColour(Colour a, Colour b, double t)
{
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

Colour ScaleColour(Colour c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Colour AddColour(Colour a, Colour b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

double NextNoise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 8388607.5 - 1.0;
}
