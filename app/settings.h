// What the program remembers between sessions: a small plain-text file of
// key=value lines in the user's settings folder (platform/folders.h), read at
// start and written when the session ends with what it used:
//
//   display_mode=800x600, 16bit   the mode last started from the dialog
//   window_size=900x500           the last ordinary window's size
//   window_position=120,80        and where it was (its client area)
//   vsync=on                      on or off
//   max_fps=auto                  the frame cap; 0 none, auto for the default
//   reduced_flash=off             on or off
//   mute_unfocused=off            on or off
//   attract_pause=8               seconds between the attract's elements
//   saver_sound=off               the screen saver plays the sounds
//
// The file is outside bytes, read with a fixed policy: at most 64 KiB of it,
// lines of at most 1 KiB, no control bytes. Blank lines, '#' comments and
// keys the program doesn't know are kept as they are when it writes the
// file again. Anything else is damage: a line that isn't key=value, a known
// key with a value it can't take, an unfinished last line (a write cut
// short), a file too long. Damage never stops the program: what can't be
// read keeps its default, damaged lines are dropped when the file is next
// written, and the reader reports the first damage in one sentence, which
// the program shows as one warning.
//
// The keys are one table in settings.cpp: each with its reader, its writer
// and the command-line option that overrides it, so a new setting is a row
// there and a member here.
#pragma once
#include <string>
#include <vector>

#include "app/attract.h"
#include "platform/display.h"

struct Options;

// The farthest a remembered window may lie from the screen's origin, in
// pixels either way: beyond any desktop's coordinates.
const int largestWindowPosition = 100000;

struct Settings {
    bool hasDisplayMode = false;
    DisplayMode displayMode = {0, 0, 0};
    bool hasWindowSize = false;
    int windowWidth = 0;
    int windowHeight = 0;
    bool hasWindowPosition = false;
    int windowX = 0;
    int windowY = 0;
    bool vsync = true;
    int maxFps = -1;  // frames per second; 0 no cap, -1 the default (auto)
    bool reducedFlash = false;
    bool muteUnfocused = false;
    int attractPause = attractPauseDefault;  // seconds
    bool saverSound = false;
    std::vector<std::string> keptLines;  // the file's lines, in order, damage left out
};

// Reads a settings file's bytes over the defaults. Returns "" for a sound
// file, else what was wrong first ("line 3: vsync takes on or off, not
// 'maybe'", adding how many more lines were damaged).
std::string parseSettings(const std::string& bytes, Settings* settings);

// The file's text: the kept lines with each known key's value brought up to
// date (a key given twice is written once), then the known keys the file
// didn't have, each on a line of its own.
std::string formatSettings(const Settings& settings);

// Lays the options the command line gave (--vsync, --max-fps and the like)
// over the settings.
void settingsTakeOptions(const Options& options, Settings* settings);

// The settings file, "settings.ini" in folderForSettings(); "" when the
// system names no folder for it.
std::string settingsPath();

// Reads the file at `path` (UTF-8). A missing file gives the defaults
// quietly; an unreadable or damaged one gives the defaults for what could
// not be read and one warning (notice.h).
Settings loadSettings(const std::string& path);
// The same without the warning, for a program that must not speak up (a
// screen saver, which nobody watches start and whose box would wait over
// the screen).
Settings loadSettingsQuietly(const std::string& path);

// Writes the file safely: its folder is made if missing, the text goes to a
// new file beside it that is then renamed over the old one, so the file is
// always whole, old or new. False, with one warning (notice.h), when it
// can't be written.
bool saveSettings(const std::string& path, const Settings& settings);
