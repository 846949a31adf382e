// XInput's pads on Windows behind their one seam, XInputGetState, which the
// tests replace with recorded states: a pad appearing, pressed, held and
// unplugged mid-hold, the empty slots asked at most once a second, the focus
// rule, and the display-mode dialog driven to "Start!". Under Wine no real
// pad exists; the program's own run without one is tools/test-windows.sh's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/win32/pads.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/input_effects.h"

namespace {

// The recorded pads: what each slot answers, and how often it was asked.
struct Recorded {
    bool connected[XUSER_MAX_COUNT] = {};
    XINPUT_GAMEPAD pad[XUSER_MAX_COUNT] = {};
    int asked[XUSER_MAX_COUNT] = {};
    int calls = 0;
    void (*onCall)(int call) = nullptr;
};
Recorded recorded;

DWORD WINAPI recordedGetState(DWORD slot, XINPUT_STATE* state)
{
    recorded.asked[slot]++;
    if (recorded.onCall)
        recorded.onCall(++recorded.calls);
    if (!recorded.connected[slot])
        return ERROR_DEVICE_NOT_CONNECTED;
    state->dwPacketNumber = static_cast<DWORD>(recorded.calls);
    state->Gamepad = recorded.pad[slot];
    return ERROR_SUCCESS;
}

// Fresh pads reading the recorded states. The program's own pads, which the
// message pump polls, are kept out of the way meanwhile.
XInputPads recordedPads()
{
    xinputPads = XInputPads();
    xinputPads.loaded = true;
    recorded = Recorded();
    XInputPads pads;
    pads.getState = recordedGetState;
    return pads;
}

const unsigned E = 1u << KEY_E, W = 1u << KEY_W, F = 1u << KEY_F, SHIFT = 1u << KEY_SHIFT;

}  // namespace

TEST(Win32Pads, XInputStatesInTheSharedLayout)
{
    // XInput's buttons, its thumbs (-32768 to 32767, up positive) and its
    // triggers (0 to 255), as the mapping reads them.
    struct Case {
        const char* name;
        XINPUT_GAMEPAD pad;  // wButtons, bLeftTrigger, bRightTrigger, sThumbLX, sThumbLY, sThumbRX, sThumbRY
        InputEffect effect;
    };
    const Case cases[] = {
        {"A, X and Y type",
         {XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_X | XINPUT_GAMEPAD_Y, 0, 0, 0, 0, 0, 0},
         {{'L', 't', 'T'}, 0}},
        {"D-pad up", {XINPUT_GAMEPAD_DPAD_UP, 0, 0, 0, 0, 0, 0}, {{}, W | SHIFT}},
        {"left stick fully down", {0, 0, 0, 0, -32768, 0, 0}, {{}, W}},
        {"left stick sideways", {0, 0, 0, 32767, 0, 0, 0}, {{}, 0}},
        {"right stick up", {0, 0, 0, 0, 0, 0, 32767}, {{}, E | SHIFT}},
        {"left trigger", {0, 200, 0, 0, 0, 0, 0}, {{}, E}},
        {"a finger resting on the right trigger", {0, 0, 60, 0, 0, 0, 0}, {{}, 0}},
        {"Back and Start", {XINPUT_GAMEPAD_BACK | XINPUT_GAMEPAD_START, 0, 0, 0, 0, 0, 0}, {{27}, F}},
    };
    ASSERT_TRUE(testGlContext());
    inputUseScript(false);
    inputEffect();
    ULONGLONG now = 5000;
    for (const Case& c : cases) {
        XInputPads pads = recordedPads();
        recorded.connected[2] = true;
        xinputPoll(&pads, true, now += 16);  // the pad at rest
        recorded.pad[2] = c.pad;
        xinputPoll(&pads, true, now += 16);
        EXPECT_EQ(inputEffect(), c.effect) << c.name;
        xinputPoll(&pads, false, now += 16);
        inputEffect();
    }
}

