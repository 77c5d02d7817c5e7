// The shell: real SDL events (keys, a virtual pad, a window event) through the game's own loop in
// its own window; the frame wait on a scripted clock; the data folder search and the command line.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "game/session.h"
#include "scenes/backdrop_state.h"
#include "shell/command_line.h"
#include "shell/data_folder.h"
#include "shell/frame_clock.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/support.h"

namespace {

// Every queued event to the loop, one a turn, and no frame: the poll sentinel SDL may leave ahead
// of an event (0x7F00, past the range peeked) would end that turn's poll early and run one.
void Drain()
{
    for (SDL_PumpEvents(); SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, 0x7EFF) > 0;)
        SDL_FlushEvent(0x7F00), RunLoopIteration();
}

void Key(SDL_Keycode key, bool down, uint16_t modifiers = KMOD_NONE)
{
    SDL_Event event = {down ? SDL_KEYDOWN : SDL_KEYUP};
    event.key.keysym.sym = key, event.key.keysym.mod = modifiers, event.key.windowID = SDL_GetWindowID(window_handle);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    Drain();
}
long Held() { return std::count(KeyState, KeyState + 256, 1); }

struct Kept {  // a global, put back as found when the test ends
    void* place;
    std::string was;
    template <typename T> Kept(T& global) : place(&global), was((const char*)&global, sizeof global) {}
    ~Kept() { std::memcpy(place, was.data(), was.size()); }
};

// The game's window, its loop's globals kept, no key held or command pending, the game running, a virtual
// pad plugged in. The window never has the focus: SDL holds back a pad's events then, unless hinted.
struct Shell : ::testing::Test {
    const bool window_open = (OpenGameWindow(), window_handle != nullptr);
    Kept kept[12] = {KeyState, key_holders, game, MoveCommand, pause_state, pause_key_latch, backdrop_stage,
                     window_active, frame_clock, frame_clock_source, frame_clock_starts, frame_start_ms};
    const char *hint = SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, *hint_found = SDL_GetHint(hint);
    const std::string hint_value = hint_found ? hint_found : "";
    int pad_index = -1;
    SDL_Joystick* pad = nullptr;
    static inline uint64_t quarters, reads;  // a scripted clock: a read moves it a quarter millisecond,
    static inline double slept_ms;            // a sleep by the time asked
    static inline uint32_t timer_ms;          // and the millisecond timer
    void SetUp() override
    {
        ASSERT_TRUE(window_open);
        SDL_SetHint(hint, "1");
        pad_index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
        Drain();
        std::memset(KeyState, 0, 256), std::memset(key_holders, 0, 256);
        MoveCommand = MOVE_NONE, pause_state = -1, pause_key_latch = 0;
        pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(pad_index));
        ASSERT_NE(pad, nullptr) << "the game did not open the pad: " << SDL_GetError();
    }
    void TearDown() override
    {
        SDL_JoystickDetachVirtual(pad_index), Drain();  // refused if the test unplugged it already
        hint_found ? SDL_SetHint(hint, hint_value.c_str()) : SDL_ResetHint(hint);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    static const int axis = 100;  // inputs from here on are axes, the rest buttons
    void Pad(int input, int value)
    {
        ASSERT_EQ(input < axis ? SDL_JoystickSetVirtualButton(pad, input, (Uint8)value)
                               : SDL_JoystickSetVirtualAxis(pad, input - axis, (Sint16)value), 0);
        Drain();
    }
};

}  // namespace

TEST_F(Shell, HeldKeysBecomeTheCommandDownOverUpOverRightOverLeft)
{
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0) << "the window swaps without waiting: pacing alone sets the speed";
    const struct { std::vector<SDL_Keycode> held; PlayerCommand before, after; } rows[] = {
        {{SDLK_LEFT}, MOVE_NONE, MOVE_LEFT}, {{SDLK_RIGHT}, MOVE_NONE, MOVE_RIGHT},
        {{SDLK_UP}, MOVE_NONE, MOVE_ROTATE}, {{SDLK_DOWN}, MOVE_NONE, MOVE_SOFT_DROP},
        {{SDLK_LEFT, SDLK_RIGHT}, MOVE_NONE, MOVE_RIGHT}, {{SDLK_RIGHT, SDLK_UP}, MOVE_NONE, MOVE_ROTATE},
        {{SDLK_UP, SDLK_DOWN, SDLK_LEFT}, MOVE_NONE, MOVE_SOFT_DROP}, {{}, MOVE_ROTATE, MOVE_ROTATE}};
    for (const auto& row : rows) {
        auto Hold = [&row](bool down) { for (SDL_Keycode key : row.held) Key(key, down); };
        Hold(true), MoveCommand = row.before, PollKeys();
        EXPECT_TRUE(MoveCommand == row.after && Held() == (long)row.held.size()) << "row " << (&row - rows);
        Hold(false);
    }
}

