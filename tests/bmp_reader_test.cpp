// The BMP reader on real files written by the test: every accepted layout
// decodes to the picture that was drawn, and damaged or foreign files are
// refused with one "Error" message and no image.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "gfx/bmp_reader.h"
#include "gfx/dib_convert.h"
#include "gfx/file_map.h"
#include "tests/bmp_writer.h"

using namespace bmp_test;

namespace {

const Colour black = {0, 0, 0};

const Picture two_colours = {
    {"X..X.XX..X.",
     "XXXX.......",
     ".X.X.X.X.X."},
    ".X", {{10, 20, 30}, {250, 240, 5}}};

const Picture sixteen_colours = {
    {"0123456",
     "789ABCD",
     "EF0F1E2"},
    "0123456789ABCDEF",
    {{1, 2, 3}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 90, 200}, {33, 44, 55}, {255, 255, 0}, {0, 255, 255},
     {255, 0, 255}, {128, 64, 32}, {64, 32, 128}, {32, 128, 64}, {200, 200, 200}, {17, 17, 17}, {240, 120, 60},
     {255, 255, 255}}};

// Channel values a 5-bit field carries exactly (bits repeated downwards).
const Picture five_bit_colours = {
    {"RGBW.",
     "abcRG"},
    "RGBW.abc", {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0},
                 {132, 66, 206}, {66, 206, 132}, {206, 132, 66}}};

const Picture five_wide = {
    {"abcde",
     "edcba",
     "aabbc"},
    "abcde", {{200, 10, 20}, {30, 220, 40}, {50, 60, 230}, {1, 2, 3}, {254, 253, 252}}};

// Every index of an 8-bit table, each with its own colour.
Picture AllIndices()
{
    Picture picture;
    for (int i = 0; i < 256; i++) {
        picture.keys += char(i);
        picture.colours.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    }
    for (int row = 0; row < 16; row++) {
        picture.rows.emplace_back();
        for (int column = 0; column < 16; column++)
            picture.rows.back() += char(row * 16 + column);
    }
    return picture;
}

const Picture twenty_colours = {
    {"abcdefghij",
     "klmnopqrst",
     "tsrqponmlk"},
    "abcdefghijklmnopqrst",
    {{10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}, {50, 0, 0}, {0, 60, 0}, {0, 70, 0}, {0, 80, 0}, {0, 90, 0},
     {0, 100, 0}, {0, 0, 110}, {0, 0, 120}, {0, 0, 130}, {0, 0, 140}, {0, 0, 150}, {160, 160, 0}, {170, 0, 170},
     {0, 180, 180}, {190, 190, 190}, {200, 201, 202}}};

struct ImageDeleter {
    void operator()(RgbImage* image) const { FreeRgbImage(image); }
};
using ImagePtr = std::unique_ptr<RgbImage, ImageDeleter>;

struct Loaded {
    ImagePtr image;
    std::string messages;  // what the reader told the user (stderr without a display)
};

Loaded LoadCapturing(const std::string& path)
{
    testing::internal::CaptureStderr();
    RgbImage* image = LoadBmpImage(path.c_str());
    return {ImagePtr(image), testing::internal::GetCapturedStderr()};
}

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

// The first row of data is the bottom row as seen, red first in each pixel.
void ExpectPicture(const RgbImage* image, const Picture& picture)
{
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, picture.Width());
    ASSERT_EQ(image->height, picture.Height());
    for (int top_row = 0; top_row < picture.Height(); top_row++) {
        const uint8_t* row = image->data + size_t(picture.Height() - 1 - top_row) * picture.Width() * 3;
        for (int x = 0; x < picture.Width(); x++) {
            Colour got = {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
            Colour want = picture.ColourAt(x, top_row);
            EXPECT_TRUE(got == want) << "pixel (" << x << ", row " << top_row << " from the top): got " << int(got.r)
                                     << "," << int(got.g) << "," << int(got.b) << " want " << int(want.r) << ","
                                     << int(want.g) << "," << int(want.b);
        }
    }
}

struct BmpFiles : ::testing::Test {
    std::string dir = MakeTempDir();
    ~BmpFiles() override { RemoveTree(dir); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::string path = dir + "/" + name;
        WriteBytes(path, bytes);
        return path;
    }

    void ExpectDecodes(const BmpLayout& layout, const Picture& picture)
    {
        Loaded loaded = LoadCapturing(Write("picture.bmp", EncodeBmp(layout)));
        EXPECT_EQ(loaded.messages, "");
        ExpectPicture(loaded.image.get(), picture);
    }

