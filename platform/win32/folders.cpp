// Folders on Windows: the executable's folder from the module's own path,
// the pictures folder from the shell (the Pictures known folder), falling
// back on the user's profile folder.
#include <cstdlib>
#include <string>

#include "platform/folders.h"
#include "platform/win32/state.h"

#include <shlobj.h>  // after <windows.h>

std::string folderOfExecutable()
{
    char path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "";
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? "" : folder.substr(0, slash + 1);
}

std::string folderForPictures()
{
    char path[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0])
        return path;
    const char* profile = std::getenv("USERPROFILE");
    return profile ? profile : "";
}
