/* Stands in for the preview box of Windows' screen-saver settings:
 *
 *   preview-host SECONDS
 *
 * opens a grey window of 240 x 180 pixels at (200, 150), prints its
 * handle as a decimal number on a line of its own, handles its messages
 * for SECONDS (so that a child window of another process can be made and
 * drawn in it), then prints what its first child window is ("child CLASS
 * WIDTHxHEIGHT" and "another process" when it is, or "no child"),
 * destroys it and ends with 0. */
#include <stdio.h>
#include <stdlib.h>

#include <windows.h>

int main(int argc, char** argv)
{
    const DWORD lifetime = argc > 1 ? (DWORD)(atof(argv[1]) * 1000.0) : 5000;
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    windowClass.lpszClassName = L"PreviewHost";
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, L"PreviewHost", L"Preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200,
                                  150, 240, 180, NULL, NULL, windowClass.hInstance, NULL);
    if (!window)
        return 1;
    printf("%llu\n", (unsigned long long)(UINT_PTR)window);
    fflush(stdout);
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= lifetime)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, lifetime - spent, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    HWND child = GetWindow(window, GW_CHILD);
    if (child) {
        wchar_t name[64] = L"";
        RECT area;
        DWORD process = 0;
        GetClassNameW(child, name, 64);
        GetClientRect(child, &area);
        GetWindowThreadProcessId(child, &process);
        printf("child %ls %ldx%ld%s\n", name, area.right, area.bottom,
               process != GetCurrentProcessId() ? " another process" : "");
    } else
        printf("no child\n");
    fflush(stdout);
    DestroyWindow(window);
    return 0;
}
