// The command lines of Vexarion's programs; see options.h.
//
// The table below is every option there is. Each row's `take` reads a value
// (its default, or what the command line gave) into Options and returns ""
// or, for a value it can't take, what it takes instead.
#include "app/options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/attract.h"
#include "platform/notice.h"
#include "platform/paths.h"

#ifndef VEXARION_VERSION
#define VEXARION_VERSION "0.0.0"
#endif

namespace {

enum ValueKind {
    VALUE_NONE,      // --name alone
    VALUE_SWITCH,    // --name or --no-name: taken as "on" or "off"
    VALUE_REQUIRED,  // --name VALUE
    VALUE_OPTIONAL,  // --name [VALUE]: taken as "" when left out
};

struct OptionRow {
    const char* name;
    ValueKind kind;
    const char* valueName;     // what the usage calls the value; null for none
    const char* defaultValue;  // taken before the command line; null for none
    unsigned programs;         // Program bits
    const char* help;          // "{}" stands for the default; else one is added
    std::string (*take)(const std::string& value, Options* options);
};

const unsigned desktopPrograms = PROGRAM_VEXARION | PROGRAM_REPLAY | PROGRAM_BENCH;
const unsigned replayPrograms = PROGRAM_REPLAY | PROGRAM_WEB;
const char* const sizeWanted = "WxH, each side 16 to 16384";

bool parseWhole(const std::string& text, long low, long high, long* value)
{
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || *end || v < low || v > high)
        return false;
    *value = v;
    return true;
}

std::string takeSize(const std::string& value, int* width, int* height)
{
    return parseSize(value, width, height) ? "" : sizeWanted;
}

std::string takeFile(const std::string& value, std::string* path)
{
    *path = value;
    return "";
}

std::string takePause(const std::string& value, Options* options)
{
    long seconds = 0;
    if (!parseWhole(value, attractPauseLowest, attractPauseHighest, &seconds))
        return "seconds, " + std::to_string(attractPauseLowest) + " to " + std::to_string(attractPauseHighest);
    options->attractPause = static_cast<int>(seconds);
    return "";
}

std::string takeWindow(const std::string& value, uint64_t* window)
{
    return parseWindowId(value, window) ? "" : "a window's id, in decimal or 0x hex";
}

