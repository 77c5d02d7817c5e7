// The files of data/: the generator reproduces them exactly, every image is a
// BMP the game's reader takes and looks as its use needs (bevelled tiles,
// seamless skies, a font whose cells hold their characters where the printer
// samples them), and every sound is short, clean 16-bit PCM.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gfx/bmp_reader.h"

namespace fs = std::filesystem;

namespace {

const char* const image_names[] = {"blockg", "blockb", "blockp", "blocky", "blockr", "blocko",
                                   "blockdb", "blkgrey", "border", "water", "font", "boxt2",
                                   "boxte", "boxt3", "light", "checker"};
const char* const sound_names[] = {"drop", "linedone", "levelup", "explode", "boing"};

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// A decoded picture, rows top to bottom as seen (the BMP stores them bottom
// first, and the game uploads them so that the top row lands at t = 1).
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    double Luma(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]) / 255.0;
    }
    double MeanLuma(int x0, int y0, int x1, int y1) const  // half-open box
    {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) sum += Luma(x, y);
        return sum / ((x1 - x0) * (y1 - y0));
    }
};

bool PowerOfTwo(uint32_t v) { return v && !(v & (v - 1)); }

// Checks the headers the game's reader accepts and our own promises
// (uncompressed 24 bits, bottom-up, sides powers of two), then decodes.
::testing::AssertionResult DecodeBmp(const std::vector<uint8_t>& b, Image& image)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return ::testing::AssertionFailure() << "no BM header";
    if (U32(b, 2) != b.size()) return ::testing::AssertionFailure() << "bfSize " << U32(b, 2) << " vs " << b.size();
    if (U32(b, 14) != 40) return ::testing::AssertionFailure() << "DIB header size " << U32(b, 14);
    int32_t width = int32_t(U32(b, 18)), height = int32_t(U32(b, 22));
    if (width <= 0 || height <= 0) return ::testing::AssertionFailure() << "size " << width << "x" << height;
    if (U16(b, 26) != 1 || U16(b, 28) != 24 || U32(b, 30) != 0)
        return ::testing::AssertionFailure() << "not one plane of uncompressed 24-bit pixels";
    if (!PowerOfTwo(width) || !PowerOfTwo(height) || width % 4)
        return ::testing::AssertionFailure() << "sides " << width << "x" << height;
    size_t row_bytes = size_t(width) * 3, offset = U32(b, 10);
    if (U32(b, 34) != row_bytes * height || offset + row_bytes * height > b.size())
        return ::testing::AssertionFailure() << "pixel data does not fit the file";
    image.width = width, image.height = height;
    image.rgb.resize(row_bytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &b[offset + row_bytes * (height - 1 - y)];
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) image.rgb[(size_t(y) * width + x) * 3 + c] = row[x * 3 + 2 - c];
    }
    return ::testing::AssertionSuccess();
}

Image LoadImage(const std::string& name)
{
    Image image;
    EXPECT_TRUE(DecodeBmp(ReadBytes("data/" + name + ".bmp"), image)) << name;
    return image;
}

struct Wave {
    int rate = 0, channels = 0;
    std::vector<int16_t> samples;  // first channel only
    double Seconds() const { return double(samples.size()) / rate; }
};

::testing::AssertionResult DecodeWav(const std::vector<uint8_t>& b, Wave& wave)
{
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || U32(b, 4) + 8 != b.size())
        return ::testing::AssertionFailure() << "not a whole RIFF WAVE file";
    if (std::string(b.begin() + 12, b.begin() + 16) != "fmt " || U32(b, 16) != 16 || U16(b, 20) != 1)
        return ::testing::AssertionFailure() << "no plain PCM format chunk";
    wave.channels = U16(b, 22), wave.rate = U32(b, 24);
    int bits = U16(b, 34), frame = U16(b, 32);
    if (bits != 16 || frame != 2 * wave.channels || U32(b, 28) != uint32_t(wave.rate) * frame)
        return ::testing::AssertionFailure() << "not 16-bit: " << bits << " bits, frame " << frame;
    if (std::string(b.begin() + 36, b.begin() + 40) != "data" || 44 + U32(b, 40) != b.size())
        return ::testing::AssertionFailure() << "data chunk does not end the file";
    for (size_t at = 44; at + frame <= b.size(); at += frame) wave.samples.push_back(int16_t(U16(b, at)));
    return ::testing::AssertionSuccess();
}

