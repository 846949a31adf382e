// The layering of the tree. Only platform/ may see SDL, OpenAL, ImGui or the
// operating system, and everything else reaches OpenGL through platform/gl.h,
// so that another backend of the same small headers can replace platform/
// without touching the rest. And the application shell sits on top: model/,
// sound/, scene/ and effects/ never reach up into app/.
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
        std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            number++;
            std::smatch m;
            if (!std::regex_search(line, m, include))
                continue;
            std::string header = m[1];
            for (const std::string& bad : forbidden)
                if (header.find(bad) != std::string::npos) {
                    found.push_back(entry.path().string() + ":" + std::to_string(number) + ": " + header);
                    break;
                }
        }
    }
    return found;
}

}  // namespace

TEST(PlatformBoundary, OnlyPlatformIncludesPlatformHeaders)
{
    const fs::path root = VEXARION_SOURCE_DIR;
    for (const char* folder : {"app", "model", "scene", "effects", "sound"}) {
        ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
        std::vector<std::string> found = violations(root / folder, platformHeaders);
        EXPECT_TRUE(found.empty()) << folder << " includes platform headers:\n" << ::testing::PrintToString(found);
    }
}

TEST(PlatformBoundary, OnlyAppIncludesApp)
{
    const fs::path root = VEXARION_SOURCE_DIR;
    for (const char* folder : {"model", "scene", "effects", "sound"}) {
        std::vector<std::string> found = violations(root / folder, {"app/"});
        EXPECT_TRUE(found.empty()) << folder << " includes app/:\n" << ::testing::PrintToString(found);
    }
}

TEST(PlatformBoundary, TheCheckFindsAnOffendingInclude)
{
    fs::path dir = fs::temp_directory_path() / "vexarion_boundary_probe";
    fs::create_directories(dir);
    std::ofstream(dir / "probe.cpp")
        << "#include <SDL.h>\n#include \"model/mesh.h\"\n  # include <GL/gl.h>\n#include \"app/globals.h\"\n";
    EXPECT_EQ(violations(dir, platformHeaders).size(), 2u);
    EXPECT_EQ(violations(dir, {"app/"}).size(), 1u);
    fs::remove_all(dir);
}
