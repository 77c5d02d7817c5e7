// Text in the game's real GL context. The font texture is one written by the
// test: every 16x16 cell is filled with a colour of its own and marked white
// in its top-left texel, so the pixels read back tell which glyph was drawn
// where, and whether its cell was cut exactly.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "gfx/font.h"
#include "gfx/texture_set.h"
#include "tests/bmp_writer.h"
#include "tests/gl_fixture.h"

using namespace bmp_test;

namespace {

Colour CellColour(int glyph)
{
    return {uint8_t(glyph), 64, uint8_t(255 - glyph)};
}

const Colour marker = {255, 255, 255};

// The font picture: 256 cells in a 16x16 grid, glyph 0 at the top left.
std::vector<uint8_t> FontFile()
{
    BmpLayout layout;
    layout.width = layout.height = 256;
    for (int stored = 0; stored < 256; stored++) {
        int top_row = 255 - stored;
        for (int x = 0; x < 256; x++) {
            int glyph = top_row / 16 * 16 + x / 16;
            Colour colour = top_row % 16 == 0 && x % 16 == 0 ? marker : CellColour(glyph);
            layout.pixels.insert(layout.pixels.end(), {colour.b, colour.g, colour.r});
        }
    }
    return EncodeBmp(layout);
}

bool Near(Rgb got, Colour want)
{
    return std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 && std::abs(got.b - want.b) <= 2;
}

std::string Show(Rgb pixel)
{
    return std::to_string(pixel.r) + "," + std::to_string(pixel.g) + "," + std::to_string(pixel.b);
}

// Loads the test font through the real texture set and builds the glyph
// lists from it; the game's own slots and lists are put back afterwards.
struct Font : GlTest {
    uint32_t saved_slots[TEXTURE_SLOT_COUNT];
    uint32_t saved_font_base = font_base;

    void SetUp() override
    {
        std::copy(texture_set, texture_set + TEXTURE_SLOT_COUNT, saved_slots);
        std::fill(texture_set, texture_set + TEXTURE_SLOT_COUNT, 0u);
        char saved_directory[PATH_MAX];
        std::string dir = MakeTempDir();
        ASSERT_NE(getcwd(saved_directory, sizeof saved_directory), nullptr);
        std::filesystem::create_directories(dir + "/data");
        WriteBytes(dir + "/data/font.bmp", FontFile());
        ASSERT_EQ(chdir(dir.c_str()), 0);
        int loaded = LoadTextureSet();
        ASSERT_EQ(chdir(saved_directory), 0);
        RemoveTree(dir);
        ASSERT_EQ(loaded, 1);
        CreateFontLists();
        SetUpTwoDimensionalLayer();
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glDeleteLists(font_base, 256);
        glDeleteTextures(1, &texture_set[TEXTURE_FONT]);
        std::copy(saved_slots, saved_slots + TEXTURE_SLOT_COUNT, texture_set);
        font_base = saved_font_base;
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // The 640x480 layer with y downward, drawn opaque so each glyph shows its own texels.
    void SetUpTwoDimensionalLayer()
    {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glColor3f(1, 1, 1);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    }

    // Glyph n of a text at (x, y): its marked corner, its inside and its
    // bottom row; the right column belongs to the next glyph, if any.
    void ExpectGlyph(int x, int y, int n, int glyph)
    {
        SCOPED_TRACE("character " + std::to_string(n) + ", glyph " + std::to_string(glyph));
        int left = x + 15 * n;
        EXPECT_TRUE(Near(ReadPixel(left, y), marker)) << Show(ReadPixel(left, y));
        for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {7, 8}, {14, 15}, {0, 15}, {14, 1}})
            EXPECT_TRUE(Near(ReadPixel(left + dx, y + dy), CellColour(glyph)))
                << "at +" << dx << ",+" << dy << ": " << Show(ReadPixel(left + dx, y + dy));
    }

    // Nothing drawn just outside the text's box.
    void ExpectBox(int x, int y, int characters)
    {
        int right = x + 15 * (characters - 1) + 16;
        for (auto [px, py] : {std::pair{x - 1, y}, {x, y - 1}, {right, y}, {right - 1, y + 16}, {x, y + 16}})
            EXPECT_TRUE(Near(ReadPixel(px, py), {0, 0, 0})) << px << "," << py << ": " << Show(ReadPixel(px, py));
    }

    std::vector<uint8_t> Region(int x, int y, int width, int height)
    {
        const uint8_t* frame = ReadFrame();
        std::vector<uint8_t> pixels;
        for (int row = y; row < y + height; row++)
            pixels.insert(pixels.end(), frame + (row * 640 + x) * 3, frame + (row * 640 + x + width) * 3);
        return pixels;
    }
};

float ModelviewX()
{
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    return matrix[12];
}

float ModelviewY()
{
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    return matrix[13];
}

}  // namespace

