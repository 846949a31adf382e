// What the installed program decides before it opens anything: its command
// line, where its content is, and how a recording reads back as a script.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/content_folder.h"
#include "app/recorder.h"
#include "app/replay_script.h"

namespace fs = std::filesystem;

namespace {

bool parse(std::vector<const char*> args, CommandLine* options, std::string* error)
{
    args.insert(args.begin(), "vexarion");
    return parseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
}

}  // namespace

TEST(CommandLine, GoodAndBadOptions)
{
    CommandLine o;
    std::string error;
    ASSERT_TRUE(parse({}, &o, &error));
    EXPECT_FALSE(o.windowed || o.help || o.version || !o.recordPath.empty() || !o.tracePath.empty());
    ASSERT_TRUE(parse({"--window", "--record", "-", "--trace=t.csv"}, &o, &error)) << error;
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.windowWidth * 10000 + o.windowHeight, 1024 * 10000 + 768);
    EXPECT_EQ(o.recordPath, "-");
    EXPECT_EQ(o.tracePath, "t.csv");
    ASSERT_TRUE(parse({"--window", "800x600"}, &o, &error));
    EXPECT_EQ(o.windowWidth * 10000 + o.windowHeight, 800 * 10000 + 600);
    ASSERT_TRUE(parse({"--window=64x16384", "--version"}, &o, &error));
    EXPECT_TRUE(o.version);

    // Each bad command line is refused with a message naming what is wrong.
    const std::vector<std::pair<std::vector<const char*>, const char*>> bad = {
        {{"--fullscreen"}, "--fullscreen"},
        {{"-x"}, "-x"},
        {{"extra"}, "extra"},
        {{"--window", "800"}, "800"},
        {{"--window=0x0"}, "0x0"},
        {{"--window", "63x100"}, "63x100"},
        {{"--window", "800x600x"}, "800x600x"},
        {{"--window", "+800x600"}, "--window"},
        {{"--record"}, "--record"},
        {{"--trace="}, "--trace"},
        {{"--help=me"}, "--help"},
        {{"--record", "a", "--trace", "a"}, "same file"},
    };
    for (const auto& [args, named] : bad) {
        EXPECT_FALSE(parse(args, &o, &error)) << args[0];
        EXPECT_NE(error.find(named), std::string::npos) << error;
    }
}

TEST(ContentFolder, WorkingFolderThenBesideTheProgramThenInstalledThenOverride)
{
    const fs::path root = fs::temp_directory_path() / "vexarion-content-folder-test";
    fs::remove_all(root);
    for (const char* folder : {"work", "prefix/bin", "prefix/share/vexarion"})
        fs::create_directories(root / folder);
    auto fill = [&](const char* folder) {
        for (int i = 0; i < contentFileCount; i++)
            std::ofstream(root / folder / contentFileNames[i]) << "x";
    };
    std::vector<std::string> searched;
    const std::string work = (root / "work").string(), bin = (root / "prefix/bin/").string();
    EXPECT_EQ(chooseContentFolder(nullptr, work, bin, &searched), "");
    ASSERT_EQ(searched.size(), 3u);  // all three are named in the report
    EXPECT_EQ(searched[2], (root / "prefix/share/vexarion").string());

    fill("prefix/share/vexarion");
    EXPECT_EQ(chooseContentFolder(nullptr, work, bin, &searched), searched[2]);
    EXPECT_EQ(chooseContentFolder("", work, bin, &searched), searched[2]);  // empty is unset
    fill("prefix/bin");
    EXPECT_EQ(chooseContentFolder(nullptr, work, bin, &searched), (root / "prefix/bin/").string());
    fill("work");
    fs::remove(root / "work" / "SEA.WAV");
    EXPECT_EQ(chooseContentFolder(nullptr, work, bin, &searched), work);
    EXPECT_EQ(missingContent(work), std::vector<std::string>{"SEA.WAV"});
    EXPECT_EQ(chooseContentFolder("/elsewhere", work, bin, &searched), "/elsewhere");
    fs::remove_all(root);
}

TEST(Recording, ReadsBackAsTheSameEventsAndExactFrameTimesAndSurvivesACut)
{
    const std::string path = (fs::temp_directory_path() / "vexarion-recording-test.txt").string();
    ASSERT_TRUE(recorderOpen(path.c_str()));
    const float times[] = {0.0f, 0.0166667f, 1.0f / 3.0f, 1.17549435e-38f, 7.3f};
    const int chars[] = {'L', ' ', '#', 27, 9, 255, 'e'};
    recordFrameEnd(times[0]);
    for (int c : chars)
        recordChar(c);
    recordKey(KEY_SHIFT, true);
    recordFrameEnd(times[1]);
    recordKey(KEY_SHIFT, false);
    recordFrameEnd(times[2]);
    recordFrameEnd(times[3]);
    recordChar('t');  // a frame that never ends
    recorderClose();

    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(loadScript(path.c_str(), &events, &error)) << error;
    std::vector<int> typed;
    std::vector<float> seconds;
    for (const ScriptEvent& e : events) {
        if (e.kind == SCRIPT_TYPE)
            typed.push_back(e.code);
        if (e.kind == SCRIPT_TIME)
            seconds.push_back(e.seconds);
    }
    EXPECT_EQ(typed, std::vector<int>(chars, chars + 7));
    ASSERT_EQ(seconds.size(), 4u);
    for (size_t i = 0; i < seconds.size(); i++)
        EXPECT_EQ(seconds[i], times[i]) << "bit-exact frame time " << i;

    // Cut anywhere in the last line: whatever is left of it is dropped.
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t lastLine = text.rfind('\n', text.size() - 2) + 1;
    for (size_t cut = lastLine + 1; cut < text.size(); cut++) {
        ASSERT_TRUE(parseScript(text.substr(0, cut), &events, &error)) << cut << ": " << error;
        EXPECT_EQ(events.back().kind, SCRIPT_TIME) << cut;
        EXPECT_EQ(events.back().seconds, times[2]) << cut;
    }
    // A hand-written script (no times) keeps an unterminated last line, and
    // frame times must be numbers of seconds.
    ASSERT_TRUE(parseScript("0 type L\n5 type 32", &events, &error));
    EXPECT_EQ(events.back().code, 32);
    for (const char* bad : {"3 time -1\n", "3 time x\n", "3 time 1e99\n", "3 type 256\n", "3 time\n"})
        EXPECT_FALSE(parseScript(bad, &events, &error)) << bad;
    std::remove(path.c_str());
}