    void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& message)
    {
        Loaded loaded = LoadCapturing(Write("refused.bmp", bytes));
        EXPECT_EQ(loaded.image, nullptr);
        EXPECT_EQ(loaded.messages, "Error: " + message + "\n");
    }
};

}  // namespace

// ---- Colour-table size ----

TEST(BmpPalette, CoreHeaderCountsByDepth)
{
    for (auto [bits, count] : {std::pair{1, 2}, {4, 16}, {8, 256}, {24, 0}}) {
        BmpLayout layout;
        layout.header_size = 12;
        layout.bit_count = uint16_t(bits);
        EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), count) << bits << " bits";
    }
}

TEST(BmpPalette, InfoHeaderTakesColoursUsedCutTo16Bits)
{
    BmpLayout layout;
    layout.bit_count = 8;
    EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), 256);
    layout.colours_used = 20;
    EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), 20);
    layout.colours_used = 0x10014;
    EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), 20);
    layout.colours_used = 0;
    for (int bits : {16, 24, 32, 2}) {
        layout.bit_count = uint16_t(bits);
        EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), 0) << bits;
    }
    layout.colours_used = 5;  // a 24-bit file may carry an advisory table
    EXPECT_EQ(PaletteEntryCount(DibHeader(layout).data()), 5);
}

// ---- Every accepted layout ----

TEST_F(BmpFiles, OneBitThroughColourTable)
{
    ExpectDecodes(LayoutOf(two_colours, 1), two_colours);
}

TEST_F(BmpFiles, FourBitThroughColourTable)
{
    ExpectDecodes(LayoutOf(sixteen_colours, 4), sixteen_colours);
}

TEST_F(BmpFiles, EightBitWithColoursUsedZeroReadsAll256Entries)
{
    Picture all = AllIndices();
    ExpectDecodes(LayoutOf(all, 8), all);
}

TEST_F(BmpFiles, EightBitWithColoursUsed20ReadsTwentyEntries)
{
    BmpLayout layout = LayoutOf(twenty_colours, 8);
    layout.colours_used = 20;
    layout.table.resize(20);
    ExpectDecodes(layout, twenty_colours);
    layout.file_header = false;  // now the pixel position itself depends on the 20
    ExpectDecodes(layout, twenty_colours);
}

TEST_F(BmpFiles, SixteenBitFiveFiveFive)
{
    ExpectDecodes(LayoutOf(five_bit_colours, 16), five_bit_colours);
}

TEST_F(BmpFiles, TwentyFourBitWidthFiveGivesRowsOf15Bytes)
{
    BmpLayout layout = LayoutOf(five_wide, 24);
    ASSERT_EQ(layout.pixels.size(), 3u * 16);  // stored rows padded to 16 bytes
    Loaded loaded = LoadCapturing(Write("five.bmp", EncodeBmp(layout)));
    ExpectPicture(loaded.image.get(), five_wide);
    // Second row of data = second row from the bottom, "edcba": red first.
    EXPECT_EQ(loaded.image->data[15], 254);
    EXPECT_EQ(loaded.image->data[15 + 2], 252);
}

TEST_F(BmpFiles, ThirtyTwoBit)
{
    ExpectDecodes(LayoutOf(sixteen_colours, 32), sixteen_colours);
}

TEST_F(BmpFiles, CoreHeaderFourBitMatchesInfoHeader)
{
    BmpLayout layout = LayoutOf(sixteen_colours, 4);
    layout.header_size = 12;
    ExpectDecodes(layout, sixteen_colours);
    layout.file_header = false;
    ExpectDecodes(layout, sixteen_colours);
}

TEST_F(BmpFiles, PackedDibWithoutFileHeader)
{
    for (int bits : {1, 4, 8, 24}) {
        const Picture& picture = bits == 1 ? two_colours : sixteen_colours;
        BmpLayout layout = LayoutOf(picture, bits);
        layout.file_header = false;
        ExpectDecodes(layout, picture);
    }
}

TEST_F(BmpFiles, TopDownRowsAreTurnedBottomUp)
{
    for (int bits : {4, 8, 16, 24, 32}) {
        const Picture& picture = bits == 16 ? five_bit_colours : sixteen_colours;
        Loaded loaded = LoadCapturing(Write("top.bmp", EncodeBmp(LayoutOf(picture, bits, true))));
        ExpectPicture(loaded.image.get(), picture);
    }
}

