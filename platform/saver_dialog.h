// The screen saver's settings dialog (vexarion.scr /c, or no argument): the
// reduced flash, the sound, and how often the elements come.
#pragma once
#include <cstdint>

// How often the elements come, as the dialog offers it, and the attract's
// mean pause between them for each, in seconds.
enum SaverPace { SAVER_OFTEN, SAVER_SOMETIMES, SAVER_SELDOM };
const int saverPacePause[3] = {4, 8, 14};

struct SaverChoices {
    bool reducedFlash;
    bool sound;
    SaverPace pace;
};

// Shows the dialog, owned by the window `parent` (a native handle; 0 for
// none), with `choices` set in it. True, with the user's choices in
// *choices, when they pressed OK; false for Cancel, a closed dialog, or a
// system that has no such dialog.
bool saverSettingsDialog(uint64_t parent, SaverChoices* choices);
