// What the installed program decides before it opens anything: its command
// line and where its content is.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/content_folder.h"
#include "app/options.h"

namespace fs = std::filesystem;

namespace {

// What a command line gives `program`, in words: each option named, as
// given, then the values the programs read; or "error: " and the message.
std::string parsed(Program program, std::vector<const char*> args)
{
    Options o;
    std::string error;
    if (!parseOptions(program, static_cast<int>(args.size()), args.data(), &o, &error))
        return "error: " + error;
    std::string words;
    for (const auto& [name, value] : o.given)
        words += name + (value.empty() ? "" : "=" + value) + " ";
    words += "| " + std::to_string(o.windowWidth) + "x" + std::to_string(o.windowHeight) + " " +
             std::to_string(o.width) + "x" + std::to_string(o.height) + " frames " + std::to_string(o.frames) + " dt " +
             std::to_string(o.dt).substr(0, 5) + " fps " + std::to_string(o.maxFps) + " pose " + std::to_string(o.pose);
    for (const auto& [frame, file] : o.shots)
        words += " shot " + std::to_string(frame) + ":" + file;
    for (const auto& [flag, name] : {std::pair{o.vsync, "vsync"},
                                     {o.reducedFlash, "reduced-flash"},
                                     {o.muteUnfocused, "mute"},
                                     {o.fullscreen, "fullscreen"},
                                     {o.attract, "attract"},
                                     {o.root, "root"},
                                     {!o.sound, "silent"},
                                     {o.configure, "configure"}})
        words += flag ? std::string(" ") + name : "";
    if (o.attractPause != 8)
        words += " pause " + std::to_string(o.attractPause);
    for (const auto& [window, name] : {std::pair{o.windowId, " in "}, {o.configureParent, " of "}})
        words += window ? name + std::to_string(window) : "";
    return words + (o.help ? " help" : "") + (o.version ? " version" : "");
}

const std::string programDefaults = "| 1024x768 0x0 frames 0 dt 0.000 fps -1 pose -1";
const std::string replayDefaults = "| 0x0 640x480 frames 400 dt 0.020 fps -1 pose -1";

}  // namespace

