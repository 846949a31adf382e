// Full screen as Windows users expect it.
//
// While the program is in front, the screen is in the chosen mode, the
// cursor is hidden over the window, and neither the screen saver nor the
// monitor's power-off starts. When another program is activated (Alt+Tab,
// a click on the taskbar), the desktop gets its own mode back and the window
// is minimised; when the program comes back, the mode is switched again and
// the window restored. Windows may also drop the mode while the program
// stays in front (after Ctrl+Alt+Del, the lock screen or a UAC prompt, which
// run on a desktop of their own): WM_DISPLAYCHANGE then brings it back.
// A switch the system refuses leaves an ordinary window of the mode's size.
#include <cstdio>

#include "platform/notice.h"
#include "platform/win32/state.h"

namespace {

void keepDisplayAwake(bool on)
{
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS);
}

void leaveFullScreen(HWND window)
{
    // Minimised first, so the desktop never shows the full-size window in
    // its own mode.
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    restoreDesktopMode();
    keepDisplayAwake(false);
}

void enterFullScreen(HWND window)
{
    if (platformWin32.modeRequested && !platformWin32.modeChanged && !applyRequestedMode()) {
        fallBackToWindow(window);
        return;
    }
    platformWin32.modeLost = false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, HWND_TOP, 0, 0, platformWin32.fullScreenWidth, platformWin32.fullScreenHeight, SWP_NOACTIVATE);
    keepDisplayAwake(true);
}

}  // namespace

bool applyRequestedMode()
{
    const DisplayMode& mode = platformWin32.requestedMode;
    DEVMODEW record = {};
    record.dmSize = sizeof record;
    record.dmPelsWidth = static_cast<DWORD>(mode.width);
    record.dmPelsHeight = static_cast<DWORD>(mode.height);
    record.dmBitsPerPel = static_cast<DWORD>(mode.bitsPerPixel);
    // Width, height and depth only: the system picks the refresh rate.
    record.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    // Marked before the call, so that an exit while it runs restores too.
    platformWin32.modeChanged = true;
    if (ChangeDisplaySettingsW(&record, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        platformWin32.modeChanged = false;  // the desktop's mode stayed
        platformWin32.refusalToTell = true;
    }
    return platformWin32.modeChanged;
}

void restoreDesktopMode()
{
    if (platformWin32.modeChanged) {
        ChangeDisplaySettingsW(nullptr, 0);
        platformWin32.modeChanged = false;
    }
}

void fallBackToWindow(HWND window)
{
    platformWin32.fullScreen = false;
    restoreDesktopMode();
    keepDisplayAwake(false);
    const DWORD style = windowedStyle;
    RECT frame = {0, 0, platformWin32.fullScreenWidth, platformWin32.fullScreenHeight};
    AdjustWindowRect(&frame, style, FALSE);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
    const int x = desktop.left + ((desktop.right - desktop.left) - width) / 2;
    const int y = desktop.top + ((desktop.bottom - desktop.top) - height) / 2;
    SetWindowLongPtrW(window, GWL_STYLE,
                      static_cast<LONG_PTR>(style | (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE)));
    SetWindowPos(window, HWND_NOTOPMOST, x > desktop.left ? x : desktop.left, y > desktop.top ? y : desktop.top, width,
                 height, SWP_FRAMECHANGED | SWP_NOACTIVATE);
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
}

bool fullScreenMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!platformWin32.fullScreen)
        return false;
    switch (message) {
    case WM_ACTIVATEAPP:
        platformWin32.active = wParam != 0;
        if (platformWin32.active)
            enterFullScreen(window);
        else
            leaveFullScreen(window);
        return false;
    case WM_DISPLAYCHANGE:
        // The screen's new size comes with the message. Switched back after
        // the messages are handled: the system sends this while it may still
        // be changing the mode itself.
        platformWin32.modeLost =
            LOWORD(lParam) != platformWin32.requestedMode.width || HIWORD(lParam) != platformWin32.requestedMode.height;
        return false;
    case WM_SYSCOMMAND:
        if (platformWin32.active && ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER)) {
            *result = 0;
            return true;
        }
        return false;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(nullptr);
            *result = TRUE;
            return true;
        }
        return false;
    default: return false;
    }
}

void fullScreenAfterMessages()
{
    if (platformWin32.modeLost && platformWin32.fullScreen && platformWin32.active && platformWin32.modeRequested) {
        platformWin32.modeChanged = false;
        enterFullScreen(platformWin32.mainWindow);
    }
    platformWin32.modeLost = false;
    tellRefusedMode();
}

void tellRefusedMode()
{
    if (!platformWin32.refusalToTell)
        return;
    platformWin32.refusalToTell = false;
    const DisplayMode& mode = platformWin32.requestedMode;
    char text[160];
    std::snprintf(text, sizeof text,
                  "Vexarion: the screen could not switch to %dx%d, %dbit; playing in a window of that size.\n",
                  mode.width, mode.height, mode.bitsPerPixel);
    noticeShow(NOTICE_WARNING, text);
}