Wave LoadWave(const std::string& name)
{
    Wave wave;
    EXPECT_TRUE(DecodeWav(ReadBytes("data/" + name + ".wav"), wave)) << name;
    return wave;
}

int RunGenerator(const std::string& arguments)
{
#ifdef MAKE_ASSETS_PATH
    int status = std::system(("'" MAKE_ASSETS_PATH "' " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)arguments;
    return -1;
#endif
}

struct TempFolder {
    fs::path path;
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "blockfall_assets_XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path); }
};

}  // namespace

// ---- the generator ----

TEST(AssetsGenerator, RegeneratesTheCommittedDataByteForByte)
{
#ifndef MAKE_ASSETS_PATH
    FAIL() << "make_assets is not built here (FreeType not found)";
#endif
    TempFolder temp;
    ASSERT_EQ(RunGenerator("'" + (temp.path / "out").string() + "'"), 0);
    size_t files = std::distance(fs::directory_iterator(temp.path / "out"), fs::directory_iterator());
    EXPECT_EQ(files, 21u);
    for (const char* name : image_names)
        EXPECT_EQ(ReadBytes(temp.path / "out" / (std::string(name) + ".bmp")),
                  ReadBytes(fs::path("data") / (std::string(name) + ".bmp")))
            << name << ".bmp differs from the generator's output: rerun make_assets data";
    for (const char* name : sound_names)
        EXPECT_EQ(ReadBytes(temp.path / "out" / (std::string(name) + ".wav")),
                  ReadBytes(fs::path("data") / (std::string(name) + ".wav")))
            << name << ".wav differs from the generator's output: rerun make_assets data";
}

TEST(AssetsGenerator, AFolderThatCannotBeMadeIsReportedWithItsName)
{
#ifndef MAKE_ASSETS_PATH
    FAIL() << "make_assets is not built here (FreeType not found)";
#endif
    TempFolder temp;
    fs::path blocker = temp.path / "plain_file";
    std::ofstream(blocker) << "x";
    fs::path log = temp.path / "stderr.txt";
    EXPECT_EQ(RunGenerator("'" + (blocker / "data").string() + "' 2>'" + log.string() + "'"), 1);
    std::vector<uint8_t> text = ReadBytes(log);
    std::string message(text.begin(), text.end());
    EXPECT_NE(message.find("cannot create folder"), std::string::npos) << message;
    EXPECT_NE(message.find((blocker / "data").string()), std::string::npos) << message;
}

// ---- images ----

TEST(AssetsImages, EveryImageIsA24BitBmpWithPowerOfTwoSides)
{
    for (const char* name : image_names) {
        Image image = LoadImage(name);
        std::string n = name;
        if (n.rfind("block", 0) == 0 || n == "blkgrey" || n == "border")
            EXPECT_TRUE(image.width == image.height && (image.width == 32 || image.width == 64)) << n;
        else if (n == "font")
            EXPECT_TRUE(image.width == 256 && image.height == 256) << n;
        else
            EXPECT_TRUE(image.width == image.height && (image.width == 128 || image.width == 256)) << n;
    }
}

TEST(AssetsImages, TheGamesReaderDecodesEveryImageToTheSamePixels)
{
    for (const char* name : image_names) {
        Image ours = LoadImage(name);
        std::unique_ptr<RgbImage, void (*)(RgbImage*)> theirs(
            LoadBmpImage(("data/" + std::string(name) + ".bmp").c_str()), FreeRgbImage);
        ASSERT_NE(theirs, nullptr) << name;
        ASSERT_EQ(theirs->width, ours.width) << name;
        ASSERT_EQ(theirs->height, ours.height) << name;
        // The reader's first row is the bottom of the picture.
        size_t row = size_t(ours.width) * 3;
        for (int y = 0; y < ours.height; ++y)
            ASSERT_EQ(0, std::memcmp(theirs->data + row * (ours.height - 1 - y), ours.At(0, y), row)) << name << " row " << y;
    }
}

TEST(AssetsImages, BoardTilesAreBevelledAndLitFromTheTopLeft)
{
    for (int slot = 0; slot <= 8; ++slot) {
        Image tile = LoadImage(image_names[slot]);
        int s = tile.width, band = s / 8;
        double top = tile.MeanLuma(band, 1, s - band, 1 + band);
        double bottom = tile.MeanLuma(band, s - 1 - band, s - band, s - 1);
        double left = tile.MeanLuma(1, band, 1 + band, s - band);
        double right = tile.MeanLuma(s - 1 - band, band, s - 1, s - band);
        double face = tile.MeanLuma(s / 4, s / 4, 3 * s / 4, 3 * s / 4);
        EXPECT_GT(top, face + 0.05) << image_names[slot];
        EXPECT_GT(face, bottom + 0.05) << image_names[slot];
        EXPECT_GT(left, right + 0.05) << image_names[slot];
    }
}

