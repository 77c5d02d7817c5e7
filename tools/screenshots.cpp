// Writes the README's pictures: whole frames of the game at levels 0, 1 and 2
// and paused, made by the game's own start-up and scene director on the
// offscreen driver, with a seeded game and a few rows already stacked.
// Usage: screenshots OUTPUT_FOLDER   (run from the repository root; PPM files)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/random.h"
#include "game/session.h"
#include "gfx/gl.h"
#include "scenes/scene_director.h"
#include "shell/main_loop.h"
#include "shell/window.h"

static bool WriteFrame(const std::string& path)
{
    static unsigned char pixels[640 * 480 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n640 480\n255\n");
    for (int y = 479; y >= 0; y--)
        std::fwrite(pixels + y * 640 * 3, 1, 640 * 3, file);
    return std::fclose(file) == 0;
}

// A stack with gaps, so that nothing clears while the pictures are taken.
static void StackSomeRows()
{
    static const char* const rows[5] = {
        "......XX...", "X..XXXXX.XX", "XX.XXXX.XXX", "XXXX.XXXXXX", "XXXXXXX.XXX",
    };
    for (int r = 0; r < 5; r++)
        for (int c = 0; c < BOARD_COLUMNS; c++)
            game.board[BoardIndex(c, 15 + r)] = rows[r][c] == 'X';
}

static void RunFrames(int count)
{
    for (int i = 0; i < count; i++) {
        DrawScene(i % 97 == 40 ? MOVE_ROTATE : MOVE_NONE, pause_state);  // a turn now and then
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!CreateMainWindow("Tarn's OpenGL Framework", 640, 480, 32, 0))
        return 1;
    DrawScene(MOVE_NONE, -1);  // the new-game reset
    SeedRandom(7);
    StackSomeRows();
    game.score = 1450;
    game.lines = 0;
    RunFrames(160);
    bool written = WriteFrame(folder + "/level0.ppm");
    game.level = 1;
    game.lines = 10;
    RunFrames(620);
    written = written && WriteFrame(folder + "/level1.ppm");
    game.level = 2;
    game.lines = 20;
    RunFrames(240);
    written = written && WriteFrame(folder + "/level2.ppm");
    pause_state = 1;
    RunFrames(1);
    written = written && WriteFrame(folder + "/pause.ppm");
    ShutdownMainWindow();
    if (!written)
        std::fprintf(stderr, "screenshots: cannot write into %s\n", folder.c_str());
    return written ? 0 : 1;
}
