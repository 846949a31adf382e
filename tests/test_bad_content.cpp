// Every content file missing in turn, cut short, or replaced by garbage: the
// replay still starts, runs its frames through lightning, tornado and quake,
// and exits cleanly. (Under the sanitizers the replay is checked for every
// out-of-bounds read on the way.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/replay_run.h"

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
const char* const frames = "160";
#else
const char* const frames = "300";
#endif

// Past the intro quickly (frames of 0.05 s), then every element at work.
const char* const script =
    "90 type L\n100 type t\n150 type T\n160 press E\n170 release E\n170 press W\n175 press SHIFT\n"
    "200 release W\n200 release SHIFT\n250 type L\n300 press F\n";

// The content files the program reads: those the build generated.
std::vector<std::string> contentFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(VEXARION_RUN_DIR)) {
        std::string name = entry.path().filename().string();
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".kmo" || ext == ".bmp" || ext == ".wav" || name == "Height.raw")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

enum Damage { MISSING, TRUNCATED, GARBAGE, HEADER_ONLY };

std::string damageName(Damage d)
{
    return d == MISSING ? "missing" : d == TRUNCATED ? "truncated" : d == GARBAGE ? "garbage" : "header only";
}

// A folder holding the content with one file damaged; the rest are links.
std::string damagedFolder(const std::string& victim, Damage damage)
{
    fs::path folder =
        fs::temp_directory_path() / ("vexarion-bad-" + std::to_string(getpid()) + "-" + std::to_string(damage));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& name : contentFiles())
        if (name != victim)
            fs::create_symlink(fs::path(VEXARION_RUN_DIR) / name, folder / name);
    if (damage == MISSING)
        return folder.string();

    std::ifstream in(fs::path(VEXARION_RUN_DIR) / victim, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (damage == TRUNCATED) {
        bytes.resize(bytes.size() / 2);
    } else if (damage == HEADER_ONLY) {
        bytes.resize(std::min<size_t>(bytes.size(), 30));
    } else {
        std::mt19937 random(static_cast<unsigned>(bytes.size()));
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
    }
    std::ofstream(folder / victim, std::ios::binary) << bytes;
    return folder.string();
}

}  // namespace

// One test per kind of damage, so they can run side by side.
class BadContent : public ::testing::TestWithParam<Damage> {};

TEST_P(BadContent, EveryFileInTurn)
{
    const Damage damage = GetParam();
    std::vector<std::string> files = contentFiles();
    ASSERT_GE(files.size(), 20u) << "the content was not generated";
    for (const std::string& victim : files) {
        std::string folder = damagedFolder(victim, damage);
        ReplayResult r = runReplay(script, {"--frames", frames, "--dt", "0.05"}, folder, 120);
        EXPECT_EQ(r.exitCode, 0) << victim << " " << damageName(damage) << "\n" << r.errors;
        EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(std::stol(frames))) << victim << " " << damageName(damage);
        fs::remove_all(folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Damage, BadContent, ::testing::Values(MISSING, TRUNCATED, GARBAGE, HEADER_ONLY),
                         [](const ::testing::TestParamInfo<Damage>& param) {
                             std::string name = damageName(param.param);
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name;
                         });

TEST(NoContent, TheReplayRunsOnEmptyMeshesAndSilence)
{
    fs::path folder = fs::temp_directory_path() / ("vexarion-empty-" + std::to_string(getpid()));
    fs::create_directories(folder);
    ReplayResult r = runReplay(script, {"--frames", frames, "--dt", "0.05"}, folder.string(), 120);
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(std::stol(frames)));
    fs::remove_all(folder);
}
