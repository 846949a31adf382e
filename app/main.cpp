// Vexarion's entry point: the display-mode dialog, the window, the content,
// and the frame loop until the user quits.
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "platform/clock.h"

int main()
{
    // Without a display there is nothing to show: say so rather than
    // pretend the user closed the dialog.
    if (!registerWindowClass())
        return 1;
    if (!runDisplayModeDialog())
        return 0;
    createMainWindow("Vexarion", screenWidth, screenHeight, true);
    createGLContext();

    FrameLoop loop;
    initFrameLoop(&loop, clockFrequency());
    loadScene();
    while (runFrame(&loop, clockCounter)) {
    }
    return teardown(loop);
}
