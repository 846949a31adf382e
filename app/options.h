// The command lines of Vexarion's programs, from one table of options.
//
// Every option of every program is one row of the table in options.cpp: its
// name, whether it takes a value, its default, its help text and which
// programs take it. Parsing, --help, the usage lines and every error
// ("unknown option --x", "--x needs a value", "bad value 'v' for --x: ...")
// come from the table, so a new option is one row there and one member here.
//
// Options may be written "--name VALUE" or "--name=VALUE"; a switch also has
// its "--no-name" form. An option whose value may be left out (--window)
// takes the next argument only when it doesn't start with '-'.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The programs that read a command line.
enum Program : unsigned {
    PROGRAM_VEXARION = 1u << 0,  // vexarion, the program
    PROGRAM_REPLAY = 1u << 1,    // vexarion-replay, on any backend
    PROGRAM_BENCH = 1u << 2,     // vexarion-bench
    PROGRAM_WEB = 1u << 3,       // the program on a browser page
    PROGRAM_SAVER = 1u << 4,     // vexarion.scr, the Windows screen saver
};

// Window and picture sizes every program of Vexarion accepts, in pixels a
// side: from a thumbnail to a large screen.
const int minimumSide = 16;
const int maximumSide = 16384;

// The highest frame cap --max-fps takes.
const int maxFrameRateCap = 1000;

// What a command line says. The values start at their options' defaults;
// `given` tells which options the line itself named.
struct Options {
    // Each option the command line gave, by name without its dashes, with
    // its value as written ("" when it took none; "on" or "off" for a switch).
    std::map<std::string, std::string> given;

    bool help = false;
    bool version = false;
    // The program: --window [WxH], --record, --trace and the remembered
    // switches (these only count where `given` has them: the settings hold
    // the rest).
    int windowWidth = 0;
    int windowHeight = 0;
    std::string recordPath;  // "" when not recording
    std::string tracePath;   // "" when not tracing
    bool vsync = false;
    int maxFps = -1;  // frames per second; 0 no cap, -1 the default
    bool reducedFlash = false;
    bool muteUnfocused = false;
    // The replay, the bench and the page.
    long frames = 0;
    double dt = 0.0;  // seconds per frame
    int width = 0;
    int height = 0;
    std::string script;
    std::multimap<long, std::string> shots;  // frame, PNG file
    int pose = -1;                           // a pose program held, or -1
    bool fullscreen = false;
    bool paced = false;  // the page's replay at the recorded pace, not back to back
    // The attract mode, the program and the replay.
    bool attract = false;
    int attractPause = 8;  // seconds between its elements, on average
    // The screen savers: the whole screen (--root), or inside a window
    // (--window-id, a native window's handle); the Windows saver's settings
    // dialog, with the window it belongs to (0 for none).
    bool root = false;
    uint64_t windowId = 0;
    bool sound = true;
    bool configure = false;
    uint64_t configureParent = 0;

    bool isGiven(const char* name) const { return given.count(name) != 0; }
};

// Reads "WxH" (digits only, each side minimumSide to maximumSide) into
// *width and *height; false, leaving them alone, for anything else.
bool parseSize(const std::string& text, int* width, int* height);

// Reads a native window's handle: decimal digits, or hexadecimal ones after
// "0x"; false, leaving *window alone, for anything else and for 0.
bool parseWindowId(const std::string& text, uint64_t* window);

// Reads a frame cap: "auto" (-1, the default) or a whole number of frames a
// second from 0 (no cap) to maxFrameRateCap.
bool parseFrameCap(const std::string& text, int* cap);

// Parses the arguments after the program's name for `program`. False on an
// unknown option, a missing or bad value or a stray argument, with `error`
// saying which, without the program's name.
bool parseOptions(Program program, int argc, const char* const* argv, Options* options, std::string* error);

// The Windows screen saver's arguments in the table's words: "/s" (any
// case, or "-s") becomes --root, "/p HWND" or "/p:HWND" --window-id HWND,
// "/c" or "/c:HWND" --configure [HWND], and no argument at all --configure.
// Anything else is passed on as it is.
std::vector<std::string> screenSaverArguments(const std::vector<std::string>& arguments);

// The program's name as its usage names it ("vexarion-replay").
const char* programName(Program program);

// The usage lines, and the whole help text; each ends in a newline.
std::string optionsSynopsis(Program program);
std::string optionsHelp(Program program);

// What a program says for a bad command line: the error, its usage lines
// and where the help is.
std::string optionsErrorText(Program program, const std::string& error);

// The program's version, "MAJOR.MINOR.PATCH".
const char* programVersion();

// The arguments as UTF-8 (platform/paths.h), read against the table (for
// the screen saver, after screenSaverArguments()).
// Returns -1 when the program goes on with `options`; otherwise the exit
// code it ends with at once: 0 after --help or --version (said to the user),
// 2 after a bad command line (said too).
int readCommandLine(Program program, int argc, char** argv, Options* options);
