// Folders the program finds on the machine: the one its executable lives in
// (the installed content is found from there), the user's pictures folder
// (where screenshots go) and the one its settings live in.
#pragma once
#include <string>

// The folder holding the running executable, ending in a path separator;
// "" when the system can't tell.
std::string folderOfExecutable();

// The user's pictures folder as the desktop defines it, else the home
// folder; "" when there is no home either. The folder may not exist yet.
// (On a Linux desktop: XDG_PICTURES_DIR from the environment, else from
// user-dirs.dirs; on Windows the Pictures known folder, else the profile.)
std::string folderForPictures();

// The folder for the program's settings, ending in a path separator, in
// UTF-8; "" when the system names none. It may not exist yet. (On a Linux
// desktop $XDG_CONFIG_HOME/vexarion/, else ~/.config/vexarion/; on Windows
// %APPDATA%\Vexarion\.)
std::string folderForSettings();
