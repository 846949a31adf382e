// Game pads on Linux, through SDL's real game-controller layer: virtual pads
// (SDL's virtual joysticks of the game-controller type, which SDL's built-in
// mapping covers) plugged in, pressed and pulled out while the program's own
// window, pump, frame step and trace run, as the program runs them; and the
// display-mode dialog driven to "Start!" by a pad alone.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>
#include <unistd.h>

#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/sdl/state.h"
#include "platform/window.h"
#include "replay/recorder.h"
#include "replay/trace.h"
#include "scene/scene_state.h"
#include "tests/support/desktop.h"
#include "tests/support/process.h"
#include "tests/support/replay_run.h"

namespace fs = std::filesystem;

namespace {

// A pad from SDL's virtual joystick driver. A game-controller one has its
// buttons and axes in SDL's game-controller order, which SDL's built-in
// mapping of a virtual controller covers; a plain one (`product` > 0) is
// known to no built-in mapping.
struct VirtualPad {
    SDL_JoystickID id = -1;
    SDL_Joystick* joystick = nullptr;

    static int attach(Uint16 product)
    {
        SDL_VirtualJoystickDesc d = {};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = product ? SDL_JOYSTICK_TYPE_UNKNOWN : SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.vendor_id = 0x1234;
        d.product_id = product;
        d.name = "Test pad";
        return SDL_JoystickAttachVirtualEx(&d);
    }
    // A plain pad's GUID, as a mapping names it.
    static std::string guid(Uint16 product)
    {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        const int index = attach(product);
        char text[40] = "";
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), text, sizeof text);
        SDL_JoystickDetachVirtual(index);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return text;
    }
    void plug(Uint16 product = 0)
    {
        joystick = SDL_JoystickOpen(attach(product));
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        id = SDL_JoystickInstanceID(joystick);
    }
    void button(int b, bool down) { SDL_JoystickSetVirtualButton(joystick, b, down); }
    void axis(SDL_GameControllerAxis a, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, a, value); }
    void unplug()
    {
        SDL_JoystickClose(joystick);
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        joystick = nullptr;
    }
};

// Gives `window` the keyboard's focus (there is no window manager to do it)
// and waits until the main window has it, or hasn't.
bool focus(SDL_Window* window, bool mainWindowFocused)
{
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    for (int i = 0; i < 200; i++) {
        SDL_PumpEvents();
        if (windowHasFocus() == mainWindowFocused)
            return true;
        SDL_Delay(10);
    }
    return false;
}

// The program's session in a window of its own, 0.02 s a frame, traced and
// recorded: `between(frame)` plays the pads before each frame's pump. Ends
// when the session quits or after `frames` frames.
void playInWindow(const fs::path& folder, long frames, const std::function<void(long)>& between)
{
    ASSERT_TRUE(platformInit());
    ASSERT_TRUE(createDesktopWindow("Vexarion", 320, 240));
    ASSERT_TRUE(createGLContext());
    ASSERT_TRUE(traceOpen((folder / "live.csv").c_str()));
    ASSERT_TRUE(recorderOpen((folder / "recording.txt").c_str()));
    inputWatch(recordChar, recordKey);
    loadScene(false);
    FrameLoop loop;
    initFrameLoop(&loop, clockFrequency());
    loop.givenFrameTime = 0.02f;
    for (long frame = 0; frame < frames; frame++) {
        between(frame);
        const bool running = runFrame(&loop, clockCounter);
        recordFrameEnd(scene.frameTime);
        traceFrame(frame);
        if (!running)
            break;
    }
    inputWatch(nullptr, nullptr);
    teardown(loop);
    EXPECT_TRUE(traceClose());
    EXPECT_TRUE(recorderClose());
    platformShutdown();
}

}  // namespace

TEST(PadsEndToEnd, PadsPluggedInPressedAndPulledOutPlayTheScene)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("session");
    // The program's settings folder holds no mappings of the test's.
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    VirtualPad first, second;
    SDL_Window* other = nullptr;
    playInWindow(folder, 400, [&](long frame) {
        switch (frame) {
        case 1:
            ASSERT_TRUE(focus(platformSdl.mainWindow, true));
            first.plug();  // in the middle of the intro
            break;
        case 100: first.button(SDL_CONTROLLER_BUTTON_A, true); break;  // lost, as a typed L is in the intro
        case 102: first.button(SDL_CONTROLLER_BUTTON_A, false); break;
        case 210: first.button(SDL_CONTROLLER_BUTTON_A, true); break;  // the lightning
        case 212: first.button(SDL_CONTROLLER_BUTTON_A, false); break;
        case 220: first.button(SDL_CONTROLLER_BUTTON_DPAD_UP, true); break;  // the sea rises
        case 240:
            other = SDL_CreateWindow("other", 400, 0, 100, 100, SDL_WINDOW_SHOWN);
            ASSERT_TRUE(focus(other, false));  // another window has the focus: the sea stops
            break;
        case 250: ASSERT_TRUE(focus(platformSdl.mainWindow, true)); break;  // and it rises again
        case 260: first.unplug(); break;                                    // pulled out mid-hold
        case 270:
            second.plug();                                                        // works at once
            second.axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MAX);  // the land sinks
            break;
        case 280: second.axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN); break;
        case 290:
            second.button(SDL_CONTROLLER_BUTTON_BACK, true);
            second.button(SDL_CONTROLLER_BUTTON_START, true);  // Esc
            break;
        default: break;
        }
    });
    if (other)
        SDL_DestroyWindow(other);
    const Trace t = readTrace((folder / "live.csv").string());
    ASSERT_EQ(t.rows.size(), 291u) << "Back and Start did not end the session at frame 290";

    // The strike during the intro is lost; the one after it lights the sky.
    for (long row = 1; row < 200; row++)
        ASSERT_FALSE(t.hasEvent(row, "play thunder")) << row;
    EXPECT_TRUE(t.hasEvent(210, "play thunder"));
    EXPECT_GT(t.number(210, "flashIntensity"), 0.9);
    for (long row = 211; row < 290; row++)
        ASSERT_FALSE(t.hasEvent(row, "play thunder")) << "struck again at " << row;

    // The sea moves only while the pad holds the D-pad up and the window has the focus.
    struct Span {
        long from, to;
        bool rises;
    };
    const Span spans[] = {{201, 219, false}, {220, 239, true}, {241, 249, false}, {251, 259, true}, {261, 290, false}};
    for (const Span& s : spans)
        for (long row = s.from; row <= s.to; row++)
            EXPECT_EQ(t.change(row, "seaLevel") > 0, s.rises) << "frame " << row;
    EXPECT_EQ(t.number(200, "landLevel"), 0.0) << "a pad at rest moved the land";

    // The second pad's trigger sinks the land from the frame SDL first reports it
    // (the one it is plugged in, or the next) until let go.
    for (long row = 261; row <= 290; row++)
        if (row != 270) {
            EXPECT_EQ(t.change(row, "landLevel") < 0, row > 270 && row < 280) << "frame " << row;
        }

    // The session played with pads replays to the same trace.
    const ReplayResult replay = runReplay(readText((folder / "recording.txt").string()), {});
    EXPECT_EQ(replay.exitCode, 0) << replay.errors;
    EXPECT_EQ(replay.trace.columns, t.columns);
    EXPECT_EQ(replay.trace.rows, t.rows) << "the replay of the recording differs from the session";
}

