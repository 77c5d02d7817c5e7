// The BMP reader on real files: each row of the table describes one file, written to disk and
// read through every entry point; what comes back is the picture (top row first) or the message
// the reader shows. Then the texture set in the game's own GL context.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/gl.h"
#include "gfx/texture_set.h"
#include "tests/support.h"

namespace {

const char unknown[] = "Unknown DIB file format.";
const char refused[] = "Image file conversion error.";
const char rgb3[] = "0000ff00 00ff0000 ff000000";  // red, green, blue; stored blue, green, red, 0

// Hex bytes in tokens; "00ff*3" is the token three times.
std::string Hex(const std::string& text)
{
    std::string bytes, token;
    for (std::istringstream in(text); in >> token;) {
        size_t star = std::min(token.find('*'), token.size());
        for (int times = star < token.size() ? std::stoi(token.substr(star + 1)) : 1; times > 0; times--)
            for (size_t i = 0; i < star; i += 2)
                bytes += char(std::stoi(token.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

struct BmpRow {
    const char* name;
    uint32_t header;        // 12: core header, 40: info header, anything else is foreign
    bool bm;                // the "BM" file header in front
    int32_t width, height;  // height < 0: top row stored first
    uint32_t bits, compression, size_image, colours_used;
    const char *table, *pixels;  // hex as stored: masks and colour entries; rows
    const char* expect;     // "rrggbb ..." rows top first joined by "/", or the reader's message
    uint32_t offset = 0;    // the file header's pixel offset; 0: where the pixels are
    long cut = -1;          // the file cut to this many bytes
};

std::string Bytes(const BmpRow& row)
{
    auto put = [](std::string& out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++)
            out += char(value >> (8 * i));
    };
    std::string dib, table = Hex(row.table), pixels = Hex(row.pixels), file = row.bm ? "BM" : "";
    const int side = row.header == 12 ? 2 : 4;  // the core header's sides are 16 bits
    put(dib, row.header, 4), put(dib, row.width, side), put(dib, row.height, side);
    put(dib, 1, 2), put(dib, row.bits, 2);  // one plane
    for (uint32_t field : {row.compression, row.size_image, 2835u, 2835u, row.colours_used, 0u})
        put(dib, field, 4);
    dib.resize(row.header);
    const uint32_t start = uint32_t(14 + dib.size() + table.size());
    if (row.bm)
        put(file, start + uint32_t(pixels.size()), 4), put(file, 0, 4), put(file, row.offset ? row.offset : start, 4);
    file += dib + table + pixels;
    return row.cut < 0 ? file : file.substr(0, size_t(row.cut));
}

const BmpRow rows[] = {
    // name, header, bm, width, height, bits, compression, size_image, colours_used, table, pixels, expect
    {"1bit", 40, 1, 2, 2, 1, 0, 0, 0, "0a141e00 05f0fa00", "80000000 40000000", "1e140a faf005/faf005 1e140a"},
    {"1bit-core-packed", 12, 0, 3, 1, 1, 0, 0, 0, "0a141e 05f0fa", "a0000000", "faf005 1e140a faf005"},
    {"4bit-packed", 40, 0, 2, 1, 4, 0, 0, 0, "00000000 0000ff00 00000000*13 ff000000", "1f000000", "ff0000 0000ff"},
    {"4bit-core", 12, 1, 3, 1, 4, 0, 0, 0, "0000ff 00ff00 000000*13 ff0000", "10f00000", "00ff00 ff0000 0000ff"},
    {"8bit-packed", 40, 0, 2, 1, 8, 0, 0, 0, "01020300 00000000*254 33221100", "ff000000", "112233 030201"},
    {"8bit-past-table", 40, 1, 5, 1, 8, 0, 0, 3, rgb3, "00010203 c8000000", "ff0000 00ff00 0000ff 000000 000000"},
    {"16bit-fields-filled", 40, 1, 3, 1, 16, 0, 0, 0, "", "007c1042 1f000000", "ff0000 848484 0000ff"},
    {"16bit-565", 40, 1, 2, 1, 16, 3, 0, 0, "00f80000 e0070000 1f000000", "10841ff8", "848284 ff00ff"},
    {"32bit-1-3-10", 40, 0, 2, 1, 32, 3, 0, 0, "01000000 0e000000 f03f0000", "eb2c0000 ffffffff", "ffb6b3 ffffff"},
    {"32bit-top-down", 40, 1, 1, -2, 32, 0, 0, 0, "", "332211ff 665544ff", "112233/445566"},
    {"24bit", 40, 1, 2, 2, 24, 0, 0, 0, "", "030201 060504 0000 090807 0c0b0a 0000", "070809 0a0b0c/010203 040506"},
    {"24bit-top-down-packed", 40, 0, 1, -2, 24, 0, 0, 0, "", "030201 00 060504 00", "010203/040506"},
    // Runs: an absolute run of 3 and its pad byte, a run, end of line, a delta, end of bitmap.
    {"rle8", 40, 1, 4, 2, 8, 1, 20, 3, rgb3, "0003 010200 00 0102 0000 0201 00020100 0100 0001",
     "00ff00 00ff00 000000 ff0000/00ff00 0000ff ff0000 0000ff"},
    {"rle8-size", 40, 1, 4, 2, 8, 1, 10, 3, rgb3, "0003 010200 00 0102 0000 0201 00020100 0100 0001", refused},
    {"rle8-clipped-delta-off-top", 40, 1, 2, 2, 8, 1, 6, 3, rgb3, "0501 00020009", "000000 000000/00ff00 00ff00"},
    {"rle8-cut-short", 40, 1, 2, 2, 8, 1, 2, 3, rgb3, "0201", refused},
    {"rle4-odd-absolute", 40, 1, 5, 2, 4, 2, 12, 3, rgb3, "0005 012010 00 0000 0512 0001",
     "00ff00 0000ff 00ff00 0000ff 00ff00/ff0000 00ff00 0000ff ff0000 00ff00"},
    {"rle8-16384-squared", 40, 1, 16384, 16384, 8, 1, 2, 3, rgb3, "0001", refused},
    {"bm-alone", 40, 1, 1, 1, 24, 0, 0, 0, "", "", unknown, 0, 2},
    {"info-header-cut", 40, 1, 1, 1, 24, 0, 0, 0, "", "030201 00", unknown, 0, 14 + 30},
    {"core-header-cut", 12, 0, 1, 1, 24, 0, 0, 0, "", "030201 00", unknown, 0, 6},
    {"header-108", 108, 1, 1, 1, 24, 0, 0, 0, "", "030201 00", unknown},
    {"table-past-end", 40, 1, 1, 1, 8, 0, 0, 60000, "", "00000000", refused},
    {"offset-past-end", 40, 1, 1, 1, 24, 0, 0, 0, "", "030201 00", refused, 0xf0},
    {"pixels-short", 40, 1, 1, 2, 24, 0, 0, 0, "", "030201 00 060504", refused},
    {"masks-gap", 40, 1, 1, 1, 32, 3, 0, 0, "0000ff00 f0f00000 ff000000", "00000000", refused},
    {"masks-cut", 40, 0, 1, 1, 32, 3, 0, 0, "", "", refused},
    {"width-int-max", 40, 1, INT32_MAX, 1, 24, 0, 0, 0, "", "030201 00", refused},
    {"height-int-min", 40, 1, 1, INT32_MIN, 24, 0, 0, 0, "", "030201 00", refused},
};

// Rows bottom first, red, green, blue (then alpha, with step 4), as "rrggbb ..." rows top first.
std::string Seen(int width, int height, const uint8_t* rgb, int step = 3)
{
    std::string text;
    char pixel[8];
    for (int y = height - 1; y >= 0; y--)
        for (int x = 0; x < width; x++) {
            const uint8_t* p = rgb + (size_t(y) * width + x) * step;
            std::snprintf(pixel, sizeof pixel, "%s%02x%02x%02x", x ? " " : y < height - 1 ? "/" : "", p[0], p[1], p[2]);
            text += pixel;
        }
    return text;
}

// What the reader says of a file: one line on stderr naming it.
std::string Said(const std::string& file_name, const std::string& message)
{
    return file_name + ": " + message + "\n";
}

// The picture, then what the reader said.
template <typename Load>
std::string Read(Load load)
{
    testing::internal::CaptureStderr();
    RgbImage* image = load();
    std::string seen = image ? Seen(image->width, image->height, image->data) : "";
    FreeRgbImage(image);
    return seen + testing::internal::GetCapturedStderr();
}

}  // namespace

// With BLOCKFALL_BMP_SEEDS naming a folder, every file is also left there: the fuzz run's seeds.
TEST(Reader, EveryFileOfTheTable)
{
    ScratchFolder scratch;
    const std::string path = (scratch.path / "caf\xC3\xA9-\xF0\x9F\x98\x80.bmp").string();
    const std::u16string wide = scratch.path.u16string() + u"/caf\u00E9-\U0001F600.bmp";
    const char* seeds = std::getenv("BLOCKFALL_BMP_SEEDS");
    for (const BmpRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string bytes = Bytes(row);
        std::ofstream(path, std::ios::binary) << bytes;
        if (seeds)
            std::ofstream(std::string(seeds) + "/" + row.name + ".bmp", std::ios::binary) << bytes;
        const std::string expect = row.expect[std::strlen(row.expect) - 1] == '.' ? Said(path, row.expect) : row.expect;
        EXPECT_EQ(Read([&] { return LoadBmpImage(path.c_str()); }), expect);
        EXPECT_EQ(Read([&] { return LoadDibAsRgb(wide.c_str(), true); }), expect);
        EXPECT_EQ(Read([&] { return LoadBmpImageIfPresent(path.c_str()); }), expect);
    }
}

TEST(Reader, NoFileToRead)
{
    ScratchFolder scratch;
    const std::string gone = (scratch.path / "gone\xC3\xA9.bmp").string(), empty = scratch.Write("empty.bmp", "");
    auto failed = [](const std::string& name) { return Said(name, "Failed to open DIB file " + name + "."); };
    EXPECT_EQ(Read([&] { return LoadBmpImage(gone.c_str()); }), failed(gone));
    const std::u16string wide_gone = scratch.path.u16string() + u"/gone\u00E9.bmp";
    EXPECT_EQ(Read([&] { return LoadDibAsRgb(wide_gone.c_str(), true); }), failed(gone));
    EXPECT_EQ(Read([&] { return LoadBmpImageIfPresent(empty.c_str()); }), failed(empty));  // there, yet unreadable
    // A texture slot may have no file: no message then, nor for a folder in its place.
    EXPECT_EQ(Read([&] { return LoadBmpImageIfPresent(gone.c_str()); }), "");
    EXPECT_EQ(Read([&] { return LoadBmpImageIfPresent(scratch.path.c_str()); }), "");
    // Kept from a fuzz run: working out the default image size overflowed.
    const char overflow[] = "tests/bmp_corpus/image-size-overflow.bmp";
    EXPECT_EQ(Read([&] { return LoadBmpImage(overflow); }), Said(overflow, refused));
}

// Every file into its own slot, as the reader decodes it: 2 pixels wide, so rows of 6 bytes that
// go up right only with an unpack alignment of 1 (a power of two, as GLU scales the others).
TEST(Textures, EachFileFillsItsOwnSlot)
{
    OpenGameWindow();
    const char* const stems[TEXTURE_SLOT_COUNT] = {"blockg", "blockb", "blockp", "blocky", "blockr", "blocko",
        "blockdb", "blkgrey", "border", "water", "font", "boxt2", "boxte", "boxt3", "light", "checker"};
    auto file = [&](int slot) { return "data/" + std::string(stems[slot]) + ".bmp"; };
    uint32_t game_slots[TEXTURE_SLOT_COUNT];
    std::copy(texture_set, texture_set + TEXTURE_SLOT_COUNT, game_slots);
    EXPECT_EQ(std::count(game_slots, game_slots + TEXTURE_SLOT_COUNT, 0u), 0) << "every file of data/ loads";
    std::fill_n(texture_set, TEXTURE_SLOT_COUNT, 0u);
    const std::filesystem::path home = std::filesystem::current_path();
    ScratchFolder scratch;
    std::filesystem::current_path(scratch.path);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadTextureSet(), 0);  // no data/ folder
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++) {
        char pixels[32];  // two grey rows of the slot's own
        std::snprintf(pixels, sizeof pixels, "%02x*6 0000 %02x*6 0000", 10 + slot, 250 - slot);
        if (slot != TEXTURE_BLOCKR)  // missing
            scratch.Write(file(slot), Bytes({"", 40, 1, 2, 2, 24, 0, 0, 0, "", pixels, ""}));
    }
    EXPECT_EQ(LoadTextureSet(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // a missing folder or file is no error
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++) {
        std::vector<uint8_t> texels(64 * 64 * 4);  // room to spare, should the texture be larger than 2x2
        glBindTexture(GL_TEXTURE_2D, texture_set[slot]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());  // first row: the bottom row
        EXPECT_EQ(texture_set[slot] ? Seen(2, 2, texels.data(), 4) : "",
                  Read([&] { return LoadBmpImageIfPresent(file(slot).c_str()); })) << stems[slot];
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDeleteTextures(TEXTURE_SLOT_COUNT, texture_set);
    std::copy(game_slots, game_slots + TEXTURE_SLOT_COUNT, texture_set);
    std::filesystem::current_path(home);
}
