// The board, piece, preview and pause pictures drawn alone on a black screen in
// the game's real window and read back pixel by pixel: where each tile lands,
// which texture it shows, and what the shake moves.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "game/piece_table.h"
#include "game/session.h"
#include "gfx/board_drawing.h"
#include "tests/board_pictures.h"
#include "tests/gl_fixture.h"

namespace {

struct Rect {
    int x, y, width, height;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

const uint8_t* Pixel(const uint8_t* frame, int x, int y)
{
    return frame + (y * 640 + x) * 3;
}

bool IsLit(const uint8_t* frame, int x, int y)
{
    const uint8_t* p = Pixel(frame, x, y);
    return p[0] || p[1] || p[2];
}

// Lit pixels inside none of the rectangles, and unlit pixels inside any of
// them; both must be 0 when exactly the rectangles were drawn.
struct Coverage {
    int stray = 0, missing = 0;
};

Coverage CompareLitArea(const uint8_t* frame, std::initializer_list<Rect> area)
{
    Coverage result;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            bool inside = std::any_of(area.begin(), area.end(), [&](const Rect& r) { return r.Contains(x, y); });
            bool lit = IsLit(frame, x, y);
            result.stray += lit && !inside;
            result.missing += inside && !lit;
        }
    return result;
}

// True when the 16x16 squares at (x0, y0) and (x1, y1) hold the same pixels.
bool SameTile(const uint8_t* frame, int x0, int y0, int x1, int y1)
{
    for (int dy = 0; dy < 16; dy++)
        if (std::memcmp(Pixel(frame, x0, y0 + dy), Pixel(frame, x1, y1 + dy), 16 * 3) != 0)
            return false;
    return true;
}

// Mean colour of the lit pixels of a rectangle.
void LitMean(const uint8_t* frame, Rect r, double mean[3])
{
    double sum[3] = {0, 0, 0};
    int count = 0;
    for (int y = r.y; y < r.y + r.height; y++)
        for (int x = r.x; x < r.x + r.width; x++)
            if (IsLit(frame, x, y)) {
                for (int c = 0; c < 3; c++)
                    sum[c] += Pixel(frame, x, y)[c];
                count++;
            }
    for (int c = 0; c < 3; c++)
        mean[c] = count ? sum[c] / count : 0.0;
}

// The state the game frame sets before it draws the board: the 640x480 layer,
// depth test and blending off, texturing on, white, on a black screen.
struct BoardDrawing : GlTest {
    void SetUp() override
    {
        std::memset(game.board, 0, sizeof game.board);
        game.shake_offset = 0;
        game.next_kind = 0;
        PlacePiece(0, 0, 3, 0);
        game.piece_pixel_y = 0.0f;
        ClearTo(0.0f);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    static void ClearTo(float grey)
    {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }
    static void Fill(int column, int row) { game.board[column * BOARD_ROWS + row] = 1; }
};

// The three runs of the border as the player sees them: left and right
// columns the board's height plus the bottom row, and a bottom row that
// spans both corners.
const Rect kLeftBorder = {216, 72, 16, 336}, kBottomBorder = {216, 392, 208, 16}, kRightBorder = {408, 72, 16, 336};

}  // namespace

TEST_F(BoardDrawing, LandedCellCoversExactlyItsSquare)
{
    const int cells[][2] = {{0, 0}, {10, 19}, {5, 7}, {10, 0}, {0, 19}};
    for (const auto& cell : cells) {
        SetUp();
        Fill(cell[0], cell[1]);
        DrawLandedCells();
        const int x = 232 + 16 * cell[0], y = 72 + 16 * cell[1];
        Coverage c = CompareLitArea(ReadFrame(), {{x, y, 16, 16}});
        EXPECT_EQ(c.stray, 0) << "cell " << cell[0] << "," << cell[1];
        EXPECT_EQ(c.missing, 0) << "cell " << cell[0] << "," << cell[1];
    }
}

TEST_F(BoardDrawing, EmptyBoardDrawsNoCellButTheWholeBorder)
{
    DrawLandedCells();
    EXPECT_EQ(CompareLitArea(ReadFrame(), {}).stray, 0);
    DrawBorder();
    Coverage c = CompareLitArea(ReadFrame(), {kLeftBorder, kBottomBorder, kRightBorder});
    EXPECT_EQ(c.stray, 0) << "a top edge, or a tile off the frame";
    EXPECT_EQ(c.missing, 0);
}

TEST_F(BoardDrawing, BorderIsFiftyThreeWholeTilesOnTheCellGrid)
{
    DrawBorder();
    const uint8_t* frame = ReadFrame();
    // Every tile is the same fully lit picture on the 16-pixel grid: 21 down
    // the left, 12 along the bottom right of the corner, 20 down the right.
    int reference_lit = 0;
    for (int dy = 0; dy < 16; dy++)
        for (int dx = 0; dx < 16; dx++)
            reference_lit += IsLit(frame, 216 + dx, 72 + dy);
    ASSERT_EQ(reference_lit, 256) << "the top-left tile is drawn whole";
    int tiles = 0;
    auto Match = [&](int x, int y) { return SameTile(frame, 216, 72, x, y) ? (tiles++, true) : false; };
    for (int i = 0; i <= 20; i++)
        EXPECT_TRUE(Match(216, 72 + 16 * i)) << "left " << i;
    for (int i = 1; i <= 12; i++)
        EXPECT_TRUE(Match(216 + 16 * i, 392)) << "bottom " << i;
    for (int i = 0; i < 20; i++)
        EXPECT_TRUE(Match(408, 72 + 16 * i)) << "right " << i;
    EXPECT_EQ(tiles, 53);
    // The border's picture is dark blue-grey: blue the strongest channel.
    double mean[3];
    LitMean(frame, kLeftBorder, mean);
    EXPECT_GT(mean[2], mean[0] + 8);
    EXPECT_LT(mean[0] + mean[1] + mean[2], 3 * 128);
    for (int x = 200; x < 440; x++)
        ASSERT_FALSE(IsLit(frame, x, 71)) << "nothing above the board at x " << x;
}

TEST_F(BoardDrawing, FullBottomRowIsElevenGreyTilesOnTheFloor)
{
    SetBoard({"XXXXXXXXXXX"});
    DrawLandedCells();
    const uint8_t* frame = ReadFrame();
    Coverage c = CompareLitArea(frame, {{232, 376, 176, 16}});
    EXPECT_EQ(c.stray, 0);
    EXPECT_EQ(c.missing, 0);
    for (int column = 1; column < 11; column++)
        EXPECT_TRUE(SameTile(frame, 232, 376, 232 + 16 * column, 376)) << "column " << column;
    double mean[3];
    LitMean(frame, {232, 376, 176, 16}, mean);
    EXPECT_LT(std::max({mean[0], mean[1], mean[2]}) - std::min({mean[0], mean[1], mean[2]}), 12)
        << "landed cells are grey";
    EXPECT_GT(mean[0], 90);
}

TEST_F(BoardDrawing, OnlyCellsHoldingOneAreLanded)
{
    Fill(2, 5);
    game.board[3 * BOARD_ROWS + 5] = 2;  // not a landed cell
    game.board[4 * BOARD_ROWS + 5] = 255;
    DrawLandedCells();
    Coverage c = CompareLitArea(ReadFrame(), {{264, 152, 16, 16}});
    EXPECT_EQ(c.stray, 0);
    EXPECT_EQ(c.missing, 0);
}

TEST_F(BoardDrawing, FallingPieceHeightTruncatesTowardZero)
{
    // I in rotation 0 fills mask column 1: at column -1 it stands in board column 0.
    const struct {
        float pixel_y;
        int top;
    } heights[] = {{-15.75f, 57}, {-0.5f, 72}, {0.0f, 72}, {15.75f, 87}, {31.9f, 103}, {-31.9f, 41}};
    for (const auto& h : heights) {
        SetUp();
        PlacePiece(0, 0, -1, 0);
        game.piece_pixel_y = h.pixel_y;
        DrawFallingPiece();
        const uint8_t* frame = ReadFrame();
        Coverage c = CompareLitArea(frame, {{232, h.top, 16, 64}});
        EXPECT_EQ(c.stray, 0) << "piece_pixel_y " << h.pixel_y;
        EXPECT_EQ(c.missing, 0) << "piece_pixel_y " << h.pixel_y;
    }
}

TEST_F(BoardDrawing, FallingPieceFollowsItsMaskAndColumn)
{
    // T-like kinds and S/Z differ by mask: every filled mask cell is one tile.
    for (int kind = 0; kind < PIECE_KINDS; kind++)
        for (int rotation = 0; rotation < 4; rotation++) {
            SetUp();
            PlacePiece(kind, rotation, 4, 3);
            game.piece_pixel_y = 48.0f;
            DrawFallingPiece();
            const uint8_t* frame = ReadFrame();
            int tiles = 0;
            for (int dx = 0; dx < 4; dx++)
                for (int dy = 0; dy < 4; dy++) {
                    int x = 232 + 16 * (4 + dx), y = 72 + 48 + 16 * dy;
                    bool lit = IsLit(frame, x, y) && IsLit(frame, x + 15, y + 15);
                    EXPECT_EQ(lit, PieceCell(kind, rotation, dx, dy) == 1)
                        << "kind " << kind << " rotation " << rotation << " at " << dx << "," << dy;
                    tiles += lit;
                }
            EXPECT_EQ(tiles, 4);
            EXPECT_EQ(CompareLitArea(frame, {{296, 120, 64, 64}}).stray, 0);
        }
}

TEST_F(BoardDrawing, EachKindFallsInItsOwnColour)
{
    // green, blue, purple, yellow, red, orange, dark blue: the block pictures in slot order
    double means[PIECE_KINDS][3];
    for (int kind = 0; kind < PIECE_KINDS; kind++) {
        SetUp();
        PlacePiece(kind, 0, 3, 0);
        game.piece_pixel_y = 0.0f;
        DrawFallingPiece();
        LitMean(ReadFrame(), {232, 72, 176, 64}, means[kind]);
    }
    auto r = [&](int k) { return means[k][0]; };
    auto g = [&](int k) { return means[k][1]; };
    auto b = [&](int k) { return means[k][2]; };
    EXPECT_TRUE(g(0) > r(0) + 60 && g(0) > b(0) + 60) << "kind 0 green";
    EXPECT_TRUE(b(1) > r(1) + 60 && b(1) > g(1) + 40) << "kind 1 blue";
    EXPECT_TRUE(r(2) > g(2) + 40 && b(2) > g(2) + 60) << "kind 2 purple";
    EXPECT_TRUE(r(3) > b(3) + 80 && g(3) > b(3) + 80) << "kind 3 yellow";
    EXPECT_TRUE(r(4) > g(4) + 80 && r(4) > b(4) + 80) << "kind 4 red";
    EXPECT_TRUE(r(5) > g(5) + 40 && g(5) > b(5) + 40) << "kind 5 orange";
    EXPECT_TRUE(b(6) > r(6) + 60 && b(6) < b(1) - 20) << "kind 6 dark blue";
}

TEST_F(BoardDrawing, PieceOfNoKindDrawsNothing)
{
    game.piece.kind = 7;
    game.piece_pixel_y = 0.0f;
    DrawFallingPiece();
    EXPECT_EQ(CompareLitArea(ReadFrame(), {}).stray, 0);
}

TEST_F(BoardDrawing, PreviewOfIAndOAtHalfScale)
{
    glDisable(GL_TEXTURE_2D);  // the game frame draws the preview untextured
    game.next_kind = 0;
    DrawNextPreview();
    const uint8_t* frame = ReadFrame();
    Coverage c = CompareLitArea(frame, {{568, 436, 8, 32}});
    EXPECT_EQ(c.stray, 0) << "I: one grey bar";
    EXPECT_EQ(c.missing, 0);
    EXPECT_NEAR(Pixel(frame, 572, 450)[0], 128, 1);

    SetUp();
    glDisable(GL_TEXTURE_2D);
    glLoadIdentity();  // as the game frame does before the preview
    game.next_kind = 3;
    DrawNextPreview();
    c = CompareLitArea(ReadFrame(), {{568, 444, 16, 16}});
    EXPECT_EQ(c.stray, 0) << "O: one grey square";
    EXPECT_EQ(c.missing, 0);
}

TEST_F(BoardDrawing, PreviewIsAddedToTheBackdropAndLeavesWhiteUnblended)
{
    ClearTo(0.25f);
    glDisable(GL_TEXTURE_2D);
    game.next_kind = 6;
    DrawNextPreview();
    Rgb backdrop = ReadPixel(600, 300), lit = ReadPixel(572, 452);
    EXPECT_NEAR(backdrop.r, 64, 1);
    EXPECT_NEAR(lit.r, 64 + 128, 2) << "grey added, not painted over";
    EXPECT_NEAR(lit.g, lit.r, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    float colour[4], size = 0;
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f);
    EXPECT_EQ(size, 8.0f);
}

TEST_F(BoardDrawing, PauseWordIsFiveLettersAddedOverTheBackdrop)
{
    ClearTo(0.2f);
    PauseOverlay();
    const uint8_t* frame = ReadFrame();
    const Rect letters[5] = {{226, 232, 16, 16}, {271, 232, 16, 16}, {316, 232, 16, 16},
                             {361, 232, 16, 16}, {406, 232, 16, 16}};
    int changed_in[5] = {0, 0, 0, 0, 0}, changed_elsewhere = 0, darker = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            const uint8_t* p = Pixel(frame, x, y);
            if (p[0] == 51 && p[1] == 51 && p[2] == 51)
                continue;
            darker += p[0] < 51 || p[1] < 51 || p[2] < 51;
            int which = -1;
            for (int i = 0; i < 5; i++)
                if (letters[i].Contains(x, y))
                    which = i;
            if (which < 0)
                changed_elsewhere++;
            else
                changed_in[which]++;
        }
    EXPECT_EQ(changed_elsewhere, 0) << "only the letters show; the spaces between are blank";
    EXPECT_EQ(darker, 0) << "the text is added to the backdrop";
    for (int i = 0; i < 5; i++)
        EXPECT_GT(changed_in[i], 10) << "letter " << i;
    // Different letters: no two of the five look alike.
    for (int i = 0; i < 5; i++)
        for (int j = i + 1; j < 5; j++)
            EXPECT_FALSE(SameTile(frame, letters[i].x, 232, letters[j].x, 232)) << i << " and " << j;
}
