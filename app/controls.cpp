// The element controls; see controls.h.
#include "app/controls.h"

#include "app/globals.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "platform/input.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

namespace {

bool held(Key key)
{
    return (getAsyncKeyState(key) & 0x8000) != 0;
}

bool interactive()
{
    return characterScale <= 10.0f;
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
        if (quakeVolume < 75.0f) {
            quakeVolume = 75.0f;
            playSound(quakeSound, true);
        }
        if (shift) {
            if (landLevel < 20.0f) {
                landLevel += step;
                quakeVolume += 2.0f * step;
            }
        } else {
            if (landLevel > -50.0f) {
                landLevel -= step;
                quakeVolume += 2.0f * step;
            }
        }
        if (quakeVolume > 95.0f)
            quakeVolume = 95.0f;
    } else {
        if (quakeVolume > 5.0f)
            quakeVolume -= 5.0f * dt;
        else
            stopSound(quakeSound);
    }

    // Water: the sea rises and falls while W is held; released, the surf's
    // volume drifts back towards 75.
    float step = 5.0f * dt;
    if (held(KEY_W)) {
        if (shift) {
            if (seaLevel < -3.0f) {
                seaLevel += step;
                seaVolume += step;
            }
        } else {
            if (seaLevel > -35.0f) {
                seaLevel -= step;
                seaVolume -= step;
            }
        }
    } else {
        if (seaVolume > 75.0f)
            seaVolume -= step;
        if (seaVolume < 75.0f)
            seaVolume += step;
    }

    // A sea drawn down near the bottom quietens to nothing at -35; otherwise
    // the surf is never quieter than 50.
    if (seaLevel < -30.0f)
        seaVolume = (seaLevel + 35.0f) * 10.0f;
    else if (seaVolume < 50.0f)
        seaVolume = 50.0f;

    setSoundVolume(quakeSound, toPercent(quakeVolume));
    setSoundVolume(seaSound, toPercent(seaVolume));
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
            tornadoSpeed = 25.0f;
        break;
    case 't':
        if (interactive() && tornadoBottom > 90.0f)
            tornadoSpeed = -15.0f;
        break;
    case 27: postQuitMessage(0); break;
    default: break;
    }
}
