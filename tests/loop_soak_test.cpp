// The real main loop run for 100,000 frames, in four runs of 25,000 (in four
// processes, so that the suite can run them side by side): key changes go through SDL's event
// queue to the window procedure, one event per turn of the loop, and every
// frame through RunFrame, the scene director and the game frame, under the
// sanitizers of the test build. A scripted player (soak_player.h) climbs to
// level 40 and beyond, plays at random, pauses, loses and restarts. After every
// frame the board and piece must be sound and GL must report no error; after a
// warm-up, memory must stay flat.
//
// Three things differ from a player's game, all for time: the frame clock reads
// a counter that moves 5 ms a read (the pacing wait ends at once and never sleeps), the frames
// are drawn into a 64x48 viewport (the same calls for a hundredth of the fill),
// and each frame is waited for with glFinish, as presenting it to a window
// would (without that, the software renderer's queued frames pile up on the
// heap: a gigabyte in 5,000 frames). BLOCKFALL_SOAK_FRAMES=n makes each run n
// frames long: 100000 runs the whole soak in one (about four minutes here).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/piece_table.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/session.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/frame_clock.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/board_pictures.h"
#include "tests/gl_fixture.h"
#include "tests/soak_player.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ASAN 1
#endif
#endif
#ifdef SOAK_ASAN
// The sanitizer runtime's own interface (its header comes with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_print_memory_profile(size_t top_percent, size_t max_contexts);
#else
#include <malloc.h>
#endif

namespace {

const long run_frames = 25000;  // four runs of it: 100,000 frames
const long heap_step = 1L << 20;   // the least growth of the two halves after the warm-up
const long heap_drift = 8L << 20;  // all growth after the warm-up
#ifdef SOAK_ASAN
// AddressSanitizer keeps up to 256 MiB of freed blocks aside before reusing
// them, so resident memory drifts by that much with no leak at all.
const long resident_drift = 256L << 20;
#else
const long resident_drift = 16L << 20;
#endif
const long warm_up_frames = 5000;  // a full stack, the first climb to level 40, play there

// Each new game seeds the generator from the time; here from a count of games,
// so that a run plays the same games however fast the machine runs it.
uint32_t soak_games_seeded;
uint32_t SoakSeedClock() { return soak_games_seeded++; }

uint64_t fake_counter;
uint64_t FakeFrequency() { return 1000; }
uint64_t FakeCounter() { return fake_counter += 5; }
uint32_t FakeMilliseconds() { return (uint32_t)fake_counter; }
void NoSleep(double) {}

// Bytes the program holds on the heap; under AddressSanitizer its own count,
// which leaves out the freed blocks it keeps aside for a while.
size_t HeapInUse()
{
#ifdef SOAK_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

void PrintHeapProfile()
{
#ifdef SOAK_ASAN
    __sanitizer_print_memory_profile(90, 8);
#endif
}

long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// ---- the loop, turned from outside ----

const SDL_Keycode key_codes[KEY_COUNT] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_p, SDLK_TAB, SDLK_ESCAPE};


// Every queued event, one per loop turn. (SDL keeps an internal sentinel,
// 0x7F00, in the queue: not counted.)
void DrainEvents()
{
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, 0x7EFF) > 0)
        RunLoopIteration();
}

Keys keys_sent;

void ReleaseAllKeys()
{
    for (int key = 0; key < KEY_COUNT; key++)
        PushKey(key_codes[key], false);
    keys_sent = Keys{};
    DrainEvents();
}

// One frame of the game's own loop: the keys that changed are queued as events
// and the loop turns, one event a turn, until a frame has run. As in the game,
// SDL may end a pass over its queue before the events that came last, which
// then reach the window procedure before the next frame. Only a frame reads the
// frame clock. False when the frame ends the game.
bool PlayFrame(const Keys& keys)
{
    for (int key = 0; key < KEY_COUNT; key++)
        if (keys.held[key] != keys_sent.held[key])
            PushKey(key_codes[key], keys.held[key]);
    keys_sent = keys;
    const uint64_t clock_before = fake_counter;
    while (fake_counter == clock_before)
        if (!RunLoopIteration())
            return false;
    glFinish();
    return true;
}

// ---- what must hold after every frame ----

std::string BrokenBoard()
{
    for (uint8_t cell : game.board)
        if (cell > 1)
            return "a board cell holds neither 0 nor 1";
    for (int row = 0; row < BOARD_ROWS; row++) {
        int filled = 0;
        for (int column = 0; column < BOARD_COLUMNS; column++)
            filled += game.board[column * BOARD_ROWS + row];
        if (filled == BOARD_COLUMNS)
            return "a full row stayed on the board";
    }
    return "";
}

