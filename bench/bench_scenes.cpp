// Frames for the benchmark: the scene director with the game layer or the
// pause overlay, each frame starting from the same full board.
#include "bench/bench_scenes.h"

#include <vector>

#include "bench/bench_session.h"
#include "game/random.h"
#include "game/session.h"
#include "gfx/gl.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/main_loop.h"
#include "shell/window.h"

static int frame_number;
static bool hash_frames;
static uint64_t frame_hash = 14695981039346656037ull;  // FNV-1a offset basis

static void DrawOneFrame(int32_t level)
{
    RestoreFullBoardSession(level, frame_number++);
    DrawScene(MOVE_NONE, pause_state);
}

// FNV-1a over the whole back buffer: any pixel that changes changes the hash.
static void HashFrame()
{
    static uint8_t pixels[640 * 480 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    for (uint8_t byte : pixels)
        frame_hash = (frame_hash ^ byte) * 1099511628211ull;
}

// What the main loop's swap would do, and the read-back in checksum mode.
static void EndFrame()
{
    glFinish();  // the offscreen driver's swap does not flush: queued frames would pile up
    if (hash_frames)
        HashFrame();
    PresentFrame();
}

void StartBenchGame()
{
    game.level = 0;
    backdrop_stage = -1;
    DrawScene(MOVE_NONE, -1);  // the new-game reset: cleared board, first piece, fade-in
    EndFrame();
    SeedRandom(20240601);
    ResetGame();
    MakeFullBoardSession();
    TakeFrameHash();  // the first frame drew a piece drawn from the clock's seed
}

void HashEveryFrame()
{
    hash_frames = true;
}

uint64_t TakeFrameHash()
{
    uint64_t hash = frame_hash;
    frame_hash = 14695981039346656037ull;
    return hash;
}

void RunFrames(int32_t level, int count)
{
    for (int i = 0; i < count; i++) {
        DrawOneFrame(level);
        EndFrame();
    }
}

FrameTimes TimeFrames(int32_t level, int count)
{
    std::vector<double> wall, cpu;
    wall.reserve(count);
    cpu.reserve(count);
    for (int i = 0; i < count; i++) {
        glFinish();
        double start = NowMs(), cpu_start = CpuNowMs();
        DrawOneFrame(level);
        glFinish();
        wall.push_back(NowMs() - start);
        cpu.push_back(CpuNowMs() - cpu_start);
        EndFrame();
    }
    return {Summarise(wall), Summarise(cpu).median};
}

void RunUntilSkyDone()
{
    // The director counts sky_counter down once a frame of the level-1 scene.
    while (sky_counter > 0)
        RunFrames(1, 1);
}
