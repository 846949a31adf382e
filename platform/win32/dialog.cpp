// The start-up dialog on Win32: a modeless dialog made from the template in
// resources/ through an in-memory DLGTEMPLATE.
//
// The dialog loop pumps messages itself without IsDialogMessage, so Tab,
// Enter and Esc have no dialog meaning: "Start!" (WM_COMMAND 1) is the only
// way on, and the close box posts a quit message that ends the loop as
// "the user quit". A player with only a game pad uses it too: while the
// dialog is in front, a timer reads the pads twenty times a second; the
// D-pad or the left stick moves the list's selection up and down, and A or
// Start presses "Start!".
#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/pads.h"
#include "platform/win32/state.h"

#include <commctrl.h>  // after <windows.h>, which it builds on

#include "resources/display_mode_dialog.h"

namespace {

bool dialogDone = false;

const UINT_PTR padTimer = 1;
const UINT padTimerPeriod = 50;  // milliseconds
// The pads' buttons held at the previous tick, all pads together; all of
// them at first, so a button held as the dialog opens does nothing until
// pressed again.
WORD padButtonsHeld = 0xFFFF;

// The buttons of every connected pad, with the left stick past half its
// travel counting as the D-pad.
WORD padButtonsNow()
{
    xinputRead(&xinputPads, GetTickCount64());
    WORD buttons = 0;
    for (int s = 0; s < XUSER_MAX_COUNT; s++) {
        if (!xinputPads.connected[s])
            continue;
        const XINPUT_GAMEPAD& pad = xinputPads.state[s].Gamepad;
        buttons |= pad.wButtons;
        if (pad.sThumbLY > 16384)
            buttons |= XINPUT_GAMEPAD_DPAD_UP;
        if (pad.sThumbLY < -16384)
            buttons |= XINPUT_GAMEPAD_DPAD_DOWN;
    }
    return buttons;
}

// One tick of the pads: the buttons that went down since the last one act.
void padTick(HWND dialog)
{
    WORD now = padButtonsNow();
    if (GetForegroundWindow() != dialog)
        now = 0xFFFF;  // another program's pad input; taken as held throughout
    const WORD pressed = now & static_cast<WORD>(~padButtonsHeld);
    padButtonsHeld = now;
    HWND combo = GetDlgItem(dialog, DIALOG_ID_MODES);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if ((pressed & XINPUT_GAMEPAD_DPAD_DOWN) && selected + 1 < count)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(++selected), 0);
    if ((pressed & XINPUT_GAMEPAD_DPAD_UP) && selected > 0)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(--selected), 0);
    if (pressed & (XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START))
        dialogDone = true;
}

DWORD controlStyle(DialogControlKind kind)
{
    switch (kind) {
    case DIALOG_STATIC: return WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    case DIALOG_COMBO_BOX: return WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
    case DIALOG_BUTTON: return WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    }
    return WS_CHILD | WS_VISIBLE;
}

WORD controlClassAtom(DialogControlKind kind)
{
    switch (kind) {
    case DIALOG_STATIC: return 0x0082;
    case DIALOG_COMBO_BOX: return 0x0085;
    case DIALOG_BUTTON: return 0x0080;
    }
    return 0x0082;
}

std::vector<WORD> buildTemplate(const DialogTemplate& dialog)
{
    TemplateWriter t;
    t.dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    t.dword(0);  // extended style
    t.word(static_cast<WORD>(dialog.controlCount));
    t.word(0);  // x
    t.word(0);  // y
    t.word(static_cast<WORD>(dialog.width));
    t.word(static_cast<WORD>(dialog.height));
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class
    t.text(dialog.caption);
    t.word(static_cast<WORD>(dialog.fontPoints));
    t.text(dialog.fontName);
    for (int c = 0; c < dialog.controlCount; c++) {
        const DialogControl& control = dialog.controls[c];
        t.alignToDword();
        t.dword(controlStyle(control.kind));
        t.dword(0);
        t.word(static_cast<WORD>(control.x));
        t.word(static_cast<WORD>(control.y));
        t.word(static_cast<WORD>(control.width));
        t.word(static_cast<WORD>(control.height));
        t.word(static_cast<WORD>(control.id));
        t.word(0xFFFF);
        t.word(controlClassAtom(control.kind));
        t.text(control.text);
        t.word(0);  // no creation data
    }
    return t.words;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_TIMER:
        if (wParam == padTimer)
            padTick(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == DIALOG_ID_START)
            dialogDone = true;
        return TRUE;
    case WM_CLOSE: PostQuitMessage(0); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

bool dialogRun(const char* const* entries, int count, int* selected)
{
    if (!platformWin32.initialised)
        return false;
    std::vector<WORD> image = buildTemplate(displayModeDialog);
    HWND dialog = CreateDialogIndirectParamA(platformWin32.instance, reinterpret_cast<LPCDLGTEMPLATEA>(image.data()),
                                             nullptr, dialogProc, 0);
    if (!dialog)
        return false;
    win32GiveIcon(dialog);
    HWND combo = GetDlgItem(dialog, DIALOG_ID_MODES);
    for (int i = 0; i < count; i++)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i]));
    if (count > 0)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(*selected >= 0 && *selected < count ? *selected : 0), 0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    padButtonsHeld = 0xFFFF;
    if (xinputLoad(&xinputPads))
        SetTimer(dialog, padTimer, padTimerPeriod, nullptr);

    dialogDone = false;
    bool quit = false;
    while (!dialogDone) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                dialogDone = true;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Nothing moves in the dialog: sleep until the next message rather
        // than spin.
        if (!dialogDone)
            WaitMessage();
    }
    LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    KillTimer(dialog, padTimer);
    DestroyWindow(dialog);
    *selected = (count > 0 && chosen >= 0 && chosen < count) ? static_cast<int>(chosen) : -1;
    return !quit;
}
