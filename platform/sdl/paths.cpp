// File names, the command line and the environment on Linux: the system
// passes names on as bytes, and a UTF-8 desktop's bytes are UTF-8 already.
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