TEST(PadsEndToEnd, TheUsersMappingsMakePadsOfOtherJoysticksTheEnvironmentsFirst)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("mappings");
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    // The first joystick's A is its button 3 in the file; the second's is
    // button 3 there too, but button 5 in the environment, which wins.
    const std::string first = VirtualPad::guid(1), second = VirtualPad::guid(2);
    ASSERT_EQ(first.size(), 32u);
    fs::create_directories(folder / "vexarion");
    std::ofstream(folder / "vexarion" / "gamecontrollerdb.txt") << "# the user's own pads\n"
                                                                << first << ",Odd pad,a:b3,platform:Linux,\n"
                                                                << second << ",Odd pad,a:b3,platform:Linux,\n";
    setenv("SDL_GAMECONTROLLERCONFIG", (second + ",Odd pad,a:b5,platform:Linux,").c_str(), 1);
    VirtualPad one, two;
    auto tap = [](VirtualPad& j, int button, long frame, long at) {
        if (frame == at || frame == at + 2)
            j.button(button, frame == at);
    };
    playInWindow(folder, 270, [&](long frame) {
        if (frame == 1) {
            ASSERT_TRUE(focus(platformSdl.mainWindow, true));
            one.plug(1);
            two.plug(2);
        }
        tap(one, 3, frame, 210);  // A: a strike
        tap(two, 3, frame, 230);  // the file's A, which the environment took away
        tap(two, 5, frame, 250);  // the environment's A: a strike
    });
    unsetenv("SDL_GAMECONTROLLERCONFIG");
    const Trace t = readTrace((folder / "live.csv").string());
    ASSERT_EQ(t.rows.size(), 270u);
    std::vector<long> strikes;
    for (long row = 1; row < 270; row++)
        if (t.hasEvent(row, "play thunder"))
            strikes.push_back(row);
    EXPECT_EQ(strikes, std::vector<long>({210, 250}));
}

TEST(PadsEndToEnd, APadPicksADisplayModeAndPressesStart)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    setenv("XDG_CONFIG_HOME", scratchFolder("dialog").c_str(), 1);
    ASSERT_TRUE(platformInit());
    const char* const modes[] = {"640x480, 32bit", "800x600, 32bit", "1024x768, 32bit"};
    int selected = 0;
    VirtualPad pad;
    std::atomic<bool> done{false};
    std::string shot = std::string(VEXARION_RUN_DIR) + "/pads-dialog.png";
    // Pressed from a thread of its own while the dialog runs its loop; SDL's
    // virtual joysticks take their state from any thread.
    std::thread player([&] {
        const std::string dialog = findDialog(getpid());
        if (dialog.empty())
            return;
        commandOutput("xdotool windowfocus --sync " + dialog);
        pad.plug();
        // Shorter than ImGui's repeat delay: one step per press.
        auto press = [&](SDL_GameControllerButton b) {
            pad.button(b, true);
            sleepSeconds(0.12);
            pad.button(b, false);
            sleepSeconds(0.3);
        };
        press(SDL_CONTROLLER_BUTTON_A);          // opens the list
        press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);  // the second mode
        commandOutput("import -window root '" + shot + "'");
        press(SDL_CONTROLLER_BUTTON_A);          // picked
        press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);  // onto "Start!"
        press(SDL_CONTROLLER_BUTTON_A);
        for (int i = 0; i < 30 && !done; i++)
            sleepSeconds(0.1);
        if (!done)
            x11RequestClose(dialog);  // the pad could not start it: end the dialog
    });
    const bool started = dialogRun(modes, 3, &selected);
    done = true;
    player.join();
    if (pad.joystick)
        pad.unplug();
    platformShutdown();
    EXPECT_TRUE(started) << "the pad did not press Start!";
    EXPECT_EQ(selected, 1);
}
