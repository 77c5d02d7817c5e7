// The texture set in the game's real GL context, loading bitmaps written by
// the test into a data/ folder of its own: which slots fill, what they hold,
// their filters, and silence for missing files.
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <set>

#include "gfx/bmp_reader.h"
#include "gfx/texture_set.h"
#include "tests/bmp_writer.h"
#include "tests/gl_fixture.h"

using namespace bmp_test;

namespace {

const char* const stems[TEXTURE_SLOT_COUNT] = {
    "blockg", "blockb", "blockp", "blocky", "blockr", "blocko", "blockdb", "blkgrey",
    "border", "water",  "font",   "boxt2",  "boxte",  "boxt3",  "light",   "checker"};

// Each slot's file is filled with a colour of its own, so a slot shows which file it holds.
Colour SlotColour(int slot)
{
    return {uint8_t(10 + 15 * slot), uint8_t(250 - 9 * slot), uint8_t(slot % 2 ? 200 : 40)};
}

Picture Solid(int width, int height, Colour colour)
{
    return {std::vector<std::string>(size_t(height), std::string(size_t(width), 'a')), "a", {colour}};
}

GLint LevelParameter(uint32_t name, int level, GLenum parameter)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

std::vector<uint8_t> LevelPixels(uint32_t name, int level)
{
    std::vector<uint8_t> pixels(size_t(LevelParameter(name, level, GL_TEXTURE_WIDTH)) *
                                size_t(LevelParameter(name, level, GL_TEXTURE_HEIGHT)) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

// Runs in a temporary working directory and puts the game's own slots, and
// the working directory, back afterwards.
struct TextureSet : GlTest {
    uint32_t saved_slots[TEXTURE_SLOT_COUNT];
    char saved_directory[PATH_MAX];
    std::string dir = MakeTempDir();
    std::string stderr_text;

    void SetUp() override
    {
        std::copy(texture_set, texture_set + TEXTURE_SLOT_COUNT, saved_slots);
        std::fill(texture_set, texture_set + TEXTURE_SLOT_COUNT, 0u);
        ASSERT_NE(getcwd(saved_directory, sizeof saved_directory), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        glGetError();
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        for (uint32_t name : texture_set)
            if (name)
                glDeleteTextures(1, &name);
        std::copy(saved_slots, saved_slots + TEXTURE_SLOT_COUNT, texture_set);
        EXPECT_EQ(chdir(saved_directory), 0);
        RemoveTree(dir);
    }

    void WriteSlot(int slot, const Picture& picture)
    {
        std::filesystem::create_directories("data");
        WriteBytes(std::string("data/") + stems[slot] + ".bmp", EncodeBmp(LayoutOf(picture, 24)));
    }

    void WriteEverySlotBut(int missing)
    {
        for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++)
            if (slot != missing)
                WriteSlot(slot, Solid(4, 4, SlotColour(slot)));
    }

    int Load()
    {
        testing::internal::CaptureStderr();
        int result = LoadTextureSet();
        stderr_text = testing::internal::GetCapturedStderr();
        return result;
    }
};

}  // namespace

TEST_F(TextureSet, NoDataFolderLoadsNothingAndSaysNothing)
{
    EXPECT_EQ(Load(), 0);
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++)
        EXPECT_EQ(texture_set[slot], 0u) << stems[slot];
    EXPECT_EQ(stderr_text, "");
}

TEST_F(TextureSet, OnlyTheCheckerIsEnoughToStart)
{
    WriteSlot(TEXTURE_CHECKER, Solid(8, 8, SlotColour(TEXTURE_CHECKER)));
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(stderr_text, "");
    for (int slot = 0; slot < TEXTURE_CHECKER; slot++)
        EXPECT_EQ(texture_set[slot], 0u) << stems[slot];
    ASSERT_NE(texture_set[TEXTURE_CHECKER], 0u);
    EXPECT_TRUE(glIsTexture(texture_set[TEXTURE_CHECKER]));
    std::vector<uint8_t> level0 = LevelPixels(texture_set[TEXTURE_CHECKER], 0);
    ASSERT_EQ(level0.size(), 8u * 8 * 3);
    Colour colour = SlotColour(TEXTURE_CHECKER);
    EXPECT_EQ(level0[0], colour.r);
    EXPECT_EQ(level0[1], colour.g);
    EXPECT_EQ(level0[2], colour.b);
}

TEST_F(TextureSet, MissingBlockTextureLeavesOnlyItsSlotEmpty)
{
    WriteEverySlotBut(TEXTURE_BLOCKR);
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(stderr_text, "");
    EXPECT_EQ(texture_set[TEXTURE_BLOCKR], 0u);
    std::set<uint32_t> names;
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++) {
        if (slot == TEXTURE_BLOCKR)
            continue;
        SCOPED_TRACE(stems[slot]);
        ASSERT_NE(texture_set[slot], 0u);
        names.insert(texture_set[slot]);
        // The slot holds its own file, with the whole mipmap chain down to 1x1.
        std::vector<uint8_t> level0 = LevelPixels(texture_set[slot], 0);
        Colour colour = SlotColour(slot);
        EXPECT_EQ(Colour({level0[0], level0[1], level0[2]}), colour);
        EXPECT_EQ(LevelParameter(texture_set[slot], 2, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(LevelParameter(texture_set[slot], 0, GL_TEXTURE_INTERNAL_FORMAT), 3);
    }
    EXPECT_EQ(names.size(), size_t(TEXTURE_SLOT_COUNT - 1));
}

TEST_F(TextureSet, UndecodableFileIsReportedOnceAndSkipped)
{
    WriteEverySlotBut(-1);
    BmpLayout extended = LayoutOf(Solid(4, 4, {1, 2, 3}), 24);
    extended.header_size = 108;
    WriteBytes("data/font.bmp", EncodeBmp(extended));
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(stderr_text, "Error: Unknown DIB file format.\n");
    EXPECT_EQ(texture_set[TEXTURE_FONT], 0u);
    EXPECT_NE(texture_set[TEXTURE_BOXT2], 0u);  // loading went on after it
}

TEST_F(TextureSet, OddWidthsGoUpWithAlignmentOneAndTheAlignmentIsRestored)
{
    // 2x2 needs no scaling, so level 0 is the file itself; rows of 6 bytes.
    const Picture quad = {{"ab", "cd"}, "abcd", {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};
    WriteSlot(TEXTURE_BLOCKG, quad);
    WriteSlot(TEXTURE_BLOCKB, Solid(64, 32, {90, 80, 70}));
    WriteSlot(TEXTURE_BLOCKP, Solid(100, 60, {30, 60, 90}));  // scaled by GLU to powers of two
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_EQ(Load(), 1);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    // GL's first row is the bottom row of the picture: "cd" then "ab".
    EXPECT_EQ(LevelPixels(texture_set[TEXTURE_BLOCKG], 0),
              (std::vector<uint8_t>{0, 0, 255, 255, 255, 0, 255, 0, 0, 0, 255, 0}));
    EXPECT_EQ(LevelParameter(texture_set[TEXTURE_BLOCKB], 0, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(LevelParameter(texture_set[TEXTURE_BLOCKB], 0, GL_TEXTURE_HEIGHT), 32);
    std::vector<uint8_t> scaled = LevelPixels(texture_set[TEXTURE_BLOCKP], 0);
    int width = LevelParameter(texture_set[TEXTURE_BLOCKP], 0, GL_TEXTURE_WIDTH);
    int height = LevelParameter(texture_set[TEXTURE_BLOCKP], 0, GL_TEXTURE_HEIGHT);
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);
    for (size_t i = 0; i < scaled.size(); i += 3)
        ASSERT_EQ(Colour({scaled[i], scaled[i + 1], scaled[i + 2]}), Colour({30, 60, 90})) << i / 3;
}

TEST_F(TextureSet, OpenImageIfPresentIsSilentForMissingFiles)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenImageIfPresent(nullptr), nullptr);
    EXPECT_EQ(OpenImageIfPresent("data/none.bmp"), nullptr);
    ASSERT_TRUE(std::filesystem::create_directories("data/folder.bmp"));  // opens for reading, yet is no file
    EXPECT_EQ(OpenImageIfPresent("data/folder.bmp"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    WriteSlot(TEXTURE_WATER, Solid(3, 2, {5, 6, 7}));
    RgbImage* image = OpenImageIfPresent("data/water.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    FreeRgbImage(image);
}

// The game's own data/ (the tests run from the source tree): all 16 files load, silently.
TEST_F(TextureSet, TheGamesDataFilesAllLoad)
{
    ASSERT_EQ(chdir(saved_directory), 0);
    ASSERT_TRUE(std::filesystem::is_directory("data")) << "run from the source tree";
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(stderr_text, "");
    for (int slot = 0; slot < TEXTURE_SLOT_COUNT; slot++) {
        EXPECT_NE(texture_set[slot], 0u) << stems[slot];
        EXPECT_GT(LevelParameter(texture_set[slot], 0, GL_TEXTURE_WIDTH), 0) << stems[slot];
    }
}