TEST_F(BmpFiles, BitFieldsSixteenBitFiveSixFive)
{
    // 132 = 10000 in 5 bits, 130 = 100000 in 6 bits, 66 = 01000 in 5 bits.
    const Picture picture = {{"abW", "Wba"}, "abW", {{132, 130, 66}, {255, 0, 255}, {255, 255, 255}}};
    BmpLayout layout = LayoutOf(picture, 16);
    layout.compression = DIB_BITFIELDS;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    layout.pixels = DirectPixels(picture, 16, layout.masks);
    ExpectDecodes(layout, picture);
}

TEST_F(BmpFiles, BitFieldsThirtyTwoBitInAnyChannelOrder)
{
    BmpLayout layout = LayoutOf(sixteen_colours, 32);
    layout.compression = DIB_BITFIELDS;
    layout.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red lowest: not the plain layout
    layout.pixels = DirectPixels(sixteen_colours, 32, layout.masks);
    ExpectDecodes(layout, sixteen_colours);
    layout.file_header = false;  // pixels follow the three masks
    ExpectDecodes(layout, sixteen_colours);
}

// Runs, an absolute run with its pad byte, a delta that skips pixels (left
// black), a run clipped at the row's end, end of line and end of bitmap.
TEST_F(BmpFiles, RunLengthEightBit)
{
    const Picture picture = {
        {"RRRRRR",
         "....WW",
         "BB....",
         "RRRGBR"},
        "WRGB.", {{255, 255, 255}, {200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {0, 0, 0}}};
    BmpLayout layout = LayoutOf(picture, 8);
    layout.compression = DIB_RLE8;
    layout.pixels = {
        3, 1, 0, 3, 2, 3, 1, 0, 0, 0,  // bottom row: RRR, absolute G B R + pad, end of line
        2, 3, 0, 2, 2, 1,              // BB, then delta 2 right and 1 up
        2, 0, 0, 0,                    // WW, end of line
        8, 1, 0, 1,                    // eight R cut to six, end of bitmap
    };
    layout.size_image = uint32_t(layout.pixels.size());
    ExpectDecodes(layout, picture);
    layout.size_image = 0;  // unset: bounded by the unpacked size, which is larger
    ExpectDecodes(layout, picture);
}

TEST_F(BmpFiles, RunLengthFourBit)
{
    Picture picture = sixteen_colours;
    picture.rows = {"EFEFEFE", "...CDCD", "34567AB", "1212121"};
    picture.keys += '.';
    picture.colours.push_back(black);
    BmpLayout layout = LayoutOf(picture, 4);
    layout.compression = DIB_RLE4;
    layout.pixels = {
        7, 0x12, 0, 0,                       // alternating nibbles, end of line
        0, 5, 0x34, 0x56, 0x70, 0, 2, 0xAB,  // five absolute nibbles (3 bytes + pad), then AB
        0, 0, 0, 2, 3, 0, 4, 0xCD, 0, 0,     // end of line, delta 3 right, CDCD, end of line
        9, 0xEF, 0, 1,                       // nine cut to seven, end of bitmap
    };
    layout.size_image = uint32_t(layout.pixels.size());
    ExpectDecodes(layout, picture);
}

// ---- Refused files ----

TEST_F(BmpFiles, ExtendedHeadersAreUnknownFormats)
{
    for (uint32_t size : {108u, 124u, 64u, 16u}) {
        BmpLayout layout = LayoutOf(five_wide, 24);
        layout.header_size = size;
        ExpectRefused(EncodeBmp(layout), "Unknown DIB file format.");
    }
}

TEST_F(BmpFiles, MissingFileNamesTheFile)
{
    Loaded loaded = LoadCapturing(dir + "/nothere.bmp");
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(loaded.messages, "Error: Failed to open DIB file " + dir + "/nothere.bmp.\n\n");
}

TEST_F(BmpFiles, EmptyFileOrDirectoryCannotBeMapped)
{
    Loaded empty = LoadCapturing(Write("empty.bmp", {}));
    EXPECT_EQ(empty.image, nullptr);
    EXPECT_EQ(empty.messages, "Error: Failed to open DIB file " + dir + "/empty.bmp.\n\n");
    Loaded folder = LoadCapturing(dir);
    EXPECT_EQ(folder.image, nullptr);
    EXPECT_EQ(CountOf(folder.messages, "Failed to open DIB file"), 1);
}

TEST_F(BmpFiles, OverlongNameIsCutInTheMessage)
{
    Loaded loaded = LoadCapturing(dir + "/" + std::string(5000, 'n'));
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(CountOf(loaded.messages, "Failed to open DIB file "), 1);
    EXPECT_LT(loaded.messages.size(), 500u);
    EXPECT_EQ(loaded.messages.substr(loaded.messages.size() - 3), ".\n\n");
}

TEST_F(BmpFiles, WideNamesAreUtf16)
{
    WriteBytes(dir + "/caf\xC3\xA9-\xF0\x9F\x98\x80.bmp", EncodeBmp(LayoutOf(five_wide, 24)));
    std::u16string wide(dir.begin(), dir.end());
    ImagePtr image(LoadDibAsRgb((wide + u"/caf\u00E9-\U0001F600.bmp").c_str(), true));
    ExpectPicture(image.get(), five_wide);

    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadDibAsRgb((wide + u"/gone\u00E9.bmp").c_str(), true), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Failed to open DIB file " + dir + "/gone\xC3\xA9.bmp.\n\n");
}

TEST_F(BmpFiles, InconsistentHeadersAreConversionErrors)
{
    auto with = [](auto change) {
        BmpLayout layout = LayoutOf(sixteen_colours, 8);
        change(layout);
        return EncodeBmp(layout);
    };
    std::vector<std::vector<uint8_t>> files = {
        with([](BmpLayout& l) { l.width = 0; }),
        with([](BmpLayout& l) { l.width = -7; }),
        with([](BmpLayout& l) { l.height = 0; }),
        with([](BmpLayout& l) { l.height = INT_MIN; }),
        with([](BmpLayout& l) { l.width = 20000, l.height = 1; }),
        with([](BmpLayout& l) { l.width = INT_MAX; }),
        with([](BmpLayout& l) { l.bit_count = 2; }),
        with([](BmpLayout& l) { l.compression = 4; }),                  // embedded JPEG
        with([](BmpLayout& l) { l.compression = DIB_RLE4; }),           // 8 bits cannot be RLE4
        with([](BmpLayout& l) { l.colours_used = 60000; }),             // table beyond the end
        with([](BmpLayout& l) { l.pixels.resize(l.pixels.size() - 1); }),
        with([](BmpLayout& l) {                                         // masks cut off
            l.bit_count = 32, l.compression = DIB_BITFIELDS, l.file_header = false, l.table = {}, l.pixels = {};
        }),
        with([](BmpLayout& l) {                                         // 16384 x 16384 of runs
            l.width = l.height = 16384, l.compression = DIB_RLE8, l.pixels = {0, 1};
        }),
    };
    for (size_t i = 0; i < files.size(); i++) {
        SCOPED_TRACE("file " + std::to_string(i));
        ExpectRefused(files[i], "Image file conversion error.");
    }
    std::vector<uint8_t> far_pixels = EncodeBmp(LayoutOf(five_wide, 24));
    far_pixels[10] = 0xF0;  // pixel offset beyond the end of the file
    ExpectRefused(far_pixels, "Image file conversion error.");
}

TEST_F(BmpFiles, HeadersCutShortAreUnknownFormats)
{
    std::vector<uint8_t> whole = EncodeBmp(LayoutOf(five_wide, 24));
    ExpectRefused({'B', 'M'}, "Unknown DIB file format.");
    ExpectRefused(std::vector<uint8_t>(whole.begin(), whole.begin() + 14 + 30), "Unknown DIB file format.");
    ExpectRefused({40, 0}, "Unknown DIB file format.");
}

// ---- The mapping under the reader ----

struct FileMapFiles : BmpFiles {};

TEST_F(FileMapFiles, SeesTheWholeFileReadOnly)
{
    std::vector<uint8_t> bytes = {'B', 'M', 0, 1, 2, 250};
    std::string path = Write("six.bin", bytes);
    FileMap map;
    ASSERT_EQ(MapFileReadOnly(path.c_str(), &map), FILE_MAPPED);
    ASSERT_EQ(map.size, 6u);
    EXPECT_EQ(std::vector<uint8_t>(map.bytes, map.bytes + map.size), bytes);
    UnmapFile(&map);
    EXPECT_EQ(map.bytes, nullptr);
    EXPECT_EQ(map.size, 0u);
    UnmapFile(&map);  // a cleared map is left alone
}

TEST_F(FileMapFiles, RefusesWhatIsNoRegularFile)
{
    FileMap map = {reinterpret_cast<const uint8_t*>("stale"), 5};
    EXPECT_EQ(MapFileReadOnly((dir + "/missing").c_str(), &map), FILE_MISSING);
    EXPECT_EQ(map.bytes, nullptr);
    EXPECT_EQ(MapFileReadOnly(Write("empty", {}).c_str(), &map), FILE_UNMAPPABLE);
    EXPECT_EQ(MapFileReadOnly(dir.c_str(), &map), FILE_MISSING);
    EXPECT_EQ(MapFileReadOnly("/dev/null", &map), FILE_MISSING);
}

// ---- Damaged files ----

namespace {

// One file of every accepted layout, for the damage sweeps.
std::vector<std::vector<uint8_t>> EveryLayout()
{
    std::vector<std::vector<uint8_t>> files;
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (bool top_down : {false, true}) {
            const Picture& picture = bits == 1 ? two_colours : bits == 16 ? five_bit_colours : sixteen_colours;
            files.push_back(EncodeBmp(LayoutOf(picture, bits, top_down)));
        }
    BmpLayout core = LayoutOf(sixteen_colours, 8);
    core.header_size = 12;
    core.file_header = false;
    files.push_back(EncodeBmp(core));
    BmpLayout fields = LayoutOf(five_wide, 32);
    fields.compression = DIB_BITFIELDS;
    fields.masks = {0xFF, 0xFF00, 0xFF0000};
    fields.pixels = DirectPixels(five_wide, 32, fields.masks);
    files.push_back(EncodeBmp(fields));
    BmpLayout runs = LayoutOf(sixteen_colours, 8);
    runs.compression = DIB_RLE8;
    runs.pixels = {7, 1, 0, 0, 0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 2, 3, 4, 9, 0, 1};
    runs.size_image = uint32_t(runs.pixels.size());
    files.push_back(EncodeBmp(runs));
    runs.compression = DIB_RLE4;
    runs.bit_count = 4;
    runs.table.resize(16);
    files.push_back(EncodeBmp(runs));
    return files;
}

// Decodes from a block of exactly `size` bytes, so that any read past the
// end trips AddressSanitizer. A result must be a whole, readable picture.
void ExpectSafeDecode(const uint8_t* bytes, size_t size, bool must_refuse)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    std::copy(bytes, bytes + size, exact.get());
    const char* failure = nullptr;
    ImagePtr image(DecodeBmpBytes(exact.get(), size, &failure));
    EXPECT_EQ(image == nullptr, failure != nullptr);
    if (must_refuse) {
        EXPECT_EQ(image, nullptr) << size << " bytes";
    }
    if (!image)
        return;
    ASSERT_GT(image->width, 0);
    ASSERT_GT(image->height, 0);
    unsigned sum = 0;
    for (size_t i = 0; i < size_t(image->width) * image->height * 3; i++)
        sum += image->data[i];
    (void)sum;
}

}  // namespace

