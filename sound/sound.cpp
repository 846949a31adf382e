// The sounds on the platform's audio device: the eight global handles, the
// operations on them and the observer that follows plays and stops.
#include "sound/sound.h"

#include "platform/audio.h"
#include "sound/wav.h"

SceneSounds sounds;

namespace {

SoundObserver soundObserver = nullptr;

void report(const Sound& sound, SoundEvent event)
{
    if (soundObserver != nullptr)
        soundObserver(&sound, event);
}

}  // namespace

void prepareSoundDevice()
{
    audioPrepareDevice();
}

bool createSoundDevice()
{
    return audioOpenDevice();
}

void watchSoundDevice()
{
    audioWatchDevice();
}

bool loadSound(Sound& sound, const char* fileName)
{
    releaseSound(sound);
    WavFile wav;
    if (!wavRead(fileName, &wav))
        return false;
    sound.buffer = audioCreateBuffer(wav.samples, wav.sampleBytes, wav.format.channels, wav.format.samplesPerSecond,
                                     wav.format.bitsPerSample);
    wavRelease(&wav);
    return sound.buffer != 0;
}

void playSound(Sound& sound, bool loop)
{
    audioPlay(sound.buffer, loop);
    sound.started = true;
    report(sound, loop ? SOUND_LOOP : SOUND_PLAY);
}

void stopSound(Sound& sound)
{
    audioStop(sound.buffer);
    if (sound.started) {
        sound.started = false;
        report(sound, SOUND_STOP);
    }
}

void setSoundVolume(Sound& sound, int32_t percent)
{
    sound.volume = soundVolumeCentibels(percent);
    audioSetVolume(sound.buffer, sound.volume);
}

void releaseSound(Sound& sound)
{
    audioReleaseBuffer(sound.buffer);
    sound = Sound{};
}

void releaseSoundDevice()
{
    audioCloseDevice();
}

int32_t soundVolumeCentibels(int32_t percent)
{
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    return percent * 100 - 10000;
}

void setSoundObserver(SoundObserver observer)
{
    soundObserver = observer;
}
