// Sound output on OpenAL: one device with one context, and per sound buffer
// an OpenAL buffer with its own source to play it.
//
// A handle is a record of the buffer as the program knows it: its samples,
// its volume and whether it loops, with the source and the OpenAL buffer the
// current device holds for it (none while there is no device). Stopping
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
//
// A device can go away under the program: OpenAL Soft then reports it
// disconnected (ALC_EXT_disconnect) and never comes back by itself. The
// watch asks about once a second; a lost device's objects are dropped, its
// close and a new open go to the helper, and the frames never wait for
// them: the watch takes the new device once the helper is done, or tries
// again a few seconds later. On the new device every record gets its source
// again, and the looping ones play on.
#include "platform/audio.h"
#include "platform/shared/audio_gain.h"

#include <AL/al.h>
#include <AL/alc.h>
#if __has_include(<AL/efx.h>)
#include <AL/efx.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// A browser build without threads opens and closes in place.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define VEXARION_AUDIO_HELPER 0
#else
#define VEXARION_AUDIO_HELPER 1
#endif

// The desktop loads OpenAL itself (see OpenAl below); the browser links it.
#if defined(__EMSCRIPTEN__)
#define VEXARION_AUDIO_LOADS_LIBRARY 0
#else
#define VEXARION_AUDIO_LOADS_LIBRARY 1
#include <dlfcn.h>
#endif

// ALC_EXT_disconnect's query, where the headers lack it.
#ifndef ALC_CONNECTED
#define ALC_CONNECTED 0x313
#endif

