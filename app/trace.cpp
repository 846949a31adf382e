// Frame traces of a replay; see trace.h.
#include "app/trace.h"

#include <string>

#include "app/globals.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "platform/paths.h"
#include "scene/director.h"
#include "scene/pose_program.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

namespace {

FILE* traceFile = nullptr;
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

void putFloat(float value)
{
    std::fprintf(traceFile, "%.9g,", static_cast<double>(value));
}

}  // namespace

const char* traceSoundName(const void* sound)
{
    if (sound == &burnSound)
        return "burn";
    if (sound == &hissSound)
        return "hiss";
    if (sound == &quakeSound)
        return "quake";
    if (sound == &seaSound)
        return "sea";
    if (sound == &splashSound)
        return "splash";
    if (sound == &thudSound)
        return "thud";
    if (sound == &thunderSound)
        return "thunder";
    if (sound == &windSound)
        return "wind";
    return "?";
}

bool traceOpen(const char* path)
{
    traceFile = fileOpen(path, "w");
    if (!traceFile)
        return false;
    std::fputs(
        "frame,frameTime,totalTime,characterScale,directorState,poseMode,poseStep,posX,posY,posZ,heading,"
        "targetX,targetZ,actionTimer,seaLevel,landLevel,flashIntensity,burning,tornadoBottom,"
        "tornadoSpeed,tornadoVisibility,quakeVolume,seaVolume,sceneYaw,events\n",
        traceFile);
    frameEvents.clear();
    setSoundObserver(onSound);
    return true;
}

void traceFrame(long frame)
{
    if (!traceFile)
        return;
    std::fprintf(traceFile, "%ld,", frame);
    putFloat(frameTime);
    putFloat(totalTime);
    putFloat(characterScale);
    std::fprintf(traceFile, "%d,%d,%d,", static_cast<int>(directorState), static_cast<int>(poseMode), poseStep);
    putFloat(characterPosition.x);
    putFloat(characterPosition.y);
    putFloat(characterPosition.z);
    putFloat(heading);
    putFloat(walkTarget.x);
    putFloat(walkTarget.z);
    putFloat(actionTimer);
    putFloat(seaLevel);
    putFloat(landLevel);
    putFloat(flashIntensity);
    std::fprintf(traceFile, "%d,", static_cast<int>(burning));
    putFloat(tornadoBottom);
    putFloat(tornadoSpeed);
    putFloat(tornadoVisibility);
    putFloat(quakeVolume);
    putFloat(seaVolume);
    putFloat(sceneYaw);
    std::fprintf(traceFile, "%s\n", frameEvents.c_str());
    frameEvents.clear();
    // Each row reaches the file with its frame, so a session that is killed
    // keeps its trace up to there.
    std::fflush(traceFile);
}

bool traceClose()
{
    setSoundObserver(nullptr);
    if (!traceFile)
        return true;
    bool ok = std::ferror(traceFile) == 0;
    ok = std::fclose(traceFile) == 0 && ok;
    traceFile = nullptr;
    return ok;
}
