// vexarion-content: writes every file the program reads at start.
//
//     vexarion-content <run folder>
//
// The models (MAN.KMO, ROOM.KMO, LAND.KMO), the bitmaps they and the effects
// name, the height map "Height.raw", the eight sounds and README.TXT. The
// output depends on nothing but this program, so every build writes the
// same bytes. The time each group took is printed.
#include <chrono>
#include <cstdio>
#include <string>

#include "tools/content/content.h"

namespace {

struct Maker {
    const char* what;
    bool (*make)(const std::string& folder);
};

const Maker makers[] = {
    {"terrain", makeTerrain},
    {"room", makeRoom},
    {"man", makeMan},
    {"effect bitmaps", makeEffectBitmaps},
    {"looping sounds", makeLoopingSounds},
    {"one-shot sounds", makeOneShotSounds},
    {"readme", makeReadme},
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <run folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';

    auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (const Maker& maker : makers) {
        auto groupStart = std::chrono::steady_clock::now();
        bool made = maker.make(folder);
        std::printf("content: %-16s %s in %.3f s\n", maker.what, made ? "written" : "FAILED", secondsSince(groupStart));
        ok = ok && made;
    }
    std::printf("content: all files %s in %.3f s\n", ok ? "written" : "NOT written", secondsSince(start));
    return ok ? 0 : 1;
}
