// Sound output on DirectSound: one device, and per sound buffer a secondary
// buffer with volume, pan and frequency control holding the whole sound.
//
// A handle points at the record below, which also keeps a copy of the
// samples: a buffer whose memory the system took back (DSERR_BUFFERLOST) is
// restored and refilled from it before it plays again. The device cooperates
// at DSSCL_NORMAL with the main window (the desktop window before there is
// one, as in tests). Stopping keeps the play position; playing rewinds.
// DirectSound has no master volume for a normal application: muting gives
// every buffer the lowest volume, and unmuting each its own back.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/shared/audio_gain.h"
#include "platform/win32/state.h"

// After <windows.h>, in this order: dsound.h builds on mmsystem.h.
#include <mmsystem.h>
// (kept apart so that include sorting leaves the order alone)
#include <dsound.h>

namespace {

struct DsBuffer {
    IDirectSoundBuffer* buffer;
    std::vector<unsigned char> samples;
    DWORD blockAlign;
    bool looping;
    LONG volume;  // the buffer's own volume, whatever muting does
};

IDirectSound* device = nullptr;
std::vector<DsBuffer*> buffers;  // every live buffer, for handle checks and closing
bool muted = false;

DsBuffer* recordOf(AudioBuffer handle)
{
    if (!device || handle == 0)
        return nullptr;
    DsBuffer* record = reinterpret_cast<DsBuffer*>(handle);
    return std::find(buffers.begin(), buffers.end(), record) != buffers.end() ? record : nullptr;
}

bool fill(DsBuffer* record)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    DWORD size = static_cast<DWORD>(record->samples.size());
    if (FAILED(record->buffer->Lock(0, size, &first, &firstBytes, &second, &secondBytes, DSBLOCK_ENTIREBUFFER)))
        return false;
    std::memcpy(first, record->samples.data(), std::min(firstBytes, size));
    if (second && secondBytes > 0 && firstBytes < size)
        std::memcpy(second, record->samples.data() + firstBytes, std::min(secondBytes, size - firstBytes));
    record->buffer->Unlock(first, firstBytes, second, secondBytes);
    return true;
}

// Brings a lost buffer back with its samples; true when it can play.
bool restoreIfLost(DsBuffer* record)
{
    DWORD status = 0;
    if (FAILED(record->buffer->GetStatus(&status)))
        return false;
    if (!(status & DSBSTATUS_BUFFERLOST))
        return true;
    return SUCCEEDED(record->buffer->Restore()) && fill(record);
}

void applyVolume(DsBuffer* record)
{
    record->buffer->SetVolume(muted ? DSBVOLUME_MIN : record->volume);
}

void destroy(DsBuffer* record)
{
    record->buffer->Stop();
    record->buffer->Release();
    buffers.erase(std::find(buffers.begin(), buffers.end(), record));
    delete record;
}

}  // namespace

// DirectSound gives a device its window to play for, so it opens only in
// audioOpenDevice, once the window exists.
void audioPrepareDevice() {}

bool audioOpenDevice()
{
    if (device)
        return true;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr))) {
        device = nullptr;
        return false;
    }
    HWND window = platformWin32.mainWindow ? platformWin32.mainWindow : GetDesktopWindow();
    // A refused cooperative level leaves a device that still plays.
    device->SetCooperativeLevel(window, DSSCL_NORMAL);
    return true;
}

void audioWatchDevice() {}

void audioCloseDevice()
{
    if (!device)
        return;
    while (!buffers.empty())
        destroy(buffers.back());
    device->Release();
    device = nullptr;
}

bool audioHasDevice()
{
    return device != nullptr;
}

AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample)
{
    if (!device || !samples || (channels != 1 && channels != 2) || (bitsPerSample != 8 && bitsPerSample != 16) ||
        samplesPerSecond < DSBFREQUENCY_MIN || samplesPerSecond > 200000)
        return 0;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = samplesPerSecond;
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    format.nAvgBytesPerSec = samplesPerSecond * format.nBlockAlign;
    uint32_t usable = bytes - bytes % format.nBlockAlign;
    if (usable < DSBSIZE_MIN || usable > DSBSIZE_MAX)
        return 0;

    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = usable;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&description, &buffer, nullptr)))
        return 0;
    DsBuffer* record = new DsBuffer{buffer, {}, format.nBlockAlign, false, DSBVOLUME_MAX};
    const unsigned char* bytesIn = static_cast<const unsigned char*>(samples);
    record->samples.assign(bytesIn, bytesIn + usable);
    buffers.push_back(record);
    if (!fill(record)) {
        destroy(record);
        return 0;
    }
    applyVolume(record);
    return reinterpret_cast<AudioBuffer>(record);
}

void audioPlay(AudioBuffer handle, bool loop)
{
    DsBuffer* record = recordOf(handle);
    if (!record || !restoreIfLost(record))
        return;
    record->buffer->SetCurrentPosition(0);
    HRESULT result = record->buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
    if (result == DSERR_BUFFERLOST && restoreIfLost(record)) {
        record->buffer->SetCurrentPosition(0);
        result = record->buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
    }
    record->looping = SUCCEEDED(result) && loop;
}

void audioStop(AudioBuffer handle)
{
    if (DsBuffer* record = recordOf(handle))
        record->buffer->Stop();
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
    DWORD status = 0;
    return record && SUCCEEDED(record->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

bool audioIsLooping(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    return record && record->looping;
}

float audioGain(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    LONG volume = DSBVOLUME_MIN;
    if (!record || FAILED(record->buffer->GetVolume(&volume)))
        return 0.0f;
    return audioGainFromCentibels(volume);
}

int32_t audioSampleOffset(AudioBuffer handle)
{
    DsBuffer* record = recordOf(handle);
    DWORD play = 0, write = 0;
    if (!record || FAILED(record->buffer->GetCurrentPosition(&play, &write)))
        return 0;
    return static_cast<int32_t>(play / record->blockAlign);
}
