// BMP and WAV writers: byte order and headers spelt out field by field so the
// files are the same on any host.
#include "tools/asset_files.h"

#include <cstdio>

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// 0..1 to 0..255, rounded to nearest; values outside are clamped.
uint8_t ToByte(double value)
{
    if (!(value > 0.0)) return 0;
    if (value >= 1.0) return 255;
    return static_cast<uint8_t>(value * 255.0 + 0.5);
}

int16_t ToSample(double value)
{
    if (value > 1.0) value = 1.0;
    if (value < -1.0) value = -1.0;
    double scaled = value * 32767.0;
    return static_cast<int16_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

Picture NewPicture(int width, int height, Colour fill)
{
    return Picture{width, height, std::vector<Colour>(size_t(width) * height, fill)};
}

Colour& PixelAt(Picture& picture, int x, int y)
{
    return picture.pixels[size_t(y) * picture.width + x];
}

bool WriteBmp(const std::string& path, const Picture& picture)
{
    const uint32_t row_bytes = (uint32_t(picture.width) * 3 + 3) & ~3u;
    const uint32_t image_bytes = row_bytes * picture.height;
    const uint32_t header_bytes = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(header_bytes + image_bytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, header_bytes + image_bytes);
    PutU32(out, 0);  // reserved
    PutU32(out, header_bytes);
    PutU32(out, 40);
    PutU32(out, picture.width);
    PutU32(out, picture.height);  // positive: bottom row first
    PutU16(out, 1);               // planes
    PutU16(out, 24);              // bits per pixel
    PutU32(out, 0);               // BI_RGB
    PutU32(out, image_bytes);
    PutU32(out, 2835);            // 72 dots per inch, both ways
    PutU32(out, 2835);
    PutU32(out, 0);               // colours used: none, no table
    PutU32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Colour& c = picture.pixels[size_t(y) * picture.width + x];
            out.push_back(ToByte(c.b));
            out.push_back(ToByte(c.g));
            out.push_back(ToByte(c.r));
        }
        out.resize(out.size() + (row_bytes - picture.width * 3), 0);
    }
    return WriteBytes(path, out);
}

bool WriteWav(const std::string& path, const Sound& sound)
{
    const uint32_t data_bytes = uint32_t(sound.samples.size()) * 2;
    std::vector<uint8_t> out;
    out.reserve(44 + data_bytes);
    PutTag(out, "RIFF");
    PutU32(out, 36 + data_bytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);              // PCM
    PutU16(out, 1);              // mono
    PutU32(out, sound_rate);
    PutU32(out, sound_rate * 2); // bytes per second
    PutU16(out, 2);              // bytes per frame
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, data_bytes);
    for (double value : sound.samples) PutU16(out, uint16_t(ToSample(value)));
    return WriteBytes(path, out);
}
