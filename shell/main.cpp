// Entry point: read the options, find data/, create the window, run the loop, shut down.
#include "gfx/bmp_reader.h"
#include "gfx/layout.h"
#include "shell/command_line.h"
#include "shell/console.h"
#include "shell/data_folder.h"
#include "shell/main_loop.h"
#include "shell/message_box.h"
#include "shell/score_file.h"
#include "shell/window.h"

// A damaged picture gets the reader's own words in a box, owned by the game's window;
// stderr also names the file, which the box does not.
static void ShowReaderFailure(const char* message, const char* file_name)
{
    ShowFileMessage(message, file_name, "Error", MESSAGE_ERROR, true);
}

int main(int argc, char** argv)
{
    AttachParentConsole();
    const StartChoice choice = ReadCommandLine(argc, argv, fullscreen);
    if (choice.print_scores) {
        OpenScoreFile();
        PrintScoreTable(stdout);
    }
    if (!choice.play)
        return choice.exit_code;
    OpenScoreFile();
    EnterDataFolder();
    SetReaderFailureReport(ShowReaderFailure);
    if (!CreateMainWindow("Tarn's OpenGL Framework", LAYER_WIDTH, LAYER_HEIGHT, 32, choice.fullscreen))
        return 1;  // creation has cleaned up and said why
    int exit_code = RunMainLoop();
    ShutdownMainWindow();
    return exit_code;
}
