// Game pads on SDL2, through its game controllers: SDL's built-in mappings,
// the user's own in SDL_GAMECONTROLLERCONFIG (which SDL reads when its game
// controllers start) and in gamecontrollerdb.txt in the settings folder.
// Each pad's buttons, sticks and triggers become the keyboard's keys through
// the one mapping (platform/shared/pad_map.h).
//
// The controllers start with the first dialog or frame of a live session,
// never in a replay, which reads no pads and so pays nothing for them. Pads
// come and go at any time: each one connected is opened at once, each one
// removed lets go of what it held. The readings follow SDL's events, so a
// button pressed and let go between two frames still types its character,
// and they count only while the main window has the keyboard's focus: when
// it loses it, every pad lets go.
#include <filesystem>
#include <string>

#include "platform/folders.h"
#include "platform/notice.h"
#include "platform/sdl/state.h"
#include "platform/shared/input_queue.h"
#include "platform/shared/pad_map.h"

namespace {

// Pads are sources 0 to 7 of the controls that hold keys (pad_map.h); the
// page's touch buttons take the next one.
enum { padCount = 8 };

struct OpenPad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    PadReading reading;  // as the events have left it
    PadSlot slot;
};

struct Pads {
    bool started = false;
    bool counting = false;  // the main window had the focus at the last pump
    OpenPad pad[padCount];
};

Pads pads;

const float axisFull = 32767.0f;

float axisValue(SDL_GameController* controller, SDL_GameControllerAxis axis)
{
    return static_cast<float>(SDL_GameControllerGetAxis(controller, axis)) / axisFull;
}

// The pad's button in the shared layout; false for buttons the mapping
// doesn't use (the guide button, the shoulders, the sticks' clicks).
bool padButtonOf(Uint8 button, PadButton* out)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: *out = PAD_SOUTH; return true;
    case SDL_CONTROLLER_BUTTON_B: *out = PAD_EAST; return true;
    case SDL_CONTROLLER_BUTTON_X: *out = PAD_WEST; return true;
    case SDL_CONTROLLER_BUTTON_Y: *out = PAD_NORTH; return true;
    case SDL_CONTROLLER_BUTTON_BACK: *out = PAD_BACK; return true;
    case SDL_CONTROLLER_BUTTON_START: *out = PAD_START; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: *out = PAD_UP; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: *out = PAD_DOWN; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: *out = PAD_LEFT; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: *out = PAD_RIGHT; return true;
    default: return false;
    }
}

// SDL's axes point down for a stick pushed up; the layout's point up.
void takeAxis(PadReading* reading, Uint8 axis, float value)
{
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTY: reading->leftStickUp = -value; break;
    case SDL_CONTROLLER_AXIS_RIGHTY: reading->rightStickUp = -value; break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: reading->leftTrigger = value; break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: reading->rightTrigger = value; break;
    default: break;
    }
}

// The pad as it is now, for one just opened.
PadReading readNow(SDL_GameController* controller)
{
    PadReading reading;
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; b++) {
        PadButton button;
        if (padButtonOf(static_cast<Uint8>(b), &button))
            reading.buttons[button] = SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(b));
    }
    for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++)
        takeAxis(&reading, static_cast<Uint8>(a), axisValue(controller, static_cast<SDL_GameControllerAxis>(a)));
    return reading;
}

OpenPad* padById(SDL_JoystickID id)
{
    for (OpenPad& pad : pads.pad)
        if (pad.controller && pad.id == id)
            return &pad;
    return nullptr;
}

int sourceOf(const OpenPad& pad)
{
    return static_cast<int>(&pad - pads.pad);
}

// Hands the pad's reading to the mapping while the scene has the focus.
void feed(OpenPad* pad)
{
    if (pads.counting)
        padFeed(sourceOf(*pad), &pad->slot, pad->reading);
}

void openPad(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex) || padById(SDL_JoystickGetDeviceInstanceID(deviceIndex)))
        return;
    for (OpenPad& pad : pads.pad) {
        if (pad.controller)
            continue;
        pad.controller = SDL_GameControllerOpen(deviceIndex);
        if (!pad.controller)
            return;
        pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.controller));
        pad.reading = readNow(pad.controller);
        // Buttons already down when it arrives type nothing until pressed
        // again; its sticks and triggers hold their keys at once.
        padRelease(sourceOf(pad), &pad.slot);
        feed(&pad);
        return;
    }
}

void closePad(OpenPad* pad)
{
    padRelease(sourceOf(*pad), &pad->slot);
    SDL_GameControllerClose(pad->controller);
    *pad = OpenPad();
}

// The user's own mappings, beside the settings; SDL_GAMECONTROLLERCONFIG,
// read as the game controllers started, keeps the last word for a pad both
// name, since SDL lets no mapping added later replace one of the user's.
void readUserMappings()
{
    const std::string folder = folderForSettings();
    if (folder.empty())
        return;
    const std::string file = folder + "gamecontrollerdb.txt";
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::u8path(file), error))
        return;
    if (SDL_GameControllerAddMappingsFromFile(file.c_str()) < 0)
        noticeShow(NOTICE_WARNING,
                   "Vexarion: cannot read the game pad mappings " + file + ": " + SDL_GetError() + "\n");
}

}  // namespace

void sdlPadsStart()
{
    if (pads.started || !platformSdl.initialised)
        return;
    pads.started = true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return;  // no pads here: the keyboard plays alone
    readUserMappings();
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        openPad(i);
}

void sdlPadsStop()
{
    for (OpenPad& pad : pads.pad)
        if (pad.controller)
            closePad(&pad);
    pads = Pads();
}

void sdlPadEvent(const SDL_Event& event)
{
    if (!pads.started)
        return;
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: openPad(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (OpenPad* pad = padById(event.cdevice.which))
            closePad(pad);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        OpenPad* pad = padById(event.cbutton.which);
        PadButton button;
        if (pad && padButtonOf(event.cbutton.button, &button)) {
            pad->reading.buttons[button] = event.cbutton.state == SDL_PRESSED;
            feed(pad);
        }
        break;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (OpenPad* pad = padById(event.caxis.which)) {
            takeAxis(&pad->reading, event.caxis.axis, static_cast<float>(event.caxis.value) / axisFull);
            feed(pad);
        }
        break;
    default: break;
    }
}

void sdlPadsAfterEvents(bool focused)
{
    if (!pads.started)
        return;
    for (OpenPad& pad : pads.pad)
        if (pad.controller && !SDL_GameControllerGetAttached(pad.controller))
            closePad(&pad);  // its removal was taken by someone else's event loop
    if (focused == pads.counting)
        return;
    pads.counting = focused;
    if (focused) {
        // Pads that came while another loop took the events (the dialog's
        // last frame) open now, and every pad starts from what it holds now.
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            openPad(i);
        for (OpenPad& pad : pads.pad)
            if (pad.controller) {
                pad.reading = readNow(pad.controller);
                feed(&pad);
            }
        return;
    }
    for (OpenPad& pad : pads.pad)
        if (pad.controller)
            padRelease(sourceOf(pad), &pad.slot);
}

int sdlPadControllers(SDL_GameController** controllers, int most)
{
    int n = 0;
    for (const OpenPad& pad : pads.pad)
        if (pad.controller && n < most)
            controllers[n++] = pad.controller;
    return n;
}
