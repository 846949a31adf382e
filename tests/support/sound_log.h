// A record of the sounds that code under test plays and stops, through the
// sound layer's observer (it reports whether or not a device is open).
#pragma once
#include <vector>

#include "sound/sound.h"

struct SoundLogEntry {
    const Sound* sound;
    SoundEvent event;
};

// Starts a fresh record and routes the sound layer's reports into it.
void soundLogStart();
// What was reported since soundLogStart.
const std::vector<SoundLogEntry>& soundLog();
// How often this sound was reported with this event.
int soundLogCount(const Sound& sound, SoundEvent event);
