// Writes one small bitmap of every layout the reader accepts into the folder
// given as the argument: the starting corpus of the fuzz run.
#include <string>

#include "tests/bmp_writer.h"

using namespace bmp_test;

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    const Picture picture = {{"0123456", "789ABCD", "EF0F1E2"}, "0123456789ABCDEF",
                             {{1, 2, 3}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 90, 200}, {33, 44, 55},
                              {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 64, 32}, {64, 32, 128},
                              {32, 128, 64}, {200, 200, 200}, {17, 17, 17}, {240, 120, 60}, {255, 255, 255}}};
    const Picture two = {{"0101010", "1100110"}, "01", {{0, 0, 0}, {255, 255, 255}}};
    auto write = [&](const std::string& name, const BmpLayout& layout) {
        WriteBytes(folder + "/" + name + ".bmp", EncodeBmp(layout));
    };
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (bool top_down : {false, true})
            write("depth" + std::to_string(bits) + (top_down ? "-top-down" : ""),
                  LayoutOf(bits == 1 ? two : picture, bits, top_down));
    BmpLayout layout = LayoutOf(picture, 4);
    layout.header_size = 12;
    write("core4", layout);
    layout.file_header = false;
    write("core4-packed", layout);
    layout = LayoutOf(picture, 8);
    layout.colours_used = 20;
    layout.table.resize(20);
    layout.file_header = false;
    write("packed8-used20", layout);
    layout = LayoutOf(picture, 16);
    layout.compression = 3;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    layout.pixels = DirectPixels(picture, 16, layout.masks);
    write("fields16", layout);
    layout = LayoutOf(picture, 32);
    layout.compression = 3;
    layout.masks = {0xFF, 0xFF00, 0xFF0000};
    layout.pixels = DirectPixels(picture, 32, layout.masks);
    write("fields32", layout);
    layout = LayoutOf(picture, 8);
    layout.compression = 1;
    layout.pixels = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 2, 3, 0, 2, 2, 1, 9, 4, 0, 1};
    layout.size_image = uint32_t(layout.pixels.size());
    write("rle8", layout);
    layout.compression = 2;
    layout.bit_count = 4;
    layout.table.resize(16);
    layout.pixels = {7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 2, 0xAB, 0, 0, 0, 2, 3, 0, 4, 0xCD, 0, 1};
    layout.size_image = uint32_t(layout.pixels.size());
    write("rle4", layout);
    return 0;
}