TEST_F(Shell, TabRestartsOnlyAfterAGameOverEachPressOfPTogglesThePauseOnceAndEscOrClosingEnds)
{
    Key(SDLK_TAB, true);
    game.game_over = 0, game.level = 3, backdrop_stage = 2, PollKeys();
    EXPECT_TRUE(game.level == 3 && backdrop_stage == 2) << "a game still running goes on";
    game.game_over = 1, PollKeys();
    EXPECT_TRUE(game.game_over == 0 && game.level == 0 && backdrop_stage == -1) << "the next frame starts a new game";
    Key(SDLK_TAB, false);
    Key(SDLK_p, true), PollKeys(), PollKeys(), PollKeys();
    EXPECT_EQ(pause_state, 1) << "held: paused once";
    Key(SDLK_p, false), PollKeys(), Key(SDLK_p, true), PollKeys(), PollKeys();
    EXPECT_EQ(pause_state, -1) << "let go and pressed again: running once more";
    SDL_Event minimise = {SDL_WINDOWEVENT};  // so that the frames run here draw nothing and the game stays
    minimise.window.event = SDL_WINDOWEVENT_MINIMIZED, minimise.window.windowID = SDL_GetWindowID(window_handle);
    SDL_PushEvent(&minimise), Drain();
    ASSERT_EQ(window_active, 0);
    EXPECT_TRUE(RunLoopIteration()) << "a frame with no key";
    Key(SDLK_ESCAPE, true);
    EXPECT_FALSE(RunLoopIteration());
    Key(SDLK_ESCAPE, false);
    SDL_Event close = minimise;
    close.window.event = SDL_WINDOWEVENT_CLOSE, SDL_PushEvent(&close);
    bool running = true;
    for (int turn = 0; turn < 4 && running; turn++)
        running = RunLoopIteration();
    EXPECT_FALSE(running) << "closing the window ends the loop";
}

TEST_F(Shell, AKeyPressedWithAltIsTheSystemsAndOneLetGoWithAnyModifierIsLetGo)
{
    const uint16_t held_with[] = {KMOD_LALT, KMOD_RALT, KMOD_LCTRL, KMOD_RSHIFT, KMOD_NUM | KMOD_CAPS};
    for (uint16_t modifiers : held_with) {
        Key(SDLK_LEFT, true, modifiers);
        EXPECT_EQ(Held(), !(modifiers & KMOD_ALT)) << "pressed with " << modifiers;
        Key(SDLK_LEFT, true), Key(SDLK_LEFT, false, modifiers);
        EXPECT_EQ(Held(), 0) << "let go with " << modifiers;
    }
}

TEST_F(Shell, AFrameLastsTenMillisecondsAsleepButForItsLastHalf)
{
    frame_clock_source = {[] { return uint64_t(4000); }, [] { return reads++, ++quarters; }, [] { return timer_ms; },
                          [](double ms) { slept_ms += ms, quarters += std::lround(ms * 4); }};
    auto Pace = [](double start) { frame_start_ms = (float)start, reads = 0, slept_ms = 0, PaceFrame(); };
    quarters = 1000, StartFrameClock();
    Pace(ReadFrameClock());  // 0.25
    EXPECT_TRUE(std::abs(slept_ms - 9.25) < 1e-3 && reads == 3) << "asleep from 0.5 to 9.75 ms, "
        << "then reads at 10.0 and 10.25 ms: the first 10 ms on ends it; slept " << slept_ms << ", read " << reads;
    Pace(ReadFrameClock() - 15.0);
    EXPECT_TRUE(reads == 1 && slept_ms == 0) << "a late frame does not wait";
    frame_clock_source.counter_frequency = [] { return uint64_t(0); };  // the millisecond timer, across its wrap
    timer_ms = 0xFFFFFFF0u, StartFrameClock(), timer_ms = 0x10u;
    EXPECT_NEAR(ReadFrameClock(), 32.0, 1e-5);
}

// Tab after a game over, 1000 s into it, Down still pending: the next frame is the new game's
// first, 10 ms long on the new game's clock, and it plays the pending command.
TEST_F(Shell, TheFrameAfterARestartIsTheNewGamesFirstTenMillisecondsLongAndPlaysThePendingCommand)
{
    frame_clock_source = {[] { return uint64_t(4000); }, [] { return ++quarters; }, [] { return timer_ms; },
                          [](double ms) { slept_ms += ms, quarters += std::lround(ms * 4); }};
    quarters = 0, StartFrameClock(), quarters = 4000000;
    game.game_over = 1, backdrop_stage = 0, MoveCommand = MOVE_SOFT_DROP;
    Key(SDLK_TAB, true), RunFrame(), Key(SDLK_TAB, false);
    slept_ms = 0, RunFrame();
    EXPECT_TRUE(slept_ms > 9 && slept_ms < 10) << "slept " << slept_ms << " ms";
    EXPECT_TRUE(game.piece.row == 1 && MoveCommand == MOVE_NONE) << "the first piece dropped a row at once";
}

