// Finding the content; see content_folder.h.
#include "app/content_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/folders.h"

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

bool holdsContent(const std::string& folder)
{
    const fs::path base(folder);
    return isFile(base / "LAND.KMO") && isFile(base / "ROOM.KMO") && isFile(base / "MAN.KMO");
}

std::string chooseContentFolder(const char* dataOverride, const std::string& workingFolder,
                                const std::string& executableFolder, std::vector<std::string>* searched)
{
    searched->clear();
    if (dataOverride && *dataOverride) {
        searched->push_back(dataOverride);
        return dataOverride;
    }
    std::vector<std::string> candidates = {workingFolder};
    if (!executableFolder.empty()) {
        const fs::path exe(executableFolder);
        candidates.push_back(exe.lexically_normal().string());
        candidates.push_back((exe / ".." / "share" / "vexarion").lexically_normal().string());
    }
    for (const std::string& folder : candidates) {
        searched->push_back(folder);
        if (holdsContent(folder))
            return folder;
    }
    return "";
}

std::vector<std::string> missingContent(const std::string& folder)
{
    std::vector<std::string> missing;
    for (const char* name : contentFileNames)
        if (!isFile(fs::path(folder) / name))
            missing.push_back(name);
    return missing;
}

bool enterContentFolder()
{
    std::error_code error;
    const std::string working = fs::current_path(error).string();
    const char* dataFolder = std::getenv("VEXARION_DATA");
    std::vector<std::string> searched;
    std::string folder = chooseContentFolder(dataFolder, working, folderOfExecutable(), &searched);

    if (folder.empty()) {
        std::string list;
        for (const std::string& s : searched)
            list += (list.empty() ? "" : ", ") + s;
        std::fprintf(stderr, "Vexarion: no content found (looked in %s); set VEXARION_DATA to its folder\n",
                     list.c_str());
        return true;
    }
    fs::current_path(folder, error);
    if (error) {
        std::fprintf(stderr, "Vexarion: cannot use the content folder %s (VEXARION_DATA): %s\n", folder.c_str(),
                     error.message().c_str());
        return false;
    }
    std::vector<std::string> missing = missingContent(".");
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : " ") + name;
        std::fprintf(stderr, "Vexarion: content missing in %s: %s\n", fs::current_path(error).string().c_str(),
                     list.c_str());
    }
    return true;
}
