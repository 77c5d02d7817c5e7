// Bitmap files for tests: pictures drawn as rows of key characters, encoded in
// the layouts the reader must accept, and written to real files.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bmp_test {

struct Colour {
    uint8_t r, g, b;
    bool operator==(const Colour& other) const { return r == other.r && g == other.g && b == other.b; }
};

// rows[0] is the top row as seen; keys[i] has colours[i], colour-table index i.
struct Picture {
    std::vector<std::string> rows;
    std::string keys;
    std::vector<Colour> colours;

    int Width() const { return int(rows[0].size()); }
    int Height() const { return int(rows.size()); }
    int IndexAt(int x, int top_row) const { return int(keys.find(rows[top_row][x])); }
    Colour ColourAt(int x, int top_row) const { return colours[IndexAt(x, top_row)]; }
};

// Every header field that the tests vary; pixels and table are stored as given.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;           // negative: top row stored first
    uint16_t bit_count = 24;
    uint32_t compression = 0;
    uint32_t size_image = 0;
    uint32_t colours_used = 0;
    uint32_t header_size = 40;    // 12 core header, 40 info header, others zero-filled past 40
    bool file_header = true;      // false: a packed DIB
    std::vector<Colour> table;    // 3-byte entries after a core header, 4-byte otherwise
    std::vector<uint32_t> masks;  // written right after the header
    std::vector<uint8_t> pixels;
};

inline void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline std::vector<uint8_t> DibHeader(const BmpLayout& layout)
{
    std::vector<uint8_t> header;
    Put32(header, layout.header_size);
    if (layout.header_size == 12) {
        Put16(header, uint32_t(layout.width));
        Put16(header, uint32_t(layout.height));
        Put16(header, 1);
        Put16(header, layout.bit_count);
        return header;
    }
    Put32(header, uint32_t(layout.width));
    Put32(header, uint32_t(layout.height));
    Put16(header, 1);
    Put16(header, layout.bit_count);
    Put32(header, layout.compression);
    Put32(header, layout.size_image);
    Put32(header, 2835);  // 72 dots per inch, both ways
    Put32(header, 2835);
    Put32(header, layout.colours_used);
    Put32(header, 0);
    header.resize(layout.header_size, 0);
    return header;
}

inline std::vector<uint8_t> EncodeBmp(const BmpLayout& layout)
{
    std::vector<uint8_t> dib = DibHeader(layout);
    for (uint32_t mask : layout.masks)
        Put32(dib, mask);
    for (const Colour& entry : layout.table) {
        dib.insert(dib.end(), {entry.b, entry.g, entry.r});
        if (layout.header_size != 12)
            dib.push_back(0);
    }
    size_t pixel_offset = dib.size() + (layout.file_header ? 14 : 0);
    dib.insert(dib.end(), layout.pixels.begin(), layout.pixels.end());
    if (!layout.file_header)
        return dib;
    std::vector<uint8_t> file = {'B', 'M'};
    Put32(file, uint32_t(14 + dib.size()));
    Put32(file, 0);
    Put32(file, uint32_t(pixel_offset));
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// Stored row order: bottom row first, or top row first for top-down files.
inline int TopRowOfStored(const Picture& picture, int stored, bool top_down)
{
    return top_down ? stored : picture.Height() - 1 - stored;
}

inline void PadRow(std::vector<uint8_t>& out, size_t row_start)
{
    while ((out.size() - row_start) % 4)
        out.push_back(0);
}

// Colour-table indices packed 1, 4 or 8 to a byte, leftmost pixel in the high bits.
inline std::vector<uint8_t> IndexedPixels(const Picture& picture, int bits, bool top_down = false)
{
    std::vector<uint8_t> out;
    for (int stored = 0; stored < picture.Height(); stored++) {
        size_t row_start = out.size();
        int top_row = TopRowOfStored(picture, stored, top_down);
        for (int x = 0; x < picture.Width(); x++) {
            int bit = x * bits;
            if (bit % 8 == 0)
                out.push_back(0);
            out.back() |= uint8_t(picture.IndexAt(x, top_row) << (8 - bits - bit % 8));
        }
        PadRow(out, row_start);
    }
    return out;
}

// Direct colours: 24 bits as blue, green, red; 16 and 32 bits through masks
// (red, green, blue), each field holding the top bits of the 8-bit value.
inline std::vector<uint8_t> DirectPixels(const Picture& picture, int bits, const std::vector<uint32_t>& masks = {},
                                         bool top_down = false)
{
    std::vector<uint8_t> out;
    for (int stored = 0; stored < picture.Height(); stored++) {
        size_t row_start = out.size();
        int top_row = TopRowOfStored(picture, stored, top_down);
        for (int x = 0; x < picture.Width(); x++) {
            Colour colour = picture.ColourAt(x, top_row);
            if (bits == 24) {
                out.insert(out.end(), {colour.b, colour.g, colour.r});
                continue;
            }
            uint32_t pixel = 0;
            const uint8_t channel[3] = {colour.r, colour.g, colour.b};
            for (int c = 0; c < 3; c++) {
                int shift = __builtin_ctz(masks[c]), width = __builtin_popcount(masks[c]);
                pixel |= uint32_t(channel[c] >> (8 - width)) << shift;
            }
            for (int byte = 0; byte < bits / 8; byte++)
                out.push_back(uint8_t(pixel >> (8 * byte)));
        }
        PadRow(out, row_start);
    }
    return out;
}

// A layout of the picture at a given depth: indexed depths carry its colours as the table.
inline BmpLayout LayoutOf(const Picture& picture, int bits, bool top_down = false)
{
    BmpLayout layout;
    layout.width = picture.Width();
    layout.height = top_down ? -picture.Height() : picture.Height();
    layout.bit_count = uint16_t(bits);
    if (bits <= 8) {
        layout.table = picture.colours;
        layout.table.resize(size_t(1) << bits, Colour{0, 0, 0});
        layout.pixels = IndexedPixels(picture, bits, top_down);
    } else if (bits == 16) {
        layout.pixels = DirectPixels(picture, 16, {0x7C00, 0x03E0, 0x001F}, top_down);
    } else {
        layout.pixels = DirectPixels(picture, bits, {0xFF0000, 0x00FF00, 0x0000FF}, top_down);
    }
    return layout;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh directory under the system's temporary folder; removed with RemoveTree.
inline std::string MakeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "blockfall-bmp-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

inline void RemoveTree(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace bmp_test
