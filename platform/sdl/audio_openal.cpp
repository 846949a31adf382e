// Sound output on OpenAL: one device with one context, and per sound buffer
// an OpenAL buffer with its own source to play it.
//
// A handle is the source's name; the source remembers its buffer. Stopping
// pauses the source, so the play position stays as it would on a stopped
// hardware buffer; playing rewinds it first. Sources are placed on the
// listener without distance attenuation, so only the gain changes loudness.
// Muting turns the listener's gain, the device's master volume, to 0.
#include "platform/audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#if __has_include(<AL/efx.h>)
#include <AL/efx.h>
#endif

#include <cstdint>

namespace {

ALCdevice* device = nullptr;
ALCcontext* context = nullptr;
bool muted = false;

// The source behind a handle, or 0 when there is nothing to talk to.
ALuint sourceOf(AudioBuffer buffer)
{
    if (context == nullptr || buffer == 0 || buffer > UINT32_MAX)
        return 0;
    ALuint source = static_cast<ALuint>(buffer);
    return alIsSource(source) ? source : 0;
}

ALenum formatOf(int channels, int bitsPerSample)
{
    if (channels == 1 && bitsPerSample == 8)
        return AL_FORMAT_MONO8;
    if (channels == 1 && bitsPerSample == 16)
        return AL_FORMAT_MONO16;
    if (channels == 2 && bitsPerSample == 8)
        return AL_FORMAT_STEREO8;
    if (channels == 2 && bitsPerSample == 16)
        return AL_FORMAT_STEREO16;
    return AL_NONE;
}

}  // namespace

bool audioOpenDevice()
{
    if (context != nullptr)
        return true;
    device = alcOpenDevice(nullptr);
    if (device == nullptr)
        return false;
#ifdef ALC_MAX_AUXILIARY_SENDS
    // No effect sends: the scene uses none, and each costs every source
    // mixing state from the start.
    const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
#else
    const ALCint attributes[] = {0};
#endif
    context = alcCreateContext(device, attributes);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr)
            alcDestroyContext(context);
        alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        return false;
    }
    alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
    return true;
}

void audioCloseDevice()
{
    if (context == nullptr)
        return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

void audioSetMuted(bool mute)
{
    muted = mute;
    if (context != nullptr)
        alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}

bool audioHasDevice()
{
    return context != nullptr;
}

AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample)
{
    ALenum format = formatOf(channels, bitsPerSample);
    if (context == nullptr || samples == nullptr || format == AL_NONE || samplesPerSecond == 0 ||
        samplesPerSecond > INT32_MAX)
        return 0;
    // OpenAL takes whole frames only; a partial last frame would not sound anyway.
    uint32_t frameBytes = static_cast<uint32_t>(channels * bitsPerSample / 8);
    uint32_t usable = bytes - bytes % frameBytes;
    if (usable == 0 || usable > INT32_MAX)
        return 0;

    alGetError();
    ALuint data = 0;
    alGenBuffers(1, &data);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alBufferData(data, format, samples, static_cast<ALsizei>(usable), static_cast<ALsizei>(samplesPerSecond));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &data);
        return 0;
    }
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR || source == 0) {
        alDeleteBuffers(1, &data);
        return 0;
    }
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(data));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        alDeleteBuffers(1, &data);
        return 0;
    }
    return static_cast<AudioBuffer>(source);
}

void audioPlay(AudioBuffer buffer, bool loop)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return;
    alSourceRewind(source);
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
}

void audioStop(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return;
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING)
        alSourcePause(source);
}

void audioSetVolume(AudioBuffer buffer, int32_t centibels)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return;
    alSourcef(source, AL_GAIN, audioGainFromCentibels(centibels));
}

void audioReleaseBuffer(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return;
    ALint data = 0;
    alGetSourcei(source, AL_BUFFER, &data);
    alSourceStop(source);
    alDeleteSources(1, &source);
    ALuint dataName = static_cast<ALuint>(data);
    if (dataName != 0)
        alDeleteBuffers(1, &dataName);
}

bool audioIsPlaying(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return false;
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool audioIsLooping(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return false;
    ALint looping = AL_FALSE;
    alGetSourcei(source, AL_LOOPING, &looping);
    return looping == AL_TRUE;
}

float audioGain(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return 0.0f;
    ALfloat gain = 0.0f;
    alGetSourcef(source, AL_GAIN, &gain);
    return gain;
}

int32_t audioSampleOffset(AudioBuffer buffer)
{
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return 0;
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    return offset;
}
