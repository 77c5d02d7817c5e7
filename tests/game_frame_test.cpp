// The game layer frame by frame in the game's real window: drawn alone over a
// plain screen where positions are measured, and whole frames through the scene
// director with a fixed seed and scripted commands where the backdrop matters.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/game_frame.h"
#include "game/piece_table.h"
#include "game/random.h"
#include "game/session.h"
#include "gfx/font.h"
#include "gfx/projection.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/alloc_counter.h"
#include "tests/board_pictures.h"
#include "tests/gl_fixture.h"
#include "tests/golden.h"

namespace {

using Frame = std::vector<uint8_t>;

Frame CopyFrame()
{
    const uint8_t* frame = ReadFrame();
    return Frame(frame, frame + 640 * 480 * 3);
}

const uint8_t* At(const Frame& frame, int x, int y)
{
    return frame.data() + (y * 640 + x) * 3;
}

int Brightest(const Frame& frame, int x, int y, int width, int height)
{
    int best = 0;
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            for (int c = 0; c < 3; c++)
                best = std::max<int>(best, At(frame, col, row)[c]);
    return best;
}

double MeanOver(const Frame& frame, int x, int y, int width, int height)
{
    double sum = 0;
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            for (int c = 0; c < 3; c++)
                sum += At(frame, col, row)[c];
    return sum / (3.0 * width * height);
}

// Largest channel difference between two rectangles, the second moved by (dx, dy).
int LargestDifference(const Frame& a, const Frame& b, int x, int y, int width, int height, int dx = 0, int dy = 0)
{
    int worst = 0;
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            for (int c = 0; c < 3; c++)
                worst = std::max(worst, std::abs(At(a, col, row)[c] - At(b, col + dx, row + dy)[c]));
    return worst;
}

// A pixel of a coloured piece: its channels differ a lot (the grey tiles,
// the border and the board's grey gradient do not).
bool IsColoured(const uint8_t* p)
{
    return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 40;
}

int ColouredPixels(const Frame& frame, int x, int y, int width, int height)
{
    int count = 0;
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++)
            count += IsColoured(At(frame, col, row));
    return count;
}

// What a board cell shows over a plain screen: the gradient alone is the same
// across each pixel row, a tile's bevel is not.
enum class Cell { empty, tile };

Cell CellAt(const Frame& frame, int column, int row, int shake = 0)
{
    const int x = 232 + 16 * column, y = 72 + 16 * row + shake;
    int spread = 0;
    for (int dy = 0; dy < 16; dy++)
        for (int c = 0; c < 3; c++) {
            int low = 255, high = 0;
            for (int dx = 0; dx < 16; dx++) {
                low = std::min<int>(low, At(frame, x + dx, y + dy)[c]);
                high = std::max<int>(high, At(frame, x + dx, y + dy)[c]);
            }
            spread = std::max(spread, high - low);
        }
    return spread <= 2 ? Cell::empty : Cell::tile;
}

// The board as the player sees it, in the board pictures' letters.
std::string SeenBoard(const Frame& frame, int first_row, int shake = 0)
{
    std::string text;
    for (int row = first_row; row < BOARD_ROWS; row++) {
        for (int column = 0; column < BOARD_COLUMNS; column++)
            text += CellAt(frame, column, row, shake) == Cell::tile ? 'X' : '.';
        text += '\n';
    }
    return text;
}

// Largest difference over the 16x16 squares of the falling piece as drawn now.
int PieceCellsDiffer(const Frame& a, const Frame& b)
{
    const int v = (int)game.piece_pixel_y;
    int worst = 0, cells = 0;
    for (int dx = 0; dx < 4; dx++)
        for (int dy = 0; dy < 4; dy++)
            if (PieceCell(game.piece.kind, game.piece.rotation, dx, dy)) {
                int x = 232 + 16 * (game.piece.column + dx), y = 72 + 16 * dy + v;
                worst = std::max(worst, LargestDifference(a, b, x, y, 16, 16));
                cells++;
            }
    return cells == 4 ? worst : 999;
}

