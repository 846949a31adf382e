// The layering of the tree: only platform/ sees SDL, OpenAL, ImGui, OpenGL's
// own headers or the operating system, so another backend of its small
// headers can replace it; and model/, sound/, scene/ and effects/ never reach
// up into app/.
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

// Every include under `folder` whose header name contains one of `forbidden`.
std::vector<std::string> violations(const fs::path& folder, const std::vector<std::string>& forbidden)
{
    std::vector<std::string> found;
    const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
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
    for (const char* folder : {"app", "model", "scene", "effects", "sound"}) {
        ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
        EXPECT_EQ(violations(root / folder, platformHeaders), none) << folder << " includes platform headers";
        EXPECT_EQ(std::string(folder) == "app" ? none : violations(root / folder, {"app/"}), none)
            << folder << " includes app/";
    }
    // The check does see includes: the layers that may include these do.
    EXPECT_NE(violations(root / "platform", {"SDL", "GL/"}), none);
    EXPECT_NE(violations(root / "app", {"app/"}), none);
}
