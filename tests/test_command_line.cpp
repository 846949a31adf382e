// What the installed program decides before it opens anything: its command
// line and where its content is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/content_folder.h"

namespace fs = std::filesystem;

namespace {

// The options a command line sets, in words, or "error: " and the message.
std::string parsed(std::vector<const char*> args)
{
    args.insert(args.begin(), "vexarion");
    CommandLine o;
    std::string error;
    if (!parseCommandLine(static_cast<int>(args.size()), args.data(), &o, &error))
        return "error: " + error;
    return (o.windowed ? "window " : "dialog ") + std::to_string(o.windowWidth) + "x" + std::to_string(o.windowHeight) +
           (o.help ? " help" : "") + (o.version ? " version" : "") + " record '" + o.recordPath + "' trace '" +
           o.tracePath + "'";
}

}  // namespace

TEST(CommandLine, GoodAndBadOptions)
{
    // A bad command line is refused with a message naming what is wrong.
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, "dialog 1024x768 record '' trace ''"},
        {{"--window", "--record", "-", "--trace=t.csv"}, "window 1024x768 record '-' trace 't.csv'"},
        {{"--window", "800x600"}, "window 800x600 record '' trace ''"},
        {{"--window=64x16384", "--version"}, "window 64x16384 version record '' trace ''"},
        {{"-h"}, "dialog 1024x768 help record '' trace ''"},
        {{"--fullscreen"}, "error: unknown option --fullscreen"},
        {{"extra"}, "error: unexpected argument 'extra'"},
        {{"--window", "800"}, "error: --window: bad size '800'"},
        {{"--window", "15x100"}, "error: --window: bad size '15x100'"},
        {{"--window", "16385x64"}, "error: --window: bad size '16385x64'"},
        {{"--window", "800x600x"}, "error: --window: bad size '800x600x'"},
        {{"--window", "+800x600"}, "error: --window: bad size '+800x600'"},
        {{"--record"}, "error: --record needs a file name"},
        {{"--trace="}, "error: --trace needs a file name"},
        {{"--help=me"}, "error: --help takes no value"},
        {{"--record", "a", "--trace", "a"}, "error: --record and --trace name the same file"},
    };
    for (const auto& [args, expected] : cases) {
        const std::string result = parsed(args);  // an error message need only begin as expected
        EXPECT_EQ(expected.rfind("error", 0) == 0 ? result.substr(0, expected.size()) : result, expected);
    }
}

TEST(ContentFolder, WorkingFolderThenBesideTheProgramThenInstalledThenOverride)
{
    const fs::path root = fs::temp_directory_path() / "vexarion-content-folder-test";
    fs::remove_all(root);
    for (const char* folder : {"work", "prefix/bin", "prefix/share/vexarion"})
        fs::create_directories(root / folder);
    auto fill = [&](const char* folder) {
        for (const char* name : contentFileNames)
            std::ofstream(root / folder / name) << "x";
    };
    const std::string work = (root / "work").string(), bin = (root / "prefix/bin/").string(),
                      share = (root / "prefix/share/vexarion").string();
    std::vector<std::string> chosen, searched, searchedFirst;
    auto choose = [&](const char* override) { chosen.push_back(chooseContentFolder(override, work, bin, &searched)); };
    choose(nullptr);
    searchedFirst = searched;  // all three are named in the report
    fill("prefix/share/vexarion");
    choose(nullptr);
    choose("");  // empty is unset
    fill("prefix/bin");
    choose(nullptr);
    fill("work");
    fs::remove(root / "work" / "SEA.WAV");
    choose(nullptr);
    choose("/elsewhere");
    EXPECT_EQ(searchedFirst, std::vector<std::string>({work, bin, share}));
    EXPECT_EQ(chosen, std::vector<std::string>({"", share, share, bin, work, "/elsewhere"}));
    EXPECT_EQ(missingContent(work), std::vector<std::string>{"SEA.WAV"});
    fs::remove_all(root);
}
