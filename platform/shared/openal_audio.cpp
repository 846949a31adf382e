// Sound output on OpenAL: one device with one context, and per sound buffer
// an OpenAL buffer with its own source to play it.
//
// A handle is the source's name; the source remembers its buffer. Stopping
// pauses the source, so the play position stays as it would on a stopped
// hardware buffer; playing rewinds it first. Sources are placed on the
// listener without distance attenuation, so only the gain changes loudness.
// Muting turns the listener's gain, the device's master volume, to 0.
//
// Opening a device takes milliseconds, and closing one waits for its mixer
// to finish a period, so both may run on a helper thread while the program
// goes on: audioPrepareDevice starts an open for audioOpenDevice to claim,
// and audioCloseDevice hands the close over. One such job runs at a time;
// the next call that needs the device waits for it, and so does the exit.
#include "platform/audio.h"
#include "platform/shared/audio_gain.h"

#include <AL/al.h>
#include <AL/alc.h>
#if __has_include(<AL/efx.h>)
#include <AL/efx.h>
#endif

#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>

// A browser build without threads opens and closes in place.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define VEXARION_AUDIO_HELPER 0
#else
#define VEXARION_AUDIO_HELPER 1
#endif

namespace {

// A device with its context, opened and closed together.
struct Output {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

Output openOutput()
{
    Output output;
    output.device = alcOpenDevice(nullptr);
    if (output.device == nullptr)
        return output;
#ifdef ALC_MAX_AUXILIARY_SENDS
    // No effect sends: the scene uses none, and each costs every source
    // mixing state from the start.
    const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
#else
    const ALCint attributes[] = {0};
#endif
    output.context = alcCreateContext(output.device, attributes);
    if (output.context == nullptr) {
        alcCloseDevice(output.device);
        output.device = nullptr;
    }
    return output;
}

void closeOutput(const Output& output)
{
    if (output.context != nullptr)
        alcDestroyContext(output.context);
    if (output.device != nullptr)
        alcCloseDevice(output.device);
}

// The helper thread's one job at a time, and an open nobody claimed yet.
struct Helper {
    std::thread job;
    Output prepared;
    bool preparing = false;  // an open was started and not yet claimed

    void wait()
    {
        if (job.joinable())
            job.join();
    }
    // Runs `work` on the helper thread, or here when no thread can start.
    template <typename Work>
    void run(Work work)
    {
        wait();
#if VEXARION_AUDIO_HELPER
        try {
            job = std::thread(work);
            return;
        } catch (const std::system_error&) {
        }
#endif
        work();
    }
    ~Helper()
    {
        wait();
        closeOutput(prepared);
    }
};

Helper helper;
Output output;  // the open device, current on every thread
bool muted = false;

// The source behind a handle, or 0 when there is nothing to talk to.
ALuint sourceOf(AudioBuffer buffer)
{
    if (output.context == nullptr || buffer == 0 || buffer > UINT32_MAX)
        return 0;
    ALuint source = static_cast<ALuint>(buffer);
    return alIsSource(source) ? source : 0;
}

// One integer property of the handle's source, or `otherwise` without one.
ALint sourceInteger(AudioBuffer buffer, ALenum property, ALint otherwise)
{
    ALuint source = sourceOf(buffer);
    if (source != 0)
        alGetSourcei(source, property, &otherwise);
    return otherwise;
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

void audioPrepareDevice()
{
    if (output.context != nullptr || helper.preparing)
        return;
    helper.preparing = true;
    helper.run([] { helper.prepared = openOutput(); });
}

bool audioOpenDevice()
{
    if (output.context != nullptr)
        return true;
    helper.wait();
    // A prepared open that failed is not tried again: nothing changed since.
    const bool prepared = std::exchange(helper.preparing, false);
    Output opened = std::exchange(helper.prepared, Output());
    if (!prepared)
        opened = openOutput();
    if (opened.context == nullptr)
        return false;
    if (alcMakeContextCurrent(opened.context) != ALC_TRUE) {
        closeOutput(opened);
        return false;
    }
    output = opened;
    alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
    return true;
}

void audioCloseDevice()
{
    if (output.context == nullptr)
        return;
    alcMakeContextCurrent(nullptr);
    const Output closing = std::exchange(output, Output());
    helper.run([closing] { closeOutput(closing); });
}

void audioSetMuted(bool mute)
{
    muted = mute;
    if (output.context != nullptr)
        alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}

bool audioHasDevice()
{
    return output.context != nullptr;
}

AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample)
{
    ALenum format = formatOf(channels, bitsPerSample);
    if (output.context == nullptr || samples == nullptr || format == AL_NONE || samplesPerSecond == 0 ||
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
    if (sourceInteger(buffer, AL_SOURCE_STATE, AL_INITIAL) == AL_PLAYING)
        alSourcePause(sourceOf(buffer));
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
    return sourceInteger(buffer, AL_SOURCE_STATE, AL_INITIAL) == AL_PLAYING;
}

bool audioIsLooping(AudioBuffer buffer)
{
    return sourceInteger(buffer, AL_LOOPING, AL_FALSE) == AL_TRUE;
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
    return sourceInteger(buffer, AL_SAMPLE_OFFSET, 0);
}
