// Sound output on DirectSound: one device, and per sound buffer a secondary
// buffer with volume, pan and frequency control holding the whole sound.
//
// A handle points at the record below, which keeps the samples, the volume
// and whether the buffer loops, whatever device holds it: a buffer whose
// memory the system took back (DSERR_BUFFERLOST) is restored and refilled
// from it before it plays again, and a device that went away (unplugged
// headphones: DSERR_NODRIVER from Lock or Play, or from the check about once
// a second) is released whole while the program plays on silently; a new
// default device is tried every few seconds on a helper thread, never in a
// frame, and once one opens every record gets its buffer again, the looping
// ones playing on. The same search goes on when there was no device at the
// start. The device cooperates at DSSCL_NORMAL with the main window (the
// desktop window before there is one, as in tests). Stopping keeps the play
// position; playing rewinds. DirectSound has no master volume for a normal
// application: muting gives every buffer the lowest volume, and unmuting
// each its own back.
//
// Every DirectSound call goes through the driver table (dsound_driver.h), so
// that a test can stand in a device that goes and comes back.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/shared/audio_gain.h"
#include "platform/win32/dsound_driver.h"
#include "platform/win32/state.h"

// After <windows.h>, in this order: dsound.h builds on mmsystem.h.
#include <mmsystem.h>
// (kept apart so that include sorting leaves the order alone)
#include <dsound.h>

namespace {

// DirectSound's calls, behind the driver table.

// WASAPI's word, passed on by DirectSound, for an endpoint that went away.
const HRESULT deviceInvalidated = static_cast<HRESULT>(0x88890004L);

DsResult sorted(HRESULT result)
{
    if (SUCCEEDED(result))
        return DS_DONE;
    if (result == DSERR_BUFFERLOST)
        return DS_BUFFER_LOST;
    if (result == DSERR_NODRIVER || result == deviceInvalidated)
        return DS_DEVICE_GONE;
    return DS_REFUSED;
}

IDirectSound* deviceOf(void* device)
{
    return static_cast<IDirectSound*>(device);
}

IDirectSoundBuffer* bufferOf(void* buffer)
{
    return static_cast<IDirectSoundBuffer*>(buffer);
}

DsResult dsOpen(void** device)
{
    IDirectSound* opened = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &opened, nullptr)))
        return DS_DEVICE_GONE;
    HWND window = platformWin32.mainWindow ? platformWin32.mainWindow : GetDesktopWindow();
    // A refused cooperative level leaves a device that still plays.
    opened->SetCooperativeLevel(window, DSSCL_NORMAL);
    *device = opened;
    return DS_DONE;
}

DsResult dsCheck(void* device)
{
    DSCAPS caps = {};
    caps.dwSize = sizeof caps;
    return sorted(deviceOf(device)->GetCaps(&caps));
}

void dsClose(void* device)
{
    deviceOf(device)->Release();
}

DsResult dsCreateBuffer(void* device, int channels, uint32_t samplesPerSecond, int bitsPerSample, uint32_t bytes,
                        void** buffer)
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = samplesPerSecond;
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    format.nAvgBytesPerSec = samplesPerSecond * format.nBlockAlign;
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* created = nullptr;
    const DsResult result = sorted(deviceOf(device)->CreateSoundBuffer(&description, &created, nullptr));
    *buffer = result == DS_DONE ? created : nullptr;
    return result;
}

DsResult dsFill(void* buffer, const unsigned char* samples, uint32_t size)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    const DsResult locked =
        sorted(bufferOf(buffer)->Lock(0, size, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER));
    if (locked != DS_DONE)
        return locked;
    std::memcpy(first, samples, std::min<DWORD>(firstBytes, size));
    if (second && secondBytes > 0 && firstBytes < size)
        std::memcpy(second, samples + firstBytes, std::min<DWORD>(secondBytes, size - firstBytes));
    bufferOf(buffer)->Unlock(first, firstBytes, second, secondBytes);
    return DS_DONE;
}

DsResult dsRestore(void* buffer)
{
    return sorted(bufferOf(buffer)->Restore());
}

DsResult dsPlay(void* buffer, bool loop)
{
    bufferOf(buffer)->SetCurrentPosition(0);
    return sorted(bufferOf(buffer)->Play(0, 0, loop ? DSBPLAY_LOOPING : 0));
}

void dsStop(void* buffer)
{
    bufferOf(buffer)->Stop();
}

void dsSetVolume(void* buffer, int32_t centibels)
{
    bufferOf(buffer)->SetVolume(centibels);
}