TEST(AssetsImages, PieceTexturesHaveTheirColoursAndTheBorderIsDarker)
{
    auto mean = [](const Image& image, int c) {
        double sum = 0;
        for (size_t i = c; i < image.rgb.size(); i += 3) sum += image.rgb[i];
        return sum / (image.rgb.size() / 3) / 255.0;
    };
    struct Hue {
        const char* name;
        double r, g, b;
    } hues[8];
    for (int slot = 0; slot < 8; ++slot) {
        Image image = LoadImage(image_names[slot]);
        hues[slot] = {image_names[slot], mean(image, 0), mean(image, 1), mean(image, 2)};
    }
    const Hue &green = hues[0], &blue = hues[1], &purple = hues[2], &yellow = hues[3], &red = hues[4],
              &orange = hues[5], &dark_blue = hues[6], &grey = hues[7];
    EXPECT_GT(green.g, 2 * std::max(green.r, green.b));
    EXPECT_GT(blue.b, 1.5 * std::max(blue.r, blue.g));
    EXPECT_GT(std::min(purple.r, purple.b), 1.5 * purple.g);
    EXPECT_GT(std::min(yellow.r, yellow.g), 2 * yellow.b);
    EXPECT_GT(red.r, 3 * std::max(red.g, red.b));
    EXPECT_TRUE(orange.r > 1.5 * orange.g && orange.g > 2 * orange.b);
    EXPECT_GT(dark_blue.b, 2 * std::max(dark_blue.r, dark_blue.g));
    EXPECT_LT(dark_blue.b, blue.b);
    EXPECT_LT(std::max({grey.r, grey.g, grey.b}) - std::min({grey.r, grey.g, grey.b}), 0.06);
    Image border = LoadImage("border");
    EXPECT_LT(border.MeanLuma(0, 0, border.width, border.height), 0.7 * (0.3 * grey.r + 0.59 * grey.g + 0.11 * grey.b));
}

// The water scrolls and the sky wraps round a sphere: the last column must
// continue into the first, and the bottom row into the top, no more abruptly
// than neighbouring columns and rows differ inside the picture.
TEST(AssetsImages, RepeatingTexturesJoinWithoutASeam)
{
    for (const char* name : {"water", "boxt2", "boxt3"}) {
        Image image = LoadImage(name);
        int w = image.width, h = image.height;
        auto column_step = [&](int a, int b) {
            double sum = 0;
            for (int y = 0; y < h; ++y)
                for (int c = 0; c < 3; ++c) sum += std::abs(image.At(a, y)[c] - image.At(b, y)[c]);
            return sum / (3.0 * h);
        };
        auto row_step = [&](int a, int b) {
            double sum = 0;
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) sum += std::abs(image.At(x, a)[c] - image.At(x, b)[c]);
            return sum / (3.0 * w);
        };
        double inner_columns = 0, inner_rows = 0;
        for (int i = 0; i + 1 < w; ++i) inner_columns += column_step(i, i + 1) / (w - 1);
        for (int i = 0; i + 1 < h; ++i) inner_rows += row_step(i, i + 1) / (h - 1);
        // Steps next to the join count too: shading from slopes smears a seam.
        for (int i = -1; i <= 1; ++i) {
            EXPECT_LT(column_step((w - 1 + i) % w, (w + i) % w), 2.0 * inner_columns + 1.0) << name << " " << i;
            EXPECT_LT(row_step((h - 1 + i) % h, (h + i) % h), 2.0 * inner_rows + 1.0) << name << " " << i;
        }
        // Not seamless by being flat: far-apart columns and rows differ a lot.
        EXPECT_GT(column_step(0, w / 2), 3.0 * inner_columns) << name;
        EXPECT_GT(row_step(0, h / 2), 3.0 * inner_rows) << name;
    }
}