std::string BrokenPiece(bool overlap_excused)
{
    const ActivePiece& piece = game.piece;
    if (piece.kind > 6 || piece.rotation < 0 || piece.rotation > 3)
        return "piece kind or rotation out of range";
    for (int dx = 0; dx < 4; dx++)
        for (int dy = 0; dy < 4; dy++) {
            if (!PieceCell(piece.kind, piece.rotation, dx, dy))
                continue;
            int column = piece.column + dx, row = piece.row + dy;
            if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS)
                return "a piece cell lies outside the board";
        }
    // An entry over filled cells lands at its first gravity step, where it entered.
    if (PieceOverlapsBoard() && !(overlap_excused && piece.row == 0))
        return "the piece moved onto filled cells";
    if (game.drop_timer < 0 || game.drop_timer >= GravityPeriod())
        return "drop_timer outside its period";
    return "";
}

std::string BrokenLoopState(int level_before)
{
    if (pause_state != -1 && pause_state != 1)
        return "pause_state neither -1 nor 1";
    if (MoveCommand != 0 && MoveCommand != 1 && MoveCommand != 2 && MoveCommand != 3 && MoveCommand != 5)
        return "MoveCommand holds a value no key gives";
    // A restart (Tab, taken after the frame) sets level 0 and backdrop_stage -1
    // at once; the next frame's new game clears the rest.
    if (backdrop_stage == -1)
        return game.level == 0 ? "" : "a restart left the level standing";
    if (game.level != game.lines / 10)
        return "level does not follow the rows removed";
    if (backdrop_stage != std::min(level_before, 2))
        return "backdrop_stage does not follow the level the frame began with";
    return "";
}

std::string BrokenInvariant(bool overlap_excused, int level_before)
{
    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        return "GL error " + std::to_string(error);
    std::string broken = BrokenBoard();
    if (broken.empty())
        broken = BrokenLoopState(level_before);
    if (broken.empty() && !game.game_over && backdrop_stage != -1)
        broken = BrokenPiece(overlap_excused);
    return broken;
}

std::string BoardText()
{
    std::string text;
    for (int row = 0; row < BOARD_ROWS; row++) {
        for (int column = 0; column < BOARD_COLUMNS; column++) {
            int dx = column - game.piece.column, dy = row - game.piece.row;
            bool piece = !game.game_over && PieceCell(game.piece.kind, game.piece.rotation, dx, dy);
            text += piece ? '#' : game.board[column * BOARD_ROWS + row] ? 'X' : '.';
        }
        text += '\n';
    }
    return text;
}

struct Tally {
    long frames = 0, heavy_frames = 0, paused_frames = 0, landings = 0, rows_removed = 0;
    long new_games = 0, game_overs = 0, pause_toggles = 0;
    bool level_seen[41] = {};
    int highest_level = 0;
    double seconds = 0;
    // From the end of the warm-up to the end, and over each half of that stretch.
    long heap_growth = 0, heap_first_half = 0, heap_second_half = 0, resident_growth = 0;
};

class LoopSoak : public GlTest {
protected:
    FrameClockSource saved_clock = frame_clock_source;
    uint32_t (*saved_seed_clock)() = seed_clock;

    void SetUp() override
    {
        frame_clock_source = {FakeFrequency, FakeCounter, FakeMilliseconds, NoSleep};
        StartFrameClock();
        seed_clock = SoakSeedClock;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        ReleaseAllKeys();
        PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 64, 48);
        DrainEvents();
        pause_state = -1;
        pause_key_latch = 0;
        MoveCommand = MOVE_NONE;
        game.level = 0;
        game.game_over = 0;
        backdrop_stage = -1;  // a new game on the first frame
    }

    void TearDown() override
    {
        ReleaseAllKeys();
        PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
        DrainEvents();
        frame_clock_source = saved_clock;
        StartFrameClock();
        seed_clock = saved_seed_clock;
        pause_state = -1;
    }
};

