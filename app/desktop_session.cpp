// The live program's session on the desktop; see desktop_session.h.
#include "app/desktop_session.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/attract.h"
#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/output_file.h"
#include "app/program_icon.h"
#include "app/render.h"
#include "app/screenshot.h"
#include "effects/lightning.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/notice.h"
#include "platform/pacing.h"
#include "platform/window.h"
#include "replay/recorder.h"
#include "replay/trace.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

namespace {

// A file named on the command line, fixed to the folder the user started
// in before the program changes to its content folder.
std::string fromStartFolder(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), error);
    return error ? path : absolute.u8string();
}

// F12 asks for the frame being drawn; it is saved just before its swap.
void saveRequestedScreenshot()
{
    if (!mainWindow.screenshotRequested)
        return;
    mainWindow.screenshotRequested = false;
    int width = 0, height = 0;
    windowDrawableSize(&width, &height);
    takeScreenshot(width, height);
}

// What the session has opened that must be closed again, whichever way it
// ends.
struct Opened {
    bool platform = false;
    bool recording = false;
    bool trace = false;
};

// Closes the trace and the recording and shuts the platform down; returns
// `code`, the program's exit code, or 1 in place of 0 when a file it was
// asked to write (the recording, the trace, a screenshot) could not be
// written, of which the user was told when it happened.
int closeAll(const Opened& opened, int code)
{
    inputWatch(nullptr, nullptr);
    if (opened.trace)
        traceClose();
    if (opened.recording)
        recorderClose();
    if (opened.platform)
        platformShutdown();
    return code == 0 && outputFailed() ? 1 : code;
}

// Opens the recording and the trace the command line asked for. One that
// can't be written is told and left out: the session plays on without it.
void openFiles(const std::string& recordPath, const std::string& tracePath, Opened* opened)
{
    if (!recordPath.empty()) {
        recorderOpen(recordPath.c_str());
        opened->recording = true;
    }
    // Opened before the content loads, so frame 0's row also lists the
    // sounds started at start-up, as the replay's does.
    if (!tracePath.empty()) {
        traceOpen(tracePath.c_str());
        opened->trace = true;
    }
}

// The desktop window, or the dialog and full screen. 1 when no window
// could be opened, 0 when the dialog was closed, -1 when the scene can run;
// *started is the mode the dialog switched to.
int openMainWindow(const DesktopSession& session, bool windowed, DisplayMode* started)
{
    sessionPlaceWindow(session);
    bool opened = false;
    if (windowed) {
        opened = createDesktopWindow("Vexarion", static_cast<uint32_t>(session.windowWidth),
                                     static_cast<uint32_t>(session.windowHeight));
    } else {
        if (!runDisplayModeDialog(sessionLastMode(session), started))
            return 0;
        opened = createMainWindow("Vexarion", mainWindow.screenWidth, mainWindow.screenHeight, true);
    }
    if (!opened)
        noticeShow(NOTICE_ERROR, "Vexarion: cannot open the main window\n");
    return opened ? -1 : 1;
}

// The scene, frame by frame until the user quits; returns the quit
// message's code.
int playScene(DesktopSession* session, const Opened& opened, const DisplayMode& started)
{
    FrameLoop loop;
    initFrameLoop(&loop, clockFrequency());
    // Without a context the backend has told the user why; the scene runs unseen.
    loop.drawing = createGLContext();
    sessionStartFrames(session);
    loop.beforeSwap = saveRequestedScreenshot;
    if (opened.recording)
        inputWatch(recordChar, recordKey);
    loadScene(session->sound);
    if (session->attract) {
        const int64_t now = clockCounter();
        attractStart(static_cast<uint32_t>(now) ^ static_cast<uint32_t>(now >> 32), session->settings.attractPause);
    }
    bool running = true;
    for (long frame = 0; running; frame++) {
        running = runFrame(&loop, clockCounter);
        recordFrameEnd(scene.frameTime);
        traceFrame(frame);
        if (running)
            sessionEndFrame(session, clockCounter, clockFrequency());
    }
    sessionEnd(session, started.width > 0 ? &started : nullptr);
    return teardown(loop);
}

}  // namespace