// Empty when the state left for the next frame's backdrop is the agreed one.
std::string HandOverProblem(bool after_game_frame)
{
    std::ostringstream problem;
    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        problem << "GL error 0x" << std::hex << error << "; ";
    GLint mode = 0, source = 0, destination = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    if (mode != GL_MODELVIEW)
        problem << "matrix mode not modelview; ";
    float modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; i++)
        if (modelview[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            problem << "modelview[" << i << "] " << modelview[i] << "; ";
    // 45 degrees, 4:3, near 0.1 and far 100.
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double want[16] = {f / 1.3333334, 0, 0, 0, 0, f, 0, 0, 0, 0, -100.1 / 99.9, -1, 0, 0, -20.0 / 99.9, 0};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; i++)
        if (std::fabs(projection[i] - want[i]) > 1e-4)
            problem << "projection[" << i << "] " << projection[i] << " not " << want[i] << "; ";
    if (!glIsEnabled(GL_DEPTH_TEST))
        problem << "depth test off; ";
    const struct {
        GLenum cap;
        const char* name;
    } off[] = {{GL_TEXTURE_2D, "texturing"}, {GL_BLEND, "blending"}, {GL_LIGHTING, "lighting"},
               {GL_FOG, "fog"}, {GL_CULL_FACE, "culling"}, {GL_TEXTURE_GEN_S, "s generation"}};
    for (const auto& state : off)
        if (glIsEnabled(state.cap))
            problem << state.name << " on; ";
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    if (source != GL_SRC_ALPHA || destination != GL_ONE)
        problem << "blend function changed; ";
    if (after_game_frame) {
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        if (colour[0] != 0.0f || colour[1] != 0.0f || colour[2] != 0.0f)
            problem << "colour not black; ";
    }
    return problem.str();
}

// A game in a known state without the director: an empty board, no fades,
// shake or popup, the generator seeded.
void PrepareGameLayer(uint32_t seed = 1)
{
    EnsureGameWindow();
    pause_state = -1;
    MoveCommand = MOVE_NONE;
    fade_in_counter = 0;
    fade_out_counter = 0;
    game.level = 0;
    game.shake_timer = game.shake_offset = 0;
    game.popup_timer = 0;
    game.piece.rotation = 0;
    SeedRandom(seed);
    ResetGame();
    aspect_ratio = 1.3333334f;
}

// The hand-over a backdrop leaves, a plain screen of one grey, then the game layer.
void LayerFrame(PlayerCommand command = MOVE_NONE, float grey = 0.0f)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    MoveCommand = GameFrame(command, CountDownFades());
}

// The first frame of a game as the director starts it, but with a fixed seed:
// the reset, then the game fields drawn again from the seed.
void StartGame(uint32_t seed)
{
    EnsureGameWindow();
    pause_state = -1;
    game.level = 0;
    game.game_over = 0;
    game.shake_timer = game.shake_offset = 0;
    game.popup_timer = 0;
    game.piece.rotation = 0;
    fade_out_counter = 0;
    backdrop_stage = -1;
    NewGameReset();
    SeedRandom(seed);
    ResetGame();
}

void SceneFrame(PlayerCommand command = MOVE_NONE)
{
    MoveCommand = DrawScene(command, pause_state);
}

// A key pressed and released between two frames, as the main loop sees it.
void TapKey(uint8_t key)
{
    KeyState[key] = 1;
    PollKeys();
    KeyState[key] = 0;
    PollKeys();
}

int TotalSounds(SoundSlot slot)
{
    return sound_play_count[slot];
}

// A generator seed whose first draw gives the shake offset wanted.
uint32_t SeedForShake(int offset)
{
    for (uint32_t seed = 1;; seed++) {
        SeedRandom(seed);
        if (3 - NextRandom() % 6 == offset)
            return seed;
    }
}

}  // namespace

// ---- fades ----

TEST(GameFrame, FadeInBrightensTheBackdropLinearlyButNeverTheGameLayer)
{
    PrepareGameLayer();
    fade_in_counter = 100;
    for (int frame = 1; frame <= 101; frame++) {
        LayerFrame(MOVE_NONE, 0.8f);
        Frame seen = CopyFrame();
        int want = frame <= 100 ? (int)std::lround(204 * (frame - 1) / 100.0) : 204;
        ASSERT_NEAR(At(seen, 100, 100)[0], want, 1) << "frame " << frame;
        ASSERT_NEAR(At(seen, 600, 40)[1], want, 1) << "frame " << frame;
        // The border covers what is behind it at full brightness in every frame.
        static Frame first;
        if (frame == 1)
            first = seen;
        ASSERT_EQ(LargestDifference(seen, first, 216, 72, 16, 320), 0) << "frame " << frame;
    }
    EXPECT_EQ(fade_in_counter, 0);
}

