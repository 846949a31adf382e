// Vexarion's entry point: the command line, the content folder, the display
// check, then the display-mode dialog and full screen (or a desktop window),
// the content, and the frame loop until the user quits.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/content_folder.h"
#include "app/desktop_session.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/program_icon.h"
#include "app/recorder.h"
#include "app/render.h"
#include "app/screenshot.h"
#include "app/trace.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/notice.h"
#include "platform/paths.h"
#include "platform/window.h"
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

// What the program has opened that must be closed again, whichever way it
// ends.
struct Opened {
    bool platform = false;
    bool recording = false;
    bool trace = false;
};

// Closes the trace and the recording (saying so if either lost rows) and
// shuts the platform down; returns `code`, the program's exit code.
int closeAll(const Opened& opened, int code)
{
    inputWatch(nullptr, nullptr);
    bool written = true;
    if (opened.trace)
        written = traceClose() && written;
    if (opened.recording)
        written = recorderClose() && written;
    if (!written)
        noticeShow(NOTICE_WARNING, "Vexarion: the recording or the trace could not be written in full\n");
    if (opened.platform)
        platformShutdown();
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    noticeInit();
    const std::vector<std::string> arguments = programArguments(argc, argv);
    std::vector<const char*> argumentTexts;
    for (const std::string& argument : arguments)
        argumentTexts.push_back(argument.c_str());
    CommandLine options;
    std::string error;
    if (!parseCommandLine(static_cast<int>(argumentTexts.size()), argumentTexts.data(), &options, &error)) {
        noticeShow(NOTICE_ERROR,
                   "vexarion: " + error + "\n" + commandLineSynopsis() + "Run 'vexarion --help' for the options.\n");
        return 2;
    }
    if (options.help) {
        noticeShow(NOTICE_ANSWER, commandLineUsage());
        return 0;
    }
    if (options.version) {
        noticeShow(NOTICE_ANSWER, std::string("vexarion ") + programVersion() + "\n");
        return 0;
    }
    const std::string recordPath = fromStartFolder(options.recordPath);
    const std::string tracePath = fromStartFolder(options.tracePath);

    if (!enterContentFolder())
        return 1;
    Opened opened;
    if (!registerWindowClass())
        return 1;
    opened.platform = true;
    if (!displayIsVisible()) {
        noticeShow(NOTICE_ERROR, "Vexarion: no display found (no X or Wayland session); run it on a desktop\n");
        return closeAll(opened, 1);
    }
    // The sound device opens while the user picks a mode and the scene loads.
    prepareSoundDevice();
    // The settings, with the command line over them (the reduced flash is
    // known before a recording starts, which notes it).
    DesktopSession session;
    sessionBegin(&session, &options);
    int iconSide = 0;
    const unsigned char* icon = programIconPixels(&iconSide);
    windowSetIcon(icon, iconSide, iconSide);
    if (!recordPath.empty()) {
        if (!recorderOpen(recordPath.c_str())) {
            noticeShow(NOTICE_ERROR, "Vexarion: cannot write the recording " + recordPath + "\n");
            return closeAll(opened, 1);
        }
        opened.recording = true;
    }
    // Opened before the content loads, so frame 0's row also lists the
    // sounds started at start-up, as the replay's does.
    if (!tracePath.empty()) {
        if (!traceOpen(tracePath.c_str())) {
            noticeShow(NOTICE_ERROR, "Vexarion: cannot write the trace " + tracePath + "\n");
            return closeAll(opened, 1);
        }
        opened.trace = true;
    }

    sessionPlaceWindow(session, options);
    DisplayMode started = {0, 0, 0};
    if (options.windowed) {
        if (!createDesktopWindow("Vexarion", static_cast<uint32_t>(options.windowWidth),
                                 static_cast<uint32_t>(options.windowHeight)))
            return closeAll(opened, 1);
    } else {
        if (!runDisplayModeDialog(sessionLastMode(session), &started))
            return closeAll(opened, 0);
        createMainWindow("Vexarion", mainWindow.screenWidth, mainWindow.screenHeight, true);
    }

    FrameLoop loop;
    initFrameLoop(&loop, clockFrequency());
    // Without a context the backend has told the user why; the scene runs unseen.
    loop.drawing = createGLContext();
    sessionStartFrames(&session);
    loop.beforeSwap = saveRequestedScreenshot;
    if (opened.recording)
        inputWatch(recordChar, recordKey);
    loadScene();
    bool running = true;
    for (long frame = 0; running; frame++) {
        running = runFrame(&loop, clockCounter);
        recordFrameEnd(scene.frameTime);
        traceFrame(frame);
        if (running)
            sessionEndFrame(&session, clockCounter, clockFrequency());
    }
    sessionEnd(&session, started.width > 0 ? &started : nullptr);
    return closeAll(opened, teardown(loop));
}
