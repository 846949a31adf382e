// Vexarion's entry point: the command line, then the session on the desktop
// (app/desktop_session.h): the content folder, the display-mode dialog and
// full screen (or a desktop window), the content, and the frame loop until
// the user quits; or, asked for it, the screen saver (app/saver_session.h).
#include "app/desktop_session.h"
#include "app/options.h"
#include "app/saver_session.h"
#include "platform/notice.h"

int main(int argc, char** argv)
{
    noticeInit();
    Options options;
    const int ended = readCommandLine(PROGRAM_VEXARION, argc, argv, &options);
    if (ended >= 0)
        return ended;
    if (wantsScreenSaver(options))
        return runScreenSaver(PROGRAM_VEXARION, options);
    return runDesktopSession(options);
}
