// Folders on Windows: the executable's folder from the module's own path,
// the pictures folder from the shell (the Pictures known folder), falling
// back on the user's profile folder; the settings in the roaming application
// data folder (%APPDATA%\Vexarion). All are read through the wide interfaces
// and handed on as UTF-8, so that no letter of a folder's name is lost.
#include <string>

#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/win32/state.h"
#include "platform/win32/text.h"

#include <knownfolders.h>  // after <windows.h>
#include <shlobj.h>

std::string folderOfExecutable()
{
    // Long paths can pass MAX_PATH: grow the buffer until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return "";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768)
            return "";
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "" : utf8FromUtf16(path.substr(0, slash + 1).c_str());
}

std::string folderForPictures()
{
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DEFAULT, nullptr, &path)) && path)
        folder = utf8FromUtf16(path);
    CoTaskMemFree(path);
    return folder.empty() ? environmentValue("USERPROFILE") : folder;
}

std::string folderForSettings()
{
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)) && path)
        folder = utf8FromUtf16(path);
    CoTaskMemFree(path);
    return folder.empty() ? "" : folder + "\\Vexarion\\";
}
