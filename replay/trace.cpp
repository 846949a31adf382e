// Frame traces of a replay; see trace.h.
//
// The columns are one table: each names its value and says how to read it,
// so the header and every row are written from the same list.
#include "replay/trace.h"

#include <string>
#include <utility>

#include "app/controls.h"
#include "app/output_file.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "scene/director.h"
#include "scene/pose_program.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

namespace {

// A column's value: a float, printed with nine significant digits, or a
// whole number.
struct TraceValue {
    bool whole;
    float real;
    int integer;
};

TraceValue real(float value)
{
    return TraceValue{false, value, 0};
}

TraceValue whole(int value)
{
    return TraceValue{true, 0.0f, value};
}

struct TraceColumn {
    const char* name;
    TraceValue (*read)();
};

// Between the frame number first and the sound events last.
const TraceColumn columns[] = {
    {"frameTime", [] { return real(scene.frameTime); }},
    {"totalTime", [] { return real(scene.totalTime); }},
    {"characterScale", [] { return real(scene.characterScale); }},
    {"directorState", [] { return whole(static_cast<int>(director.state)); }},
    {"poseMode", [] { return whole(static_cast<int>(poseProgram.mode)); }},
    {"poseStep", [] { return whole(poseProgram.step); }},
    {"posX", [] { return real(scene.characterPosition.x); }},
    {"posY", [] { return real(scene.characterPosition.y); }},
    {"posZ", [] { return real(scene.characterPosition.z); }},
    {"heading", [] { return real(director.heading); }},
    {"targetX", [] { return real(director.walkTarget.x); }},
    {"targetZ", [] { return real(director.walkTarget.z); }},
    {"actionTimer", [] { return real(director.actionTimer); }},
    {"seaLevel", [] { return real(scene.seaLevel); }},
    {"landLevel", [] { return real(scene.landLevel); }},
    {"flashIntensity", [] { return real(lightning.flashIntensity); }},
    {"burning", [] { return whole(fire.burning); }},
    {"tornadoBottom", [] { return real(tornado.bottom); }},
    {"tornadoSpeed", [] { return real(tornado.speed); }},
    {"tornadoVisibility", [] { return real(tornado.visibility); }},
    {"quakeVolume", [] { return real(controls.quakeVolume); }},
    {"seaVolume", [] { return real(controls.seaVolume); }},
    {"sceneYaw", [] { return real(scene.yaw); }},
};

OutputFile traceFile;
bool traceFollowing = false;  // the trace was opened and not yet closed
std::string frameEvents;

void onSound(const Sound* sound, SoundEvent event)
{
    const char* verb = event == SOUND_PLAY ? "play" : event == SOUND_LOOP ? "loop" : "stop";
    if (!frameEvents.empty())
        frameEvents += ';';
    frameEvents += verb;
    frameEvents += ' ';
    frameEvents += traceSoundName(sound);
}

}  // namespace

const char* traceSoundName(const void* sound)
{
    for (const SceneSoundFile& entry : sceneSoundFiles)
        if (&(sounds.*entry.handle) == sound)
            return entry.name;
    return "?";
}

std::string traceHeader()
{
    std::string line = "frame,";
    for (const TraceColumn& column : columns) {
        line += column.name;
        line += ',';
    }
    return line + "events";
}

std::string traceRow(long frame, const std::string& events)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld,", frame);
    std::string line = text;
    for (const TraceColumn& column : columns) {
        const TraceValue value = column.read();
        if (value.whole)
            std::snprintf(text, sizeof text, "%d,", value.integer);
        else
            std::snprintf(text, sizeof text, "%.9g,", static_cast<double>(value.real));
        line += text;
    }
    return line + events;
}

bool traceOpen(const char* path)
{
    traceFollowing = true;
    frameEvents.clear();
    if (!outputOpen(&traceFile, path, "the trace") || !outputWrite(&traceFile, traceHeader() + "\n"))
        return false;
    setSoundObserver(onSound);
    return true;
}

void traceFrame(long frame)
{
    if (traceFile.file == nullptr)
        return;
    // Each row reaches the file with its frame, so a session that is killed
    // keeps its trace up to there.
    outputWrite(&traceFile, traceRow(frame, frameEvents) + "\n");
    frameEvents.clear();
}

bool traceClose()
{
    setSoundObserver(nullptr);
    if (!std::exchange(traceFollowing, false))
        return true;
    return outputClose(&traceFile);
}
