// The program's words on Windows: the console it was started from, its
// redirected output, or a message box.
//
// vexarion.exe is a window program, so Windows gives it no console. Started
// from a console window it attaches to that one (AttachConsole) and writes
// there; with its output redirected to a file or a pipe it writes into
// those, as UTF-8; started from Explorer it has neither, and then shows
// every problem and every answer in a message box. Consoles get UTF-16
// through WriteConsoleW, whatever their code page.
#include <cstdio>

#include <io.h>

#include "platform/notice.h"
#include "platform/win32/state.h"
#include "platform/win32/text.h"

namespace {

enum Stream { STREAM_OUTPUT, STREAM_ERROR, STREAM_COUNT };

struct Outputs {
    bool ready = false;
    bool usable[STREAM_COUNT] = {false, false};  // a console, a file or a pipe is there
};

Outputs outputs;

const DWORD standardHandles[STREAM_COUNT] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

bool handleUsable(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void findOutputs()
{
    if (outputs.ready)
        return;
    outputs.ready = true;
    for (int s = 0; s < STREAM_COUNT; s++)
        outputs.usable[s] = handleUsable(standardHandles[s]);
    if (outputs.usable[STREAM_OUTPUT] && outputs.usable[STREAM_ERROR])
        return;
    // Started from a console: the streams that lead nowhere go to it.
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::FILE* streams[STREAM_COUNT] = {stdout, stderr};
    for (int s = 0; s < STREAM_COUNT; s++) {
        if (outputs.usable[s] || !std::freopen("CONOUT$", "w", streams[s]))
            continue;
        // The C library's stream now writes to the console; the standard
        // handle tells write() that it is one.
        SetStdHandle(standardHandles[s], reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(streams[s]))));
        outputs.usable[s] = true;
    }
}

void write(Stream stream, const std::string& text)
{
    std::FILE* file = stream == STREAM_OUTPUT ? stdout : stderr;
    HANDLE handle = GetStdHandle(standardHandles[stream]);
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(file);
        const std::wstring wide = utf16FromUtf8(text);
        DWORD written;
        WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fputs(text.c_str(), file);
    std::fflush(file);
}

void showBox(NoticeKind kind, std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    UINT icon = kind == NOTICE_ERROR ? MB_ICONERROR : kind == NOTICE_WARNING ? MB_ICONWARNING : MB_ICONINFORMATION;
    // Owned by the main window, the box keeps the program in front (a full
    // screen stays full screen); without one it comes to the front itself.
    HWND owner = platformWin32.mainWindow;
    MessageBoxW(owner, utf16FromUtf8(text).c_str(), L"Vexarion", MB_OK | icon | (owner ? 0 : MB_SETFOREGROUND));
}

}  // namespace

void declareDpiAware()
{
    // The system would otherwise scale the program's windows on a high-DPI
    // screen, blurring them, and a full-screen window would show only its
    // top-left part. A manifest could say the same, but one that also
    // declares support for Windows 8 or later makes EnumDisplaySettings drop
    // the 16-bit modes, and the dialog's usual choice with them.
    static bool declared = false;
    if (!declared)
        SetProcessDPIAware();
    declared = true;
}

void noticeInit()
{
    declareDpiAware();
    findOutputs();
}

void noticeShow(NoticeKind kind, const std::string& text)
{
    findOutputs();
    const Stream stream = (kind == NOTICE_ANSWER || kind == NOTICE_STATUS) ? STREAM_OUTPUT : STREAM_ERROR;
    if (outputs.usable[stream])
        write(stream, text);
    else if (kind != NOTICE_STATUS)
        showBox(kind, text);
}
