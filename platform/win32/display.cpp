// Display modes, the window class and the main window on Win32.
//
// The screen switch is ChangeDisplaySettings with CDS_FULLSCREEN, made the
// moment a mode is chosen; the main window is a WS_POPUP window of the
// class "GLDEMO" at (0, 0). The desktop's mode comes back at teardown, and
// also on every other way out the program can catch: a return or exit()
// from anywhere (atexit), a console Ctrl+C, Ctrl+Break or close, a log-off,
// and an unhandled exception.
#include <cstdlib>

#include "platform/display.h"
#include "platform/input_queue.h"
#include "platform/win32/state.h"

#include <commctrl.h>  // after <windows.h>, which it builds on

PlatformWin32State platformWin32 = {false, nullptr, nullptr, nullptr, 0, nullptr, nullptr, false};
const char* const mainWindowClass = "GLDEMO";

namespace {

void restoreDesktopMode()
{
    if (platformWin32.modeChanged) {
        ChangeDisplaySettingsA(nullptr, 0);
        platformWin32.modeChanged = false;
    }
}

BOOL WINAPI onConsoleEvent(DWORD)
{
    // Runs on a thread of its own; the mode switch is all that must happen
    // before the process goes.
    restoreDesktopMode();
    return FALSE;  // let the default handler end the process
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS*)
{
    restoreDesktopMode();
    return EXCEPTION_CONTINUE_SEARCH;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR: inputQueueChar(static_cast<int>(wParam & 0xFF)); break;
    case WM_KEYDOWN:
        // Bit 30 of lParam: the key was already down (a repeat).
        if (wParam == VK_F12 && !(lParam & (1 << 30)))
            inputQueueScreenshot();
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
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool platformInit()
{
    if (platformWin32.initialised)
        return true;
    platformWin32.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    platformWin32.stockFont = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));

    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbWndExtra = 30;
    windowClass.hInstance = platformWin32.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = mainWindowClass;
    if (!RegisterClassA(&windowClass))
        return false;

    std::atexit(restoreDesktopMode);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    SetUnhandledExceptionFilter(onUnhandledException);
    platformWin32.initialised = true;
    return true;
}

bool displayIsVisible()
{
    // A Windows desktop always shows its windows.
    return platformWin32.initialised;
}

void platformShutdown()
{
    if (!platformWin32.initialised)
        return;
    windowDestroyMain();
    restoreDesktopMode();
    UnregisterClassA(mainWindowClass, platformWin32.instance);
    platformWin32.initialised = false;
}

bool displayEnumMode(int n, DisplayMode* mode)
{
    if (n < 0)
        return false;
    DEVMODEA record = {};
    record.dmSize = sizeof record;
    if (!EnumDisplaySettingsA(nullptr, static_cast<DWORD>(n), &record))
        return false;
    mode->width = static_cast<int>(record.dmPelsWidth);
    mode->height = static_cast<int>(record.dmPelsHeight);
    mode->bitsPerPixel = static_cast<int>(record.dmBitsPerPel);
    return true;
}

bool displayDesktopMode(DisplayMode* mode)
{
    DEVMODEA record = {};
    record.dmSize = sizeof record;
    if (!EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &record) &&
        !EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &record))
        return false;
    mode->width = static_cast<int>(record.dmPelsWidth);
    mode->height = static_cast<int>(record.dmPelsHeight);
    mode->bitsPerPixel = static_cast<int>(record.dmBitsPerPel);
    return true;
}

void displayChangeMode(const DisplayMode& mode)
{
    DEVMODEA record = {};
    record.dmSize = sizeof record;
    record.dmPelsWidth = static_cast<DWORD>(mode.width);
    record.dmPelsHeight = static_cast<DWORD>(mode.height);
    record.dmBitsPerPel = static_cast<DWORD>(mode.bitsPerPixel);
    // Width, height and depth only: the system picks the refresh rate.
    record.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    // Marked before the call, so that an exit while it runs restores too.
    platformWin32.modeChanged = true;
    if (ChangeDisplaySettingsA(&record, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        platformWin32.modeChanged = false;  // the desktop's mode stayed
}

void displayRestoreMode()
{
    restoreDesktopMode();
}

bool windowCreateMain(const char* title, int width, int height, int colourBits, int flags)
{
    if (!platformWin32.initialised || platformWin32.mainWindow)
        return false;
    HWND window;
    if (flags & WINDOW_DECORATED) {
        // An ordinary window placed by the system, its client area of the
        // asked size.
        DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, style, FALSE);
        window =
            CreateWindowExA(0, mainWindowClass, title, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, platformWin32.instance, nullptr);
    } else {
        DWORD style = WS_POPUP | ((flags & WINDOW_HIDDEN) ? 0 : WS_VISIBLE);
        // A pop-up window with x = CW_USEDEFAULT and y = 0 sits at (0, 0).
        window = CreateWindowExA(0, mainWindowClass, title, style, CW_USEDEFAULT, 0, width, height, nullptr, nullptr,
                                 platformWin32.instance, nullptr);
    }
    if (!window)
        return false;
    platformWin32.mainWindow = window;
    platformWin32.colourBits = colourBits;  // for the pixel format (glcontext.cpp)
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(platformWin32.stockFont), TRUE);
    if (!(flags & WINDOW_HIDDEN)) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        SetFocus(window);
    }
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
    if (platformWin32.mainWindow) {
        DestroyWindow(platformWin32.mainWindow);
        platformWin32.mainWindow = nullptr;
    }
}