const OptionRow optionTable[] = {
    {"window", VALUE_OPTIONAL, "WxH", "1024x768", PROGRAM_VEXARION,
     "play in a desktop window (default: the last one's size, else {})",
     [](const std::string& v, Options* o) { return v.empty() ? "" : takeSize(v, &o->windowWidth, &o->windowHeight); }},
    {"record", VALUE_REQUIRED, "FILE", nullptr, PROGRAM_VEXARION | PROGRAM_WEB,
     "write the session as a replay script, frame by frame; vexarion-replay --script FILE plays it again",
     [](const std::string& v, Options* o) { return takeFile(v, &o->recordPath); }},
    {"frames", VALUE_REQUIRED, "N", "400", replayPrograms | PROGRAM_BENCH, "frames to run",
     [](const std::string& v, Options* o) -> std::string {
         return parseWhole(v, 0, 2000000000L, &o->frames) ? "" : "a whole number of frames";
     }},
    {"dt", VALUE_REQUIRED, "SECONDS", "0.02", replayPrograms | PROGRAM_BENCH,
     "every frame's time but the first, which takes 0",
     [](const std::string& v, Options* o) -> std::string {
         char* end = nullptr;
         const double dt = std::strtod(v.c_str(), &end);
         if (end == v.c_str() || *end || !(dt >= 0.0 && dt <= 10.0))
             return "seconds, 0 to 10";
         o->dt = dt;
         return "";
     }},
    {"size", VALUE_REQUIRED, "WxH", "640x480", replayPrograms | PROGRAM_BENCH, "the picture's size in pixels",
     [](const std::string& v, Options* o) { return takeSize(v, &o->width, &o->height); }},
    {"fullscreen", VALUE_NONE, nullptr, nullptr, PROGRAM_WEB, "fill the screen",
     [](const std::string&, Options* o) { return o->fullscreen = true, std::string(); }},
    {"paced", VALUE_NONE, nullptr, nullptr, PROGRAM_WEB,
     "with --script, play a recording at the pace it was recorded, a picture per display frame",
     [](const std::string&, Options* o) { return o->paced = true, std::string(); }},
    {"script", VALUE_REQUIRED, "FILE", nullptr, replayPrograms,
     "the keys and characters to play, frame by frame (a recording, or a script of your own)",
     [](const std::string& v, Options* o) { return takeFile(v, &o->script); }},
    {"shot", VALUE_REQUIRED, "FRAME=FILE.png", nullptr, PROGRAM_REPLAY,
     "save that frame as drawn to a PNG file; may be given again",
     [](const std::string& v, Options* o) -> std::string {
         const size_t eq = v.find('=');
         long frame = 0;
         if (eq == std::string::npos || eq + 1 == v.size() || !parseWhole(v.substr(0, eq), 0, 2000000000L, &frame))
             return "FRAME=FILE.png";
         o->shots.emplace(frame, v.substr(eq + 1));
         return "";
     }},
    {"trace", VALUE_REQUIRED, "FILE", nullptr, PROGRAM_VEXARION | replayPrograms,
     "write the scene's state as CSV, one row per frame",
     [](const std::string& v, Options* o) { return takeFile(v, &o->tracePath); }},
    {"pose", VALUE_REQUIRED, "MODE", nullptr, PROGRAM_REPLAY,
     "hold one pose program (0 to 4, or 6) while the director waits",
     [](const std::string& v, Options* o) -> std::string {
         long mode = 0;
         if (!parseWhole(v, 0, 6, &mode) || mode == 5)
             return "a pose program, 0 to 4 or 6";
         o->pose = static_cast<int>(mode);
         return "";
     }},
    {"vsync", VALUE_SWITCH, nullptr, nullptr, PROGRAM_VEXARION,
     "wait for the screen's refresh (--no-vsync: don't; remembered, at first on)",
     [](const std::string& v, Options* o) { return o->vsync = v == "on", std::string(); }},
    {"max-fps", VALUE_REQUIRED, "N|auto", nullptr, PROGRAM_VEXARION,
     "at most N frames a second, 0 for no cap; auto is none with vsync, else 250 (remembered)",
     [](const std::string& v, Options* o) -> std::string {
         return parseFrameCap(v, &o->maxFps) ? "" : "auto or a number of frames a second, 0 to 1000";
     }},
    {"reduced-flash", VALUE_SWITCH, nullptr, nullptr, PROGRAM_VEXARION | PROGRAM_REPLAY | PROGRAM_WEB,
     "soften the lightning's flash, for players sensitive to flashing light (--no-reduced-flash: the full flash)",
     [](const std::string& v, Options* o) { return o->reducedFlash = v == "on", std::string(); }},
    {"mute-unfocused", VALUE_SWITCH, nullptr, nullptr, PROGRAM_VEXARION | PROGRAM_WEB,
     "silence the sounds while the window is in the background (--no-mute-unfocused: play on)",
     [](const std::string& v, Options* o) { return o->muteUnfocused = v == "on", std::string(); }},
    {"attract", VALUE_NONE, nullptr, nullptr, PROGRAM_VEXARION | PROGRAM_REPLAY,
     "the elements come on their own, as in the screen saver; keys still act, and a minute after the last one "
     "it plays on",
     [](const std::string&, Options* o) { return o->attract = true, std::string(); }},
    {"attract-pause", VALUE_REQUIRED, "SECONDS", nullptr, PROGRAM_VEXARION,
     "the attract's pause between elements, on average, 2 to 15 (remembered; at first 8)", takePause},
    {"attract-pause", VALUE_REQUIRED, "SECONDS", "8", PROGRAM_REPLAY,
     "the attract's pause between elements, on average, 2 to 15", takePause},
    {"root", VALUE_NONE, nullptr, nullptr, PROGRAM_VEXARION | PROGRAM_SAVER,
     "be the screen saver on the whole screen (in the window XSCREENSAVER_WINDOW names, if set): the attract "
     "mode, no dialog, nothing remembered; it ends on SIGTERM",
     [](const std::string&, Options* o) { return o->root = true, std::string(); }},
    {"window-id", VALUE_REQUIRED, "ID", nullptr, PROGRAM_VEXARION | PROGRAM_SAVER,
     "be the screen saver inside that window (an X window's id, decimal or 0x hex), as --root",
     [](const std::string& v, Options* o) { return takeWindow(v, &o->windowId); }},
    {"sound", VALUE_SWITCH, nullptr, nullptr, PROGRAM_VEXARION | PROGRAM_WEB,
     "play the sounds (--no-sound: silent); the screen saver is silent without --sound",
     [](const std::string& v, Options* o) { return o->sound = v == "on", std::string(); }},
    {"configure", VALUE_OPTIONAL, "HWND", nullptr, PROGRAM_SAVER,
     "show the screen saver's settings, in a dialog of that window's",
     [](const std::string& v, Options* o) {
         o->configure = true;
         return v.empty() ? std::string() : takeWindow(v, &o->configureParent);
     }},
    {"help", VALUE_NONE, nullptr, nullptr, desktopPrograms, "show this text",
     [](const std::string&, Options* o) { return o->help = true, std::string(); }},
    {"version", VALUE_NONE, nullptr, nullptr, desktopPrograms, "show the version",
     [](const std::string&, Options* o) { return o->version = true, std::string(); }},
};

