// Recording a live session; see recorder.h.
#include "replay/recorder.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "effects/lightning.h"
#include "platform/paths.h"
#include "replay/script.h"

namespace {

std::FILE* recording = nullptr;
long frame = 0;
std::string pending;  // the current frame's event lines
bool failed = false;

void addLine(const char* action, const std::string& argument)
{
    pending += std::to_string(frame) + " " + action + " " + argument + "\n";
}

}  // namespace

bool recorderOpen(const char* path)
{
    recording = fileOpen(path, "wb");
    if (!recording)
        return false;
    frame = 0;
    pending.clear();
    failed = false;
    char stamp[64] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
    std::fprintf(recording, "%s, %s. Replay: vexarion-replay --script FILE\n", recordingHeader.c_str(), stamp);
    // Options that change what the scene does come first, so the replay
    // takes them too.
    if (lightning.reducedFlash)
        std::fprintf(recording, "0 option %s\n", scriptOptionReducedFlash);
    failed = std::fflush(recording) != 0;
    return true;
}

void recordChar(int code)
{
    if (recording)
        addLine("type", scriptCharWord(code));
}

void recordKey(Key key, bool down)
{
    if (recording)
        addLine(down ? "press" : "release", scriptKeyWord(key));
}

void recordFrameEnd(float frameTime)
{
    if (!recording)
        return;
    // Nine significant digits read back as exactly this float.
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.9g", static_cast<double>(frameTime));
    addLine("time", seconds);
    if (std::fputs(pending.c_str(), recording) < 0 || std::fflush(recording) != 0)
        failed = true;
    pending.clear();
    frame++;
}

bool recorderClose()
{
    if (!recording)
        return true;
    bool ok = std::fclose(recording) == 0 && !failed;
    recording = nullptr;
    return ok;
}
