// Gamepads through the real main loop: SDL virtual pads plugged in, pressed and
// pulled out, their events handed to the loop, KeyState and the pending move read back.
#include <gtest/gtest.h>

#include <SDL.h>
#include <cstring>
#include <string>

#include "game/session.h"
#include "shell/gamepad.h"
#include "shell/keys.h"
#include "shell/main_loop.h"
#include "tests/gl_fixture.h"

namespace {

const uint8_t mapped_keys[] = {VK_LEFT, VK_RIGHT, VK_DOWN, VK_UP, VK_P, VK_TAB};

struct Gamepad : GlTest {
    static void SetUpTestSuite()
    {
        // The offscreen driver gives no window the keyboard focus, and SDL holds
        // back a pad's presses from a program without it.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        GlTest::SetUpTestSuite();
    }

    void SetUp() override
    {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        std::memset(KeyState, 0, sizeof(KeyState));
        std::memset(key_holders, 0, sizeof(key_holders));
        MoveCommand = MOVE_NONE;
        pause_state = -1;
        pause_key_latch = 0;
        game.game_over = 0;
    }

    void TearDown() override
    {
        if (pad_index >= 0)
            SDL_JoystickDetachVirtual(pad_index);
        Settle();
    }

    // Plugs in a virtual pad whose buttons and axes are numbered as SDL's
    // controller enums (SDL maps such a pad that way), and lets the loop see it.
    void PlugInPad()
    {
        pad_index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(pad_index, 0) << SDL_GetError();
        Settle();
        FindPad();
    }

    // The pad as the game opened it; null when the game never opened it.
    void FindPad()
    {
        pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(pad_index));
        ASSERT_NE(pad, nullptr) << "the game did not open the pad";
    }

    void Press(int button, bool down)
    {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(pad, button, down), 0);
        Settle();
    }

    void Tilt(int axis, int value)
    {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, axis, (Sint16)value), 0);
        Settle();
    }

    // SDL reads the pad when the loop polls; every event queued is handed to the
    // loop, one per iteration (SDL's poll sentinel, 0x7F00, left out).
    static void Settle()
    {
        SDL_PumpEvents();
        while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, 0x7EFF) > 0)
            ASSERT_TRUE(RunLoopIteration());
    }

    // The mapped keys now held, as a string of their names.
    static std::string HeldKeys()
    {
        std::string held;
        for (uint8_t key : mapped_keys)
            if (KeyState[key])
                held += key == VK_LEFT ? "Left " : key == VK_RIGHT ? "Right " : key == VK_DOWN ? "Down "
                      : key == VK_UP ? "Up " : key == VK_P ? "P " : "Tab ";
        return held;
    }

    int pad_index = -1;
    SDL_Joystick* pad = nullptr;
};

struct Row {
    const char* input;
    bool is_axis;
    int index, value;
    const char* held;  // the keys it holds
};

}  // namespace