TEST(AssetsImages, GlowAndEnvironmentAreBrightHighlightsOnDark)
{
    struct Expect {
        const char* name;
        double highlight;  // the 99.5th percentile of brightness reaches this
    };
    for (Expect expect : {Expect{"boxt3", 0.5}, Expect{"boxte", 0.75}}) {
        const char* name = expect.name;
        Image image = LoadImage(name);
        std::vector<double> lumas;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) lumas.push_back(image.Luma(x, y));
        std::sort(lumas.begin(), lumas.end());
        EXPECT_LT(lumas[lumas.size() / 2], 0.25) << name << ": the glow is added, so most must be dark";
        EXPECT_GT(lumas[lumas.size() * 995 / 1000], expect.highlight) << name << ": highlights";
    }
}

TEST(AssetsImages, LightBlobFallsOffFromItsCentreAndCheckerAlternates)
{
    Image light = LoadImage("light");
    int c = light.width / 2;
    EXPECT_GT(light.Luma(c, c), 0.9);
    EXPECT_LT(light.Luma(0, 0), 0.01);
    for (int x = c; x + 4 < light.width; x += 4) EXPECT_GE(light.Luma(x, c), light.Luma(x + 4, c));
    Image checker = LoadImage("checker");
    double a = checker.Luma(8, 8), b = checker.Luma(24, 8);
    EXPECT_GT(std::abs(a - b), 0.4);
    EXPECT_NEAR(checker.Luma(24, 24), a, 0.01);
    EXPECT_NEAR(checker.Luma(8, 24), b, 0.01);
}

// ---- font ----

namespace {

// The cell the printer samples for glyph g: column g mod 16, row g div 16
// counted from the top of the picture.
struct Cell {
    int x0, y0;
    int Ink(const Image& font, int x, int y) const
    {
        const uint8_t* p = font.At(x0 + x, y0 + y);
        return std::max({p[0], p[1], p[2]});
    }
};

Cell GlyphCell(int set, int code)
{
    int g = set * 128 + code - 32;
    return {g % 16 * 16, g / 16 * 16};
}

// The rows and columns that hold ink (above a faint threshold).
struct InkBox {
    int top = 16, bottom = -1, left = 16, right = -1;
};

InkBox FindInk(const Image& font, Cell cell)
{
    InkBox box;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (cell.Ink(font, x, y) > 40) {
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
            }
    return box;
}

}  // namespace

TEST(AssetsFont, EveryPrintableCharacterHasAGlyphInsideItsCellInBothSets)
{
    Image font = LoadImage("font");
    for (int set = 0; set < 2; ++set) {
        for (int code = 33; code <= 126; ++code) {
            Cell cell = GlyphCell(set, code);
            int brightest = 0, edge = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    brightest = std::max(brightest, cell.Ink(font, x, y));
                    if (x == 0 || y == 0 || x == 15 || y == 15) edge = std::max(edge, cell.Ink(font, x, y));
                }
            }
            EXPECT_GT(brightest, 160) << "set " << set << " char " << code;
            EXPECT_EQ(edge, 0) << "set " << set << " char " << code << " touches its cell's edge";
        }
    }
}

TEST(AssetsFont, SpaceAndTheCellsAfterTildeAreBlack)
{
    Image font = LoadImage("font");
    for (int set = 0; set < 2; ++set) {
        for (int code : {32, 127, 128, 140, 159}) {
            Cell cell = GlyphCell(set, code);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) ASSERT_EQ(cell.Ink(font, x, y), 0) << set << " " << code;
        }
    }
}

// Characters whose shape gives away their place and their way up: if the
// picture were stored upside down or glyphs shifted by a cell, these fail.
TEST(AssetsFont, GlyphsSitInCodeOrderTheRightWayUp)
{
    Image font = LoadImage("font");
    for (int set = 0; set < 2; ++set) {
        InkBox dot = FindInk(font, GlyphCell(set, '.'));
        InkBox quote = FindInk(font, GlyphCell(set, '"'));
        InkBox caret = FindInk(font, GlyphCell(set, '^'));
        InkBox underscore = FindInk(font, GlyphCell(set, '_'));
        InkBox dash = FindInk(font, GlyphCell(set, '-'));
        InkBox bar = FindInk(font, GlyphCell(set, '|'));
        InkBox letter = FindInk(font, GlyphCell(set, 'E'));
        EXPECT_GE(dot.top, 8) << set;
        EXPECT_LE(quote.bottom, 7) << set;
        EXPECT_LE(caret.bottom, 8) << set;
        EXPECT_GE(underscore.top, 11) << set;
        EXPECT_LE(dash.bottom - dash.top, 3) << set;
        EXPECT_GE(dash.right - dash.left, 3) << set;
        EXPECT_LE(bar.right - bar.left, 3) << set;
        EXPECT_GE(bar.bottom - bar.top, 10) << set;
        EXPECT_GE(letter.bottom - letter.top, 8) << set << ": capitals are tall enough to read";
    }
}

