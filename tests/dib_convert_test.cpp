// The DIB converter on sources built in memory: colour masks, colour-table
// bounds, run-length edge cases and the size limits that keep every read
// inside the source.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/dib_convert.h"

namespace {

// Blue, green, red, unused: black, white, red.
const uint8_t three_colours[] = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};

DibSource Source(int32_t width, int32_t height, uint16_t bits, const std::vector<uint8_t>& pixels)
{
    DibSource source = {};
    source.width = width;
    source.height = height;
    source.bit_count = bits;
    source.compression = DIB_RGB;
    source.colour_table = three_colours;
    source.colour_count = 3;
    source.pixels = pixels.data();
    source.pixel_bytes = pixels.size();
    return source;
}

DibSource Runs(int32_t width, int32_t height, const std::vector<uint8_t>& stream)
{
    DibSource source = Source(width, height, 8, stream);
    source.compression = DIB_RLE8;
    return source;
}

// Red, green and blue of each pixel after conversion; 7 marks "never written".
std::vector<uint8_t> Convert(const DibSource& source, int32_t* rows = nullptr)
{
    int32_t height = source.height < 0 ? -source.height : source.height;
    std::vector<uint8_t> rgb(size_t(source.width) * height * 3, 7);
    int32_t converted = ConvertDibToRgb(source, rgb.data());
    if (rows)
        *rows = converted;
    return rgb;
}

std::vector<uint8_t> Pixel(const std::vector<uint8_t>& rgb, int index)
{
    return {rgb[3 * index], rgb[3 * index + 1], rgb[3 * index + 2]};
}

}  // namespace

