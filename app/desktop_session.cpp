// The live program's session on the desktop; see desktop_session.h.
#include "app/desktop_session.h"

#include <algorithm>

#include "effects/lightning.h"
#include "platform/audio.h"
#include "platform/pacing.h"
#include "platform/window.h"

namespace {

const int largestPosition = 100000;  // what the settings file takes

}  // namespace

void sessionBegin(DesktopSession* session, CommandLine* options)
{
    session->settingsPath = settingsPath();
    session->settings = loadSettings(session->settingsPath);
    Settings& s = session->settings;
    s.vsync = options->vsync.value_or(s.vsync);
    s.maxFps = options->maxFps.value_or(s.maxFps);
    s.reducedFlash = options->reducedFlash.value_or(s.reducedFlash);
    s.muteUnfocused = options->muteUnfocused.value_or(s.muteUnfocused);
    lightning.reducedFlash = s.reducedFlash;

    if (!options->windowSizeGiven) {
        // The last window's size, within the desktop; else the usual one,
        // with room left on the desktop for its frame and the desktop's bars.
        const bool last = s.hasWindowSize;
        if (last) {
            options->windowWidth = s.windowWidth;
            options->windowHeight = s.windowHeight;
        }
        DisplayMode desktop;
        if (displayDesktopMode(&desktop)) {
            options->windowWidth =
                std::clamp(options->windowWidth, minimumSide, std::max(minimumSide, desktop.width - (last ? 0 : 64)));
            options->windowHeight =
                std::clamp(options->windowHeight, minimumSide, std::max(minimumSide, desktop.height - (last ? 0 : 96)));
        }
    }
}

void sessionPlaceWindow(const DesktopSession& session, const CommandLine& options)
{
    const Settings& s = session.settings;
    WindowPlace place;
    place.width = options.windowWidth;
    place.height = options.windowHeight;
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
        s.windowX = std::clamp(place.x, -largestPosition, largestPosition);
        s.windowY = std::clamp(place.y, -largestPosition, largestPosition);
    }
    saveSettings(session->settingsPath, s);
}
