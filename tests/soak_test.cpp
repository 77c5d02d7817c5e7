// The real main loop played for 12,000 frames under the sanitizers: random keys
// go through SDL's queue to the window procedure, one event per turn, and every
// frame runs RunFrame, the scene director and the game frame. Full bottom rows
// are laid every fourth frame up to level 35, so that the levels climb past 29
// before the stack tops out; Tab restarts. After every frame the game must be
// sound and GL must report no error; after the warm-up the heap must stay flat.
// For time: the frame clock moves 5 ms a read (the pacing wait ends at once),
// frames are drawn into a 64x48 corner, and each is waited for with glFinish as
// presenting it would (queued frames would otherwise pile up on the heap).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "game/piece_table.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/session.h"
#include "gfx/gl.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "tests/support.h"

#include <malloc.h>

// The sanitizer's own count of bytes in use, which leaves out the freed blocks it
// keeps aside; malloc's in a build without it (scripts/valgrind).
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));
static size_t HeapInUse()
{
    return __sanitizer_get_current_allocated_bytes ? __sanitizer_get_current_allocated_bytes() : mallinfo2().uordblks;
}

namespace {

uint64_t fake_counter;
uint32_t games_seeded;

std::string Unsound()
{
    const ActivePiece& piece = game.piece;
    if (piece.kind >= PIECE_KINDS || piece.rotation < 0 || piece.rotation > 3)
        return "piece kind or rotation out of range";
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++) {
            if (!PieceCell(piece.kind, piece.rotation, dx, dy))
                continue;
            const int column = piece.column + dx, row = piece.row + dy;
            if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS)
                return "a piece cell outside the board";
            if (game.board[BoardIndex(column, row)] && piece.row > 0 && !game.game_over)
                return "the piece moved onto filled cells";  // only an entry may lie on them
        }
    for (uint8_t cell : game.board)
        if (cell > 1)
            return "a board cell neither 0 nor 1";
    if (backdrop_stage == -1)
        return "";  // a restart has begun: the next frame resets the game
    if (game.level != game.lines / 10)
        return "the level does not follow the lines";
    if (game.score < 50 * game.lines)
        return "less score than the lines give";
    // It counts on through a game over; a level rise may leave it at the new period.
    if (!game.game_over && (game.drop_timer < 0 || game.drop_timer > GravityPeriod()))
        return "drop timer outside its period";
    if (pause_state != -1 && pause_state != 1)
        return "pause_state neither -1 nor 1";
    return "";
}

}  // namespace

TEST(Soak, TwelveThousandFramesOfTheRealLoopStaySoundAndFlat)
{
    OpenGameWindow();
    const FrameClockSource saved_source = frame_clock_source;
    uint32_t (*saved_seed_clock)() = seed_clock;
    frame_clock_source = {[]() -> uint64_t { return 1000; }, []() -> uint64_t { return fake_counter += 5; },
                          []() -> uint32_t { return (uint32_t)fake_counter; }, [](double) {}};
    seed_clock = [] { return games_seeded++; };
    glViewport(0, 0, 64, 48);
    EndGameForRestart();  // a new game, whatever the tests before left
    RequestNewGame();
    std::mt19937 dice(7);
    const SDL_Keycode keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_p, SDLK_TAB};
    // Per mille chances a frame that a key goes down and that it comes up: Down
    // most of the time, P rarely and briefly, Tab only once a game is over.
    const int press[6] = {60, 60, 60, 300, 3, 200}, lift[6] = {300, 300, 300, 100, 500, 200};
    bool held[6] = {}, was_over = false;
    int games = 0, top_level = 0, gl_errors = 0;
    size_t heap_at_warm = 0, heap_peak = 0;
    const char* frames_asked = std::getenv("BLOCKFALL_SOAK_FRAMES");  // scripts/valgrind plays a few hundred
    const int frames = frames_asked ? std::atoi(frames_asked) : 12000;
    for (int frame = 0; frame < frames; frame++) {
        for (int key = 0; key < 6; key++) {
            const int chance = held[key] ? lift[key] : key == 5 && !game.game_over ? 0 : press[key];
            if ((int)(dice() % 1000) < chance)
                PushKey(keys[key], held[key] = !held[key]);
        }
        if (frame % 4 == 0 && game.level < 35 && game.piece.row < BOARD_ROWS - MASK_SIDE)
            for (int column = 0; column < BOARD_COLUMNS; column++)
                game.board[BoardIndex(column, BOARD_ROWS - 1)] = 1;  // removed in the next frame
        const uint64_t clock_before = fake_counter;
        while (fake_counter == clock_before)
            ASSERT_TRUE(RunLoopIteration());
        glFinish();
        const std::string unsound = Unsound();
        ASSERT_EQ(unsound, "") << "frame " << frame;
        while (glGetError() != GL_NO_ERROR)
            gl_errors++;
        games += was_over && !game.game_over;
        was_over = game.game_over;
        top_level = std::max(top_level, game.level);
        // Warm once 3,000 frames and a whole game, its game over drawn with the table, are past.
        if (!heap_at_warm && frame >= 3000 && games >= 1)
            heap_at_warm = HeapInUse();
        else if (heap_at_warm)
            heap_peak = std::max(heap_peak, HeapInUse());
    }
    for (int key = 0; key < 6; key++)
        PushKey(keys[key], false);
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0 && RunLoopIteration()) {
    }
    pause_state = -1;
    glViewport(0, 0, 640, 480);
    frame_clock_source = saved_source;
    seed_clock = saved_seed_clock;
    std::printf("%d games, top level %d, heap %+ld bytes after the warm-up\n", games, top_level,
                (long)heap_peak - (long)heap_at_warm);
    EXPECT_EQ(gl_errors, 0);
    if (frames >= 12000) {
        EXPECT_GE(top_level, 30) << "the levels climbed";
        EXPECT_GE(games, 3) << "games ended and restarted";
    }
    EXPECT_LT(heap_peak - heap_at_warm, size_t(2) << 20) << "the heap grew after the warm-up";
}
