// The screen saver's settings dialog on Win32: a modal dialog from an
// in-memory DLGTEMPLATE with two check boxes, a drop-down list of how often
// the elements come, and OK and Cancel. Enter and Esc act as usual.
#include <vector>

#include "platform/saver_dialog.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/state.h"

namespace {

enum { ID_REDUCED_FLASH = 101, ID_SOUND = 102, ID_PACE = 103 };

const char* const paceNames[3] = {"Often", "Now and then", "Seldom"};

struct Control {
    DWORD style;
    WORD classAtom;  // 0x0080 button, 0x0082 static, 0x0085 combo box
    short x, y, width, height;
    WORD id;
    const char* text;
};

const Control controls[] = {
    {WS_TABSTOP | BS_AUTOCHECKBOX, 0x0080, 10, 10, 160, 12, ID_REDUCED_FLASH, "Reduced flash"},
    {WS_TABSTOP | BS_AUTOCHECKBOX, 0x0080, 10, 26, 160, 12, ID_SOUND, "Sound"},
    {SS_LEFT, 0x0082, 10, 46, 80, 10, 0xFFFF, "The elements come:"},
    {WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0x0085, 90, 44, 80, 60, ID_PACE, ""},
    {WS_TABSTOP | BS_DEFPUSHBUTTON, 0x0080, 64, 68, 50, 14, IDOK, "OK"},
    {WS_TABSTOP | BS_PUSHBUTTON, 0x0080, 120, 68, 50, 14, IDCANCEL, "Cancel"},
};

std::vector<WORD> buildTemplate()
{
    TemplateWriter t;
    t.dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    t.dword(0);
    t.word(static_cast<WORD>(sizeof controls / sizeof controls[0]));
    t.word(0);
    t.word(0);
    t.word(180);
    t.word(90);
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class
    t.text("Vexarion screen saver");
    t.word(8);
    t.text("MS Shell Dlg");
    for (const Control& c : controls) {
        t.alignToDword();
        t.dword(WS_CHILD | WS_VISIBLE | c.style);
        t.dword(0);
        t.word(static_cast<WORD>(c.x));
        t.word(static_cast<WORD>(c.y));
        t.word(static_cast<WORD>(c.width));
        t.word(static_cast<WORD>(c.height));
        t.word(c.id);
        t.word(0xFFFF);
        t.word(c.classAtom);
        t.text(c.text);
        t.word(0);  // no creation data
    }
    return t.words;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SaverChoices* choices = reinterpret_cast<SaverChoices*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        choices = reinterpret_cast<SaverChoices*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        win32GiveIcon(dialog);
        CheckDlgButton(dialog, ID_REDUCED_FLASH, choices->reducedFlash ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, ID_SOUND, choices->sound ? BST_CHECKED : BST_UNCHECKED);
        HWND pace = GetDlgItem(dialog, ID_PACE);
        for (const char* name : paceNames)
            SendMessageA(pace, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(pace, CB_SETCURSEL, static_cast<WPARAM>(choices->pace), 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && choices) {
            choices->reducedFlash = IsDlgButtonChecked(dialog, ID_REDUCED_FLASH) == BST_CHECKED;
            choices->sound = IsDlgButtonChecked(dialog, ID_SOUND) == BST_CHECKED;
            const LRESULT pace = SendDlgItemMessageA(dialog, ID_PACE, CB_GETCURSEL, 0, 0);
            if (pace >= SAVER_OFTEN && pace <= SAVER_SELDOM)
                choices->pace = static_cast<SaverPace>(pace);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

bool saverSettingsDialog(uint64_t parent, SaverChoices* choices)
{
    if (!platformWin32.initialised)
        return false;
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(parent));
    if (owner && !IsWindow(owner))
        owner = nullptr;
    const std::vector<WORD> image = buildTemplate();
    SaverChoices shown = *choices;
    const INT_PTR pressed =
        DialogBoxIndirectParamW(platformWin32.instance, reinterpret_cast<LPCDLGTEMPLATEW>(image.data()), owner,
                                dialogProc, reinterpret_cast<LPARAM>(&shown));
    if (pressed != IDOK)
        return false;
    *choices = shown;
    return true;
}
