// Display modes and the platform's start and end on Win32.
//
// The screen switch is ChangeDisplaySettings with CDS_FULLSCREEN, made the
// moment a mode is chosen (fullscreen.cpp keeps it while the program is in
// front). The desktop's mode comes back at teardown, and also on every other
// way out the program can catch: a return or exit() from anywhere (atexit),
// a console Ctrl+C, Ctrl+Break or close, a log-off, and an unhandled
// exception.
#include <cstdlib>

#include "platform/display.h"
#include "platform/win32/state.h"

#include <commctrl.h>  // after <windows.h>, which it builds on

PlatformWin32State platformWin32 = {};
const wchar_t* const mainWindowClass = L"GLDEMO";

namespace {

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

bool readMode(DWORD which, DisplayMode* mode)
{
    DEVMODEW record = {};
    record.dmSize = sizeof record;
    if (!EnumDisplaySettingsW(nullptr, which, &record))
        return false;
    mode->width = static_cast<int>(record.dmPelsWidth);
    mode->height = static_cast<int>(record.dmPelsHeight);
    mode->bitsPerPixel = static_cast<int>(record.dmBitsPerPel);
    return true;
}

}  // namespace

bool platformInit()
{
    if (platformWin32.initialised)
        return true;
    declareDpiAware();
    platformWin32.instance = GetModuleHandleW(nullptr);
    InitCommonControls();
    platformWin32.stockFont = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));

    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = windowMessageProc;
    windowClass.cbWndExtra = 30;
    windowClass.hInstance = platformWin32.instance;
    // The executable's own icon, its first icon group; Windows' default without one.
    windowClass.hIcon = LoadIconW(platformWin32.instance, MAKEINTRESOURCEW(1));
    if (!windowClass.hIcon)
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = mainWindowClass;
    if (!RegisterClassW(&windowClass))
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
    UnregisterClassW(mainWindowClass, platformWin32.instance);
    platformWin32.initialised = false;
}

bool displayEnumMode(int n, DisplayMode* mode)
{
    return n >= 0 && readMode(static_cast<DWORD>(n), mode);
}

bool displayDesktopMode(DisplayMode* mode)
{
    return readMode(ENUM_REGISTRY_SETTINGS, mode) || readMode(ENUM_CURRENT_SETTINGS, mode);
}

void displayChangeMode(const DisplayMode& mode)
{
    platformWin32.modeRequested = true;
    platformWin32.requestedMode = mode;
    applyRequestedMode();
}

void displayRestoreMode()
{
    // The window stays, but no longer takes the mode back when activated.
    platformWin32.fullScreen = false;
    platformWin32.modeRequested = false;
    restoreDesktopMode();
    SetThreadExecutionState(ES_CONTINUOUS);
}
