// The main window on Win32: a WS_POPUP window of the class "GLDEMO" at
// (0, 0) for full screen, or an ordinary, resizable desktop window, and its
// procedure. Going from one to the other is window_place.cpp's.
//
// The window is a Unicode one, so typed characters arrive as UTF-16. Letter
// keys whose layout types no Latin letter give the key's own letter (see
// key_letters.h), and the input method is switched off for the window: its
// keys are commands, not text to compose.
#include <string>

#include "platform/display.h"
#include "platform/shared/input_queue.h"
#include "platform/shared/key_letters.h"
#include "platform/win32/state.h"
#include "platform/win32/text.h"

#include <imm.h>  // after <windows.h>

namespace {

// The Latin letter printed on the key a WM_CHAR came from, or 0.
int keyLetterOf(LPARAM lParam)
{
    UINT scanCode = (static_cast<UINT>(lParam) >> 16) & 0xFF;
    UINT virtualKey = MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK);
    return virtualKey >= 'A' && virtualKey <= 'Z' ? static_cast<int>(virtualKey) : 0;
}

void typed(WPARAM wParam, LPARAM lParam)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    int code = characterFromKey(static_cast<int>(wParam), keyLetterOf(lParam), shift, capsLock);
    // The program's characters are single bytes (Latin-1): others mean nothing to it.
    if (code > 0 && code < 256)
        inputQueueChar(code);
}

}  // namespace

LRESULT CALLBACK windowMessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (saverMessage(window, message, wParam, lParam, &result))
        return result;
    if (fullScreenMessage(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_CHAR: typed(wParam, lParam); break;
    case WM_KEYDOWN:
        // Bit 30 of lParam: the key was already down (a repeat).
        if (wParam == VK_F12 && !(lParam & (1 << 30)))
            inputQueueScreenshot();
        if (wParam == VK_F11 && !(lParam & (1 << 30)))
            inputQueueFullscreen();
        break;
    case WM_SYSKEYDOWN:
        // Alt+Return: full screen on or off.
        if (wParam == VK_RETURN) {
            if (!(lParam & (1 << 30)))
                inputQueueFullscreen();
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (wParam == '\r')
            return 0;  // no beep for an Alt+Return without a menu
        break;
    case WM_CLOSE:
        // The program posts its quit message when it takes this request;
        // the window itself stays until the process ends.
        inputQueueClose();
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            restoreDesktopMode();
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool windowCreateMain(const char* title, int width, int height, int colourBits, int flags)
{
    if (!platformWin32.initialised || platformWin32.mainWindow)
        return false;
    const std::wstring wideTitle = utf16FromUtf8(title);
    const bool fullScreen = (flags & WINDOW_FULLSCREEN) != 0;
    HWND window;
    if (flags & WINDOW_DECORATED) {
        // An ordinary window, its client area of the asked size, where it
        // was last (windowSetWindowedPlace) or where the system puts it.
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, windowedStyle, FALSE);
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
        RECT placed;
        if (win32WindowedFrame(&placed)) {
            x = placed.left;
            y = placed.top;
        }
        window = CreateWindowExW(0, mainWindowClass, wideTitle.c_str(), windowedStyle, x, y, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, platformWin32.instance, nullptr);
    } else {
        // Known before the window exists: its activation, during creation,
        // already takes the full-screen path.
        platformWin32.fullScreen = fullScreen;
        platformWin32.fullScreenWidth = width;
        platformWin32.fullScreenHeight = height;
        DWORD style = WS_POPUP | ((flags & WINDOW_HIDDEN) ? 0 : WS_VISIBLE);
        // A pop-up window with x = CW_USEDEFAULT and y = 0 sits at (0, 0).
        window = CreateWindowExW(0, mainWindowClass, wideTitle.c_str(), style, CW_USEDEFAULT, 0, width, height, nullptr,
                                 nullptr, platformWin32.instance, nullptr);
    }
    if (!window) {
        platformWin32.fullScreen = false;
        return false;
    }
    platformWin32.mainWindow = window;
    platformWin32.colourBits = colourBits;  // for the pixel format (glcontext.cpp)
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(platformWin32.stockFont), TRUE);
    win32GiveIcon(window);
    ImmAssociateContextEx(window, nullptr, 0);
    // A refused switch: play in a window of the mode's size rather than in
    // a corner of a screen that kept its own mode.
    if (fullScreen && platformWin32.modeRequested && !platformWin32.modeChanged)
        fallBackToWindow(window);
    if (!(flags & WINDOW_HIDDEN)) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        SetFocus(window);
    }
    tellRefusedMode();
    return true;
}

void windowGetGeometry(int* x, int* y, int* width, int* height)
{
    // The client area, where the frame is drawn, in screen coordinates.
    RECT rect = {0, 0, 0, 0};
    POINT origin = {0, 0};
    if (platformWin32.mainWindow) {
        GetClientRect(platformWin32.mainWindow, &rect);
        ClientToScreen(platformWin32.mainWindow, &origin);
    }
    if (x)
        *x = origin.x;
    if (y)
        *y = origin.y;
    if (width)
        *width = rect.right - rect.left;
    if (height)
        *height = rect.bottom - rect.top;
}

void windowDestroyMain()
{
    if (platformWin32.glContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(platformWin32.glContext);
        platformWin32.glContext = nullptr;
    }
    if (platformWin32.windowDC) {
        ReleaseDC(platformWin32.mainWindow, platformWin32.windowDC);
        platformWin32.windowDC = nullptr;
    }
    platformWin32.fullScreen = false;
    if (platformWin32.saver == SAVER_FULL)
        ShowCursor(TRUE);
    platformWin32.saver = SAVER_NONE;
    if (platformWin32.mainWindow) {
        DestroyWindow(platformWin32.mainWindow);
        platformWin32.mainWindow = nullptr;
    }
}