namespace {

// OpenAL's entry points. A desktop build loads the library when it first
// needs it and loads it afresh before each new try for a device while none
// is open: OpenAL Soft looks for its backends (the sound server among them)
// once per load only, so a sound server that was not there at the first
// load would otherwise never be found. The browser's OpenAL is built in.
struct OpenAl {
    decltype(&::alBufferData) alBufferData = nullptr;
    decltype(&::alDeleteBuffers) alDeleteBuffers = nullptr;
    decltype(&::alDeleteSources) alDeleteSources = nullptr;
    decltype(&::alGenBuffers) alGenBuffers = nullptr;
    decltype(&::alGenSources) alGenSources = nullptr;
    decltype(&::alGetError) alGetError = nullptr;
    decltype(&::alGetSourcef) alGetSourcef = nullptr;
    decltype(&::alGetSourcei) alGetSourcei = nullptr;
    decltype(&::alListenerf) alListenerf = nullptr;
    decltype(&::alSource3f) alSource3f = nullptr;
    decltype(&::alSourcePause) alSourcePause = nullptr;
    decltype(&::alSourcePlay) alSourcePlay = nullptr;
    decltype(&::alSourceRewind) alSourceRewind = nullptr;
    decltype(&::alSourceStop) alSourceStop = nullptr;
    decltype(&::alSourcef) alSourcef = nullptr;
    decltype(&::alSourcei) alSourcei = nullptr;
    decltype(&::alcCloseDevice) alcCloseDevice = nullptr;
    decltype(&::alcCreateContext) alcCreateContext = nullptr;
    decltype(&::alcDestroyContext) alcDestroyContext = nullptr;
    decltype(&::alcGetIntegerv) alcGetIntegerv = nullptr;
    decltype(&::alcIsExtensionPresent) alcIsExtensionPresent = nullptr;
    decltype(&::alcMakeContextCurrent) alcMakeContextCurrent = nullptr;
    decltype(&::alcOpenDevice) alcOpenDevice = nullptr;
#if VEXARION_AUDIO_LOADS_LIBRARY
    void* handle = nullptr;
#endif
};

OpenAl openal;

#if VEXARION_AUDIO_LOADS_LIBRARY
template <typename Entry>
bool resolve(Entry* entry, const char* name)
{
    *entry = reinterpret_cast<Entry>(dlsym(openal.handle, name));
    return *entry != nullptr;
}
#endif

// Loads the library (again, unloading it first, when `afresh`); false
// without it. Runs only while no device, context or object of it exists.
bool loadOpenAl(bool afresh)
{
    OpenAl* library = &openal;
#if VEXARION_AUDIO_LOADS_LIBRARY
    if (library->handle != nullptr && !afresh)
        return true;
    if (library->handle != nullptr)
        dlclose(library->handle);
    *library = OpenAl{};
    library->handle = dlopen("libopenal.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library->handle == nullptr)
        return false;
    bool found = true;
    found = resolve(&library->alBufferData, "alBufferData") && found;
    found = resolve(&library->alDeleteBuffers, "alDeleteBuffers") && found;
    found = resolve(&library->alDeleteSources, "alDeleteSources") && found;
    found = resolve(&library->alGenBuffers, "alGenBuffers") && found;
    found = resolve(&library->alGenSources, "alGenSources") && found;
    found = resolve(&library->alGetError, "alGetError") && found;
    found = resolve(&library->alGetSourcef, "alGetSourcef") && found;
    found = resolve(&library->alGetSourcei, "alGetSourcei") && found;
    found = resolve(&library->alListenerf, "alListenerf") && found;
    found = resolve(&library->alSource3f, "alSource3f") && found;
    found = resolve(&library->alSourcePause, "alSourcePause") && found;
    found = resolve(&library->alSourcePlay, "alSourcePlay") && found;
    found = resolve(&library->alSourceRewind, "alSourceRewind") && found;
    found = resolve(&library->alSourceStop, "alSourceStop") && found;
    found = resolve(&library->alSourcef, "alSourcef") && found;
    found = resolve(&library->alSourcei, "alSourcei") && found;
    found = resolve(&library->alcCloseDevice, "alcCloseDevice") && found;
    found = resolve(&library->alcCreateContext, "alcCreateContext") && found;
    found = resolve(&library->alcDestroyContext, "alcDestroyContext") && found;
    found = resolve(&library->alcGetIntegerv, "alcGetIntegerv") && found;
    found = resolve(&library->alcIsExtensionPresent, "alcIsExtensionPresent") && found;
    found = resolve(&library->alcMakeContextCurrent, "alcMakeContextCurrent") && found;
    found = resolve(&library->alcOpenDevice, "alcOpenDevice") && found;
    if (!found) {
        dlclose(library->handle);
        *library = OpenAl{};
    }
    return found;
#else
    (void)afresh;
    library->alBufferData = &::alBufferData;
    library->alDeleteBuffers = &::alDeleteBuffers;
    library->alDeleteSources = &::alDeleteSources;
    library->alGenBuffers = &::alGenBuffers;
    library->alGenSources = &::alGenSources;
    library->alGetError = &::alGetError;
    library->alGetSourcef = &::alGetSourcef;
    library->alGetSourcei = &::alGetSourcei;
    library->alListenerf = &::alListenerf;
    library->alSource3f = &::alSource3f;
    library->alSourcePause = &::alSourcePause;
    library->alSourcePlay = &::alSourcePlay;
    library->alSourceRewind = &::alSourceRewind;
    library->alSourceStop = &::alSourceStop;
    library->alSourcef = &::alSourcef;
    library->alSourcei = &::alSourcei;
    library->alcCloseDevice = &::alcCloseDevice;
    library->alcCreateContext = &::alcCreateContext;
    library->alcDestroyContext = &::alcDestroyContext;
    library->alcGetIntegerv = &::alcGetIntegerv;
    library->alcIsExtensionPresent = &::alcIsExtensionPresent;
    library->alcMakeContextCurrent = &::alcMakeContextCurrent;
    library->alcOpenDevice = &::alcOpenDevice;
    return true;
#endif
}

// A device with its context, opened and closed together.
struct Output {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

// Opens the default device; `afresh` loads the library anew first, for a
// try after one that found no device.
Output openOutput(bool afresh)
{
    Output output;
    if (!loadOpenAl(afresh))
        return output;
    output.device = openal.alcOpenDevice(nullptr);
    if (output.device == nullptr)
        return output;
#ifdef ALC_MAX_AUXILIARY_SENDS
    // No effect sends: the scene uses none, and each costs every source
    // mixing state from the start.
    const ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
#else
    const ALCint attributes[] = {0};
#endif
    output.context = openal.alcCreateContext(output.device, attributes);
    if (output.context == nullptr) {
        openal.alcCloseDevice(output.device);
        output.device = nullptr;
    }
    return output;
}

void closeOutput(const Output& output)
{
    if (output.context != nullptr)
        openal.alcDestroyContext(output.context);
    if (output.device != nullptr)
        openal.alcCloseDevice(output.device);
}

// The helper thread's one job at a time, and an open nobody claimed yet.
struct Helper {
    std::thread job;
    std::atomic<bool> done{true};  // the last job has finished: waiting for it costs nothing
    Output prepared;
    bool pending = false;  // an open was started and not yet claimed

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
        done = false;
#if VEXARION_AUDIO_HELPER
        try {
            job = std::thread([this, work] {
                work();
                done = true;
            });
            return;
        } catch (const std::system_error&) {
        }
#endif
        work();
        done = true;
    }
    ~Helper()
    {
        wait();
        closeOutput(prepared);
    }
};

using Clock = std::chrono::steady_clock;
const Clock::duration checkEvery = std::chrono::seconds(1);
const Clock::duration retryEvery = std::chrono::seconds(3);

// When to ask whether the device is still there, and when to try for a new one.
struct Watch {
    bool wanted = false;  // asked for by audioOpenDevice and not closed since
    Clock::time_point nextCheck;
    Clock::time_point nextTry;
};

// A buffer as the program knows it, whatever device plays it.
struct Record {
    std::vector<unsigned char> samples;  // whole frames only
    ALenum format = AL_NONE;
    ALsizei rate = 0;
    ALuint source = 0;  // on the current device; 0 while there is none
    ALuint data = 0;
    bool looping = false;  // played looping and not stopped since
    float gain = 1.0f;
};

Helper helper;
Output output;  // the open device, current on every thread
Watch watch;
std::vector<Record*> records;  // every live buffer, for handle checks
bool muted = false;

Record* recordOf(AudioBuffer buffer)
{
    Record* record = reinterpret_cast<Record*>(buffer);
    return buffer != 0 && std::find(records.begin(), records.end(), record) != records.end() ? record : nullptr;
}

// The source behind a handle, or 0 when there is nothing to talk to.
ALuint sourceOf(AudioBuffer buffer)
{
    const Record* record = recordOf(buffer);
    return record != nullptr && output.context != nullptr ? record->source : 0;
}

// One integer property of the handle's source, or `otherwise` without one.
ALint sourceInteger(AudioBuffer buffer, ALenum property, ALint otherwise)
{
    ALuint source = sourceOf(buffer);
    if (source != 0)
        openal.alGetSourcei(source, property, &otherwise);
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

// Drops the record's objects on the current device.
void detach(Record* record)
{
    if (record->source != 0) {
        openal.alSourceStop(record->source);
        openal.alDeleteSources(1, &record->source);
    }
    if (record->data != 0)
        openal.alDeleteBuffers(1, &record->data);
    record->source = 0;
    record->data = 0;
}

// Gives the record its buffer and source on the current device, at its
// volume, playing on if it loops. False when the device refuses it.
bool attach(Record* record)
{
    openal.alGetError();
    openal.alGenBuffers(1, &record->data);
    if (openal.alGetError() != AL_NO_ERROR) {
        record->data = 0;
        return false;
    }
    openal.alBufferData(record->data, record->format, record->samples.data(),
                        static_cast<ALsizei>(record->samples.size()), record->rate);
    openal.alGenSources(1, &record->source);
    if (openal.alGetError() != AL_NO_ERROR || record->source == 0) {
        record->source = 0;
        detach(record);
        return false;
    }
    openal.alSourcei(record->source, AL_SOURCE_RELATIVE, AL_TRUE);
    openal.alSource3f(record->source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    openal.alSourcef(record->source, AL_ROLLOFF_FACTOR, 0.0f);
    openal.alSourcef(record->source, AL_GAIN, record->gain);
    openal.alSourcei(record->source, AL_BUFFER, static_cast<ALint>(record->data));
    if (openal.alGetError() != AL_NO_ERROR) {
        detach(record);
        return false;
    }
    if (record->looping) {
        openal.alSourcei(record->source, AL_LOOPING, AL_TRUE);
        openal.alSourcePlay(record->source);
    }
    return true;
}

// Makes `opened` the device and puts every record on it; false, with it
// closed, when it can't be made current.
bool take(const Output& opened)
{
    if (opened.context == nullptr)
        return false;
    if (openal.alcMakeContextCurrent(opened.context) != ALC_TRUE) {
        closeOutput(opened);
        return false;
    }
    output = opened;
    openal.alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
    for (Record* record : records)
        attach(record);
    watch.nextCheck = Clock::now() + checkEvery;
    return true;
}

// Whether the device still plays; one without ALC_EXT_disconnect counts as there.
bool connected(const Output& open)
{
    if (openal.alcIsExtensionPresent(open.device, "ALC_EXT_disconnect") != ALC_TRUE)
        return true;
    ALCint value = ALC_TRUE;
    openal.alcGetIntegerv(open.device, ALC_CONNECTED, 1, &value);
    return value != ALC_FALSE;
}

// Starts an open on the helper, closing `closing` first (a lost device).
// `afresh` for a try after a device was lost or not found.
void startOpen(const Output& closing, bool afresh)
{
    helper.pending = true;
    helper.run([closing, afresh] {
        closeOutput(closing);
        helper.prepared = openOutput(afresh);
    });
}

}  // namespace

void audioPrepareDevice()
{
    if (output.context != nullptr || helper.pending)
        return;
    startOpen(Output(), false);
}

bool audioOpenDevice()
{
    watch.wanted = true;
    if (output.context != nullptr)
        return true;
    helper.wait();
    // A prepared open that failed is not tried again now: nothing changed since.
    const bool prepared = std::exchange(helper.pending, false);
    Output opened = std::exchange(helper.prepared, Output());
    if (!prepared)
        opened = openOutput(false);
    if (take(opened))
        return true;
    watch.nextTry = Clock::now() + retryEvery;
    return false;
}

void audioWatchDevice()
{
    if (!watch.wanted)
        return;
    const Clock::time_point now = Clock::now();
    if (output.context != nullptr) {
        if (now < watch.nextCheck)
            return;
        watch.nextCheck = now + checkEvery;
        if (connected(output))
            return;
        // Gone: play on silently, and look for a new device beside the frames.
        for (Record* record : records)
            detach(record);
        openal.alcMakeContextCurrent(nullptr);
        startOpen(std::exchange(output, Output()), true);
        return;
    }
    if (helper.pending) {
        if (!helper.done)
            return;
        helper.wait();
        helper.pending = false;
        if (!take(std::exchange(helper.prepared, Output())))
            watch.nextTry = now + retryEvery;
        return;
    }
    if (now >= watch.nextTry)
        startOpen(Output(), true);
}

void audioCloseDevice()
{
    watch.wanted = false;
    if (helper.pending) {
        helper.wait();
        helper.pending = false;
        closeOutput(std::exchange(helper.prepared, Output()));
    }
    for (Record* record : records) {
        if (output.context != nullptr)
            detach(record);
        delete record;
    }
    records.clear();
    if (output.context == nullptr)
        return;
    openal.alcMakeContextCurrent(nullptr);
    const Output closing = std::exchange(output, Output());
    helper.run([closing] { closeOutput(closing); });
}

void audioSetMuted(bool mute)
{
    muted = mute;
    if (output.context != nullptr)
        openal.alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}

bool audioHasDevice()
{
    return output.context != nullptr;
}

AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample)
{
    ALenum format = formatOf(channels, bitsPerSample);
    if (!watch.wanted || samples == nullptr || format == AL_NONE || samplesPerSecond == 0 ||
        samplesPerSecond > INT32_MAX)
        return 0;
    // OpenAL takes whole frames only; a partial last frame would not sound anyway.
    uint32_t frameBytes = static_cast<uint32_t>(channels * bitsPerSample / 8);
    uint32_t usable = bytes - bytes % frameBytes;
    if (usable == 0 || usable > INT32_MAX)
        return 0;

    Record* record = new Record;
    const unsigned char* first = static_cast<const unsigned char*>(samples);
    record->samples.assign(first, first + usable);
    record->format = format;
    record->rate = static_cast<ALsizei>(samplesPerSecond);
    if (output.context != nullptr && !attach(record)) {
        delete record;
        return 0;
    }
    records.push_back(record);
    return reinterpret_cast<AudioBuffer>(record);
}

void audioPlay(AudioBuffer buffer, bool loop)
{
    Record* record = recordOf(buffer);
    if (record == nullptr)
        return;
    record->looping = loop;
    ALuint source = sourceOf(buffer);
    if (source == 0)
        return;
    openal.alSourceRewind(source);
    openal.alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    openal.alSourcePlay(source);
}

void audioStop(AudioBuffer buffer)
{
    if (Record* record = recordOf(buffer))
        record->looping = false;
    if (sourceInteger(buffer, AL_SOURCE_STATE, AL_INITIAL) == AL_PLAYING)
        openal.alSourcePause(sourceOf(buffer));
}

void audioSetVolume(AudioBuffer buffer, int32_t centibels)
{
    Record* record = recordOf(buffer);
    if (record == nullptr)
        return;
    record->gain = audioGainFromCentibels(centibels);
    if (ALuint source = sourceOf(buffer))
        openal.alSourcef(source, AL_GAIN, record->gain);
}

void audioReleaseBuffer(AudioBuffer buffer)
{
    Record* record = recordOf(buffer);
    if (record == nullptr)
        return;
    if (output.context != nullptr)
        detach(record);
    records.erase(std::find(records.begin(), records.end(), record));
    delete record;
}

bool audioIsPlaying(AudioBuffer buffer)
{
    return sourceInteger(buffer, AL_SOURCE_STATE, AL_INITIAL) == AL_PLAYING;
}

bool audioIsLooping(AudioBuffer buffer)
{
    const Record* record = recordOf(buffer);
    return sourceInteger(buffer, AL_LOOPING, record != nullptr && record->looping ? AL_TRUE : AL_FALSE) == AL_TRUE;
}

float audioGain(AudioBuffer buffer)
{
    const Record* record = recordOf(buffer);
    ALuint source = sourceOf(buffer);
    ALfloat gain = record != nullptr ? record->gain : 0.0f;
    if (source != 0)
        openal.alGetSourcef(source, AL_GAIN, &gain);
    return gain;
}

int32_t audioSampleOffset(AudioBuffer buffer)
{
    return sourceInteger(buffer, AL_SAMPLE_OFFSET, 0);
}