TEST(BmpDamaged, EveryTruncationIsRefused)
{
    for (const std::vector<uint8_t>& whole : EveryLayout()) {
        ExpectSafeDecode(whole.data(), whole.size(), false);
        for (size_t size = 0; size < whole.size(); size++)
            ExpectSafeDecode(whole.data(), size, true);
    }
}

TEST(BmpDamaged, MutatedFilesDecodeOrAreRefusedSafely)
{
    uint32_t state = 12345;  // fixed seed: the same mutations every run
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const uint8_t telling[] = {0, 1, 2, 3, 4, 8, 12, 16, 24, 32, 40, 0x7F, 0x80, 0xFF};
    for (const std::vector<uint8_t>& whole : EveryLayout())
        for (int round = 0; round < 400; round++) {
            std::vector<uint8_t> bytes = whole;
            for (int change = 1 + next() % 4; change > 0; change--) {
                // Mostly the headers and table, where one byte moves everything.
                size_t at = next() % 2 ? next() % std::min<size_t>(bytes.size(), 70) : next() % bytes.size();
                bytes[at] = next() % 2 ? telling[next() % sizeof telling] : uint8_t(next());
            }
            ExpectSafeDecode(bytes.data(), bytes.size(), false);
        }
}

// Inputs the fuzzer once crashed or tripped the sanitizers on, kept in the source tree.
TEST_F(BmpFiles, RegressionCorpusLoadsSafely)
{
    const std::string corpus = "tests/bmp_corpus";
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << "run from the source tree";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        Loaded loaded = LoadCapturing(entry.path().string());
        EXPECT_EQ(CountOf(loaded.messages, "Error: "), loaded.image ? 0 : 1) << entry.path();
        files++;
    }
    EXPECT_GT(files, 0);
    // Working out its default image size once overflowed: a width near 2^31 times 28525 bits.
    Loaded overflow = LoadCapturing(corpus + "/image-size-overflow.bmp");
    EXPECT_EQ(overflow.image, nullptr);
    EXPECT_EQ(CountOf(overflow.messages, "Image file conversion error."), 1) << overflow.messages;
}