bool dsIsPlaying(void* buffer)
{
    DWORD status = 0;
    return SUCCEEDED(bufferOf(buffer)->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

int32_t dsVolume(void* buffer)
{
    LONG volume = DSBVOLUME_MIN;
    bufferOf(buffer)->GetVolume(&volume);
    return volume;
}

uint32_t dsPosition(void* buffer)
{
    DWORD play = 0, write = 0;
    return SUCCEEDED(bufferOf(buffer)->GetCurrentPosition(&play, &write)) ? play : 0;
}

void dsReleaseBuffer(void* buffer)
{
    bufferOf(buffer)->Stop();
    bufferOf(buffer)->Release();
}

double dsSeconds()
{
    return static_cast<double>(GetTickCount64()) / 1000.0;
}

const DsDriver directSound = {dsOpen, dsCheck,     dsClose,     dsCreateBuffer, dsFill,     dsRestore,       dsPlay,
                              dsStop, dsSetVolume, dsIsPlaying, dsVolume,       dsPosition, dsReleaseBuffer, dsSeconds};

// The backend, over the driver.

const double checkEvery = 1.0;  // seconds between looks at the device
const double retryEvery = 3.0;  // seconds between tries for a new one

struct DsBuffer {
    void* buffer;  // on the current device; null while there is none
    std::vector<unsigned char> samples;
    int channels;
    uint32_t samplesPerSecond;
    int bitsPerSample;
    bool looping;  // played looping and not stopped since
    LONG volume;   // the buffer's own volume, whatever muting does
};

// A device opened on the helper thread, for the watch to take.
struct Opener {
    std::thread job;
    std::atomic<bool> done{true};
    bool pending = false;
    void* opened = nullptr;

    void wait()
    {
        if (job.joinable())
            job.join();
    }
    // Closes `closing` (a lost device, or null) and opens a new one beside the caller.
    void start(const DsDriver* with, void* closing)
    {
        wait();
        pending = true;
        done = false;
        auto work = [this, with, closing] {
            if (closing)
                with->closeDevice(closing);
            void* device = nullptr;
            opened = with->openDevice(&device) == DS_DONE ? device : nullptr;
            done = true;
        };
        try {
            job = std::thread(work);
        } catch (const std::system_error&) {
            work();
        }
    }
    ~Opener() { wait(); }
};

const DsDriver* driver = &directSound;
void* device = nullptr;
bool wanted = false;  // asked for by audioOpenDevice and not closed since
double nextCheck = 0.0, nextTry = 0.0;
Opener opener;
std::vector<DsBuffer*> buffers;  // every live buffer, for handle checks and closing
bool muted = false;

DsBuffer* recordOf(AudioBuffer handle)
{
    if (handle == 0)
        return nullptr;
    DsBuffer* record = reinterpret_cast<DsBuffer*>(handle);
    return std::find(buffers.begin(), buffers.end(), record) != buffers.end() ? record : nullptr;
}

void applyVolume(DsBuffer* record)
{
    if (record->buffer)
        driver->setVolume(record->buffer, muted ? DSBVOLUME_MIN : record->volume);
}

void detach(DsBuffer* record)
{
    if (record->buffer)
        driver->releaseBuffer(record->buffer);
    record->buffer = nullptr;
}

// The device went away: every buffer is dropped, and a new device is looked
// for beside the frames.
void deviceGone()
{
    for (DsBuffer* record : buffers)
        detach(record);
    void* lost = device;
    device = nullptr;
    opener.start(driver, lost);
}

// The whole sound into the record's buffer, bringing a lost one back first.
DsResult fill(DsBuffer* record)
{
    DsResult result =
        driver->fill(record->buffer, record->samples.data(), static_cast<uint32_t>(record->samples.size()));
    if (result == DS_BUFFER_LOST && driver->restore(record->buffer) == DS_DONE)
        result = driver->fill(record->buffer, record->samples.data(), static_cast<uint32_t>(record->samples.size()));
    return result;
}

// Gives the record a buffer on the device, filled, at its volume, playing
// on if it loops.
DsResult attach(DsBuffer* record)
{
    DsResult result = driver->createBuffer(device, record->channels, record->samplesPerSecond, record->bitsPerSample,
                                           static_cast<uint32_t>(record->samples.size()), &record->buffer);
    if (result == DS_DONE)
        result = fill(record);
    if (result != DS_DONE) {
        detach(record);
        return result;
    }
    applyVolume(record);
    if (record->looping)
        driver->play(record->buffer, true);
    return DS_DONE;
}

// Makes `opened` the device and puts every record on it.
void take(void* opened)
{
    device = opened;
    nextCheck = driver->seconds() + checkEvery;
    for (DsBuffer* record : buffers)
        if (attach(record) == DS_DEVICE_GONE) {
            deviceGone();
            return;
        }
}

void destroy(DsBuffer* record)
{
    detach(record);
    buffers.erase(std::find(buffers.begin(), buffers.end(), record));
    delete record;
}

}  // namespace

void dsoundUseDriver(const DsDriver* given)
{
    driver = given ? given : &directSound;
}

bool dsoundOpening()
{
    return opener.pending && !opener.done;
}

// DirectSound gives a device its window to play for, so it opens only in
// audioOpenDevice, once the window exists.
void audioPrepareDevice() {}

bool audioOpenDevice()
{
    wanted = true;
    if (device)
        return true;
    void* opened = nullptr;
    if (!opener.pending && driver->openDevice(&opened) == DS_DONE) {
        take(opened);
        return device != nullptr;
    }
    nextTry = driver->seconds() + retryEvery;
    return false;
}

void audioWatchDevice()
{
    if (!wanted)
        return;
    const double now = driver->seconds();
    if (device) {
        if (now < nextCheck)
            return;
        nextCheck = now + checkEvery;
        if (driver->checkDevice(device) == DS_DEVICE_GONE)
            deviceGone();
        return;
    }
    if (opener.pending) {
        if (!opener.done)
            return;
        opener.wait();
        opener.pending = false;
        if (opener.opened)
            take(opener.opened);
        else
            nextTry = now + retryEvery;
        return;
    }
    if (now >= nextTry)
        opener.start(driver, nullptr);
}

void audioCloseDevice()
{
    wanted = false;
    if (opener.pending) {
        opener.wait();
        opener.pending = false;
        if (opener.opened)
            driver->closeDevice(opener.opened);
    }
    while (!buffers.empty())
        destroy(buffers.back());
    if (device)
        driver->closeDevice(device);
    device = nullptr;
}

bool audioHasDevice()
{
    return device != nullptr;
}

AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample)
{
    if (!wanted || !samples || (channels != 1 && channels != 2) || (bitsPerSample != 8 && bitsPerSample != 16) ||
        samplesPerSecond < DSBFREQUENCY_MIN || samplesPerSecond > 200000)
        return 0;
    const uint32_t blockAlign = static_cast<uint32_t>(channels * bitsPerSample / 8);
    uint32_t usable = bytes - bytes % blockAlign;
    if (usable < DSBSIZE_MIN || usable > DSBSIZE_MAX)
        return 0;
    const unsigned char* bytesIn = static_cast<const unsigned char*>(samples);
    DsBuffer* record = new DsBuffer{nullptr, {}, channels, samplesPerSecond, bitsPerSample, false, DSBVOLUME_MAX};
    record->samples.assign(bytesIn, bytesIn + usable);
    buffers.push_back(record);
    if (device) {
        const DsResult result = attach(record);
        if (result == DS_DEVICE_GONE) {
            deviceGone();
        } else if (result != DS_DONE) {
            destroy(record);
            return 0;
        }
    }
    return reinterpret_cast<AudioBuffer>(record);
}

