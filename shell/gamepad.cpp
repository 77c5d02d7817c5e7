// Gamepads: each pad keeps the set of its inputs now held; a key it acts as is
// held while any input of any pad holds it (HoldKey keeps the keyboard's own).
#include "shell/gamepad.h"

#include <SDL.h>

#include "shell/keys.h"

// What a pad can hold, one bit each, and the key each acts as. Up on the stick
// does nothing: rotating by a stick that drifts upward would turn pieces unasked.
enum PadInput {
    PAD_DPAD_LEFT, PAD_DPAD_RIGHT, PAD_DPAD_DOWN, PAD_DPAD_UP, PAD_A, PAD_START, PAD_BACK,
    PAD_STICK_LEFT, PAD_STICK_RIGHT, PAD_STICK_DOWN, PAD_INPUT_COUNT
};
static const uint8_t input_keys[PAD_INPUT_COUNT] = {
    VK_LEFT, VK_RIGHT, VK_DOWN, VK_UP, VK_UP, VK_P, VK_TAB, VK_LEFT, VK_RIGHT, VK_DOWN};

// Half the axis range: far past the few percent a worn stick drifts at rest, so a
// stick let go never moves a piece, yet a stick pushed fully along a diagonal
// (about 71% on each axis) still counts both ways.
static const int stick_dead_zone = 16384;

struct OpenPad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    uint16_t held_inputs;  // PadInput bits
};
static const int max_pads = 8;  // more than one player needs; a ninth pad is left unopened
static OpenPad open_pads[max_pads];
static int open_pad_count = 0;
static bool controllers_open = false;

static int PadInputForButton(uint8_t button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PAD_DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PAD_DPAD_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PAD_DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PAD_DPAD_UP;
    case SDL_CONTROLLER_BUTTON_A: return PAD_A;
    case SDL_CONTROLLER_BUTTON_START: return PAD_START;
    case SDL_CONTROLLER_BUTTON_BACK: return PAD_BACK;
    default: return -1;
    }
}

static OpenPad* FindPad(SDL_JoystickID id)
{
    for (int i = 0; i < open_pad_count; i++)
        if (open_pads[i].id == id)
            return &open_pads[i];
    return nullptr;
}

// Every key a pad can act as is set from all pads' inputs together.
static void RefreshPadKeys()
{
    uint16_t held = 0;
    for (int i = 0; i < open_pad_count; i++)
        held |= open_pads[i].held_inputs;
    bool key_held[256] = {};
    for (int input = 0; input < PAD_INPUT_COUNT; input++)
        if (held & (1u << input))
            key_held[input_keys[input]] = true;
    for (int input = 0; input < PAD_INPUT_COUNT; input++)
        HoldKey(input_keys[input], KEY_HELD_BY_PAD, key_held[input_keys[input]]);
}

static void SetPadInput(OpenPad& pad, int input, bool held)
{
    if (held)
        pad.held_inputs |= (uint16_t)(1u << input);
    else
        pad.held_inputs &= (uint16_t)~(1u << input);
}

static void PressPadButton(SDL_JoystickID id, uint8_t button, bool held)
{
    OpenPad* pad = FindPad(id);
    const int input = PadInputForButton(button);
    if (!pad || input < 0)
        return;
    SetPadInput(*pad, input, held);
    RefreshPadKeys();
}

static void MoveStick(SDL_JoystickID id, uint8_t axis, int value)
{
    OpenPad* pad = FindPad(id);
    if (!pad)
        return;
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
        SetPadInput(*pad, PAD_STICK_LEFT, value <= -stick_dead_zone);
        SetPadInput(*pad, PAD_STICK_RIGHT, value >= stick_dead_zone);
    } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
        SetPadInput(*pad, PAD_STICK_DOWN, value >= stick_dead_zone);  // SDL's y grows downward
    }
    RefreshPadKeys();
}

// A pad already open (present at start, then announced again by SDL) is left as it is.
static void AddPad(int device_index)
{
    if (open_pad_count == max_pads || FindPad(SDL_JoystickGetDeviceInstanceID(device_index)))
        return;
    SDL_GameController* controller = SDL_GameControllerOpen(device_index);
    if (!controller)
        return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    open_pads[open_pad_count++] = {controller, id, 0};
}

static void RemovePad(SDL_JoystickID id)
{
    OpenPad* pad = FindPad(id);
    if (!pad)
        return;
    SDL_GameControllerClose(pad->controller);
    *pad = open_pads[--open_pad_count];
    RefreshPadKeys();
}

void OpenGamepads()
{
    if (controllers_open || SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return;
    controllers_open = true;
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        if (SDL_IsGameController(i))
            AddPad(i);
}

void CloseGamepads()
{
    while (open_pad_count > 0)
        RemovePad(open_pads[0].id);
    if (controllers_open)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    controllers_open = false;
}

void HandleGamepadEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        AddPad(event.cdevice.which);  // a device index
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        RemovePad(event.cdevice.which);  // an instance id
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        PressPadButton(event.cbutton.which, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_CONTROLLERAXISMOTION:
        MoveStick(event.caxis.which, event.caxis.axis, event.caxis.value);
        break;
    default:
        break;
    }
}