TEST_F(Shell, PadInputsActAsKeysAlongsideTheKeyboardUntilThePadIsUnplugged)
{
    const int X = axis + SDL_CONTROLLER_AXIS_LEFTX, Y = axis + SDL_CONTROLLER_AXIS_LEFTY;
    const struct { int input, value; uint8_t key; } inputs[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, VK_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, VK_RIGHT},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, VK_DOWN}, {SDL_CONTROLLER_BUTTON_DPAD_UP, 1, VK_UP},
        {SDL_CONTROLLER_BUTTON_A, 1, VK_UP}, {SDL_CONTROLLER_BUTTON_START, 1, VK_P},
        {SDL_CONTROLLER_BUTTON_BACK, 1, VK_TAB}, {SDL_CONTROLLER_BUTTON_B, 1, 0}, {X, -32768, VK_LEFT},
        {X, 32767, VK_RIGHT}, {Y, 32767, VK_DOWN}, {Y, -32768, 0}, {axis + SDL_CONTROLLER_AXIS_RIGHTX, -32768, 0},
        {X, -15500, 0}, {X, -17000, VK_LEFT}, {X, 15500, 0}, {X, 17000, VK_RIGHT}, {Y, 15500, 0},
        {Y, 17000, VK_DOWN}};  // half the stick's travel is 16384
    for (const auto& in : inputs) {
        Pad(in.input, in.value);
        EXPECT_TRUE(Held() == (in.key != 0) && KeyState[in.key] == (in.key != 0)) << in.input << " at " << in.value;
        Pad(in.input, 0);
        EXPECT_EQ(Held(), 0) << in.input << " let go";
    }
    Key(SDLK_LEFT, true), Pad(SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1), Pad(SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0);
    EXPECT_EQ(KeyState[VK_LEFT], 1) << "the keyboard still holds it";
    Key(SDLK_LEFT, false), Pad(SDL_CONTROLLER_BUTTON_START, 1), Key(SDLK_p, true), Key(SDLK_p, false);
    EXPECT_EQ(KeyState[VK_P], 1) << "the pad still holds it";
    Pad(SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1), Pad(Y, 32767);
    ASSERT_EQ(Held(), 3);
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    ASSERT_EQ(SDL_JoystickDetachVirtual(pad_index), 0);
    // SDL lets go of the pad's inputs before it says it is gone: dropped, so that the removal itself lets go.
    SDL_FlushEvent(SDL_CONTROLLERBUTTONUP), SDL_FlushEvent(SDL_CONTROLLERAXISMOTION), Drain();
    EXPECT_TRUE(Held() == 0 && !SDL_JoystickFromInstanceID(id)) << "the pad let go and closed";
}

TEST(ShellStart, DataIsFoundInTheWorkingFolderThenShareBesideBinThenBin)
{
    ScratchFolder root;
    for (const char* file : {"work/data/x", "bin/data/x", "share/blockfall/data/x", "elsewhere/x"})
        root.Write(file, "");
    const std::string work = root.path / "work", elsewhere = root.path / "elsewhere", bin = root.path / "bin/";
    auto Is = [](std::string found, std::filesystem::path place) { return !found.empty() && equivalent(found, place); };
    EXPECT_TRUE(Is(FindDataFolder(work, bin.c_str()), work));
    EXPECT_TRUE(Is(FindDataFolder(elsewhere, bin.c_str()), root.path / "share/blockfall"));
    std::filesystem::remove_all(root.path / "share/blockfall/data");
    EXPECT_TRUE(Is(FindDataFolder(elsewhere, bin.c_str()), bin));
    std::filesystem::remove_all(root.path / "bin/data");
    EXPECT_EQ(FindDataFolder(elsewhere, bin.c_str()) + FindDataFolder(elsewhere, nullptr), "");
}

TEST(ShellStart, TheLastOfWindowAndFullscreenCountsAndHelpVersionOrNonsenseEndTheStart)
{
    const struct { std::vector<const char*> argv; uint8_t fallback; StartChoice choice; } rows[] = {
        {{""}, 1, {true, 0, 1}}, {{""}, 0, {true, 0, 0}}, {{"", "--window"}, 1, {true, 0, 0}},
        {{"", "--fullscreen"}, 0, {true, 0, 1}}, {{"", "--window", "--fullscreen"}, 0, {true, 0, 1}},
        {{"", "--fullscreen", "--window"}, 1, {true, 0, 0}}, {{"", "--help"}, 1, {false, 0, 1}},
        {{"", "--version"}, 1, {false, 0, 1}}, {{"", "--window", "-w"}, 1, {false, 2, 0}}};
    for (const auto& row : rows) {
        testing::internal::CaptureStdout(), testing::internal::CaptureStderr();  // the usage, the version
        const StartChoice choice = ReadCommandLine((int)row.argv.size(), (char**)row.argv.data(), row.fallback);
        testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr();
        EXPECT_TRUE(choice.play == row.choice.play && choice.exit_code == row.choice.exit_code &&
                    (!choice.play || choice.fullscreen == row.choice.fullscreen)) << "row " << (&row - rows);
    }
}
