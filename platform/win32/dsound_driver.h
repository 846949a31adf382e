// The DirectSound calls of the Windows backend's sound (audio_dsound.cpp),
// as a table of plain functions: DirectSound's own in the program, and in a
// test a device of the test's own, which can be unplugged and plugged in
// again as Wine's can't. Each call's result is sorted into what the backend
// does next.
#pragma once
#include <cstdint>

enum DsResult {
    DS_DONE,         // it worked
    DS_BUFFER_LOST,  // the system took the buffer's memory back: restore and refill it
    DS_DEVICE_GONE,  // the device went away (DSERR_NODRIVER and the like): find a new one
    DS_REFUSED,      // anything else: this call failed, the device is still there
};

struct DsDriver {
    DsResult (*openDevice)(void** device);  // the default device, for the main window
    DsResult (*checkDevice)(void* device);
    void (*closeDevice)(void* device);
    DsResult (*createBuffer)(void* device, int channels, uint32_t samplesPerSecond, int bitsPerSample, uint32_t bytes,
                             void** buffer);
    DsResult (*fill)(void* buffer, const unsigned char* samples, uint32_t bytes);  // the whole buffer
    DsResult (*restore)(void* buffer);          // after DS_BUFFER_LOST, before a fill
    DsResult (*play)(void* buffer, bool loop);  // from the first sample
    void (*stop)(void* buffer);
    void (*setVolume)(void* buffer, int32_t centibels);
    bool (*isPlaying)(void* buffer);
    int32_t (*volume)(void* buffer);     // hundredths of a decibel
    uint32_t (*position)(void* buffer);  // the play position in bytes
    void (*releaseBuffer)(void* buffer);
    double (*seconds)();  // a clock for the watch's checks and tries
};

// Makes the backend use `driver` from now on; nullptr gives it DirectSound's.
// Call it with no device open.
void dsoundUseDriver(const DsDriver* driver);

// Whether a new device is being opened on the helper thread just now.
bool dsoundOpening();
