// The scene as a screen saver; see saver_session.h.
#include "app/saver_session.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/attract.h"
#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/frame_pacing.h"
#include "app/main_loop.h"
#include "app/output_file.h"
#include "app/render.h"
#include "app/settings.h"
#include "effects/lightning.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/notice.h"
#include "platform/pacing.h"
#include "platform/paths.h"
#include "platform/saver_dialog.h"
#include "replay/recorder.h"
#include "replay/trace.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

namespace {

// A screen saver needs no more: the scene moves slowly, and the machine is
// left to itself meanwhile.
const int saverFrameCap = 60;

std::string fromStartFolder(const std::string& path)
{
    std::error_code error;
    return path.empty() ? path : std::filesystem::absolute(std::filesystem::u8path(path), error).u8string();
}

// The window the saver draws in: --window-id's, else, for --root,
// XScreenSaver's (XSCREENSAVER_WINDOW); 0 for the whole screen.
uint64_t hostWindow(const Options& options)
{
    if (options.windowId)
        return options.windowId;
    const std::string named = environmentValue("XSCREENSAVER_WINDOW");
    uint64_t window = 0;
    if (!named.empty() && !parseWindowId(named, &window))
        noticeShow(NOTICE_WARNING,
                   "Vexarion: XSCREENSAVER_WINDOW is no window's id ('" + named + "'); drawing on the whole screen\n");
    return window;
}

uint32_t seedFromClock()
{
    const int64_t now = clockCounter();
    return static_cast<uint32_t>(now) ^ static_cast<uint32_t>(now >> 32);
}

struct SaverRun {
    bool platform = false;
    bool trace = false;
    bool recording = false;
};

// Closes what the run opened; 1 in place of 0 when a file it was asked to
// write could not be written (the user was told then).
int finish(const SaverRun& run, int code)
{
    inputWatch(nullptr, nullptr);
    if (run.trace)
        traceClose();
    if (run.recording)
        recorderClose();
    if (run.platform)
        platformShutdown();
    return code == 0 && outputFailed() ? 1 : code;
}

// The scene frame by frame until the saver is told to end; returns the quit
// message's code.
int playSaver(const Settings& settings, bool sound, bool recording)
{
    FrameLoop loop;
    initFrameLoop(&loop, clockFrequency());
    loop.drawing = createGLContext();
    const bool vsyncPaces = pacingSetVsync(true) != VSYNC_OFF;
    if (recording)
        inputWatch(recordChar, recordKey);
    loadScene(sound);
    attractStart(seedFromClock(), settings.attractPause);
    FramePacer pacer;
    VsyncWatch watch;
    bool running = true;
    for (long frame = 0; running; frame++) {
        running = runFrame(&loop, clockCounter);
        recordFrameEnd(scene.frameTime);
        traceFrame(frame);
        const int64_t now = clockCounter();
        const bool paced = vsyncPaces && vsyncWatchFrame(&watch, now, clockFrequency());
        if (running && !paced)
            pacingSleep(static_cast<double>(framePacerDelay(&pacer, now, clockFrequency(), saverFrameCap)) /
                        static_cast<double>(clockFrequency()));
    }
    return teardown(loop);
}

}  // namespace

int runSaverSettings(const Options& options)
{
    if (!platformInit())
        return 1;
    const std::string path = settingsPath();
    // A damaged file gives the defaults for what it lost, without a word:
    // OK writes it whole again.
    Settings settings = loadSettingsQuietly(path);
    SaverChoices choices = {settings.reducedFlash, settings.saverSound, SAVER_SOMETIMES};
    // The pace nearest the pause the settings hold.
    for (int pace = SAVER_OFTEN; pace <= SAVER_SELDOM; pace++)
        if (std::abs(saverPacePause[pace] - settings.attractPause) <
            std::abs(saverPacePause[choices.pace] - settings.attractPause))
            choices.pace = static_cast<SaverPace>(pace);
    if (saverSettingsDialog(options.configureParent, &choices)) {
        settings.reducedFlash = choices.reducedFlash;
        settings.saverSound = choices.sound;
        settings.attractPause = saverPacePause[choices.pace];
        if (!saveSettings(path, settings))
            noticeShow(NOTICE_ERROR, "Vexarion: the settings could not be written to " + path + "\n");
    }
    platformShutdown();
    return 0;
}

bool wantsScreenSaver(const Options& options)
{
    return options.root || options.windowId != 0;
}

int runScreenSaver(Program program, const Options& options)
{
    if (options.isGiven("window")) {
        noticeShow(NOTICE_ERROR, optionsErrorText(program, "--window does not go with --root or --window-id"));
        return 2;
    }
    const std::string recordPath = fromStartFolder(options.recordPath);
    const std::string tracePath = fromStartFolder(options.tracePath);
    if (!enterContentFolder())
        return 1;
    SaverRun run;
    if (!platformInit())
        return 1;
    run.platform = true;
    if (!displayIsVisible()) {
        noticeShow(NOTICE_ERROR, "Vexarion: no display found for the screen saver\n");
        return finish(run, 1);
    }
    // Read, never written: the saver leaves the player's settings alone,
    // and says nothing of a damaged file.
    Settings settings = loadSettingsQuietly(settingsPath());
    settingsTakeOptions(options, &settings);
    lightning.reducedFlash = settings.reducedFlash;
    // The Windows preview is silent, as every preview in Display Properties.
    const bool preview = program == PROGRAM_SAVER && options.windowId != 0;
    const bool sound = !preview && (options.isGiven("sound") ? options.sound : settings.saverSound);
    if (sound)
        prepareSoundDevice();

    // A file that can't be written is told and left out; the saver plays on.
    if (!recordPath.empty()) {
        recorderOpen(recordPath.c_str());
        run.recording = true;
    }
    if (!tracePath.empty()) {
        traceOpen(tracePath.c_str());
        run.trace = true;
    }

    DisplayMode desktop;
    const int bits = displayDesktopMode(&desktop) ? desktop.bitsPerPixel : 24;
    mainWindow.screenBits = static_cast<uint32_t>(bits);
    const uint64_t host = hostWindow(options);
    if (!(host ? windowCreateInside(host, bits) : windowCreateSaver(bits)))
        return finish(run, 1);
    return finish(run, playSaver(settings, sound, run.recording));
}