TEST(GameFrame, FadeOutDarkensTheBackdropToBlackOverAHundredFrames)
{
    PrepareGameLayer();
    fade_out_counter = 100;
    for (int frame = 1; frame <= 100; frame++) {
        LayerFrame(MOVE_NONE, 0.8f);
        int want = (int)std::lround(204 * (101 - frame) / 100.0);
        ASSERT_NEAR(ReadPixel(100, 100).r, want, 1) << "frame " << frame;
    }
    EXPECT_EQ(fade_out_counter, 0);
    LayerFrame(MOVE_NONE, 0.8f);
    EXPECT_EQ(fade_out_counter, 0) << "the count stops at 0";
    EXPECT_EQ(ReadPixel(100, 100).r, 204);
}

TEST(GameFrame, FirstFrameOfAGameShowsABlackBackdropUnderAFullyBrightBoard)
{
    // The same game twice: once as it starts, once with the fade-in skipped.
    // Every frame is drawn (the backdrop moves on each one); every fifth is looked at.
    std::vector<double> unfaded(100);
    std::vector<Frame> unfaded_frames;
    StartGame(5);
    fade_in_counter = 0;
    for (int frame = 0; frame < 100; frame++) {
        SceneFrame();
        if (frame % 5)
            continue;
        Frame seen = CopyFrame();
        unfaded[frame] = MeanOver(seen, 0, 0, 200, 400) + MeanOver(seen, 440, 0, 200, 390);
        if (frame == 0)
            unfaded_frames.push_back(seen);
    }
    StartGame(5);
    for (int frame = 0; frame < 100; frame++) {
        SceneFrame();
        if (frame % 5)
            continue;
        Frame seen = CopyFrame();
        if (frame == 0) {
            EXPECT_EQ(Brightest(seen, 0, 0, 200, 400), 0) << "the backdrop starts black";
            EXPECT_EQ(Brightest(seen, 440, 0, 200, 390), 0);
            // Border, piece and texts are drawn as bright as without the fade.
            EXPECT_EQ(LargestDifference(seen, unfaded_frames[0], 216, 72, 16, 336), 0);
            EXPECT_EQ(LargestDifference(seen, unfaded_frames[0], 408, 72, 16, 336), 0);
            EXPECT_EQ(LargestDifference(seen, unfaded_frames[0], 216, 392, 208, 16), 0);
            EXPECT_EQ(PieceCellsDiffer(seen, unfaded_frames[0]), 0);
            EXPECT_GE(Brightest(seen, 16, 410, 150, 56), 250) << "score display at full brightness";
        }
        double mean = MeanOver(seen, 0, 0, 200, 400) + MeanOver(seen, 440, 0, 200, 390);
        ASSERT_NEAR(mean, unfaded[frame] * frame / 100.0, 1.5) << "frame " << frame + 1;
    }
    EXPECT_EQ(fade_in_counter, 0);
    EXPECT_EQ(HandOverProblem(true), "");
}

// ---- the board, the piece and the shake ----

TEST(GameFrame, PieceGlidesDownOneRowPerGravityPeriod)
{
    // Top edge of the green I piece standing in board column 4, per frame.
    auto piece_top = [] {
        for (int y = 0; y < 392; y++) {
            Rgb p = ReadPixel(304, y);
            if (p.g > p.r + 25)
                return y;
        }
        return -1;
    };
    const struct {
        int level, period;
    } levels[] = {{0, 30}, {10, 20}};
    for (const auto& l : levels) {
        PrepareGameLayer();
        game.level = l.level;
        PlacePiece(0, 0, 3, 0);
        int last = 0;
        for (int frame = 1; frame <= 3 * l.period; frame++) {
            LayerFrame();
            int top = piece_top();
            if (frame == 1) {
                // A row above row 0 less one frame's glide: -15.47 or -15.2, cut toward zero.
                EXPECT_EQ(top, 57) << "level " << l.level;
            } else {
                ASSERT_GE(top, last) << "frame " << frame;
                ASSERT_LE(top, last + 1) << "frame " << frame;
            }
            if (frame % l.period == 0) {
                EXPECT_EQ(top, 72 + 16 * (frame / l.period - 1)) << "level " << l.level << " frame " << frame;
            }
            last = top;
        }
        EXPECT_EQ(game.piece.row, 3);
    }
}

