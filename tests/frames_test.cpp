// The drawn game in the game's real window: the scripted games through the real
// game frame give the rules' own trace, with the sounds played; and moments of
// real games, played through the scene director from a new game, against
// golden frames. Every frame raises no GL error and, once warm, allocates nothing.
#include <SDL.h>

#include <algorithm>
#include <vector>

#include "audio/sound_effects.h"
#include "game/game_frame.h"
#include "game/random.h"
#include "game/session.h"
#include "gfx/gl.h"
#include "gfx/layout.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/score_file.h"
#include "shell/window.h"
#include "tests/heap.h"
#include "tests/support.h"
#include "tests/trace.h"

namespace {

int gl_errors, pause_for_frame = -1;
uint64_t warm_allocations;
bool warm;

void CheckFrame(uint64_t allocations_before)
{
    while (glGetError() != GL_NO_ERROR)
        gl_errors++;
    if (warm)
        warm_allocations += AllocationCount() - allocations_before;
    warm = true;
}

// The slots the game frame played since the last call, as trace letters.
std::string SoundsPlayed()
{
    static int heard[SOUND_SLOT_COUNT];
    std::string letters;
    for (int slot = SOUND_DROP; slot <= SOUND_EXPLODE; slot++)
        for (; heard[slot] < sound_play_count[slot]; heard[slot]++)
            letters += "dcux"[slot];
    return letters;
}

PlayerCommand DrawnGameFrame(PlayerCommand command)
{
    const uint64_t before = AllocationCount();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    command = GameFrame(command, BackdropFades{-1.0, -1.0});
    CheckFrame(before);
    return command;
}

PlayerCommand DirectorFrame(PlayerCommand command)
{
    const uint64_t before = AllocationCount();
    command = DrawScene(command, pause_for_frame);
    CheckFrame(before);
    return command;
}

struct Moment {
    const char* name;
    const char* steps;    // from the first frame of a new game, or on from the moment before
    bool paused = false;  // the last frame drawn paused
    bool goes_on = false;
};

// Each step of the backdrops and of the board, and the hand-overs between levels.
const Moment moments[] = {
    {"start", ""},
    {"level0_under_way", "N130 L20"},  // the water has scrolled past its wrap
    {"popup_and_shake", "N1 kind=0 fill=15-15:##.......## fill=16-19:####.###### lines=3 D24 N12"},
    {"single_row_popup", "N1 kind=0 fill=19-19:####.###### D24 N40"},  // the popup fading
    {"pause", "N30 R20", true},  // the moves, then one frame paused
    {"game_over", "N1 fill=3-19:.....###### D60"},
    {"level1_fading_out", "N1 level=1 N40"},
    {"level1_under_way", "N235", false, true},  // the glow has turned, the frame flies in
    {"level2_sky_fading", "N316 level=2 N20", false, true},
    {"level2_ring_and_fans", "N60", false, true},
    {"level3", "level=3 N30", false, true},
};

// A table of ten for the game-over screen, the game just finished first.
void PrepareScoreTable()
{
    score_table = ScoreTable{};
    const char* names[] = {"ann", "bob", "Zo\xC3\xAB", "a name too long to show", "dee", "eve", "fay", "gus", "hal",
                           "ivy"};
    for (int i = 0; i < SCORE_PLACES; i++) {
        ScoreEntry entry = {1000000 - 99999 * i, 200 - 10 * i, 20 - i, 1765153140 + i, {}};
        SetPlayerName(&entry, names[i]);
        EnterScore(&score_table, entry);
    }
    finished_game_place = 0;
}

}  // namespace

// The frames nobody looks at are drawn into a corner: the same calls and state
// for a hundredth of the fill.
void PlayMoment(const Moment& moment)
{
    if (!moment.goes_on) {
        game = GameSession{};  // as the program starts, whatever the tests before left
        fade_out_counter = 0;
        RequestNewGame();
        warm = false;
    }
    glViewport(0, 0, 64, 48);
    PlayScriptedGame({moment.name, moment.steps}, DirectorFrame, [] { return std::string(); });
    glViewport(0, 0, 640, 480);
    pause_for_frame = moment.paused ? 1 : -1;
    DirectorFrame(MOVE_NONE);
    pause_for_frame = -1;
}

// These frames run with the context released, so every GL call lands in the
// dispatcher's empty stubs while the game's own code all runs for real: the
// pixels are the golden moments' business, and llvmpipe allocates for every
// draw it queues, which is the driver's business, not the game's.
TEST(Frames, ScriptedGamesDrawnFollowTheRulesTraceWithTheirSounds)
{
    OpenGameWindow();
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, nullptr), 0);
    SoundsPlayed();
    for (int i = 0; i < scripted_game_count; i++)
        EXPECT_EQ(PlayScriptedGame(scripted_games[i], DrawnGameFrame, SoundsPlayed), GoldenTrace(scripted_games[i].name))
            << scripted_games[i].name;
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, render_context), 0);
}

