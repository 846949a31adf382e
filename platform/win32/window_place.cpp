// The main window on Win32 as the user changes it: full screen and back,
// its place as an ordinary window, its client size, whether it is seen and
// in front, and the program's icon.
//
// Full screen is a WS_POPUP window covering the screen: in the mode the
// dialog chose, switched to again with ChangeDisplaySettings, or, when no
// mode was chosen (a --window session), at the desktop's own size on the
// window's monitor. While it is full screen, fullscreen.cpp gives way to
// other programs as Windows users expect. An ordinary window has a title
// bar, a sizing border and the maximise box (windowedStyle). Leaving full
// screen gives the desktop its mode back and the window the place it had
// before.
#include <vector>

#include "platform/display.h"
#include "platform/win32/state.h"
#include "platform/window.h"

namespace {

WindowPlace windowedPlace;
HICON icon = nullptr;

bool onAScreen(const RECT& frame)
{
    HMONITOR monitor = MonitorFromRect(&frame, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT common;
    return monitor && GetMonitorInfoW(monitor, &info) && IntersectRect(&common, &info.rcWork, &frame) &&
           common.right - common.left >= 64 && common.bottom - common.top >= 64;
}

// The frame of an ordinary window around a client area of `place`'s size,
// at `place`.
RECT frameOf(const WindowPlace& place)
{
    RECT frame = {0, 0, place.width, place.height};
    AdjustWindowRect(&frame, windowedStyle, FALSE);
    return RECT{place.x, place.y, place.x + frame.right - frame.left, place.y + frame.bottom - frame.top};
}

WindowPlace currentPlace(HWND window)
{
    WindowPlace place;
    RECT outer = {0, 0, 0, 0};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (IsIconic(window) || IsZoomed(window)) {
        // The place it comes back to, not the minimised or maximised one.
        if (!GetWindowPlacement(window, &placement))
            return place;
        outer = placement.rcNormalPosition;
    } else {
        GetWindowRect(window, &outer);
    }
    RECT border = {0, 0, 0, 0};
    AdjustWindowRect(&border, windowedStyle, FALSE);
    return WindowPlace{outer.left, outer.top, (outer.right - outer.left) - (border.right - border.left),
                       (outer.bottom - outer.top) - (border.bottom - border.top), true};
}

}  // namespace

void win32GiveIcon(HWND window)
{
    if (icon && window) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

bool win32WindowedFrame(RECT* frame)
{
    if (!windowedPlace.placed)
        return false;
    *frame = frameOf(windowedPlace);
    return onAScreen(*frame);
}

void windowSetWindowedPlace(const WindowPlace& place)
{
    windowedPlace = place;
}

WindowPlace windowWindowedPlace()
{
    HWND window = platformWin32.mainWindow;
    return window && !platformWin32.fullScreen ? currentPlace(window) : windowedPlace;
}

bool windowIsFullscreen()
{
    return platformWin32.mainWindow && platformWin32.fullScreen;
}

void windowSetFullscreen(bool on)
{
    HWND window = platformWin32.mainWindow;
    if (!window || on == platformWin32.fullScreen)
        return;
    RECT area;
    if (on) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (platformWin32.modeRequested) {
            if (!platformWin32.modeChanged && !applyRequestedMode()) {
                tellRefusedMode();  // and the window stays as it is
                return;
            }
            area = RECT{0, 0, platformWin32.requestedMode.width, platformWin32.requestedMode.height};
        } else if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
            area = info.rcMonitor;
        } else {
            area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        }
        windowedPlace = currentPlace(window);
        platformWin32.fullScreenWidth = area.right - area.left;
        platformWin32.fullScreenHeight = area.bottom - area.top;
        platformWin32.active = GetForegroundWindow() == window;
        SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    } else {
        restoreDesktopMode();
        SetThreadExecutionState(ES_CONTINUOUS);  // the screen saver may come again
        if (!win32WindowedFrame(&area)) {
            // Centred in the work area of the primary screen.
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            RECT size = frameOf(WindowPlace{0, 0, windowedPlace.width, windowedPlace.height, false});
            const LONG width = size.right - size.left, height = size.bottom - size.top;
            const LONG left = work.left + (work.right - work.left - width) / 2;
            const LONG top = work.top + (work.bottom - work.top - height) / 2;
            area =
                RECT{left, top > work.top ? top : work.top, left + width, (top > work.top ? top : work.top) + height};
        }
        SetWindowLongPtrW(window, GWL_STYLE, windowedStyle | WS_VISIBLE);
    }
    platformWin32.fullScreen = on;
    SetWindowPos(window, on ? HWND_TOP : HWND_NOTOPMOST, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void windowDrawableSize(int* width, int* height)
{
    windowGetGeometry(nullptr, nullptr, width, height);
}

bool windowIsShown()
{
    HWND window = platformWin32.mainWindow;
    return window && IsWindowVisible(window) && !IsIconic(window);
}

bool windowHasFocus()
{
    HWND window = platformWin32.mainWindow;
    return window && GetForegroundWindow() == window;
}

void windowSetIcon(const uint8_t* rgba, int width, int height)
{
    if (icon) {
        DestroyIcon(icon);
        icon = nullptr;
    }
    if (!rgba || width <= 0 || height <= 0)
        return;
    // A 32-bit top-down colour bitmap with its alpha, and an empty mask.
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof header;
    header.bV5Width = width;
    header.bV5Height = -height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour)
        return;
    uint8_t* out = static_cast<uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; i++) {
        out[4 * i + 0] = rgba[4 * i + 2];
        out[4 * i + 1] = rgba[4 * i + 1];
        out[4 * i + 2] = rgba[4 * i + 0];
        out[4 * i + 3] = rgba[4 * i + 3];
    }
    std::vector<uint8_t> maskBits(static_cast<size_t>((width + 15) / 16 * 2) * height, 0);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, maskBits.data());
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    win32GiveIcon(platformWin32.mainWindow);
}
