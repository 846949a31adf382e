// The null backend's file names, command line and environment, taken as
// the C library gives them.
#include <cstdlib>

#include "platform/paths.h"

std::vector<std::string> programArguments(int argc, char** argv)
{
    // The command line's arguments as UTF-8, argv[0] included.
    return std::vector<std::string>(argv, argv + argc);
}

std::string environmentValue(const char* name)
{
    // The variable's value as UTF-8; "" when it is not set.
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::FILE* fileOpen(const std::string& path, const char* mode)
{
    // Open the file named by a UTF-8 path, as std::fopen does.
    return std::fopen(path.c_str(), mode);
}
