// The layering of the tree: only platform/ sees SDL, OpenAL, ImGui, OpenGL's
// own headers or the operating system, so another backend of its small
// headers can replace it; and model/, sound/, scene/ and effects/ never reach
// up into app/ or replay/. Inside platform/, each backend's folder sees only
// its own system, its files are included by no one else, the code the
// backends share (platform/shared/) is included by backends alone, and the
// service headers see no backend at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Headers that belong to a platform: windowing, sound, GUI, OS interfaces.
const std::vector<std::string> platformHeaders = {
    "SDL",  "AL/",    "al.h",     "alc.h", "imgui",     "windows.h", "mmsystem.h", "dsound.h",
    "X11/", "GL/glx", "unistd.h", "sys/",  "pthread.h", "dlfcn.h",   "GL/",
};

// Every include under `folder` (or in it alone, unless `recursive`) whose
// header name contains one of `forbidden`.
std::vector<std::string> violations(const fs::path& folder, const std::vector<std::string>& forbidden,
                                    bool recursive = true)
{
    std::vector<std::string> found;
    const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<fs::directory_entry> entries;
    if (recursive)
        entries.assign(fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator());
    else
        entries.assign(fs::directory_iterator(folder), fs::directory_iterator());
    for (const auto& entry : entries) {
        const std::string ext = entry.path().extension().string();
        std::ifstream in(entry.path());
        std::string line;
        std::smatch m;
        for (int number = 1; (ext == ".cpp" || ext == ".h") && std::getline(in, line); number++)
            for (const std::string& bad : forbidden)
                if (std::regex_search(line, m, include) && m[1].str().find(bad) != std::string::npos) {
                    found.push_back(entry.path().string() + ":" + std::to_string(number) + ": " + m[1].str());
                    break;
                }
    }
    return found;
}

}  // namespace

TEST(PlatformBoundary, OnlyPlatformIncludesPlatformHeadersAndOnlyAppIncludesApp)
{
    const fs::path root = VEXARION_SOURCE_DIR;
    const std::vector<std::string> none;
    for (const char* folder : {"app", "model", "scene", "effects", "sound", "replay", "programs"}) {
        ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
        EXPECT_EQ(violations(root / folder, platformHeaders), none) << folder << " includes platform headers";
    }
    for (const char* folder : {"model", "scene", "effects", "sound"})
        EXPECT_EQ(violations(root / folder, {"app/", "replay/", "programs/"}), none) << folder << " reaches up";
    // The effects read the scene; the scene knows nothing of the effects.
    EXPECT_EQ(violations(root / "scene", {"effects/"}), none) << "scene includes effects/";
    // The check does see includes: the layers that may include these do.
    EXPECT_NE(violations(root / "platform", {"SDL", "GL/"}), none);
    EXPECT_NE(violations(root / "app", {"app/"}), none);
    EXPECT_NE(violations(root / "effects", {"effects/"}), none);
}

TEST(PlatformBoundary, EachBackendKeepsToItsFolderAndItsOwnSystem)
{
    const fs::path root = VEXARION_SOURCE_DIR;
    const std::vector<std::string> none;
    // What each backend may not see: the other systems' headers.
    const std::vector<std::pair<std::string, std::vector<std::string>>> backends = {
        {"sdl", {"windows.h", "dsound.h", "mmsystem.h", "emscripten"}},
        {"win32", {"SDL", "AL/", "imgui", "X11/", "emscripten", "unistd.h"}},
        {"null", {"SDL", "AL/", "imgui", "windows.h", "dsound.h", "X11/", "emscripten", "unistd.h", "sys/"}},
        {"shared", {"SDL", "imgui", "windows.h", "dsound.h", "X11/", "unistd.h", "sys/"}},
        {"web", {"SDL", "imgui", "windows.h", "dsound.h", "X11/", "GL/glx"}},
    };
    std::vector<std::string> backendFolders;
    for (const auto& backend : backends)
        backendFolders.push_back("platform/" + backend.first + "/");
    for (const auto& [name, forbidden] : backends) {
        const fs::path folder = root / "platform" / name;
        ASSERT_TRUE(fs::is_directory(folder)) << name;
        std::vector<std::string> others;
        for (const std::string& other : backendFolders)
            if (other != "platform/" + name + "/" && other != "platform/shared/")
                others.push_back(other);
        EXPECT_EQ(violations(folder, forbidden), none) << name << " sees another system";
        EXPECT_EQ(violations(folder, others), none) << name << " includes another backend";
    }
    // The service headers and the neutral code see no system but OpenGL's
    // (gl.h), and no backend's files; nor does anything outside platform/.
    std::vector<std::string> systems = {"SDL",        "AL/",  "al.h",       "alc.h",    "imgui", "dsound.h",
                                        "mmsystem.h", "X11/", "emscripten", "unistd.h", "sys/"};
    systems.insert(systems.end(), backendFolders.begin(), backendFolders.end());
    EXPECT_EQ(violations(root / "platform", systems, false), none);
    for (const char* folder : {"app", "model", "scene", "effects", "sound", "replay", "programs", "fuzz"})
        EXPECT_EQ(violations(root / folder, backendFolders), none) << folder;
    EXPECT_NE(violations(root / "platform" / "sdl", {"platform/sdl/"}), none);  // the check sees them
}
