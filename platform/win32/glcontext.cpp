// The main window's OpenGL context on WGL, and the frame-rate glyphs from
// the system font.
//
// The pixel format asks for RGBA in the mode's colour depth (its low 8
// bits), a 16-bit depth buffer and double buffering on the main plane. The
// window's device context is taken once and kept until the context goes.
#include <string>

#include "platform/glcontext.h"
#include "platform/notice.h"
#include "platform/win32/state.h"
#include "platform/win32/text.h"

namespace {

// Says which step failed and the system's reason, for the user to pass on.
bool reportFailure(const char* step, DWORD error)
{
    wchar_t* reason = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPWSTR>(&reason), 0, nullptr);
    std::string text = std::string("Vexarion: cannot create the OpenGL context: ") + step + " failed";
    const std::string because = utf8FromUtf16(reason);
    LocalFree(reason);
    text += because.empty() ? " (error " + std::to_string(error) + ")" : ": " + because;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    noticeShow(NOTICE_ERROR, text + ".\nCheck that the graphics driver is installed.\n");
    return false;
}

}  // namespace

bool glContextCreate()
{
    HWND window = platformWin32.mainWindow;
    if (!window || platformWin32.glContext)
        return false;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(platformWin32.colourBits & 0xFF);
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc, &descriptor);
    if (!format || !SetPixelFormat(dc, format, &descriptor)) {
        const DWORD error = GetLastError();
        ReleaseDC(window, dc);
        return reportFailure(format ? "SetPixelFormat" : "ChoosePixelFormat", error);
    }
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) {
        const char* step = context ? "wglMakeCurrent" : "wglCreateContext";
        const DWORD error = GetLastError();
        if (context)
            wglDeleteContext(context);
        ReleaseDC(window, dc);
        return reportFailure(step, error);
    }
    platformWin32.windowDC = dc;
    platformWin32.glContext = context;
    return true;
}

void glContextSwapBuffers()
{
    if (platformWin32.windowDC)
        SwapBuffers(platformWin32.windowDC);
}

void glContextRelease()
{
    if (!platformWin32.glContext)
        return;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(platformWin32.glContext);
    platformWin32.glContext = nullptr;
    ReleaseDC(platformWin32.mainWindow, platformWin32.windowDC);
    platformWin32.windowDC = nullptr;
}

void glContextBuildFontLists(int first, int count, int listBase)
{
    if (!platformWin32.windowDC || count <= 0 || first < 0)
        return;
    // No font is selected into the window's device context, so the glyphs
    // are the system font's. The first call after a context is made can
    // fail on some drivers; a second one then succeeds.
    HDC dc = platformWin32.windowDC;
    if (!wglUseFontBitmapsA(dc, static_cast<DWORD>(first), static_cast<DWORD>(count), static_cast<DWORD>(listBase)))
        wglUseFontBitmapsA(dc, static_cast<DWORD>(first), static_cast<DWORD>(count), static_cast<DWORD>(listBase));
}
