// File names, the command line and the environment on a browser page:
// Emscripten's file system takes UTF-8 names as they are.
#include <cstdlib>

#include "platform/paths.h"

std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::FILE* fileOpen(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}
