// Start-up and the new-game reset read back from the real context, the tile
// list drawn and read back, and the order of the director's one-time steps.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <vector>

#include "game/session.h"
#include "gfx/board_drawing.h"
#include "gfx/font.h"
#include "gfx/projection.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/gl_fixture.h"

namespace {

struct SceneDirector : GlTest {
    void SetUp() override
    {
        game.level = 0;
        game.game_over = 0;
        backdrop_stage = -1;
        pause_state = -1;
    }
    void TearDown() override { EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR); }

    static void ExpectVector(GLenum light_or_face, GLenum parameter, const float (&want)[4], bool material = false)
    {
        float got[4] = {-9, -9, -9, -9};
        if (material)
            glGetMaterialfv(light_or_face, parameter, got);
        else
            glGetLightfv(light_or_face, parameter, got);
        for (int i = 0; i < 4; i++)
            EXPECT_FLOAT_EQ(got[i], want[i]) << "parameter 0x" << std::hex << parameter << " [" << i << "]";
    }
};

}  // namespace

TEST_F(SceneDirector, StartUpMadeEveryResource)
{
    EXPECT_TRUE(glIsList(tile_list));
    EXPECT_TRUE(glIsList(sky_sphere_list));
    EXPECT_TRUE(glIsList(cube_frame_list));
    EXPECT_NE(quadric, nullptr);
    GLint mode = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
}

TEST_F(SceneDirector, TileListDrawsASixteenPixelSquareUpright)
{
    // A 1x2 texture: first row (the image's bottom) red, second row blue.
    const unsigned char texels[] = {255, 0, 0, 0, 0, 255};
    GLuint texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(100, 200, 0);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glCallList(tile_list);
    glDisable(GL_TEXTURE_2D);
    glLoadIdentity();

    const uint8_t* frame = ReadFrame();
    int covered = 0;
    for (int y = 190; y < 226; y++)
        for (int x = 90; x < 126; x++) {
            const uint8_t* p = frame + (y * 640 + x) * 3;
            bool inside = x >= 100 && x < 116 && y >= 200 && y < 216;
            bool lit = p[0] + p[1] + p[2] > 0;
            EXPECT_EQ(lit, inside) << "at " << x << "," << y;
            covered += lit;
        }
    EXPECT_EQ(covered, 256);
    EXPECT_EQ(ReadPixel(108, 202).b, 255);  // the image's top at the top
    EXPECT_EQ(ReadPixel(108, 213).r, 255);  // and its bottom at the bottom
    glDeleteTextures(1, &texture);
}

TEST_F(SceneDirector, NewGameResetRestartsTheBackdropValuesAndTheClock)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    fade_in_counter = 3;
    backdrop_angle = 99.0f;
    swirl_angle = 12.0f;
    water_scroll = 0.5f;
    const uint64_t before = SDL_GetPerformanceCounter();
    auto MillisecondsSinceBefore = [before] {
        return (SDL_GetPerformanceCounter() - before) * 1000.0 / SDL_GetPerformanceFrequency();
    };
    NewGameReset();
    const double reset_ms = MillisecondsSinceBefore();

    EXPECT_EQ(aspect_ratio, 1.3333334f);
    EXPECT_EQ(fade_in_counter, 100);
    EXPECT_EQ(backdrop_stage, 0);
    EXPECT_EQ(backdrop_angle, 35.0f);
    EXPECT_EQ(swirl_angle, 0.0f);
    EXPECT_EQ(water_scroll, 0.0f);
    EXPECT_EQ(water_scroll_step, 0.005f);
    // The clock restarted during the reset, and the frame's stamp was taken from the new clock.
    EXPECT_GE(frame_start_ms, 0.0f);
    EXPECT_LE(frame_start_ms, reset_ms + 1e-3);
    const double clock_now = ReadFrameClock();
    EXPECT_LE(clock_now, MillisecondsSinceBefore() + 1e-3);
}

TEST_F(SceneDirector, ResetClearsTheGameButKeepsWhatItShould)
{
    game.score = 1234;
    game.lines = 17;
    game.board[5] = 1;
    game.piece.rotation = 2;
    game.shake_timer = 7;
    NewGameReset();
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.lines, 0);
    EXPECT_EQ(game.board[5], 0);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.rotation, 2);
    EXPECT_EQ(game.shake_timer, 7);
}

TEST_F(SceneDirector, OneTimeStepsRunOncePerGameInTheFrameOfTheirBackdrop)
{
    DrawScene(MOVE_NONE, -1);  // first frame: the reset and the level-0 scene
    EXPECT_EQ(backdrop_stage, 0);
    game.score = 555;
    DrawScene(MOVE_NONE, -1);
    EXPECT_EQ(game.score, 555) << "the reset ran twice";

    game.level = 1;
    DrawScene(MOVE_NONE, -1);
    EXPECT_EQ(backdrop_stage, 1);
    // The level-1 start ran in this frame (set 100; the game layer counts one off).
    EXPECT_GE(fade_out_counter, 99);

    game.level = 2;
    DrawScene(MOVE_NONE, -1);
    EXPECT_EQ(backdrop_stage, 2);
    game.level = 5;
    DrawScene(MOVE_NONE, -1);
    EXPECT_EQ(backdrop_stage, 2);
    EXPECT_EQ(game.score, 555);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(SceneDirector, RestartRunsTheResetAgainAndRestoresLevelZeroLight)
{
    DrawScene(MOVE_NONE, -1);
    game.level = 1;
    DrawScene(MOVE_NONE, -1);
    fade_out_counter = 0;  // as if the game layer had darkened the hand-over to its end
    for (int frame = 0; frame < 3; frame++)  // the relight, then the level-1 scene
        DrawScene(MOVE_NONE, -1);
    float diffuse[4];
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_EQ(std::vector<float>(diffuse, diffuse + 4), (std::vector<float>{1, 1, 1, 1}))
        << "the level-1 relight makes light 1 white";

    // Tab after a game over, as the main loop does it.
    game.game_over = 1;
    KeyState[0x09] = 1;
    PollKeys();
    KeyState[0x09] = 0;
    EXPECT_EQ(backdrop_stage, -1);
    game.score = 99;
    DrawScene(MOVE_NONE, -1);
    EXPECT_EQ(backdrop_stage, 0);
    EXPECT_EQ(game.score, 0);
    ExpectVector(GL_LIGHT1, GL_DIFFUSE, {0, 0.9f, 0.6f, 1});
    EXPECT_EQ(backdrop_angle, 35.0f);
}

TEST_F(SceneDirector, ListsAreDeletedAndStartUpCanRunAgain)
{
    uint32_t tile = tile_list, sky = sky_sphere_list, cube = cube_frame_list, glyphs = font_base;
    DeleteSceneLists();
    EXPECT_FALSE(glIsList(tile));
    EXPECT_FALSE(glIsList(sky));
    EXPECT_FALSE(glIsList(cube));
    EXPECT_FALSE(glIsList(glyphs));
    EXPECT_FALSE(glIsList(glyphs + 255));
    EXPECT_EQ(quadric, nullptr);
    DeleteSceneLists();  // a second call finds nothing left to delete
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    // The whole shutdown, then a fresh window and start-up that work.
    ShutdownMainWindow();
    EXPECT_EQ(window_handle, nullptr);
    EXPECT_EQ(render_context, nullptr);
    EnsureGameWindow();
    EXPECT_TRUE(glIsList(tile_list));
    EXPECT_TRUE(glIsList(font_base + 128));
}