// Plays one run from the player's seed and checks it as it goes; tallies it.
void Soak(unsigned seed, long frames, Tally& tally)
{
    SoakPlayer player(seed);
    soak_games_seeded = 1000u * seed;
    // The heap at three points: the least over 100 frames from each, so that
    // the driver's buffers of the moment do not count.
    const long warm_up = std::min(warm_up_frames, frames / 5), half_way = (warm_up + frames) / 2;
    const long heap_points[3] = {warm_up, half_way, frames - 100};
    size_t heap_least[3] = {SIZE_MAX, SIZE_MAX, SIZE_MAX};
    long resident_after_warm_up = ResidentBytes();
    bool overlap_excused = false;
    auto start = std::chrono::steady_clock::now();

    for (long frame = 0; frame < frames; frame++) {
        Keys keys = player.NextKeys();
        const int drops = sound_play_count[SOUND_DROP], lines = game.lines, level_before = game.level;
        const int32_t pause_before = pause_state, stage_before = backdrop_stage;
        const bool over_before = game.game_over;
        ASSERT_TRUE(PlayFrame(keys)) << "a frame without Esc ended the game, frame " << frame;

        const bool new_game = stage_before == -1, landed = sound_play_count[SOUND_DROP] != drops;
        if (new_game)
            player.NewGame();
        if (landed)
            player.NewPiece();
        if (new_game || landed)
            // A new piece may enter over filled cells, or have rows moved down onto
            // it in the frame it enters: only then may it overlap them.
            overlap_excused = PieceOverlapsBoard();
        tally.frames++;
        tally.heavy_frames += level_before < 2;
        tally.paused_frames += pause_state == 1;
        tally.pause_toggles += pause_state != pause_before;
        tally.landings += landed;
        tally.rows_removed += new_game ? 0 : std::max(0, game.lines - lines);
        tally.new_games += new_game;
        tally.game_overs += game.game_over && !over_before;
        tally.level_seen[std::min(game.level, 40)] = true;
        tally.highest_level = std::max(tally.highest_level, game.level);

        std::string broken = BrokenInvariant(overlap_excused, level_before);
        if (!broken.empty())
            FAIL() << broken << " at frame " << frame << ", level " << level_before << " -> " << game.level
                   << ", backdrop_stage " << backdrop_stage << ", player phase " << player.phase << "\n"
                   << BoardText();
        if (frame == warm_up)
            resident_after_warm_up = ResidentBytes();
        for (int point = 0; point < 3; point++)
            if (frame >= heap_points[point] && frame < heap_points[point] + 100)
                heap_least[point] = std::min(heap_least[point], HeapInUse());
    }
    tally.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    tally.heap_growth = (long)heap_least[2] - (long)heap_least[0];
    tally.heap_first_half = (long)heap_least[1] - (long)heap_least[0];
    tally.heap_second_half = (long)heap_least[2] - (long)heap_least[1];
    tally.resident_growth = ResidentBytes() - resident_after_warm_up;
}

void Report(const Tally& tally)
{
    std::printf("soak: %ld frames in %.0f s (%.2f ms a frame), %ld of them at levels 0 and 1, %ld paused;\n"
                "soak: %ld landings, %ld rows removed, %ld game overs, %ld new games, %ld pause toggles, "
                "highest level %d;\n"
                "soak: after warm-up, heap %+ld bytes (%+ld, then %+ld), resident %+ld KiB (now %ld MiB)\n",
                tally.frames, tally.seconds, 1000 * tally.seconds / tally.frames, tally.heavy_frames,
                tally.paused_frames, tally.landings, tally.rows_removed, tally.game_overs, tally.new_games,
                tally.pause_toggles, tally.highest_level, tally.heap_growth, tally.heap_first_half,
                tally.heap_second_half, tally.resident_growth / 1024,
                ResidentBytes() >> 20);
}

void SoakAndCheck(unsigned seed)
{
    long frames = run_frames;
    if (const char* wanted = std::getenv("BLOCKFALL_SOAK_FRAMES"))
        frames = std::max(std::atol(wanted), 100L);
    Tally tally;
    Soak(seed, frames, tally);
    if (::testing::Test::HasFatalFailure())
        return;
    Report(tally);

    // Esc ends the loop: the frame in which it is seen reports the end.
    Keys escape;
    escape.held[KEY_ESCAPE] = true;
    EXPECT_FALSE(PlayFrame(escape));

    // What a whole run must have played (a short run, as under valgrind, only climbs).
    if (frames >= run_frames) {
        for (int level = 0; level <= 40; level++)
            EXPECT_TRUE(tally.level_seen[level]) << "level " << level << " was never played";
        EXPECT_GE(tally.new_games, 2);
        EXPECT_GE(tally.game_overs, 1);
        EXPECT_GE(tally.pause_toggles, 20);
    }
    EXPECT_GT(tally.rows_removed, 0);
    // The game allocates nothing once running, but the software renderer's own
    // working set moves by 2 to 3 MiB with what is on screen (seen after the
    // warm-up: -2.4 then +2.6 MiB, or +2.7 then 0), while a leak grows the heap
    // in both halves alike. So one half must stay within 1 MiB, and the whole
    // within 8 MiB: a leak of 400 bytes a frame breaks that whatever the driver
    // does, one of 100 bytes when it holds still.
    const bool heap_flat = std::min(tally.heap_first_half, tally.heap_second_half) < heap_step &&
                           tally.heap_growth < heap_drift;
    EXPECT_TRUE(heap_flat) << "heap growth after the warm-up: " << tally.heap_first_half << " then "
                           << tally.heap_second_half << " bytes";
    if (!heap_flat)
        PrintHeapProfile();
    EXPECT_LT(tally.resident_growth, resident_drift);
}

}  // namespace

TEST_F(LoopSoak, FirstQuarterOfPlayKeepsTheGameSoundAndMemoryFlat) { SoakAndCheck(1); }
TEST_F(LoopSoak, SecondQuarterOfPlayKeepsTheGameSoundAndMemoryFlat) { SoakAndCheck(2); }
TEST_F(LoopSoak, ThirdQuarterOfPlayKeepsTheGameSoundAndMemoryFlat) { SoakAndCheck(3); }
TEST_F(LoopSoak, FourthQuarterOfPlayKeepsTheGameSoundAndMemoryFlat) { SoakAndCheck(4); }