TEST(GameFrame, ShakeMovesBorderAndLandedCellsButNotPieceTextOrPreview)
{
    PrepareGameLayer();
    SetBoard({"...X.......", "XXXX..XXXXX"});
    PlacePiece(0, 0, 3, 0);
    game.next_kind = 3;
    game.score = 4321;
    const GameSession before = game;
    const uint32_t seed = SeedForShake(-2);

    SeedRandom(seed);
    LayerFrame();
    Frame still = CopyFrame();
    game = before;
    game.shake_timer = 5;
    SeedRandom(seed);
    LayerFrame();
    ASSERT_EQ(game.shake_offset, -2);
    Frame shaken = CopyFrame();

    EXPECT_EQ(LargestDifference(shaken, still, 216, 70, 16, 336, 0, 2), 0) << "left border 2 px higher";
    EXPECT_EQ(LargestDifference(shaken, still, 216, 390, 208, 16, 0, 2), 0) << "bottom border 2 px higher";
    EXPECT_LE(LargestDifference(shaken, still, 232, 342, 176, 48, 0, 2), 1) << "landed cells 2 px higher";
    // (the board's gradient moves up with the board, over the piece's lowest rows here)
    EXPECT_EQ(LargestDifference(shaken, still, 296, 50, 16, 20), 0) << "the piece stays";
    EXPECT_EQ(LargestDifference(shaken, still, 0, 400, 216, 80), 0) << "the score display stays";
    EXPECT_EQ(LargestDifference(shaken, still, 430, 392, 210, 88), 0) << "Next and the preview stay";
}