TEST(Options, EachProgramTakesItsOwnRowsAndNamesWhatIsWrong)
{
    // An error message need only begin as expected.
    const Program V = PROGRAM_VEXARION, R = PROGRAM_REPLAY, B = PROGRAM_BENCH, W = PROGRAM_WEB, S = PROGRAM_SAVER;
    const std::tuple<Program, std::vector<const char*>, std::string> cases[] = {
        {V, {}, programDefaults},
        {V, {"--window", "--record", "-", "--trace=t.csv"}, "record=- trace=t.csv window " + programDefaults},
        {V, {"--window", "800x600"}, "window=800x600 | 800x600 0x0 frames 0 dt 0.000 fps -1 pose -1"},
        {V, {"--window=64x16384", "--version"}, "version=on window=64x16384 | 64x16384"},
        {V,
         {"--no-vsync", "--max-fps", "30", "--reduced-flash", "--no-mute-unfocused", "--vsync"},
         "max-fps=30 mute-unfocused=off reduced-flash=on vsync=on | 1024x768 0x0 frames 0 dt 0.000 fps 30 pose -1 "
         "vsync "
         "reduced-flash"},
        {V, {"--max-fps=auto", "-h"}, "help=on max-fps=auto " + programDefaults + " help"},
        {V, {"--max-fps", "1001"}, "error: bad value '1001' for --max-fps: auto or a number of frames a second"},
        {V, {"--max-fps", "-5"}, "error: bad value '-5' for --max-fps"},
        {V, {"--max-fps"}, "error: --max-fps needs a value"},
        {V, {"--vsync=off"}, "error: --vsync takes no value"},
        {V, {"--fullscreen"}, "error: unknown option --fullscreen"},
        {V, {"--frames", "3"}, "error: unknown option --frames"},
        {V, {"-x"}, "error: unknown option -x"},
        {V, {"extra"}, "error: unexpected argument 'extra'"},
        {V, {"--window", "800"}, "error: bad value '800' for --window: WxH, each side 16 to 16384"},
        {V, {"--window", "15x100"}, "error: bad value '15x100' for --window"},
        {V, {"--window", "16385x64"}, "error: bad value '16385x64' for --window"},
        {V, {"--window", "800x600x"}, "error: bad value '800x600x' for --window"},
        {V, {"--window", "+800x600"}, "error: bad value '+800x600' for --window"},
        {V, {"--record"}, "error: --record needs a value"},
        {V, {"--trace="}, "error: --trace needs a value"},
        {V, {"--help=me"}, "error: --help takes no value"},
        {R, {}, replayDefaults},
        {R,
         {"--frames", "7", "--dt=0.5", "--size", "32x16", "--pose", "6", "--shot", "3=a.png", "--shot", "3=b.png",
          "--reduced-flash"},
         "dt=0.5 frames=7 pose=6 reduced-flash=on shot=3=b.png size=32x16 | 0x0 32x16 frames 7 dt 0.500 fps -1 pose 6 "
         "shot 3:a.png shot 3:b.png reduced-flash"},
        {R, {"--frames", "-1"}, "error: bad value '-1' for --frames: a whole number of frames"},
        {R, {"--dt", "10.5"}, "error: bad value '10.5' for --dt: seconds, 0 to 10"},
        {R, {"--pose", "5"}, "error: bad value '5' for --pose"},
        {R, {"--shot", "x"}, "error: bad value 'x' for --shot: FRAME=FILE.png"},
        {R, {"--shot", "4="}, "error: bad value '4=' for --shot"},
        {R, {"--window"}, "error: unknown option --window"},
        {B, {"--frames", "50"}, "frames=50 | 0x0 640x480 frames 50 dt 0.020 fps -1 pose -1"},
        {B, {"--bogus"}, "error: unknown option --bogus"},
        {W, {"--size", "800x600", "--fullscreen"}, "fullscreen=on size=800x600 | 0x0 800x600 frames 400"},
        {W, {"--help"}, "error: unknown option --help"},
        {W,
         {"--size", "640x480", "--reduced-flash", "--no-sound", "--mute-unfocused"},
         "mute-unfocused=on reduced-flash=on size=640x480 sound=off | 0x0 640x480 frames 400 dt 0.020 fps -1 pose -1 "
         "reduced-flash mute silent"},
        {W, {"--record", "/r.txt", "--script", "s.txt", "--paced"}, "paced=on record=/r.txt script=s.txt | 0x0"},
        {V, {"--paced"}, "error: unknown option --paced"},
        {W, {"--vsync"}, "error: unknown option --vsync"},
        // The attract mode and the screen savers.
        {V,
         {"--attract", "--attract-pause", "15", "--no-sound"},
         "attract=on attract-pause=15 sound=off " + programDefaults + " attract silent pause 15"},
        {R, {"--attract", "--attract-pause=2"}, "attract=on attract-pause=2 " + replayDefaults + " attract pause 2"},
        {V, {"--attract-pause", "16"}, "error: bad value '16' for --attract-pause: seconds, 2 to 15"},
        {R, {"--attract-pause", "1"}, "error: bad value '1' for --attract-pause"},
        {V,
         {"--root", "--window-id", "0x1A00003"},
         "root=on window-id=0x1A00003 " + programDefaults + " root in 27262979"},
        {V, {"--window-id=4194311"}, "window-id=4194311 " + programDefaults + " in 4194311"},
        {V, {"--window-id", "0"}, "error: bad value '0' for --window-id: a window's id, in decimal or 0x hex"},
        {V, {"--window-id", "0x"}, "error: bad value '0x' for --window-id"},
        {V, {"--window-id", "12ab"}, "error: bad value '12ab' for --window-id"},
        {V, {"--window-id", "0x10000000000000000"}, "error: bad value '0x10000000000000000' for --window-id"},
        {R, {"--root"}, "error: unknown option --root"},
        {S, {"--root"}, "root=on "},
        {S, {"--configure=0x20"}, "configure=0x20 | 0x0 0x0 frames 0 dt 0.000 fps -1 pose -1 configure of 32"},
        {S, {"--attract"}, "error: unknown option --attract"},
    };
    for (const auto& [program, args, expected] : cases) {
        const std::string result = parsed(program, args);
        EXPECT_EQ(result.substr(0, expected.size()), expected) << programName(program);
    }
}

