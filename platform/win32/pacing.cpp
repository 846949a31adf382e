// Frame pacing on Win32: the swap interval through WGL_EXT_swap_control
// (adaptive with WGL_EXT_swap_control_tear), and Sleep at the finest timer
// resolution the system offers, one millisecond.
#include <cstring>

#include "platform/pacing.h"
#include "platform/win32/state.h"

#include <mmsystem.h>  // after <windows.h>

namespace {

typedef BOOL(WINAPI* SwapIntervalProc)(int interval);
typedef const char*(WINAPI* ExtensionsArbProc)(HDC dc);
typedef const char*(WINAPI* ExtensionsExtProc)();

// An extension function of the current context; null when the driver has none.
template <typename Function>
Function wglFunction(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

bool hasWglExtension(const char* name)
{
    const char* all = nullptr;
    if (auto arb = wglFunction<ExtensionsArbProc>("wglGetExtensionsStringARB"))
        all = arb(platformWin32.windowDC);
    else if (auto ext = wglFunction<ExtensionsExtProc>("wglGetExtensionsStringEXT"))
        all = ext();
    if (!all)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at; at = std::strstr(at + 1, name))
        if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

}  // namespace

VsyncMode pacingSetVsync(bool on)
{
    SwapIntervalProc swapInterval = wglFunction<SwapIntervalProc>("wglSwapIntervalEXT");
    if (!swapInterval)
        return VSYNC_OFF;
    if (on && hasWglExtension("WGL_EXT_swap_control_tear") && swapInterval(-1))
        return VSYNC_ADAPTIVE;
    if (on && swapInterval(1))
        return VSYNC_ON;
    swapInterval(0);
    return VSYNC_OFF;
}

void pacingSleep(double seconds)
{
    // Sleep's granularity is the system timer's, 15.6 ms unless asked for
    // finer; one millisecond is asked for once, for the rest of the run.
    static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)fineTimer;
    if (seconds >= 0.001)
        Sleep(static_cast<DWORD>(seconds * 1000.0));
    else if (seconds > 0.0)
        Sleep(0);
}