TEST(DibConvert, IndexPastTheColourTableIsBlack)
{
    std::vector<uint8_t> pixels = {1, 2, 3, 200};
    std::vector<uint8_t> rgb = Convert(Source(4, 1, 8, pixels));
    EXPECT_EQ(Pixel(rgb, 0), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(Pixel(rgb, 1), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(Pixel(rgb, 2), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(Pixel(rgb, 3), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(DibConvert, ShortMaskFieldsRepeatTheirBitsAndLongOnesKeepTheTop)
{
    // 1-bit red, 3-bit green (101), 10-bit blue (1011001110).
    const uint32_t pixel = 0x01 | 0x05 << 1 | 0x2CE << 4;
    std::vector<uint8_t> pixels = {uint8_t(pixel), uint8_t(pixel >> 8), 0, 0};
    DibSource source = Source(1, 1, 32, pixels);
    source.compression = DIB_BITFIELDS;
    source.masks[0] = 0x1;
    source.masks[1] = 0xE;
    source.masks[2] = 0x3FF0;
    EXPECT_EQ(Pixel(Convert(source), 0), (std::vector<uint8_t>{255, 0xB6, 0xB3}));
}

TEST(DibConvert, ZeroMaskGivesAnEmptyChannel)
{
    std::vector<uint8_t> pixels = {0xFF, 0xFF, 0, 0};
    DibSource source = Source(1, 1, 16, pixels);
    source.compression = DIB_BITFIELDS;
    source.masks[0] = 0xF800;
    source.masks[2] = 0x001F;
    EXPECT_EQ(Pixel(Convert(source), 0), (std::vector<uint8_t>{255, 0, 255}));
}

TEST(DibConvert, MasksWithGapsOrWrongDepthsAreRefused)
{
    std::vector<uint8_t> pixels(4);
    DibSource source = Source(1, 1, 32, pixels);
    source.compression = DIB_BITFIELDS;
    source.masks[0] = 0xFF0000;
    source.masks[1] = 0x00FF00;
    source.masks[2] = 0x0000FF;
    EXPECT_TRUE(DibIsConvertible(source));
    source.masks[1] = 0x00F0F0;
    EXPECT_FALSE(DibIsConvertible(source));
    source.masks[1] = 0x00FF00;
    source.bit_count = 24;
    EXPECT_FALSE(DibIsConvertible(source));
}

TEST(DibConvert, UncompressedNeedsEveryPaddedRow)
{
    // 3 pixels of 24 bits: 9 bytes padded to 12, two rows.
    std::vector<uint8_t> pixels(24, 0x80);
    EXPECT_TRUE(DibIsConvertible(Source(3, 2, 24, pixels)));
    EXPECT_TRUE(DibIsConvertible(Source(3, -2, 24, pixels)));
    pixels.resize(23);
    EXPECT_FALSE(DibIsConvertible(Source(3, 2, 24, pixels)));
    int32_t rows = -1;
    Convert(Source(3, 2, 24, pixels), &rows);
    EXPECT_EQ(rows, 0);
}

TEST(DibConvert, SidesAndPixelCountAreBounded)
{
    std::vector<uint8_t> one(1);
    DibSource source = Runs(DIB_MAX_SIDE, 1, one);
    EXPECT_TRUE(DibIsConvertible(source));
    source.width = DIB_MAX_SIDE + 1;
    EXPECT_FALSE(DibIsConvertible(source));
    source.width = 8192;
    source.height = 8192;  // exactly the largest picture
    EXPECT_TRUE(DibIsConvertible(source));
    source.width = 8193;
    EXPECT_FALSE(DibIsConvertible(source));
    for (int32_t height : {0, -DIB_MAX_SIDE - 1, INT32_MIN}) {
        source = Source(1, height, 24, one);
        EXPECT_FALSE(DibIsConvertible(source)) << height;
    }
}

TEST(DibConvert, RunLengthIsBottomUpOnly)
{
    std::vector<uint8_t> stream = {1, 1, 0, 1};
    EXPECT_TRUE(DibIsConvertible(Runs(1, 1, stream)));
    EXPECT_FALSE(DibIsConvertible(Runs(1, -1, stream)));
}

TEST(DibConvert, RunLengthEndOfBitmapLeavesTheRestUntouched)
{
    std::vector<uint8_t> stream = {2, 2, 0, 1, 5, 1};  // two red pixels, end; the run after is never read
    int32_t rows = 0;
    std::vector<uint8_t> rgb = Convert(Runs(3, 2, stream), &rows);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(Pixel(rgb, 1), (std::vector<uint8_t>{255, 0, 0}));
    for (int i = 2; i < 6; i++)
        EXPECT_EQ(Pixel(rgb, i), (std::vector<uint8_t>{7, 7, 7})) << i;
}

TEST(DibConvert, RunLengthThatFillsEveryRowNeedsNoEndMarker)
{
    std::vector<uint8_t> stream = {2, 1, 0, 0, 2, 2, 0, 0};
    int32_t rows = 0;
    std::vector<uint8_t> rgb = Convert(Runs(2, 2, stream), &rows);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(Pixel(rgb, 3), (std::vector<uint8_t>{255, 0, 0}));
    // A delta that jumps past the top row ends the picture too, writing nothing.
    rows = 0;
    EXPECT_EQ(Convert(Runs(2, 2, {0, 2, 0, 9}), &rows), std::vector<uint8_t>(12, 7));
    EXPECT_EQ(rows, 2);
}

TEST(DibConvert, RunLengthCutShortIsRefused)
{
    const std::vector<std::vector<uint8_t>> cut = {
        {},
        {2, 1},             // the last row is never reached
        {2, 1, 0},          // half a command
        {0, 2, 1},          // delta without its second byte
        {0, 5, 1, 1, 1},    // absolute run missing two indices
        {0, 3, 1, 1, 1},    // absolute run missing its pad byte, then nothing
    };
    for (const std::vector<uint8_t>& stream : cut) {
        int32_t rows = -1;
        Convert(Runs(4, 2, stream), &rows);
        EXPECT_EQ(rows, 0) << stream.size() << " bytes";
    }
}

TEST(DibConvert, RunLengthReadsNoFurtherThanTheImageSize)
{
    std::vector<uint8_t> stream = {1, 1, 0, 1, 0, 1};
    DibSource source = Runs(1, 1, stream);
    int32_t rows = -1;
    for (uint32_t size : {0u, 4u, 6u}) {  // 0: bounded by the stream alone
        source.size_image = size;
        Convert(source, &rows);
        EXPECT_EQ(rows, 1) << size;
    }
    source.size_image = 3;  // the end marker lies beyond the stated size
    Convert(source, &rows);
    EXPECT_EQ(rows, 0);
}

TEST(DibConvert, FourBitRunsAlternateNibblesAndClipAtTheRowEnd)
{
    std::vector<uint8_t> stream = {5, 0x12, 0, 1};
    DibSource source = Runs(4, 1, stream);
    source.compression = DIB_RLE4;
    source.bit_count = 4;
    std::vector<uint8_t> rgb = Convert(source);
    EXPECT_EQ(Pixel(rgb, 0), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(Pixel(rgb, 1), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(Pixel(rgb, 2), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(Pixel(rgb, 3), (std::vector<uint8_t>{255, 0, 0}));
}
