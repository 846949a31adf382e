// A settings file through its reader and writer: any bytes give settings
// (never a crash), and what the writer makes of them reads back clean, to
// the same settings, and is written again byte for byte.
#include <string>

#include "app/settings.h"
#include "fuzz/fuzz_support.h"

namespace {

bool same(const Settings& a, const Settings& b)
{
    return a.hasDisplayMode == b.hasDisplayMode && a.displayMode.width == b.displayMode.width &&
           a.displayMode.height == b.displayMode.height && a.displayMode.bitsPerPixel == b.displayMode.bitsPerPixel &&
           a.hasWindowSize == b.hasWindowSize && a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.hasWindowPosition == b.hasWindowPosition && a.windowX == b.windowX && a.windowY == b.windowY &&
           a.vsync == b.vsync && a.maxFps == b.maxFps && a.reducedFlash == b.reducedFlash &&
           a.muteUnfocused == b.muteUnfocused;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Settings first;
    const std::string problem = parseSettings(std::string(reinterpret_cast<const char*>(data), size), &first);
    fuzzCheck(problem.empty() || problem.rfind("line ", 0) == 0 || problem.rfind("longer than", 0) == 0,
              "a damage that names no line");
    fuzzCheck(first.maxFps >= -1 && first.maxFps <= 1000, "a frame cap out of range");
    const std::string written = formatSettings(first);
    Settings second;
    const std::string again = parseSettings(written, &second);
    fuzzCheck(again.empty(), "the written file reads as damaged");
    fuzzCheck(same(first, second), "the written file reads as other settings");
    fuzzCheck(formatSettings(second) == written, "writing the settings again changed the file");
    return 0;
}