TEST_F(Gamepad, EachInputActsAsItsKeyAndTheGameTakesIt)
{
    PlugInPad();  // while the game runs
    const Row rows[] = {
        {"D-pad left", false, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, "Left "},
        {"stick left", true, SDL_CONTROLLER_AXIS_LEFTX, -32768, "Left "},
        {"D-pad right", false, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, "Right "},
        {"stick right", true, SDL_CONTROLLER_AXIS_LEFTX, 32767, "Right "},
        {"D-pad down", false, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, "Down "},
        {"stick down", true, SDL_CONTROLLER_AXIS_LEFTY, 32767, "Down "},
        {"D-pad up", false, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, "Up "},
        {"A", false, SDL_CONTROLLER_BUTTON_A, 1, "Up "},
        {"Start", false, SDL_CONTROLLER_BUTTON_START, 1, "P "},
        {"Back", false, SDL_CONTROLLER_BUTTON_BACK, 1, "Tab "},
        {"stick up", true, SDL_CONTROLLER_AXIS_LEFTY, -32768, ""},
        {"B", false, SDL_CONTROLLER_BUTTON_B, 1, ""},
        {"right stick left", true, SDL_CONTROLLER_AXIS_RIGHTX, -32768, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        row.is_axis ? Tilt(row.index, row.value) : Press(row.index, true);
        EXPECT_EQ(HeldKeys(), row.held);

        MoveCommand = MOVE_NONE;
        pause_state = -1;
        game.game_over = 1;
        PollKeys();
        const std::string held = row.held;
        const PlayerCommand move = held == "Left " ? MOVE_LEFT : held == "Right " ? MOVE_RIGHT
                                 : held == "Down " ? MOVE_SOFT_DROP : held == "Up " ? MOVE_ROTATE : MOVE_NONE;
        EXPECT_EQ(MoveCommand, move);
        EXPECT_EQ(pause_state, held == "P " ? 1 : -1);
        EXPECT_EQ(game.game_over, held == "Tab " ? 0 : 1) << "Tab restarts a game that is over";

        row.is_axis ? Tilt(row.index, 0) : Press(row.index, false);
        EXPECT_EQ(HeldKeys(), "");
        PollKeys();  // P seen up: the pause latch opens for the next row
    }
}

TEST_F(Gamepad, TheStickMovesOnlyPastHalfItsTravel)
{
    PlugInPad();
    const struct {
        int axis, value;
        const char* held;
    } tilts[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -3000, ""},       // drift at rest
        {SDL_CONTROLLER_AXIS_LEFTX, -15000, ""},
        {SDL_CONTROLLER_AXIS_LEFTX, -18000, "Left "},
        {SDL_CONTROLLER_AXIS_LEFTX, -12000, ""},      // eased back: let go
        {SDL_CONTROLLER_AXIS_LEFTX, 15000, ""},
        {SDL_CONTROLLER_AXIS_LEFTX, 18000, "Right "},
        {SDL_CONTROLLER_AXIS_LEFTX, 0, ""},
        {SDL_CONTROLLER_AXIS_LEFTY, 15000, ""},
        {SDL_CONTROLLER_AXIS_LEFTY, 18000, "Down "},
        {SDL_CONTROLLER_AXIS_LEFTX, -23170, "Left Down "},  // full tilt down-left: 71% each way
    };
    for (const auto& tilt : tilts) {
        Tilt(tilt.axis, tilt.value);
        EXPECT_EQ(HeldKeys(), tilt.held) << "axis " << tilt.axis << " at " << tilt.value;
    }
    MoveCommand = MOVE_NONE;
    PollKeys();
    EXPECT_EQ(MoveCommand, MOVE_SOFT_DROP);  // Down over Left, as on the keyboard
}

TEST_F(Gamepad, APadPresentAtStartWorks)
{
    // Start again with a pad already in: the test's own hold on the joystick
    // subsystem keeps the pad alive while the game lets go of everything.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    CloseGamepads();
    pad_index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(pad_index, 0) << SDL_GetError();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // only what start-up itself does
    OpenGamepads();
    Settle();  // SDL announces the pad as well
    FindPad();
    Press(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(HeldKeys(), "P ");

    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickDetachVirtual(pad_index);
    pad_index = -1;
    Settle();
    EXPECT_EQ(HeldKeys(), "");
    EXPECT_EQ(SDL_JoystickFromInstanceID(id), nullptr) << "the pad was opened twice, and closed once";
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(Gamepad, PullingOutAPadLetsGoOfItsKeys)
{
    PlugInPad();
    Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Press(SDL_CONTROLLER_BUTTON_START, true);
    Tilt(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    ASSERT_EQ(HeldKeys(), "Left Down P ");

    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    ASSERT_EQ(SDL_JoystickDetachVirtual(pad_index), 0);
    pad_index = -1;
    // SDL lets go of the pad's buttons and stick before it says the pad is gone;
    // those are dropped, so that what lets go here is the removal itself.
    SDL_FlushEvent(SDL_CONTROLLERBUTTONUP);
    SDL_FlushEvent(SDL_CONTROLLERAXISMOTION);
    ASSERT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_CONTROLLERDEVICEREMOVED, SDL_CONTROLLERDEVICEREMOVED), 1);
    Settle();
    EXPECT_EQ(HeldKeys(), "");
    EXPECT_EQ(SDL_JoystickFromInstanceID(id), nullptr) << "the pad was left open";
}

TEST_F(Gamepad, AKeyHeldByKeyboardAndPadIsUpOnlyWhenBothLetGo)
{
    PlugInPad();
    ASSERT_TRUE(PushKey(SDLK_LEFT, true));
    Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    EXPECT_EQ(HeldKeys(), "Left ") << "the keyboard still holds it";
    ASSERT_TRUE(PushKey(SDLK_LEFT, false));
    Settle();
    EXPECT_EQ(HeldKeys(), "");

    Press(SDL_CONTROLLER_BUTTON_START, true);
    ASSERT_TRUE(PushKey(SDLK_p, true));
    ASSERT_TRUE(PushKey(SDLK_p, false));
    Settle();
    EXPECT_EQ(HeldKeys(), "P ") << "the pad still holds it";

    // Two inputs of one pad on one key: each holds it.
    Press(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Press(SDL_CONTROLLER_BUTTON_A, true);
    Press(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(HeldKeys(), "Up P ");
    Press(SDL_CONTROLLER_BUTTON_START, false);
    Press(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    EXPECT_EQ(HeldKeys(), "");
}
