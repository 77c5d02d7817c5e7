// The frame-time benchmark: whole frames drawn headless at 640x480 on the
// software renderer, with llvmpipe's default threads and with one thread
// (each in a child process, since llvmpipe reads its thread count once).
// Usage: frame_bench [--frames N] [--single | --profile LEVEL | --checksums]
//   --single     one table, with the environment's LP_NUM_THREADS
//   --profile    frames of one level only (0, 1 or 2), for a profiler
//   --checksums  a hash of every frame's pixels per stretch, instead of times:
//                a change that must not alter any pixel must not alter these
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "bench/bench_environment.h"
#include "bench/bench_scenes.h"
#include "bench/bench_session.h"
#include "bench/bench_timing.h"
#include "bench/bench_wait.h"
#include "game/rules.h"
#include "gfx/gl.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/main_loop.h"
#include "shell/window.h"

namespace {

const double frame_budget_ms = 10.0;

struct SceneResult {
    const char* name;
    FrameTimes ms;
    uint64_t pixels;  // hash of this stretch's frames, the untimed ones before it included
};

// The game as a player meets it: the fade-in, level 0, a pause, the level-1
// hand-over and scene, the sky brightening to its end, level 2's sky fade,
// then its ring and fans. Frames stretches are timed (and hashed in checksum mode).
std::vector<SceneResult> RunScenes(int frames)
{
    std::vector<SceneResult> scenes;
    StartBenchGame();
    pause_state = -1;
    RunFrames(0, 120);  // past the 100-frame fade-in
    scenes.push_back({"level 0, full board, popup", TimeFrames(0, frames), TakeFrameHash()});
    pause_state = 1;
    scenes.push_back({"pause overlay over level 0", TimeFrames(0, frames), TakeFrameHash()});
    pause_state = -1;
    RunFrames(1, 300);  // hand-over, relight, the cube frame flown in
    scenes.push_back({"level 1, full board, popup", TimeFrames(1, frames), TakeFrameHash()});
    RunUntilSkyDone();
    RunFrames(2, 60);  // the sky fade; then the ring and fans
    scenes.push_back({"level 2, full board, popup", TimeFrames(2, frames), TakeFrameHash()});
    return scenes;
}

// Microseconds per call of one rule step, from batches of 100 calls, less
// the cost of restoring the session before each call.
double RuleStepMicroseconds(void (*restore)(), void (*step)())
{
    std::vector<double> with_step, restore_only;
    for (int sample = 0; sample < 201; sample++) {
        double start = NowMs();
        for (int i = 0; i < 100; i++)
            restore(), step();
        with_step.push_back(NowMs() - start);
        start = NowMs();
        for (int i = 0; i < 100; i++)
            restore();
        restore_only.push_back(NowMs() - start);
    }
    return (Summarise(with_step).median - Summarise(restore_only).median) * 10.0;  // ms per 100 -> us
}

void RestoreFullBoardAtLevel0()
{
    RestoreFullBoardSession(0, 0);
}

// Start-up made once more in the same context, everything of the first one
// released first: textures, lists, quadric, sound. Median of five.
double InitSceneAgainMs()
{
    std::vector<double> samples;
    for (int i = 0; i < 5; i++) {
        DeleteSceneLists();
        glDeleteTextures(TEXTURE_SLOT_COUNT, texture_set);
        CloseSoundSet();
        double start = NowMs();
        InitScene();
        glFinish();
        samples.push_back(NowMs() - start);
    }
    return Summarise(samples).median;
}

std::string ThreadSetting()
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    if (threads)
        return threads;
    return "default (" + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " CPUs)";
}

std::string LoadAverage()
{
    char text[64] = "?";
    if (FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, file))
            std::strcpy(text, "?");
        std::fclose(file);
    }
    text[std::strcspn(text, "\n")] = 0;
    return text;
}

void PrintHeader(int frames)
{
    std::printf("frame_bench: 640x480, %s, LP_NUM_THREADS=%s, %d frames a scene, load average %s\n",
                (const char*)glGetString(GL_RENDERER), ThreadSetting().c_str(), frames, LoadAverage().c_str());
}

// Returns the worst median.
double PrintScenes(const std::vector<SceneResult>& scenes)
{
    std::printf("  %-40s %8s %8s %8s\n", "frame (DrawScene, glFinish), ms", "median", "p99", "cpu");
    double worst = 0;
    for (const SceneResult& scene : scenes) {
        std::printf("  %-40s %8.2f %8.2f %8.2f\n", scene.name, scene.ms.wall_ms.median, scene.ms.wall_ms.p99,
                    scene.ms.cpu_median_ms);
        worst = scene.ms.wall_ms.median > worst ? scene.ms.wall_ms.median : worst;
    }
    return worst;
}

