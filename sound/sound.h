// The program's sounds: PCM WAV files loaded whole into buffers of the one
// sound device at start-up, then played from their start once or looping,
// stopped, and given a volume in percent, several at a time.
//
// Without a device a handle still holds its sound, silent until a device
// comes (the platform keeps looking for one, see platform/audio.h); with a
// file that did not load it stays empty and every call on it does nothing
// audible, so the program runs on silently.
// An observer can follow the plays and stops all the same, device or not.
#pragma once
#include <cstdint>

#include "platform/audio.h"

// A handle to one loaded sound.
struct Sound {
    AudioBuffer buffer = 0;  // the device's buffer; 0 while the handle is empty
    bool started = false;    // played since it was last stopped
    int32_t volume = 0;      // the volume last set, hundredths of a decibel (0 is full)
};

// The eight sounds of the scene.
struct SceneSounds {
    Sound burn;
    Sound hiss;
    Sound quake;
    Sound sea;
    Sound splash;
    Sound thud;
    Sound thunder;
    Sound wind;
};
extern SceneSounds sounds;

// Each sound with its file and the name traces give it, in the order they
// are loaded at start-up and released at the end.
struct SceneSoundFile {
    Sound SceneSounds::*handle;
    const char* file;
    const char* name;
};
inline constexpr SceneSoundFile sceneSoundFiles[] = {
    {&SceneSounds::burn, "BURN.WAV", "burn"},          {&SceneSounds::hiss, "HISS.WAV", "hiss"},
    {&SceneSounds::quake, "QUAKE.WAV", "quake"},       {&SceneSounds::sea, "SEA.WAV", "sea"},
    {&SceneSounds::splash, "SPLASH.WAV", "splash"},    {&SceneSounds::thud, "Thud.WAV", "thud"},
    {&SceneSounds::thunder, "THUNDER.WAV", "thunder"}, {&SceneSounds::wind, "WIND.WAV", "wind"},
};

// Starts opening the default playback device early, where the platform can
// do that beside the rest of start-up, for createSoundDevice to take.
void prepareSoundDevice();

// Opens the default playback device. False when there is none yet.
bool createSoundDevice();

// Once a frame: keeps the sounds on a device that goes and comes back.
void watchSoundDevice();

// Loads a PCM WAV file whole into a new buffer held by the handle, releasing
// whatever the handle held before. False, with the handle empty, when the
// file is missing or not a usable PCM WAV file, or no device was asked for.
bool loadSound(Sound& sound, const char* fileName);

// Plays from the first sample: once, or with `loop` set until stopped.
// A sound that is already playing starts again from its first sample.
void playSound(Sound& sound, bool loop);

// Stops playing; the play position stays (the next playSound rewinds).
void stopSound(Sound& sound);

// Sets the volume in percent, below 0 counted as 0 and above 100 as 100.
void setSoundVolume(Sound& sound, int32_t percent);

// Releases the handle's buffer and empties the handle.
void releaseSound(Sound& sound);

// Closes the device; release the sounds first.
void releaseSoundDevice();

// The device volume for a percent, in hundredths of a decibel: the percent
// clamped to 0..100, times 100, minus 10000 (100 gives 0, 0 gives -10000).
int32_t soundVolumeCentibels(int32_t percent);

// What the observer is told about.
enum SoundEvent {
    SOUND_PLAY = 1,  // playSound without the loop flag
    SOUND_LOOP = 2,  // playSound with the loop flag
    SOUND_STOP = 3,  // stopSound on a sound played since it was last stopped
};

typedef void (*SoundObserver)(const Sound* sound, SoundEvent event);

// Sets the function told of every play and of every stop that ends a play
// (stopping a sound that is already stopped is not reported), whether or not
// the handle holds a buffer. nullptr turns reporting off.
void setSoundObserver(SoundObserver observer);
