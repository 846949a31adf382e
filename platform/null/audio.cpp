// The null backend's sound: no device ever opens, so the program runs on
// silently, as it does on a machine without a sound card.
#include "platform/audio.h"

void audioPrepareDevice()
{
    // Start opening the default device beside the caller, if that can be done.
}

bool audioOpenDevice()
{
    // Open the default playback device; false when the machine has none.
    return false;
}

void audioWatchDevice()
{
    // Once a frame, never blocking it: check the device now and then; when it is gone or was never
    // there, look for a new one beside the caller and put every buffer on it, looping ones playing on.
}

void audioCloseDevice()
{
    // Close the device, releasing any buffer still open.
}

bool audioHasDevice()
{
    // Whether the device is open.
    return false;
}

AudioBuffer audioCreateBuffer(const void*, uint32_t, int, uint32_t, int)
{
    // Copy the PCM samples into a new stopped buffer at full volume; 0 when that can't be done.
    return 0;
}

void audioPlay(AudioBuffer, bool)
{
    // Play the buffer from its first sample, once or looping.
}

void audioStop(AudioBuffer)
{
    // Stop the buffer, keeping its play position.
}

void audioSetVolume(AudioBuffer, int32_t)
{
    // Set the buffer's volume in hundredths of a decibel (shared/audio_gain.h turns it into a gain).
}

void audioSetMuted(bool)
{
    // Silence the whole device while muted (every buffer keeps its own volume), now and later.
}

void audioReleaseBuffer(AudioBuffer)
{
    // Stop the buffer and free it.
}

bool audioIsPlaying(AudioBuffer)
{
    // Whether the device is playing the buffer now.
    return false;
}

bool audioIsLooping(AudioBuffer)
{
    // Whether the buffer was last played looping.
    return false;
}

float audioGain(AudioBuffer)
{
    // The linear gain the device applies to the buffer.
    return 0.0f;
}

int32_t audioSampleOffset(AudioBuffer)
{
    // The play position, in frames from the first sample.
    return 0;
}
