// Finding the content; see content_folder.h.
#include "app/content_folder.h"

#include <filesystem>
#include <system_error>

#include "platform/folders.h"
#include "platform/notice.h"
#include "platform/paths.h"
#include "sound/sound.h"

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
    const fs::path base = fs::u8path(folder);
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
        const fs::path exe = fs::u8path(executableFolder);
        candidates.push_back(exe.lexically_normal().u8string());
        candidates.push_back((exe / ".." / "share" / "vexarion").lexically_normal().u8string());
    }
    for (const std::string& folder : candidates) {
        searched->push_back(folder);
        if (holdsContent(folder))
            return folder;
    }
    return "";
}

std::vector<std::string> contentFileNames()
{
    std::vector<std::string> names(std::begin(sceneFileNames), std::end(sceneFileNames));
    for (const SceneSoundFile& sound : sceneSoundFiles)
        names.push_back(sound.file);
    return names;
}

std::vector<std::string> missingContent(const std::string& folder)
{
    std::vector<std::string> missing;
    for (const std::string& name : contentFileNames())
        if (!isFile(fs::u8path(folder) / name))
            missing.push_back(name);
    return missing;
}

bool enterContentFolder()
{
    std::error_code error;
    const std::string working = fs::current_path(error).u8string();
    const std::string dataFolder = environmentValue("VEXARION_DATA");
    std::vector<std::string> searched;
    std::string folder = chooseContentFolder(dataFolder.c_str(), working, folderOfExecutable(), &searched);

    if (folder.empty()) {
        std::string list;
        for (const std::string& s : searched)
            list += (list.empty() ? "" : ", ") + s;
        noticeShow(NOTICE_WARNING,
                   "Vexarion: no content found (looked in " + list + "); set VEXARION_DATA to its folder\n");
        return true;
    }
    fs::current_path(fs::u8path(folder), error);
    if (error) {
        noticeShow(NOTICE_ERROR,
                   "Vexarion: cannot use the content folder " + folder + " (VEXARION_DATA): " + error.message() + "\n");
        return false;
    }
    std::vector<std::string> missing = missingContent(".");
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : " ") + name;
        noticeShow(NOTICE_WARNING,
                   "Vexarion: content missing in " + fs::current_path(error).u8string() + ": " + list + "\n");
    }
    return true;
}
