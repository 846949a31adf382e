// The live program's session on the desktop: everything between its
// command line and its exit code. The settings it starts from and leaves
// behind, the display-mode dialog or the desktop window, the recording and
// the trace, vsync and the pacing of its frames, and the sound while the
// window is in the background.
//
// Only the program itself has a session. vexarion-replay and vexarion-bench
// read no settings, never wait for vsync and never sleep, so a replay's
// trace depends on its script alone.
#pragma once
#include <cstdint>
#include <string>

#include "app/frame_pacing.h"
#include "app/options.h"
#include "app/settings.h"
#include "platform/display.h"

struct DesktopSession {
    std::string settingsPath;
    Settings settings;    // as read, with the command line laid over them: what the session uses
    int windowWidth = 0;  // the size of an ordinary window this session
    int windowHeight = 0;
    FramePacer pacer;
    VsyncWatch vsyncWatch;
    bool vsyncPaces = false;    // the driver took vsync, and its swaps do wait
    bool everWindowed = false;  // the main window was an ordinary window at some time
    bool muted = false;
    bool attract = false;  // --attract: the elements come on their own
    bool sound = true;     // --no-sound: no sound device at all
};

// The whole session for a command line already read: returns the program's
// exit code (0 when the dialog was closed or the scene ended, 1 when it
// could not start, 2 for options that contradict each other).
int runDesktopSession(const Options& options);

// Reads the settings (a damaged file gives one warning) and lays the
// command line over them; turns the reduced flash on when asked for. Where
// --window gave no size, the session's window size is the last window's
// (else --window's default) within the desktop. Call after the platform
// has started.
void sessionBegin(DesktopSession* session, const Options& options);

// Sets where the main window opens as an ordinary window and where it goes
// when it leaves full screen: the last window's place, if it had one.
void sessionPlaceWindow(const DesktopSession& session);

// The mode the dialog preselects: the one last started, if any.
const DisplayMode* sessionLastMode(const DesktopSession& session);

// Once the OpenGL context exists: asks the driver for vsync, or for none.
void sessionStartFrames(DesktopSession* session);

// At the end of every frame: silences the sound while the window is in
// the background (if asked to) and sleeps away the rest of the frame.
void sessionEndFrame(DesktopSession* session, int64_t (*readCounter)(), int64_t counterFrequency);

// Before teardown: remembers the mode started (`startedMode`, null for
// none), the last ordinary window's size and place, and the options used,
// and writes the settings file.
void sessionEnd(DesktopSession* session, const DisplayMode* startedMode);
