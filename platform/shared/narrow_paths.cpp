// File names, the command line and the environment where the system passes
// names on as bytes, which on a UTF-8 desktop (Linux) and in Emscripten's
// file system are UTF-8 already: the C library's own calls serve as they
// are. Shared by the backends of those systems (sdl, web, null); Windows
// has its own, over UTF-16.
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
