// The program's command line; see command_line.h.
#include "app/command_line.h"

#include <cstdio>
#include <cstring>

#ifndef VEXARION_VERSION
#define VEXARION_VERSION "0.0.0"
#endif

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

const char* commandLineSynopsis()
{
    return "usage: vexarion [--window [WxH]] [--record FILE] [--trace FILE]\n"
           "       vexarion --help | --version\n";
}

const char* commandLineUsage()
{
    return "usage: vexarion [--window [WxH]] [--record FILE] [--trace FILE]\n"
           "       vexarion --help | --version\n"
           "\n"
           "With no options, pick a display mode in the dialog and play full screen.\n"
           "\n"
           "  --window [WxH]  play in a desktop window (default 1024x768)\n"
           "  --record FILE   write the session as a replay script, frame by frame;\n"
           "                  vexarion-replay --script FILE plays it again\n"
           "  --trace FILE    write the scene's state as CSV, one row per frame\n"
           "  --help          show this text\n"
           "  --version       show the version\n"
           "\n"
           "Keys: hold E (Shift+E) to lower (raise) the land, W (Shift+W) the sea;\n"
           "L lightning, t tornado down, T tornado up; hold F for the frame rate;\n"
           "F12 saves a screenshot; Esc quits.\n"
           "The content is read from the installed folder, or from VEXARION_DATA.\n";
}

const char* programVersion()
{
    return VEXARION_VERSION;
}

bool parseCommandLine(int argc, const char* const* argv, CommandLine* options, std::string* error)
{
    *options = CommandLine();
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.erase(eq);
            hasValue = true;
        }
        const bool nextIsValue = i + 1 < argc && argv[i + 1][0] != '-';

        if (arg == "--help" || arg == "-h" || arg == "--version") {
            if (hasValue) {
                *error = arg + " takes no value";
                return false;
            }
            (arg == "--version" ? options->version : options->help) = true;
        } else if (arg == "--window") {
            options->windowed = true;
            if (!hasValue && nextIsValue) {
                value = argv[++i];
                hasValue = true;
            }
            if (hasValue && !parseSize(value, &options->windowWidth, &options->windowHeight)) {
                *error = "--window: bad size '" + value + "' (WxH, each " + std::to_string(minimumSide) + " to " +
                         std::to_string(maximumSide) + ")";
                return false;
            }
        } else if (arg == "--record" || arg == "--trace") {
            if (!hasValue) {
                if (i + 1 >= argc) {
                    *error = arg + " needs a file name";
                    return false;
                }
                value = argv[++i];
            }
            if (value.empty()) {
                *error = arg + " needs a file name";
                return false;
            }
            (arg == "--record" ? options->recordPath : options->tracePath) = value;
        } else if (arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else {
            *error = "unexpected argument '" + arg + "'";
            return false;
        }
    }
    if (!options->recordPath.empty() && options->recordPath == options->tracePath) {
        *error = "--record and --trace name the same file";
        return false;
    }
    return true;
}