TEST(Frames, GamesAndMomentsAllocateNothingOnceWarm)
{
    if (!AllocationsCounted())
        GTEST_SKIP() << "allocations are counted in a sanitized build only";
    OpenGameWindow();
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, nullptr), 0);
    warm_allocations = 0, warm = false;
    for (int i = 0; i < scripted_game_count; i++)
        PlayScriptedGame(scripted_games[i], DrawnGameFrame, SoundsPlayed);
    for (const Moment& moment : moments)
        PlayMoment(moment);
    PrepareScoreTable();
    const uint64_t before = AllocationCount();
    DrawGameOverLayer(-1);
    warm_allocations += AllocationCount() - before;
    ASSERT_EQ(SDL_GL_MakeCurrent(window_handle, render_context), 0);
    EXPECT_EQ(warm_allocations, 0u);
}

// The best games beside the board at a game over, the new one marked, and nothing of them
// while the game runs or is paused: the board, its border and the score display as ever.
TEST(Frames, GameOverShowsTheBestGamesBesideTheBoard)
{
    OpenGameWindow();
    uint32_t (*saved_clock)() = seed_clock;
    seed_clock = [] { return 1234u; };
    PrepareScoreTable();
    for (const Moment& moment : moments)
        if (moment.name == std::string("game_over"))
            PlayMoment(moment);
    DrawGameOverLayer(-1);
    EXPECT_TRUE(MatchesGolden("game_over_table"));
    for (const bool paused : {true, false}) {
        if (!paused)
            std::fill_n(game.board, BOARD_CELLS, 0), game.game_over = 0;  // room to fall: the game runs on
        pause_for_frame = paused ? 1 : -1;
        DirectorFrame(MOVE_NONE);
        const std::vector<uint8_t> frame(ReadFrame(), ReadFrame() + 640 * 480 * 3);
        DrawGameOverLayer(pause_for_frame);
        EXPECT_TRUE(std::equal(frame.begin(), frame.end(), ReadFrame())) << (paused ? "paused" : "running");
    }
    pause_for_frame = -1;
    score_table = ScoreTable{}, finished_game_place = -1;
    seed_clock = saved_clock;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Frames, GoldenMomentsOfRealGames)
{
    OpenGameWindow();
    uint32_t (*saved_clock)() = seed_clock;
    seed_clock = [] { return 1234u; };
    gl_errors = 0, warm_allocations = 0;
    for (const Moment& moment : moments) {
        PlayMoment(moment);
        EXPECT_TRUE(MatchesGolden(moment.name)) << moment.name;
    }
    seed_clock = saved_clock;
    EXPECT_EQ(gl_errors, 0);
}

// Whole meshes, hidden parts included: the sky sphere and the cube frame, whose
// lattice has squares no view shows.
TEST(Frames, MeshListsHoldEveryTriangle)
{
    OpenGameWindow();
    static GLfloat feedback[65536];
    const struct {
        uint32_t list;
        int triangles;
    } meshes[] = {{sky_sphere_list, 960}, {cube_frame_list, 154}};
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);  // nothing clipped
    glMatrixMode(GL_MODELVIEW);
    for (const auto& mesh : meshes) {
        glFeedbackBuffer(65536, GL_2D, feedback);
        glRenderMode(GL_FEEDBACK);
        glDisable(GL_CULL_FACE);
        glCallList(mesh.list);
        const GLint used = glRenderMode(GL_RENDER);
        int triangles = 0;
        for (GLint at = 0; at < used; at += 2 + 2 * (int)feedback[at + 1])
            triangles += feedback[at] == GL_POLYGON_TOKEN && feedback[at + 1] == 3;
        EXPECT_EQ(triangles, mesh.triangles);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// The fades multiply what the backdrop left, here plain white, and nothing the
// board layer draws over it.
TEST(Frames, FadesDarkenTheBackdropAloneByTheirFactors)
{
    OpenGameWindow();
    const struct {
        BackdropFades fades;
        int backdrop;
    } cases[] = {{{-1, -1}, 255}, {{-1, 0}, 0}, {{-1, 0.5}, 128}, {{0.25, -1}, 64}, {{0.5, 0.5}, 64}};
    glClearColor(1, 1, 1, 1);
    int border = -1;
    for (const auto& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        game = GameSession{};
        GameFrame(MOVE_NONE, c.fades);
        const uint8_t* frame = ReadFrame();
        EXPECT_NEAR(FramePixel(frame, 100, 100)[1], c.backdrop, 1) << c.fades.out << " " << c.fades.in;
        const int border_now = FramePixel(frame, BOARD_LEFT - 8, BOARD_TOP + 100)[1];
        EXPECT_EQ(border_now, border < 0 ? border = border_now : border) << "the border at full brightness";
    }
    glClearColor(0, 0, 0, 1);
    game = GameSession{};
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