TEST(Win32Pads, APadAppearsPlaysAndLetsGoWhenUnpluggedOrOutOfFront)
{
    ASSERT_TRUE(testGlContext());
    inputUseScript(false);
    inputEffect();
    XInputPads pads = recordedPads();

    // Empty slots are asked once, then left alone for a second.
    xinputPoll(&pads, true, 1000);
    xinputPoll(&pads, true, 1500);
    xinputPoll(&pads, true, 1999);
    EXPECT_EQ(std::vector<int>(recorded.asked, recorded.asked + 4), std::vector<int>({1, 1, 1, 1}));

    // A pad plugged into slot 1 is found at the next second, and read every frame from then on.
    recorded.connected[1] = true;
    xinputPoll(&pads, true, 2000);
    xinputPoll(&pads, true, 2016);
    xinputPoll(&pads, true, 2032);
    EXPECT_EQ(std::vector<int>(recorded.asked, recorded.asked + 4), std::vector<int>({2, 4, 2, 2}));

    // A, held for three frames, strikes once; the D-pad held raises the sea.
    recorded.pad[1].wButtons = XINPUT_GAMEPAD_A;
    for (ULONGLONG t = 2048; t <= 2080; t += 16)
        xinputPoll(&pads, true, t);
    recorded.pad[1].wButtons = XINPUT_GAMEPAD_DPAD_UP;
    xinputPoll(&pads, true, 2096);
    EXPECT_EQ(inputEffect(), (InputEffect{{'L'}, W | SHIFT}));

    // Another window in front: the pad lets go; back in front, it holds again.
    xinputPoll(&pads, false, 2112);
    EXPECT_EQ(inputEffect(), (InputEffect{{}, 0}));
    xinputPoll(&pads, true, 2128);
    EXPECT_EQ(inputEffect(), (InputEffect{{}, W | SHIFT}));

    // Unplugged mid-hold: the sea stops, and the slot is asked once a second again.
    recorded.connected[1] = false;
    xinputPoll(&pads, true, 2144);
    EXPECT_EQ(inputEffect(), (InputEffect{{}, 0}));
    const int asked = recorded.asked[1];
    xinputPoll(&pads, true, 2160);
    xinputPoll(&pads, true, 3000);
    EXPECT_EQ(recorded.asked[1], asked);
    xinputPoll(&pads, true, 3144);
    EXPECT_EQ(recorded.asked[1], asked + 1);

    // Plugged in again with A held: nothing until it is pressed anew.
    recorded.connected[1] = true;
    recorded.pad[1].wButtons = XINPUT_GAMEPAD_A;
    xinputPoll(&pads, true, 4200);
    recorded.pad[1].wButtons = 0;
    xinputPoll(&pads, true, 4216);
    recorded.pad[1].wButtons = XINPUT_GAMEPAD_A;
    xinputPoll(&pads, true, 4232);
    EXPECT_EQ(inputEffect(), (InputEffect{{'L'}, 0}));

    // A replay reads no pads at all; nor does a machine without XInput.
    XInputPads none;
    none.loaded = true;
    xinputPoll(&none, true, 5000);
    EXPECT_EQ(inputEffect(), (InputEffect{{}, 0}));
}

TEST(Win32Pads, XInputLoadsHere)
{
    // Wine, as Windows 8 and later, has xinput1_4.dll; Windows 7 has xinput9_1_0.dll.
    XInputPads pads;
    const char* name = xinputLoad(&pads);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(std::string(name) == "xinput1_4.dll" || std::string(name) == "xinput9_1_0.dll") << name;
    ASSERT_NE(pads.getState, nullptr);
    XINPUT_STATE state = {};
    const DWORD result = pads.getState(0, &state);
    EXPECT_TRUE(result == ERROR_SUCCESS || result == ERROR_DEVICE_NOT_CONNECTED) << result;
}

TEST(Win32Pads, APadPicksADisplayModeAndPressesStart)
{
    ASSERT_TRUE(platformInit());
    XInputPads pads = recordedPads();
    xinputPads = pads;
    xinputPads.loaded = true;
    recorded.connected[0] = true;
    // The dialog's timer asks the pads twenty times a second; the pad answers
    // by the call: D-pad down twice, up once, then A. The dialog is put in
    // front first (there is no window manager to do it).
    recorded.onCall = [](int call) {
        if (HWND dialog = FindWindowA("#32770", nullptr))
            SetForegroundWindow(dialog);
        const WORD script[] = {0,
                               0,
                               XINPUT_GAMEPAD_DPAD_DOWN,
                               0,
                               XINPUT_GAMEPAD_DPAD_DOWN,
                               0,
                               XINPUT_GAMEPAD_DPAD_UP,
                               0,
                               XINPUT_GAMEPAD_A};
        const int tick = recorded.asked[0] - 1;  // slot 0 is asked once a tick
        recorded.pad[0].wButtons = tick < 9 ? script[tick] : 0;
        if (call > 400)
            PostQuitMessage(0);  // the pad never started it
    };
    const char* const modes[] = {"640x480, 32bit", "800x600, 32bit", "1024x768, 32bit"};
    int selected = 0;
    EXPECT_TRUE(dialogRun(modes, 3, &selected)) << "the pad did not press Start!";
    EXPECT_EQ(selected, 1);
    xinputPads = XInputPads();
}