struct ProgramText {
    Program program;
    const char* name;
    const char* purpose;  // after the usage lines
    const char* footer;   // after the options; may be ""
};

const ProgramText programTexts[] = {
    {PROGRAM_VEXARION, "vexarion", "With no options, pick a display mode in the dialog and play full screen.",
     "The display, frame and sound options are remembered for the next start.\n"
     "\n"
     "Keys: hold E (Shift+E) to lower (raise) the land, W (Shift+W) the sea;\n"
     "L lightning, t tornado down, T tornado up; hold F for the frame rate;\n"
     "Alt+Return or F11 toggles full screen; F12 saves a screenshot; Esc quits.\n"
     "The content is read from the installed folder, or from VEXARION_DATA.\n"},
    {PROGRAM_REPLAY, "vexarion-replay",
     "Runs the program's own frames without a person: the script's keys, a fixed frame\n"
     "time, no dialog and no settings, so the same script always gives the same trace.",
     "A recording runs the frames it holds unless --frames says otherwise. An Esc in\n"
     "the script ends the run after its frame. The content is found as the program\n"
     "finds it, or in VEXARION_DATA.\n"},
    {PROGRAM_BENCH, "vexarion-bench",
     "Prints what a frame costs on this machine: the scene's and an empty loop's\n"
     "frames a second, and the simulation's microseconds per frame.",
     ""},
    {PROGRAM_WEB, "vexarion-web", "The scene on the page's canvas; with --script, a replay run back to back.", ""},
    {PROGRAM_SAVER, "vexarion.scr",
     "The scene as a Windows screen saver: /s full screen, /p HWND in that window, /c the settings.", ""},
};

const ProgramText& textOf(Program program)
{
    for (const ProgramText& text : programTexts)
        if (text.program == program)
            return text;
    return programTexts[0];
}

const OptionRow* findRow(Program program, const std::string& name, bool* negated)
{
    for (const OptionRow& row : optionTable) {
        if (!(row.programs & program))
            continue;
        *negated = row.kind == VALUE_SWITCH && name == std::string("no-") + row.name;
        if (name == row.name || *negated)
            return &row;
    }
    return nullptr;
}

