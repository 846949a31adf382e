// Recording a live session; see recorder.h.
#include "replay/recorder.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "app/output_file.h"
#include "effects/lightning.h"
#include "replay/script.h"

namespace {

OutputFile recording;
bool recordingOpen = false;  // opened and not yet closed, written or not
long frame = 0;
std::string pending;  // the current frame's event lines

void addLine(const char* action, const std::string& argument)
{
    pending += std::to_string(frame) + " " + action + " " + argument + "\n";
}

}  // namespace

bool recorderOpen(const char* path)
{
    frame = 0;
    pending.clear();
    recordingOpen = true;
    if (!outputOpen(&recording, path, "the recording"))
        return false;
    char stamp[64] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
    std::string head = recordingHeader + ", " + stamp + ". Replay: vexarion-replay --script FILE\n";
    // Options that change what the scene does come first, so the replay
    // takes them too.
    if (lightning.reducedFlash)
        head += std::string("0 option ") + scriptOptionReducedFlash + "\n";
    return outputWrite(&recording, head);
}

void recordChar(int code)
{
    if (recording.file)
        addLine("type", scriptCharWord(code));
}

void recordKey(Key key, bool down)
{
    if (recording.file)
        addLine(down ? "press" : "release", scriptKeyWord(key));
}

void recordFrameEnd(float frameTime)
{
    if (!recording.file)
        return;
    // Nine significant digits read back as exactly this float.
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.9g", static_cast<double>(frameTime));
    addLine("time", seconds);
    // A frame goes in whole or not at all: the file ends after the last
    // frame it holds whole, and replays every one of them.
    outputWrite(&recording, pending);
    pending.clear();
    frame++;
}

bool recorderClose()
{
    if (!recordingOpen)
        return true;
    recordingOpen = false;
    return outputClose(&recording);
}