TEST_F(Font, ScoreLineCoversItsNineCellsAndSpacesDrawGlyphZero)
{
    PrintText(16, 430, 0, "Score : %d", 0);
    const std::string text = "Score : 0";
    for (int n = 0; n < 9; n++)
        ExpectGlyph(16, 430, n, text[n] - 32);
    ExpectGlyph(16, 430, 5, 0);
    ExpectGlyph(16, 430, 7, 0);
    // The last glyph covers x 136 to 152, its right column its own.
    EXPECT_TRUE(Near(ReadPixel(151, 440), CellColour('0' - 32))) << Show(ReadPixel(151, 440));
    ExpectBox(16, 430, 9);
}

TEST_F(Font, PauseTextInSetOneUsesTheLowerHalf)
{
    PrintText(226, 232, 1, "P  a  u  s  e");
    const std::string text = "P  a  u  s  e";
    for (int n = 0; n < 13; n++)
        ExpectGlyph(226, 232, n, 128 + text[n] - 32);
    ExpectGlyph(226, 232, 1, 128);
    EXPECT_TRUE(Near(ReadPixel(421, 240), CellColour(128 + 'e' - 32)));
    ExpectBox(226, 232, 13);
}

TEST_F(Font, PlusFiftyDrawsGlyphs139Then149Then144)
{
    PrintText(300, 100, 1, "+%d", 50);
    ExpectGlyph(300, 100, 0, 139);
    ExpectGlyph(300, 100, 1, 149);
    ExpectGlyph(300, 100, 2, 144);
    ExpectBox(300, 100, 3);
}

TEST_F(Font, SetsAboveOnePrintAsSetOne)
{
    PrintText(50, 60, 1, "Lines : %d", 42);
    std::vector<uint8_t> set_one = Region(40, 50, 200, 30);
    for (int set : {2, 3, 1000}) {
        glClear(GL_COLOR_BUFFER_BIT);
        PrintText(50, 60, set, "Lines : %d", 42);
        EXPECT_EQ(Region(40, 50, 200, 30), set_one) << "set " << set;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    PrintText(50, 60, 0, "Lines : %d", 42);
    EXPECT_NE(Region(40, 50, 200, 30), set_one);
}

TEST_F(Font, GlyphListsBindNothingSoTheCallersTextureShows)
{
    const uint8_t grey[3] = {90, 120, 150};
    GLuint plain = 0;
    glGenTextures(1, &plain);
    glBindTexture(GL_TEXTURE_2D, plain);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, grey);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    PrintText(16, 16, 0, "AB");
    EXPECT_TRUE(Near(ReadPixel(16, 16), {90, 120, 150})) << Show(ReadPixel(16, 16));
    EXPECT_TRUE(Near(ReadPixel(40, 30), {90, 120, 150})) << Show(ReadPixel(40, 30));
    glDeleteTextures(1, &plain);
}

TEST_F(Font, PrinterLeavesTexturingOffAndTheOriginAfterTheText)
{
    glEnable(GL_TEXTURE_2D);
    PrintText(20, 40, 0, "Level : %d", 7);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(ModelviewX(), 20.0f + 15 * 9);
    EXPECT_EQ(ModelviewY(), 40.0f);

    glEnable(GL_TEXTURE_2D);
    PrintText(33, 44, 0, "%s", "");  // formats to nothing: still resets and moves
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(ModelviewX(), 33.0f);
    EXPECT_EQ(ModelviewY(), 44.0f);

    glEnable(GL_TEXTURE_2D);
    const char* no_format = nullptr;
    PrintText(99, 99, 0, no_format);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // no format: nothing at all happens
    EXPECT_EQ(ModelviewX(), 33.0f);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(Font, LongTextIsCutTo255Characters)
{
    std::string long_text(300, 'x');
    PrintText(0, 0, 0, "%s", long_text.c_str());
    EXPECT_EQ(ModelviewX(), 15.0f * 255);
}

// The game's own font picture, printed the way the score display prints it
// (added onto a black frame): letters light their cells, spaces stay dark.
TEST_F(Font, GamesOwnFontShowsLettersAndBlankSpaces)
{
    glDeleteLists(font_base, 256);
    glDeleteTextures(1, &texture_set[TEXTURE_FONT]);
    std::fill(texture_set, texture_set + TEXTURE_SLOT_COUNT, 0u);
    ASSERT_EQ(LoadTextureSet(), 1) << "run from the source tree, with data/";
    ASSERT_NE(texture_set[TEXTURE_FONT], 0u);
    CreateFontLists();
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    PrintText(16, 430, 0, "Score : %d", 0);
    glDisable(GL_BLEND);
    double letter[3], space[3], outside[3];
    MeanColour(16, 430, 16, 16, letter);     // "S"
    MeanColour(92, 430, 14, 16, space);      // the first space, without its neighbours' columns
    MeanColour(16, 450, 140, 16, outside);   // under the text
    EXPECT_GT(letter[0] + letter[1] + letter[2], 30.0);
    EXPECT_LT(space[0] + space[1] + space[2], 3.0);
    EXPECT_LT(outside[0] + outside[1] + outside[2], 0.5);
    for (uint32_t& name : texture_set)
        if (name != texture_set[TEXTURE_FONT] && name)
            glDeleteTextures(1, &name);
}