TEST(GameFrame, LandingFrameDrawsNeitherTheLandedPieceNorTheFullRow)
{
    PrepareGameLayer();
    SetBoard({"XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 16);  // I standing in column 10, on the floor
    game.next_kind = 3;
    game.drop_timer = 29;

    LayerFrame();
    EXPECT_EQ(game.lines, 1);
    EXPECT_EQ(BoardPicture(4), Picture({"...........", "..........X", "..........X", "..........X"}));
    Frame landing = CopyFrame();
    EXPECT_EQ(SeenBoard(landing, 16), Picture({"...........", "...........", "...........", "XXXXXXXXXX."}))
        << "the cells drawn are those from before the landing";
    EXPECT_GT(ColouredPixels(landing, 296, 72, 32, 32), 500) << "the new piece already falls";
    EXPECT_EQ(ColouredPixels(landing, 232, 200, 176, 192), 0) << "the I is not drawn as falling";

    game.popup_timer = 0;  // the "+50" would rise over row 19 next
    LayerFrame();
    EXPECT_EQ(SeenBoard(CopyFrame(), 16, game.shake_offset),
              Picture({"...........", "..........X", "..........X", "..........X"}));
}

TEST(GameFrame, ScoreDisplayShowsTheNumbersFromBeforeTheRowRemoval)
{
    // Reference: each line printed on its own over the same plain screen.
    auto line_matches = [](const Frame& seen, int y, const char* text) {
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
        glColor3f(1, 1, 1);
        PrintText(16, y, 0, "%s", text);
        glDisable(GL_BLEND);
        return LargestDifference(seen, CopyFrame(), 0, y, 200, 16) == 0;
    };
    PrepareGameLayer();
    SetBoard({"XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 16);
    game.drop_timer = 29;
    game.lines = 9;
    game.score = 950;
    LayerFrame();
    ASSERT_EQ(game.level, 1) << "the tenth row raised the level";
    Frame seen = CopyFrame();
    EXPECT_TRUE(line_matches(seen, 410, "Lines : 9"));
    EXPECT_TRUE(line_matches(seen, 430, "Score : 950"));
    EXPECT_TRUE(line_matches(seen, 450, "Level : 0"));
    LayerFrame();
    seen = CopyFrame();
    EXPECT_TRUE(line_matches(seen, 410, "Lines : 10"));
    EXPECT_TRUE(line_matches(seen, 430, "Score : 1000"));
    EXPECT_TRUE(line_matches(seen, 450, "Level : 1"));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// ---- score popups ----

TEST(GameFrame, FourRowClearPopupRisesAPixelAFrameFromTheRemovedRow)
{
    PrepareGameLayer();
    SetBoard({"XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 16);
    game.drop_timer = 29;
    const int explosions = TotalSounds(SOUND_EXPLODE);
    LayerFrame();
    EXPECT_EQ(game.score, 600);
    EXPECT_EQ(game.popup_row, 19);
    EXPECT_EQ(game.shake_timer, 120);
    EXPECT_EQ(TotalSounds(SOUND_EXPLODE), explosions + 1);

    // Glyph pixels are far brighter than the board's grey (at most 128 there).
    auto popup_top = [] {
        Frame seen = CopyFrame();
        for (int y = 250; y < 400; y++)
            for (int x = 288; x < 352; x++)
                if (At(seen, x, y)[0] > 200)
                    return y;
        return -1;
    };
    int first_top = -1;
    for (int frame = 1; frame <= 31; frame++) {  // popup_timer 50 down to 20: full brightness
        LayerFrame();
        int top = popup_top();
        if (frame == 1) {
            first_top = top;
            EXPECT_GE(top, 72 + 16 * 19) << "starts at the removed row's top edge";
            EXPECT_LT(top, 72 + 16 * 20);
        } else {
            EXPECT_EQ(top, first_top - (frame - 1)) << "frame " << frame;
        }
    }
    for (int frame = 32; frame <= 50; frame++)
        LayerFrame();
    EXPECT_EQ(game.popup_timer, 0);
    LayerFrame();
    EXPECT_EQ(popup_top(), -1) << "gone after 50 frames";
}

TEST(GameFrame, PopupShowsItsAmountAndFadesOverItsLastFrames)
{
    const struct {
        int kind, x;
        const char* text;
    } popups[] = {{1, 296, "+50"}, {2, 288, "+200"}, {3, 288, "+350"}, {4, 288, "+600"}};
    for (const auto& p : popups) {
        PrepareGameLayer();
        PlacePiece(0, 0, 8, 10);  // out of the popup's way
        game.popup_row = 0;       // rising above the board's top edge, over the plain screen
        game.popup_kind = p.kind;
        game.popup_timer = 30;
        int full = 0;
        for (int timer = 30; timer >= 1; timer--) {
            LayerFrame();
            if (timer % 5 != 0 && timer != 19 && timer != 1)
                continue;  // looked at every fifth frame, and the first faded and the last
            const int y = timer + 22;
            Frame seen = CopyFrame();
            // The same text printed alone, at the brightness the popup fades to.
            glDisable(GL_DEPTH_TEST);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(0, 640, 480, 0, -1, 1);
            glMatrixMode(GL_MODELVIEW);
            glClear(GL_COLOR_BUFFER_BIT);
            glEnable(GL_BLEND);
            glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
            const float g = std::min(1.0f, timer * 0.05f);
            glColor3f(g, g, g);
            PrintText(p.x, y, 1, "%s", p.text);
            glDisable(GL_BLEND);
            Frame reference = CopyFrame();
            ASSERT_LE(LargestDifference(seen, reference, 250, 0, 140, 72), 1) << p.text << " timer " << timer;
            int peak = Brightest(seen, 250, y, 140, 16);
            if (timer == 20)
                full = peak;
            if (timer < 20) {
                EXPECT_NEAR(peak, full * timer / 20.0, 2.0) << p.text << " fades linearly, timer " << timer;
            }
        }
        EXPECT_GT(full, 200);
        EXPECT_EQ(game.popup_timer, 0);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }
}

// ---- game over, restart, pause ----

TEST(GameFrame, GameOverStopsThePieceAndTheScoreUntilTab)
{
    PrepareGameLayer();
    std::fill(std::begin(game.board), std::end(game.board), 0);
    for (int row = 3; row < BOARD_ROWS; row++)
        for (int column = 1; column < BOARD_COLUMNS; column++)
            game.board[column * BOARD_ROWS + row] = 1;
    PlacePiece(3, 0, 3, 0);  // O in rows 1-2, resting on row 3
    game.next_kind = 1;
    game.drop_timer = 29;
    game.score = 1234;
    const int drops = TotalSounds(SOUND_DROP);

    LayerFrame();
    ASSERT_EQ(game.game_over, 1);
    EXPECT_EQ(TotalSounds(SOUND_DROP), drops + 1);
    LayerFrame(MOVE_LEFT);
    Frame first = CopyFrame();
    const int32_t timer = game.drop_timer;
    for (int frame = 0; frame < 40; frame++)
        LayerFrame(frame % 2 ? MOVE_SOFT_DROP : MOVE_ROTATE);
    Frame later = CopyFrame();
    EXPECT_EQ(game.score, 1234);
    EXPECT_EQ(game.drop_timer, timer + 40) << "the gravity count goes on";
    EXPECT_TRUE(first == later) << "the board stands still";
    EXPECT_EQ(ColouredPixels(later, 232, 0, 176, 392), 0) << "no falling piece is drawn";
    EXPECT_EQ(SeenBoard(later, 0).substr(0, 36), "...........\n....XX.....\n....XX.....\n") << "the O landed";

    TapKey(VK_TAB);
    ASSERT_EQ(game.game_over, 0);
    SceneFrame();
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.level, 0);
    EXPECT_EQ(std::count(std::begin(game.board), std::end(game.board), 1), 0) << "a new, empty board";
    EXPECT_GT(ColouredPixels(CopyFrame(), 232, 40, 176, 100), 400) << "a new piece falls";
    EXPECT_EQ(HandOverProblem(true), "");
}

// An O lands at the bottom right and an I enters at column 3 over an overhang:
// column 4 is filled in rows 1-2 and from row 6 down, open in rows 3-5.
void LandAnOAndLetAnIEnterOverTheStack()
{
    PrepareGameLayer();
    SetBoard({"...........", "....X......", "....X......", "...........", "...........", "...........",
              "....X......", "....X......", "....X......", "....X......", "....X......", "....X......",
              "....X......", "....X......", "....X......", "....X......", "....X......", "....X......",
              "....X......", "....X......"});
    PlacePiece(3, 0, 6, 17);  // O in columns 7-8, rows 18-19, on the floor
    game.next_kind = 0;       // an upright I: column 4 at column 3
    game.drop_timer = 29;
    LayerFrame();
    ASSERT_EQ(game.piece.kind, 0);
    ASSERT_EQ(game.piece.row, 0);
    ASSERT_EQ(game.game_over, 0);
}

TEST(GameFrame, APieceEnteringOverFilledCellsLandsThereAtItsFirstGravityStepAndEndsTheGame)
{
    LandAnOAndLetAnIEnterOverTheStack();
    const int drops = TotalSounds(SOUND_DROP);
    int frames = 0;
    while (!game.game_over && frames < 60) {
        LayerFrame();
        frames++;
        ASSERT_EQ(game.piece.row, 0) << "frame " << frames << ": the piece fell through filled cells";
    }
    ASSERT_EQ(game.game_over, 1);
    EXPECT_EQ(frames, 30) << "the first gravity step of the new piece";
    EXPECT_EQ(TotalSounds(SOUND_DROP), drops + 1);
    const char* landed = "....X......\n....X......\n....X......\n....X......\n...........\n...........\n"
                         "....X......\n";
    EXPECT_EQ(BoardPicture().substr(0, 84), landed) << BoardPicture();
    LayerFrame();
    EXPECT_EQ(SeenBoard(CopyFrame(), 0).substr(0, 84), landed) << "the board after the game-over frame";
    EXPECT_EQ(SeenBoard(CopyFrame(), 18), "....X..XX..\n....X..XX..\n");
}

TEST(GameFrame, APieceMovedOffFilledCellsBeforeItsFirstGravityStepPlaysOn)
{
    LandAnOAndLetAnIEnterOverTheStack();
    for (int frame = 0; frame < 29 && game.piece.column == 3; frame++)
        LayerFrame(MOVE_LEFT);
    ASSERT_EQ(game.piece.column, 2) << "moved left before gravity";
    ASSERT_EQ(game.piece.row, 0);
    const int drops = TotalSounds(SOUND_DROP);
    for (int frame = 0; frame < 40 * 30 && TotalSounds(SOUND_DROP) == drops; frame++)
        LayerFrame();
    EXPECT_EQ(game.game_over, 0);
    EXPECT_EQ(BoardPicture(4), Picture({"...XX......", "...XX......", "...XX..XX..", "...XX..XX.."}))
        << "the I fell to the floor beside column 4";
    EXPECT_EQ(BoardPicture().substr(12, 24), "....X......\n....X......\n") << "the overhang stayed";
    EXPECT_EQ(game.piece.row, 0) << "the next piece entered";
}

TEST(GameFrame, PauseShowsOnlyTheWordAndFreezesTheGameWhileTheBackdropMoves)
{
    StartGame(11);
    for (int frame = 0; frame < 30; frame++)
        SceneFrame(frame % 9 == 0 ? MOVE_RIGHT : MOVE_NONE);
    game.shake_timer = 30;
    game.popup_timer = 40;
    game.popup_kind = 2;
    game.popup_row = 10;
    TapKey(VK_P);
    ASSERT_EQ(pause_state, 1);
    const GameSession frozen = game;
    const int32_t fade = fade_in_counter;

    Frame first_paused;
    for (int frame = 0; frame < 20; frame++) {
        KeyState[VK_LEFT] = 1;  // held through the pause
        SceneFrame(MOVE_LEFT);
        ASSERT_EQ(std::memcmp(&game, &frozen, sizeof game), 0) << "frame " << frame;
        ASSERT_EQ(fade_in_counter, fade);
        ASSERT_EQ(HandOverProblem(false), "") << "frame " << frame;
        if (frame == 0)
            first_paused = CopyFrame();
    }
    KeyState[VK_LEFT] = 0;
    EXPECT_GT(LargestDifference(first_paused, CopyFrame(), 0, 0, 200, 400), 20) << "the backdrop moves";

    // Over the very same backdrop frame, without the pause: only the word differs.
    const float angle = backdrop_angle, swirl = swirl_angle, scroll = water_scroll;
    SceneFrame(MOVE_LEFT);
    Frame paused = CopyFrame();
    backdrop_angle = angle, swirl_angle = swirl, water_scroll = scroll;
    pause_state = 0;  // any other value draws the backdrop alone
    SceneFrame(MOVE_LEFT);
    Frame bare = CopyFrame();
    pause_state = 1;
    int outside = 0, inside = 0, darker = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            for (int c = 0; c < 3; c++) {
                int diff = At(paused, x, y)[c] - At(bare, x, y)[c];
                bool in_word = x >= 226 && x < 422 && y >= 232 && y < 248;
                outside += diff != 0 && !in_word;
                inside += diff != 0 && in_word;
                darker += diff < 0;
            }
    EXPECT_EQ(outside, 0) << "no board, piece or score while paused";
    EXPECT_GT(inside, 300) << "P  a  u  s  e";
    EXPECT_EQ(darker, 0) << "the word is added to the backdrop";

    TapKey(VK_P);
    ASSERT_EQ(pause_state, -1);
    const int32_t timer = game.drop_timer;
    SceneFrame(MOVE_LEFT);
    EXPECT_EQ(game.drop_timer, timer + 1) << "the game goes on where it stood";
    EXPECT_EQ(game.shake_timer, 29);
    EXPECT_EQ(game.popup_timer, 39);
    EXPECT_EQ(MoveCommand, MOVE_NONE) << "the held key was taken by the first tick";
}

// ---- every frame, every level ----

TEST(GameFrame, EveryFrameOfALongGameHandsOverTheAgreedStateAtEveryLevel)
{
    StartGame(2024);
    std::mt19937 rng(7);
    const PlayerCommand commands[] = {MOVE_NONE, MOVE_NONE, MOVE_LEFT, MOVE_RIGHT, MOVE_ROTATE, MOVE_SOFT_DROP};
    int frames = 0, pause_frames = 0, highest = 0, clears = 0, restarts = 0;
    for (int target = 0; target <= 32; target++) {
        if (game.game_over) {
            TapKey(VK_TAB);
            ASSERT_EQ(backdrop_stage, -1);
            restarts++;
            StartGame(2024 + restarts);  // the director's reset, with a fixed seed
            SceneFrame();
            frames++;
            ASSERT_EQ(HandOverProblem(true), "") << "restart frame";
        }
        while (game.level < target) {  // each level start runs in its own frame
            game.level++;
            SceneFrame();
            frames++;
            ASSERT_EQ(HandOverProblem(true), "") << "level " << game.level;
        }
        for (int frame = 0; frame < 30; frame++) {
            if (frame == 5 && game.piece.row < 14) {  // a full row, removed in this frame
                for (int column = 0; column < BOARD_COLUMNS; column++)
                    game.board[column * BOARD_ROWS + 19] = 1;
                clears++;
            }
            if (frame == 16 || frame == 20)
                TapKey(VK_P);
            pause_frames += pause_state == 1;
            const bool game_layer = pause_state == -1;
            SceneFrame(commands[rng() % 6]);
            frames++;
            ASSERT_EQ(HandOverProblem(game_layer), "") << "level " << game.level << " frame " << frame;
            highest = std::max(highest, game.level);
        }
    }
    EXPECT_GE(highest, 32);
    EXPECT_GE(frames, 33 * 30);
    EXPECT_GT(pause_frames, 100);
    EXPECT_GT(clears, 10);
    RecordProperty("restarts", restarts);
}

// llvmpipe allocates for every draw it queues (a steady 140 or so a game-layer
// frame here), which is the driver's business, not the game's. So the frames are
// run with the context released: every GL call then lands in the dispatcher's
// empty stubs, while the director, the rules, the text formatting, the sounds
// and the GLU matrix maths all run for real.
TEST(GameFrame, AFrameAllocatesNothing)
{
    StartGame(3);
    SceneFrame();
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, nullptr), 0) << SDL_GetError();
    for (int frame = 0; frame < 5; frame++)
        SceneFrame();
    game.lines = 8;
    const int sounds = TotalSounds(SOUND_LINEDONE) + TotalSounds(SOUND_LEVELUP);
    const uint64_t before = AllocationCount();
    for (int frame = 0; frame < 300; frame++) {
        if (frame == 50 || frame == 150)  // a full row, removed in this frame
            for (int column = 0; column < BOARD_COLUMNS; column++)
                game.board[column * BOARD_ROWS + 19] = 1;
        if (frame == 100 || frame == 110)
            TapKey(VK_P);
        SceneFrame(frame % 3 ? MOVE_NONE : MOVE_SOFT_DROP);
    }
    const uint64_t allocations = AllocationCount() - before;
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, render_context), 0) << SDL_GetError();
    EXPECT_EQ(allocations, 0u) << (AllocationCountSeesMalloc() ? "malloc and new" : "new only");
    EXPECT_GE(game.lines, 10) << "rows were removed";
    EXPECT_GE(game.level, 1) << "the level-1 start ran";
    EXPECT_GE(TotalSounds(SOUND_LINEDONE) + TotalSounds(SOUND_LEVELUP), sounds + 3);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// ---- golden frames ----

TEST(GameFrame, GoldenStart)
{
    StartGame(42);
    SceneFrame();
    EXPECT_TRUE(MatchesGolden("game_start"));
}

TEST(GameFrame, GoldenMidGameWithPopup)
{
    StartGame(42);
    const PlayerCommand script[] = {MOVE_LEFT, MOVE_ROTATE, MOVE_NONE, MOVE_RIGHT, MOVE_SOFT_DROP};
    for (int frame = 0; frame < 160; frame++)
        SceneFrame(script[(frame / 12) % 5]);
    SetBoard({"X.XX..XXX..", "XXXXX.XXXX.", "XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 2);
    for (int frame = 0; frame < 40 && game.popup_timer == 0; frame++)
        SceneFrame(MOVE_SOFT_DROP);
    ASSERT_EQ(game.popup_kind, 4);
    for (int frame = 0; frame < 12; frame++)
        SceneFrame();
    EXPECT_TRUE(MatchesGolden("game_mid_popup"));
}

TEST(GameFrame, GoldenPause)
{
    StartGame(42);
    for (int frame = 0; frame < 120; frame++)
        SceneFrame(frame % 7 ? MOVE_NONE : MOVE_ROTATE);
    TapKey(VK_P);
    for (int frame = 0; frame < 5; frame++)
        SceneFrame();
    EXPECT_TRUE(MatchesGolden("game_pause"));
    TapKey(VK_P);
}

TEST(GameFrame, GoldenGameOver)
{
    StartGame(42);
    for (int frame = 0; frame < 2000 && !game.game_over; frame++)
        SceneFrame(frame % 4 == 0 ? PlayerCommand((frame / 4) % 3 + 1) : MOVE_SOFT_DROP);
    ASSERT_EQ(game.game_over, 1);
    for (int frame = 0; frame < 30; frame++)
        SceneFrame();
    EXPECT_TRUE(MatchesGolden("game_over"));
}
