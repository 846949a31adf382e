// The element controls; see controls.h.
#include "app/controls.h"

#include "effects/lightning.h"
#include "effects/tornado.h"
#include "platform/input.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

ElementControls controls;

namespace {

bool held(Key key)
{
    return inputKeyState(key).held;
}

bool interactive()
{
    return scene.characterScale <= introEndScale;
}

// A volume as the integer percent the sound layer takes, truncated towards
// zero; a value far out of range (or not a number) can't be converted safely
// and counts as silence.
int32_t toPercent(float volume)
{
    if (!(volume > -1.0e6f && volume < 1.0e6f))
        return 0;
    return static_cast<int32_t>(volume);
}

}  // namespace

void updateElementControls(float dt)
{
    const bool shift = held(KEY_SHIFT);

    // Earth: the land moves while E is held, and the quake sound with it.
    if (held(KEY_E)) {
        float step = 5.0f * dt;
        if (controls.quakeVolume < 75.0f) {
            controls.quakeVolume = 75.0f;
            playSound(sounds.quake, true);
        }
        if (shift) {
            if (scene.landLevel < 20.0f) {
                scene.landLevel += step;
                controls.quakeVolume += 2.0f * step;
            }
        } else {
            if (scene.landLevel > -50.0f) {
                scene.landLevel -= step;
                controls.quakeVolume += 2.0f * step;
            }
        }
        if (controls.quakeVolume > 95.0f)
            controls.quakeVolume = 95.0f;
    } else {
        if (controls.quakeVolume > 5.0f)
            controls.quakeVolume -= 5.0f * dt;
        else
            stopSound(sounds.quake);
    }

    // Water: the sea rises and falls while W is held; released, the surf's
    // volume drifts back towards 75.
    float step = 5.0f * dt;
    if (held(KEY_W)) {
        if (shift) {
            if (scene.seaLevel < -3.0f) {
                scene.seaLevel += step;
                controls.seaVolume += step;
            }
        } else {
            if (scene.seaLevel > -35.0f) {
                scene.seaLevel -= step;
                controls.seaVolume -= step;
            }
        }
    } else {
        if (controls.seaVolume > 75.0f)
            controls.seaVolume -= step;
        if (controls.seaVolume < 75.0f)
            controls.seaVolume += step;
    }

    // A sea drawn down near the bottom quietens to nothing at -35; otherwise
    // the surf is never quieter than 50.
    if (scene.seaLevel < -30.0f)
        controls.seaVolume = (scene.seaLevel + 35.0f) * 10.0f;
    else if (controls.seaVolume < 50.0f)
        controls.seaVolume = 50.0f;

    setSoundVolume(sounds.quake, toPercent(controls.quakeVolume));
    setSoundVolume(sounds.sea, toPercent(controls.seaVolume));
}

void characterCommand(int code)
{
    switch (code) {
    case 'L':
    case 'l':
        if (interactive())
            lightningStrike();
        break;
    case 'T':
        if (interactive())
            tornado.speed = 25.0f;
        break;
    case 't':
        if (interactive() && tornado.bottom > 90.0f)
            tornado.speed = -15.0f;
        break;
    case 27: inputPostQuit(0); break;
    default: break;
    }
}