TEST(AssetsFont, EveryGlyphDiffersAndTheTwoSetsDiffer)
{
    Image font = LoadImage("font");
    auto pixels = [&](int set, int code) {
        Cell cell = GlyphCell(set, code);
        std::vector<int> out;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) out.push_back(cell.Ink(font, x, y));
        return out;
    };
    std::vector<std::vector<int>> cells[2];
    for (int set = 0; set < 2; ++set)
        for (int code = 33; code <= 126; ++code) cells[set].push_back(pixels(set, code));
    for (int set = 0; set < 2; ++set)
        for (size_t a = 0; a < cells[set].size(); ++a)
            for (size_t b = a + 1; b < cells[set].size(); ++b)
                EXPECT_NE(cells[set][a], cells[set][b]) << "set " << set << ": " << char(33 + a) << char(33 + b);
    int differing = 0;
    for (size_t i = 0; i < cells[0].size(); ++i) differing += cells[0][i] != cells[1][i];
    EXPECT_EQ(differing, 94);
}

// ---- sounds ----

namespace {

// Sign changes per second in a window: a rough pitch (or noisiness) measure.
double CrossingRate(const Wave& wave, double from, double to)
{
    size_t a = size_t(from * wave.rate), b = std::min(wave.samples.size(), size_t(to * wave.rate));
    int crossings = 0;
    for (size_t i = a + 1; i < b; ++i) crossings += (wave.samples[i - 1] < 0) != (wave.samples[i] < 0);
    return crossings / (double(b - a) / wave.rate);
}

double Rms(const Wave& wave, double from, double to)
{
    size_t a = size_t(from * wave.rate), b = std::min(wave.samples.size(), size_t(to * wave.rate));
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += double(wave.samples[i]) * wave.samples[i];
    return std::sqrt(sum / (b - a));
}

}  // namespace

TEST(AssetsSounds, EverySoundIsShort16BitPcmAt44100Hz)
{
    for (const char* name : sound_names) {
        Wave wave = LoadWave(name);
        EXPECT_EQ(wave.rate, 44100) << name;
        EXPECT_TRUE(wave.channels == 1 || wave.channels == 2) << name;
        EXPECT_GT(wave.Seconds(), 0.1) << name;
        EXPECT_LT(wave.Seconds(), 1.0) << name;
    }
}

TEST(AssetsSounds, EverySoundIsLoudWithoutClippingAndFadesInAndOut)
{
    for (const char* name : sound_names) {
        Wave wave = LoadWave(name);
        int peak = 0;
        for (int16_t s : wave.samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_GT(peak, 16000) << name;
        EXPECT_LT(peak, 32000) << name << " reaches full scale";
        EXPECT_LT(std::abs(wave.samples.front()), 100) << name << " starts with a click";
        EXPECT_LT(std::abs(wave.samples.back()), 100) << name << " ends with a click";
        double end = wave.Seconds();
        EXPECT_LT(Rms(wave, 0.0, 0.0005), 0.1 * peak) << name;
        EXPECT_LT(Rms(wave, end - 0.002, end), 0.05 * peak) << name;
    }
}

TEST(AssetsSounds, EachEffectHasItsCharacter)
{
    Wave drop = LoadWave("drop"), chime = LoadWave("linedone"), arpeggio = LoadWave("levelup");
    Wave blast = LoadWave("explode"), boing = LoadWave("boing");
    EXPECT_LT(CrossingRate(drop, 0.03, 0.2), 400) << "the landing is a low thud";
    EXPECT_GT(CrossingRate(chime, 0.0, 0.3), 1500) << "the chime is bright";
    EXPECT_LT(CrossingRate(arpeggio, 0.01, 0.08), 0.8 * CrossingRate(arpeggio, 0.40, 0.55)) << "rising";
    EXPECT_GT(CrossingRate(blast, 0.0, 0.1), 3000) << "the blast is noise";
    EXPECT_LT(Rms(blast, 0.7, 0.9), 0.25 * Rms(blast, 0.0, 0.2)) << "the blast decays";
    EXPECT_GT(CrossingRate(boing, 0.0, 0.04), 1.3 * CrossingRate(boing, 0.3, 0.5)) << "the pitch bends down";
}
