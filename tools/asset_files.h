// Pictures and sounds as the generator builds them, and their writing as the
// BMP and WAV files that the game reads from data/.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A colour with channels nominally 0..1 (clamped when written).
struct Colour {
    double r, g, b;
};

// An RGB picture, rows top to bottom as it is seen.
struct Picture {
    int width;
    int height;
    std::vector<Colour> pixels;  // width * height, row 0 at the top
};

// Mono 16-bit sound at sound_rate samples per second, values -1..1.
struct Sound {
    std::vector<double> samples;
};

const int sound_rate = 44100;

// Makes a picture filled with one colour; called by every image maker first.
Picture NewPicture(int width, int height, Colour fill);
// Pixel (x, y), y downward; used by the image makers.
Colour& PixelAt(Picture& picture, int x, int y);

// Writes a 24-bit uncompressed BMP (file header + 40-byte info header,
// bottom row first); called by main for each image. False on any I/O error.
bool WriteBmp(const std::string& path, const Picture& picture);
// Writes a 44100 Hz 16-bit mono PCM WAV; called by main for each sound.
bool WriteWav(const std::string& path, const Sound& sound);
