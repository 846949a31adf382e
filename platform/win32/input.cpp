// The keyboard and window messages on Win32, fed into the shared queue.
//
// The pump is the classic one: PeekMessage, TranslateMessage and
// DispatchMessage for every waiting message, so that the main window's
// procedure (window.cpp) receives WM_CHAR and WM_CLOSE and queues them.
// Held keys are then polled with GetAsyncKeyState, by virtual key: E, W and
// F are the keys that type those letters, Shift either Shift key. That call
// reads the keyboard of the whole desktop, so keys count only while the
// main window is the foreground window: keys typed into another program
// are not the player's. Game pads (pads.cpp) count only then too, and a
// replay reads none.
#include "platform/shared/input_queue.h"
#include "platform/win32/pads.h"
#include "platform/win32/state.h"

namespace {

const int virtualKeys[KEY_COUNT] = {'E', 'W', 'F', VK_SHIFT};

}  // namespace

void inputBackendPump()
{
    if (!platformWin32.initialised)
        return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Only the system posts these here (the program's own quit goes
            // through the shared queue): treat it as a request to close.
            inputQueueClose();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    fullScreenAfterMessages();
    saverAfterMessages();
    const bool inFront = platformWin32.mainWindow && GetForegroundWindow() == platformWin32.mainWindow;
    for (int k = 0; k < KEY_COUNT; k++) {
        // Asked even when not in front, so that a press elsewhere is not
        // remembered as "pressed since the last query" for later.
        SHORT state = GetAsyncKeyState(virtualKeys[k]);
        if (!inFront)
            state = 0;
        inputKeyReport(static_cast<Key>(k), (state & 0x8000) != 0, (state & 1) != 0);
    }
    if (!inputScripted()) {
        xinputLoad(&xinputPads);
        xinputPoll(&xinputPads, inFront, GetTickCount64());
    }
}
