// Deterministic building blocks for the generated data: integer hashing,
// periodic value noise, and sine and exponential built from +, -, *, / only,
// so that the output is byte-identical whatever the C library.
#pragma once
#include <cstdint>

#include "tools/asset_files.h"

// Integer hash of a lattice point; used by the noise and the star fields.
uint32_t HashPoint(uint32_t x, uint32_t y, uint32_t seed);
// The same hash as a value in 0..1.
double HashUnit(uint32_t x, uint32_t y, uint32_t seed);

// Smooth value noise in 0..1 on a lattice that repeats every `period` cells,
// so a picture sampling x, y in 0..period tiles seamlessly.
double PeriodicNoise(double x, double y, int period, uint32_t seed);
// Fractal sum of PeriodicNoise octaves; u, v in 0..1 cover the tile once,
// the first octave has base_period cells. Result roughly 0..1.
double PeriodicFbm(double u, double v, int base_period, int octaves, uint32_t seed);

// sin(2 pi turns) and cos(2 pi turns); used by the water and the oscillators.
double Sine(double turns);
double Cosine(double turns);
// e^x for x below about 700; used by envelopes and soft falloffs.
double Exp(double x);

double Clamp01(double value);
double Mix(double a, double b, double t);
// Hermite step from 0 at edge0 to 1 at edge1.
double SmoothStep(double edge0, double edge1, double value);
Colour MixColour(Colour a, Colour b, double t);
Colour ScaleColour(Colour c, double k);
Colour AddColour(Colour a, Colour b);

// White noise in -1..1 from a running state; used by the sound makers.
double NextNoise(uint32_t& state);
