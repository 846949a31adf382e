// The program's command line.
//
//   vexarion [--window [WxH]] [--record FILE] [--trace FILE]
//   vexarion --help | --version
//
// With no options the program starts as it always has: the display-mode
// dialog, then full screen. Options may also be written --option=VALUE.
#pragma once
#include <string>

struct CommandLine {
    bool help = false;
    bool version = false;
    bool windowed = false;  // an ordinary desktop window, no dialog, no mode switch
    int windowWidth = 1024;
    int windowHeight = 768;
    std::string recordPath;  // "" when not recording
    std::string tracePath;   // "" when not tracing
};

// Window and picture sizes every program of Vexarion accepts, in pixels a
// side: from a thumbnail to a large screen.
const int minimumSide = 16;
const int maximumSide = 16384;

// Reads "WxH" (digits only, each side minimumSide to maximumSide) into
// *width and *height; false, leaving them alone, for anything else.
bool parseSize(const std::string& text, int* width, int* height);

// Parses argv. False on an unknown option, a missing or malformed value or
// a stray argument, with `error` saying which ("--window: bad size '9x9'").
bool parseCommandLine(int argc, const char* const* argv, CommandLine* options, std::string* error);

// The two usage lines, and the whole help text; each ends in a newline.
const char* commandLineSynopsis();
const char* commandLineUsage();

// The program's version, "MAJOR.MINOR.PATCH".
const char* programVersion();