TEST(Options, TheWindowsScreenSaversArgumentsBecomeTheTables)
{
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{}, {"--configure"}},
        {{"/s"}, {"--root"}},
        {{"/S"}, {"--root"}},
        {{"-s"}, {"--root"}},
        {{"/p", "1234"}, {"--window-id", "1234"}},
        {{"/P:1234"}, {"--window-id", "1234"}},
        {{"/c"}, {"--configure"}},
        {{"/c:5678"}, {"--configure=5678"}},
        {{"/save"}, {"/save"}},
        {{"/x"}, {"/x"}},
    };
    for (const auto& [windows, table] : cases)
        EXPECT_EQ(screenSaverArguments(windows), table) << (windows.empty() ? "(none)" : windows[0]);
}

TEST(Options, HelpAndUsageComeFromTheTable)
{
    // Every option a program takes is in its usage and its help, with its
    // default; the others aren't.
    // The texts with each run of spaces and line breaks as one space.
    auto flat = [](std::string text) {
        std::string one;
        for (char c : text)
            if (!((c == ' ' || c == '\n') && !one.empty() && one.back() == ' '))
                one += c == '\n' ? ' ' : c;
        return one;
    };
    const std::string replayUsage = optionsSynopsis(PROGRAM_REPLAY), replayHelp = flat(optionsHelp(PROGRAM_REPLAY));
    EXPECT_EQ(replayUsage.rfind("usage: vexarion-replay [--frames N] [--dt SECONDS] [--size WxH]", 0), 0u)
        << replayUsage;
    for (const char* part : {"[--shot FRAME=FILE.png]", "[--[no-]reduced-flash]", "vexarion-replay --help | --version"})
        EXPECT_NE(replayUsage.find(part), std::string::npos) << part;
    for (const char* part : {" --dt SECONDS every frame's", "(default 0.02)", "run (default 400)", " --help show"})
        EXPECT_NE(replayHelp.find(part), std::string::npos) << part;
    EXPECT_EQ(replayHelp.find("--window"), std::string::npos);
    const std::string programHelp = optionsHelp(PROGRAM_VEXARION);
    EXPECT_NE(flat(programHelp).find("the last one's size, else 1024x768)"), std::string::npos) << programHelp;
    EXPECT_EQ(programHelp.find("--frames"), std::string::npos);
    for (const std::string& text : {replayUsage, replayHelp, programHelp, optionsHelp(PROGRAM_BENCH)}) {
        size_t start = 0, longest = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            longest = std::max(longest, end - start);
        EXPECT_LE(longest, 80u) << text;
    }
    const std::string error = optionsErrorText(PROGRAM_BENCH, "unknown option --bogus");
    EXPECT_EQ(error.rfind("vexarion-bench: unknown option --bogus\nusage: vexarion-bench ", 0), 0u) << error;
    EXPECT_NE(error.find("Run 'vexarion-bench --help' for the options."), std::string::npos);
}

TEST(ContentFolder, WorkingFolderThenBesideTheProgramThenInstalledThenOverride)
{
    const fs::path root = fs::temp_directory_path() / "vexarion-content-folder-test";
    fs::remove_all(root);
    for (const char* folder : {"work", "prefix/bin", "prefix/share/vexarion"})
        fs::create_directories(root / folder);
    auto fill = [&](const char* folder) {
        for (const std::string& name : contentFileNames())
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
