// The display-mode dialog's template: its size and its controls, in dialog
// units (a quarter of the font's average character width across, an eighth
// of its height down), as a platform's dialog code lays them out.
#pragma once

enum DialogControlKind { DIALOG_STATIC, DIALOG_COMBO_BOX, DIALOG_BUTTON };

struct DialogControl {
    DialogControlKind kind;
    int id;  // -1 for static texts
    int x, y, width, height;
    const char* text;
};

struct DialogTemplate {
    const char* caption;
    const char* fontName;
    int fontPoints;
    int width, height;
    const DialogControl* controls;
    int controlCount;
};

enum { DIALOG_ID_MODES = 1001, DIALOG_ID_START = 1 };

static const DialogControl displayModeDialogControls[] = {
    {DIALOG_STATIC, -1, 10, 10, 192, 32, "Vexarion\n\nFor instructions, please refer to README.TXT"},
    {DIALOG_STATIC, -1, 10, 59, 80, 16, "Set display mode:"},
    {DIALOG_COMBO_BOX, DIALOG_ID_MODES, 80, 56, 117, 75, ""},
    {DIALOG_BUTTON, DIALOG_ID_START, 159, 76, 39, 14, "Start!"},
};

static const DialogTemplate displayModeDialog = {
    "",
    "MS Sans Serif",
    8,
    210,
    103,
    displayModeDialogControls,
    static_cast<int>(sizeof displayModeDialogControls / sizeof displayModeDialogControls[0]),
};
