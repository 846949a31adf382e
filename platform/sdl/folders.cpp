// Folders on a Linux desktop: the executable's folder from SDL, the pictures
// folder from the XDG user directories (the environment first, then
// $XDG_CONFIG_HOME/user-dirs.dirs, which desktops write as lines like
// XDG_PICTURES_DIR="$HOME/Pictures"), falling back on $HOME.
#include <SDL.h>

#include <cstdlib>
#include <fstream>

#include "platform/folders.h"

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The pictures folder named in user-dirs.dirs, with $HOME expanded; "" when
// the file or the line is missing.
std::string pictureFolderFromUserDirs(const std::string& home)
{
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = home.empty() ? "" : home + "/.config";
    if (config.empty())
        return "";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        // "$HOME/" alone means the desktop turned the folder off.
        if (value.empty() || value == home || value == home + "/")
            return "";
        return value;
    }
    return "";
}

}  // namespace

std::string folderOfExecutable()
{
    char* base = SDL_GetBasePath();
    if (!base)
        return "";
    std::string folder = base;
    SDL_free(base);
    return folder;
}

std::string folderForPictures()
{
    std::string pictures = environment("XDG_PICTURES_DIR");
    if (!pictures.empty())
        return pictures;
    const std::string home = environment("HOME");
    pictures = pictureFolderFromUserDirs(home);
    return pictures.empty() ? home : pictures;
}