// How the usage writes an option: "--name VALUE", "--[no-]name", "--name [VALUE]".
std::string usageForm(const OptionRow& row)
{
    switch (row.kind) {
    case VALUE_SWITCH: return std::string("--[no-]") + row.name;
    case VALUE_REQUIRED: return std::string("--") + row.name + " " + row.valueName;
    case VALUE_OPTIONAL: return std::string("--") + row.name + " [" + row.valueName + "]";
    default: return std::string("--") + row.name;
    }
}

std::string helpText(const OptionRow& row)
{
    std::string text = row.help;
    const size_t mark = text.find("{}");
    if (mark != std::string::npos)
        text.replace(mark, 2, row.defaultValue ? row.defaultValue : "");
    else if (row.defaultValue)
        text += std::string(" (default ") + row.defaultValue + ")";
    return text;
}

// Words laid out after `line` in lines of at most `width` characters, each
// line after the first starting with `indent`.
std::string wrapped(const std::vector<std::string>& words, std::string line, const std::string& indent, size_t width)
{
    std::string text;
    bool hasWord = false;  // the current line holds a word already
    for (const std::string& word : words) {
        if (hasWord && line.size() + 1 + word.size() > width) {
            text += line + "\n";
            line = indent;
            hasWord = false;
        }
        if (!line.empty() && line.back() != ' ')
            line += ' ';
        line += word;
        hasWord = true;
    }
    return text + line + "\n";
}

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace

bool parseWindowId(const std::string& text, uint64_t* window)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    // At most 16 hexadecimal or 19 decimal digits: always within 64 bits.
    if (digits.empty() || digits.size() > (hex ? 16u : 19u))
        return false;
    uint64_t handle = 0;
    for (char c : digits) {
        const unsigned char u = static_cast<unsigned char>(c);
        int digit = -1;
        if (std::isdigit(u))
            digit = c - '0';
        else if (hex && std::isxdigit(u))
            digit = std::tolower(u) - 'a' + 10;
        if (digit < 0)
            return false;
        handle = handle * (hex ? 16u : 10u) + static_cast<uint64_t>(digit);
    }
    if (handle == 0)
        return false;
    *window = handle;
    return true;
}

bool parseFrameCap(const std::string& text, int* cap)
{
    if (text == "auto") {
        *cap = -1;
        return true;
    }
    long value = 0;
    if (!parseWhole(text, 0, maxFrameRateCap, &value))
        return false;
    *cap = static_cast<int>(value);
    return true;
}

bool parseSize(const std::string& text, int* width, int* height)
{
    int w = 0, h = 0;
    char tail = 0;
    if (text.find_first_not_of("0123456789x") != std::string::npos ||
        std::sscanf(text.c_str(), "%6dx%6d%c", &w, &h, &tail) != 2)
        return false;
    if (w < minimumSide || h < minimumSide || w > maximumSide || h > maximumSide)
        return false;
    *width = w;
    *height = h;
    return true;
}