int RunTimed(int frames, double startup_ms)
{
    std::vector<SceneResult> scenes = RunScenes(frames);
    GLenum gl_error = glGetError();
    double rules_us = RuleStepMicroseconds(RestoreFullBoardAtLevel0, [] { RunRulesFrame(MOVE_NONE); });
    double removal_us = RuleStepMicroseconds(RestoreFullRowsSession, RemoveFullRows);
    double peak_mb = PeakMemoryMb();
    double init_ms = InitSceneAgainMs();
    const WaitResult spin = MeasureFrameWait(false, frames), sleep = MeasureFrameWait(true, frames);

    PrintHeader(frames);
    double worst = PrintScenes(scenes);
    std::printf("  %-40s %8.3f us\n", "RunRulesFrame, full board", rules_us);
    std::printf("  %-40s %8.3f us\n", "RemoveFullRows, four full rows", removal_us);
    std::printf("  %-40s %8.1f ms\n", "CreateMainWindow with InitScene, first", startup_ms);
    std::printf("  %-40s %8.1f ms\n", "InitScene again, median of 5", init_ms);
    std::printf("  %-40s %8.1f MB\n", "peak memory (maxrss)", peak_mb);
    std::printf("  %-40s %8s %8s\n", "frame wait, nothing drawn", "spin", "sleep");
    std::printf("  %-40s %8.2f %8.2f\n", "  interval median, ms", spin.interval_ms.median, sleep.interval_ms.median);
    std::printf("  %-40s %8.2f %8.2f\n", "  interval 99th percentile, ms", spin.interval_ms.p99, sleep.interval_ms.p99);
    std::printf("  %-40s %7.0f%% %7.1f%%\n", "  CPU time, share of the wait", 100 * spin.cpu_share,
                100 * sleep.cpu_share);
    std::printf("  %-40s %8s\n", "GL error", gl_error == GL_NO_ERROR ? "none" : "YES");
    std::printf("  figure of merit: worst median %.2f ms / %.0f ms budget = %.2f\n", worst, frame_budget_ms,
                worst / frame_budget_ms);
    return gl_error == GL_NO_ERROR ? 0 : 1;
}

int RunChecksums(int frames)
{
    HashEveryFrame();
    std::vector<SceneResult> scenes = RunScenes(frames);
    GLenum gl_error = glGetError();
    PrintHeader(frames);
    for (const SceneResult& scene : scenes)
        std::printf("  %-40s %016" PRIx64 "\n", scene.name, scene.pixels);
    std::printf("  %-40s %8s\n", "GL error", gl_error == GL_NO_ERROR ? "none" : "YES");
    return gl_error == GL_NO_ERROR ? 0 : 1;
}

// Frames of one level only, for a profiler that runs the program a hundred
// times slower: the fade-in, the hand-over, the cube frame's flight and the
// sky fade are skipped by setting their counters to their ends.
int RunProfile(int32_t level, int frames)
{
    StartBenchGame();
    fade_in_counter = 0;
    pause_state = -1;
    if (level >= 1) {
        RunFrames(1, 1);  // the level-1 start
        fade_out_counter = 0;
        RunFrames(1, 1);  // the relight
        frame_depth = -2;
    }
    if (level >= 2) {
        RunFrames(2, 1);  // the level-2 start
        sky_counter = 50;
        ring_fade = 1.01f;
    }
    RunFrames(level, 3);  // the software renderer compiles its shaders on first use
    FrameTimes times = TimeFrames(level, frames);
    std::printf("level %d, full board, popup: median %.2f ms (cpu %.2f ms) over %d frames\n", level,
                times.wall_ms.median, times.cpu_median_ms, frames);
    return 0;
}

enum Mode { MODE_TIMED, MODE_CHECKSUMS, MODE_PROFILE };

int RunSingle(Mode mode, int frames, int32_t profile_level)
{
    PrepareBenchEnvironment();
    if (chdir(BLOCKFALL_SOURCE_DIR) != 0) {  // data/ is read from the working directory
        std::perror(BLOCKFALL_SOURCE_DIR);
        return 1;
    }
    double start = NowMs();
    if (!CreateMainWindow("Tarn's OpenGL Framework", 640, 480, 32, 0))
        return 1;
    double startup_ms = NowMs() - start;
    int result = mode == MODE_CHECKSUMS ? RunChecksums(frames)
                 : mode == MODE_PROFILE ? RunProfile(profile_level, frames)
                                        : RunTimed(frames, startup_ms);
    ShutdownMainWindow();
    return result;
}

// One child per thread setting; each prints its own table.
int RunChild(const std::string& frames, const char* threads)
{
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        if (threads)
            setenv("LP_NUM_THREADS", threads, 1);
        else
            unsetenv("LP_NUM_THREADS");
        execl("/proc/self/exe", "frame_bench", "--single", "--frames", frames.c_str(), (char*)nullptr);
        std::perror("/proc/self/exe");
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 300;
    bool single = false;
    Mode mode = MODE_TIMED;
    int32_t profile_level = 0;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--single") == 0)
            single = true;
        else if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc)
            single = true, mode = MODE_PROFILE, profile_level = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--checksums") == 0)
            single = true, mode = MODE_CHECKSUMS;
        else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::atoi(argv[++i]);
    }
    if (frames < 1)
        frames = 1;
    if (single)
        return RunSingle(mode, frames, profile_level);
    int failures = RunChild(std::to_string(frames), nullptr);
    failures += RunChild(std::to_string(frames), "1");
    return failures ? 1 : 0;
}
