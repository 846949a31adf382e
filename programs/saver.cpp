// vexarion.scr: the scene as a Windows screen saver (app/saver_session.h),
// started by Windows with its own arguments:
//
//   vexarion.scr /s          full screen, until a key, a click or the mouse moves
//   vexarion.scr /p HWND     the preview, inside that window, until it goes
//   vexarion.scr /c[:HWND]   the settings dialog (also with no argument)
#include "app/options.h"
#include "app/saver_session.h"
#include "platform/notice.h"

int main(int argc, char** argv)
{
    noticeInit();
    Options options;
    const int ended = readCommandLine(PROGRAM_SAVER, argc, argv, &options);
    if (ended >= 0)
        return ended;
    if (options.configure || !wantsScreenSaver(options))
        return runSaverSettings(options);
    return runScreenSaver(PROGRAM_SAVER, options);
}
