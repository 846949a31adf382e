// The screen saver's windows on Win32: vexarion.scr /s covers every screen
// with a topmost pop-up window, the cursor hidden, and ends on the first
// key, click or mouse movement of more than a few pixels, or when another
// window comes to the front, as Windows' own savers do; /p HWND draws in a
// child window of the preview window it is given, following that window's
// size, and ends once that window is gone.
//
// Neither changes the display's mode: the saver runs in the desktop's own.
#include <cstdlib>

#include "platform/display.h"
#include "platform/shared/input_queue.h"
#include "platform/win32/state.h"

namespace {

// Mouse movements of up to this many pixels from where the mouse was at
// the start don't end the saver (a mouse on a shaky desk).
const int mouseSlack = 4;

bool haveStart = false;
POINT mouseStart = {0, 0};

bool openSaverWindow(HWND parent, DWORD style, DWORD extendedStyle, const RECT& area)
{
    HWND window =
        CreateWindowExW(extendedStyle, mainWindowClass, L"Vexarion", style, area.left, area.top, area.right - area.left,
                        area.bottom - area.top, parent, nullptr, platformWin32.instance, nullptr);
    if (!window)
        return false;
    platformWin32.mainWindow = window;
    win32GiveIcon(window);
    return true;
}

}  // namespace

bool windowCreateInside(uint64_t host, int colourBits)
{
    HWND parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(host));
    if (!platformWin32.initialised || platformWin32.mainWindow || !IsWindow(parent))
        return false;
    RECT area;
    GetClientRect(parent, &area);
    platformWin32.saver = SAVER_PREVIEW;
    platformWin32.saverParent = parent;
    platformWin32.colourBits = colourBits;
    if (!openSaverWindow(parent, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, area)) {
        platformWin32.saver = SAVER_NONE;
        return false;
    }
    return true;
}

bool windowCreateSaver(int colourBits)
{
    if (!platformWin32.initialised || platformWin32.mainWindow)
        return false;
    // Every screen: the virtual screen that holds them all.
    const RECT area = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    platformWin32.saver = SAVER_FULL;
    platformWin32.colourBits = colourBits;
    // Where the mouse is comes with the first WM_MOUSEMOVE, which the window
    // gets as it appears under the mouse: asked now, the system may still
    // tell where the mouse was when it last crossed one of its windows.
    haveStart = false;
    if (!openSaverWindow(nullptr, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, area)) {
        platformWin32.saver = SAVER_NONE;
        return false;
    }
    ShowCursor(FALSE);
    SetForegroundWindow(platformWin32.mainWindow);
    SetFocus(platformWin32.mainWindow);
    return true;
}

bool saverMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result)
{
    if (platformWin32.saver != SAVER_FULL)
        return false;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        inputQueueClose();
        *result = 0;
        return true;
    case WM_MOUSEMOVE: {
        // Screen coordinates: the window may not start at (0, 0).
        POINT now;
        if (GetCursorPos(&now)) {
            if (!haveStart) {
                mouseStart = now;
                haveStart = true;
            } else if (std::abs(now.x - mouseStart.x) > mouseSlack || std::abs(now.y - mouseStart.y) > mouseSlack)
                inputQueueClose();
        }
        *result = 0;
        return true;
    }
    case WM_ACTIVATEAPP:
        if (!wParam)
            inputQueueClose();
        return false;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        *result = TRUE;
        return true;
    case WM_SYSCOMMAND:
        // No second saver over this one, and no screen going dark under it.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) {
            *result = 0;
            return true;
        }
        return false;
    default: return false;
    }
}

void saverAfterMessages()
{
    if (platformWin32.saver != SAVER_PREVIEW || !platformWin32.mainWindow)
        return;
    HWND parent = platformWin32.saverParent;
    if (!IsWindow(parent)) {
        inputQueueClose();
        return;
    }
    RECT area, now;
    GetClientRect(parent, &area);
    GetClientRect(platformWin32.mainWindow, &now);
    if (area.right != now.right || area.bottom != now.bottom)
        MoveWindow(platformWin32.mainWindow, 0, 0, area.right, area.bottom, TRUE);
}