void audioPlay(AudioBuffer handle, bool loop)
{
    DsBuffer* record = recordOf(handle);
    if (!record)
        return;
    record->looping = loop;
    if (!record->buffer)
        return;
    DsResult result = driver->play(record->buffer, loop);
    if (result == DS_BUFFER_LOST && driver->restore(record->buffer) == DS_DONE && fill(record) == DS_DONE)
        result = driver->play(record->buffer, loop);
    if (result == DS_DEVICE_GONE)
        deviceGone();
}

void audioStop(AudioBuffer handle)
{
    if (DsBuffer* record = recordOf(handle)) {
        record->looping = false;
        if (record->buffer)
            driver->stop(record->buffer);
    }
}

void audioSetVolume(AudioBuffer handle, int32_t centibels)
{
    if (DsBuffer* record = recordOf(handle)) {
        record->volume = std::max<LONG>(DSBVOLUME_MIN, std::min<LONG>(DSBVOLUME_MAX, centibels));
        applyVolume(record);
    }
}

void audioSetMuted(bool mute)
{
    muted = mute;
    for (DsBuffer* record : buffers)
        applyVolume(record);
}

void audioReleaseBuffer(AudioBuffer handle)
{
    if (DsBuffer* record = recordOf(handle))
        destroy(record);
}

bool audioIsPlaying(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    return record && record->buffer && driver->isPlaying(record->buffer);
}

bool audioIsLooping(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    return record && record->looping;
}

float audioGain(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    if (!record)
        return 0.0f;
    return audioGainFromCentibels(record->buffer ? driver->volume(record->buffer) : record->volume);
}

int32_t audioSampleOffset(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    if (!record || !record->buffer)
        return 0;
    return static_cast<int32_t>(driver->position(record->buffer) /
                                static_cast<uint32_t>(record->channels * record->bitsPerSample / 8));
}