bool parseOptions(Program program, int argc, const char* const* argv, Options* options, std::string* error)
{
    *options = Options();
    for (const OptionRow& row : optionTable)
        if ((row.programs & program) && row.defaultValue)
            row.take(row.defaultValue, options);
    for (int i = 0; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "-h")
            arg = "--help";
        if (arg.compare(0, 2, "--") != 0 || arg.size() == 2) {
            *error = arg.compare(0, 1, "-") == 0 ? "unknown option " + arg : "unexpected argument '" + arg + "'";
            return false;
        }
        const size_t eq = arg.find('=');
        const bool valueInline = eq != std::string::npos;
        const std::string name = arg.substr(2, valueInline ? eq - 2 : std::string::npos);
        std::string value = valueInline ? arg.substr(eq + 1) : "";
        bool negated = false;
        const OptionRow* row = findRow(program, name, &negated);
        if (!row) {
            *error = "unknown option --" + name;
            return false;
        }
        if (row->kind == VALUE_NONE || row->kind == VALUE_SWITCH) {
            if (valueInline) {
                *error = "--" + name + " takes no value";
                return false;
            }
            value = negated ? "off" : "on";
        } else if (!valueInline && (row->kind == VALUE_REQUIRED || (i + 1 < argc && argv[i + 1][0] != '-'))) {
            if (i + 1 >= argc) {
                *error = "--" + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (row->kind == VALUE_REQUIRED && value.empty()) {
            *error = "--" + name + " needs a value";
            return false;
        }
        const std::string wanted = row->take(value, options);
        if (!wanted.empty()) {
            *error = "bad value '" + value + "' for --" + name + ": " + wanted;
            return false;
        }
        options->given[row->name] = value;
    }
    return true;
}

std::vector<std::string> screenSaverArguments(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return {"--configure"};
    std::vector<std::string> words;
    for (const std::string& argument : arguments) {
        const bool switchLike = argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-') &&
                                (argument.size() == 2 || argument[2] == ':');
        const char letter = switchLike ? static_cast<char>(std::tolower(static_cast<unsigned char>(argument[1]))) : 0;
        const std::string handle = argument.size() > 3 ? argument.substr(3) : "";
        if (letter == 's' && argument.size() == 2)
            words.push_back("--root");
        else if (letter == 'p') {
            words.push_back("--window-id");
            if (!handle.empty())
                words.push_back(handle);
        } else if (letter == 'c')
            words.push_back(handle.empty() ? "--configure" : "--configure=" + handle);
        else
            words.push_back(argument);
    }
    return words;
}

const char* programName(Program program)
{
    return textOf(program).name;
}

std::string optionsSynopsis(Program program)
{
    const std::string name = programName(program);
    std::vector<std::string> forms;
    for (const OptionRow& row : optionTable)
        if ((row.programs & program) && std::string(row.name) != "help" && std::string(row.name) != "version")
            forms.push_back("[" + usageForm(row) + "]");
    std::string text = wrapped(forms, "usage: " + name, std::string(name.size() + 8, ' '), 80);
    bool negated = false;
    if (findRow(program, "help", &negated))
        text += "       " + name + " --help | --version\n";
    return text;
}

std::string optionsHelp(Program program)
{
    const ProgramText& about = textOf(program);
    std::string text = optionsSynopsis(program) + "\n" + about.purpose + "\n\n";
    const std::string indent(23, ' ');
    for (const OptionRow& row : optionTable) {
        if (!(row.programs & program))
            continue;
        std::string first = "  " + usageForm(row);
        if (first.size() + 1 > indent.size()) {
            text += first + "\n";  // a long form stands on a line of its own
            first = indent;
        }
        first.resize(indent.size(), ' ');
        text += wrapped(splitWords(helpText(row)), first, indent, 80);
    }
    if (*about.footer)
        text += std::string("\n") + about.footer;
    return text;
}

std::string optionsErrorText(Program program, const std::string& error)
{
    const std::string name = programName(program);
    bool negated = false;
    return name + ": " + error + "\n" + optionsSynopsis(program) +
           (findRow(program, "help", &negated) ? "Run '" + name + " --help' for the options.\n" : "");
}

const char* programVersion()
{
    return VEXARION_VERSION;
}

int readCommandLine(Program program, int argc, char** argv, Options* options)
{
    std::vector<std::string> arguments = programArguments(argc, argv);
    arguments.erase(arguments.begin(), arguments.begin() + (arguments.empty() ? 0 : 1));
    if (program == PROGRAM_SAVER)
        arguments = screenSaverArguments(arguments);
    std::vector<const char*> texts;
    for (const std::string& argument : arguments)
        texts.push_back(argument.c_str());
    std::string error;
    if (!parseOptions(program, static_cast<int>(texts.size()), texts.data(), options, &error)) {
        noticeShow(NOTICE_ERROR, optionsErrorText(program, error));
        return 2;
    }
    if (options->help) {
        noticeShow(NOTICE_ANSWER, optionsHelp(program));
        return 0;
    }
    if (options->version) {
        noticeShow(NOTICE_ANSWER, std::string(programName(program)) + " " + programVersion() + "\n");
        return 0;
    }
    return -1;
}
