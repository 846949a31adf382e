// Every content file missing, cut short, cut to its header or replaced by
// garbage, all at once: the replay still runs its frames through lightning,
// tornado and quake, and exits cleanly (under the sanitizers, with no bad
// read on the way). Each loader's own answers are unit tests of that loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/process.h"
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
        std::string name = entry.path().filename().string(), ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".kmo" || ext == ".bmp" || ext == ".wav" || name == "Height.raw")
            names.push_back(name);
    }
    return names;
}

enum Damage { MISSING, TRUNCATED, GARBAGE, HEADER_ONLY };
const char* const damageNames[] = {"missing", "truncated", "garbage", "header only"};

// A folder holding every content file damaged the same way.
std::string damagedFolder(Damage damage)
{
    fs::path folder =
        fs::temp_directory_path() / ("vexarion-bad-" + std::to_string(getpid()) + "-" + damageNames[damage]);
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& name : damage == MISSING ? std::vector<std::string>() : contentFiles()) {
        std::string bytes = readText(std::string(VEXARION_RUN_DIR) + "/" + name);
        std::mt19937 random(static_cast<unsigned>(bytes.size()));
        if (damage == GARBAGE)
            for (char& c : bytes)
                c = static_cast<char>(random() & 0xFF);
        bytes.resize(damage == TRUNCATED     ? bytes.size() / 2
                     : damage == HEADER_ONLY ? std::min<size_t>(bytes.size(), 30)
                                             : bytes.size());
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    return folder.string();
}

}  // namespace

TEST(BadContent, EveryFileDamagedAtOnceInEachWay)
{
    ASSERT_GE(contentFiles().size(), 20u) << "the content was not generated";
    for (Damage damage : {MISSING, TRUNCATED, GARBAGE, HEADER_ONLY}) {
        std::string folder = damagedFolder(damage);
        ReplayResult r = runReplay(script, {"--frames", frames, "--dt", "0.05"}, folder, 120, true);
        EXPECT_EQ(r.exitCode, 0) << damageNames[damage] << "\n" << r.errors;
        EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(std::stol(frames))) << damageNames[damage];
        fs::remove_all(folder);
    }
}