int runDesktopSession(const Options& options)
{
    const std::string recordPath = fromStartFolder(options.recordPath);
    const std::string tracePath = fromStartFolder(options.tracePath);
    if (!recordPath.empty() && recordPath == tracePath) {
        noticeShow(NOTICE_ERROR, optionsErrorText(PROGRAM_VEXARION, "--record and --trace name the same file"));
        return 2;
    }
    if (!enterContentFolder())
        return 1;
    Opened opened;
    if (!platformInit())
        return 1;
    opened.platform = true;
    if (!displayIsVisible()) {
        noticeShow(NOTICE_ERROR, "Vexarion: no display found (no X or Wayland session); run it on a desktop\n");
        return closeAll(opened, 1);
    }
    // The sound device opens while the user picks a mode and the scene loads.
    if (options.sound)
        prepareSoundDevice();
    // The settings, with the command line over them (the reduced flash is
    // known before a recording starts, which notes it).
    DesktopSession session;
    sessionBegin(&session, options);
    int iconSide = 0;
    const unsigned char* icon = programIconPixels(&iconSide);
    windowSetIcon(icon, iconSide, iconSide);
    openFiles(recordPath, tracePath, &opened);
    DisplayMode started = {0, 0, 0};
    const int windowFailed = openMainWindow(session, options.isGiven("window"), &started);
    if (windowFailed >= 0)
        return closeAll(opened, windowFailed);
    return closeAll(opened, playScene(&session, opened, started));
}

void sessionBegin(DesktopSession* session, const Options& options)
{
    session->settingsPath = settingsPath();
    session->settings = loadSettings(session->settingsPath);
    Settings& s = session->settings;
    settingsTakeOptions(options, &s);
    lightning.reducedFlash = s.reducedFlash;
    session->attract = options.attract;
    session->sound = options.sound;

    session->windowWidth = options.windowWidth;
    session->windowHeight = options.windowHeight;
    const auto window = options.given.find("window");
    if (window == options.given.end() || window->second.empty()) {
        // The last window's size, within the desktop; else the usual one,
        // with room left on the desktop for its frame and the desktop's bars.
        const bool last = s.hasWindowSize;
        if (last) {
            session->windowWidth = s.windowWidth;
            session->windowHeight = s.windowHeight;
        }
        DisplayMode desktop;
        if (displayDesktopMode(&desktop)) {
            session->windowWidth =
                std::clamp(session->windowWidth, minimumSide, std::max(minimumSide, desktop.width - (last ? 0 : 64)));
            session->windowHeight =
                std::clamp(session->windowHeight, minimumSide, std::max(minimumSide, desktop.height - (last ? 0 : 96)));
        }
    }
}

void sessionPlaceWindow(const DesktopSession& session)
{
    const Settings& s = session.settings;
    WindowPlace place;
    place.width = session.windowWidth;
    place.height = session.windowHeight;
    place.placed = s.hasWindowPosition;
    place.x = s.windowX;
    place.y = s.windowY;
    windowSetWindowedPlace(place);
}

const DisplayMode* sessionLastMode(const DesktopSession& session)
{
    return session.settings.hasDisplayMode ? &session.settings.displayMode : nullptr;
}

void sessionStartFrames(DesktopSession* session)
{
    session->vsyncPaces = pacingSetVsync(session->settings.vsync) != VSYNC_OFF;
    session->everWindowed = !windowIsFullscreen();
}

void sessionEndFrame(DesktopSession* session, int64_t (*readCounter)(), int64_t counterFrequency)
{
    const bool shown = windowIsShown();
    if (!windowIsFullscreen())
        session->everWindowed = true;
    const bool mute = session->settings.muteUnfocused && !windowHasFocus();
    if (mute != session->muted) {
        audioSetMuted(mute);
        session->muted = mute;
    }
    const int64_t now = readCounter();
    if (session->vsyncPaces && !vsyncWatchFrame(&session->vsyncWatch, now, counterFrequency))
        session->vsyncPaces = false;  // taken, but the swaps don't wait: the default cap holds
    const int cap = frameCap(session->settings.maxFps, session->vsyncPaces, shown);
    const int64_t delay = framePacerDelay(&session->pacer, now, counterFrequency, cap);
    pacingSleep(static_cast<double>(delay) / static_cast<double>(counterFrequency));
}

void sessionEnd(DesktopSession* session, const DisplayMode* startedMode)
{
    Settings& s = session->settings;
    if (startedMode) {
        s.hasDisplayMode = true;
        s.displayMode = *startedMode;
    }
    if (session->everWindowed) {
        const WindowPlace place = windowWindowedPlace();
        if (place.width > 0 && place.height > 0) {
            s.hasWindowSize = true;
            s.windowWidth = std::clamp(place.width, minimumSide, maximumSide);
            s.windowHeight = std::clamp(place.height, minimumSide, maximumSide);
        }
        s.hasWindowPosition = place.placed;
        s.windowX = std::clamp(place.x, -largestWindowPosition, largestWindowPosition);
        s.windowY = std::clamp(place.y, -largestWindowPosition, largestWindowPosition);
    }
    saveSettings(session->settingsPath, s);
}
