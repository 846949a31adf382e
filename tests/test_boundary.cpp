// The platform boundary: only platform/ may see SDL, OpenAL, ImGui or the
// operating system, and everything else reaches OpenGL through platform/gl.h,
// so that another backend of the same small headers can replace platform/
// without touching the rest.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Headers that belong to a platform: windowing, sound, GUI, OS interfaces.
const char* const forbidden[] = {
    "SDL", "AL/", "al.h", "alc.h", "imgui", "windows.h", "mmsystem.h", "dsound.h", "X11/", "GL/glx",
    "unistd.h", "sys/", "pthread.h", "dlfcn.h", "GL/",
};

std::vector<std::string> violations(const fs::path& folder)
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
            for (const char* bad : forbidden)
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
        std::vector<std::string> found = violations(root / folder);
        EXPECT_TRUE(found.empty()) << folder << " includes platform headers:\n"
                                   << ::testing::PrintToString(found);
    }
}

TEST(PlatformBoundary, TheCheckFindsAnOffendingInclude)
{
    fs::path dir = fs::temp_directory_path() / "vexarion_boundary_probe";
    fs::create_directories(dir);
    std::ofstream(dir / "probe.cpp") << "#include <SDL.h>\n#include \"model/mesh.h\"\n  # include <GL/gl.h>\n";
    std::vector<std::string> found = violations(dir);
    fs::remove_all(dir);
    EXPECT_EQ(found.size(), 2u);
}
