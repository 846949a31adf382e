// Sound output: the one playback device and its buffers of PCM samples.
//
// Each buffer holds a whole sound in its own format and plays on its own,
// mixed with the others by the device. A buffer plays from its first sample,
// once or looping; stopping it keeps its play position. Volumes are given in
// hundredths of a decibel of attenuation: 0 is full volume, -10000 silence.
//
// Every call is harmless without a device or with the handle 0. Once the
// device has been asked for, a buffer outlives the device: when the device
// goes (headphones unplugged, the sound server restarted) the program plays
// on silently while a new one is looked for in the background, and once one
// is there every buffer is on it again with its volume, a looping one playing
// on; one played once during the gap is not played late. Without a device at
// the start the same search goes on, so a device that comes later is heard.
#pragma once
#include <cstdint>

// An opaque buffer handle; 0 is no buffer.
typedef uintptr_t AudioBuffer;

// Starts opening the default playback device beside the caller, where the
// system allows, for audioOpenDevice to take when it is called; otherwise
// does nothing. Call it early so the open overlaps other start-up work.
void audioPrepareDevice();

// Opens the default playback device, or takes the one prepared. True on
// success, and when it is already open; false when the machine has no
// usable device now, in which case audioWatchDevice keeps looking for one.
bool audioOpenDevice();

// Called once a frame, and never blocking it: about once a second checks
// that the device is still there; when it is gone, or was never found,
// tries a new one every few seconds beside the caller and puts every buffer
// on it once it opens. Does nothing before audioOpenDevice or after
// audioCloseDevice.
void audioWatchDevice();

// Closes the device and stops looking for one. Buffers not released by then
// are released with it.
// The close may finish beside the caller; the next open, and the program's
// exit, wait for it.
void audioCloseDevice();

// Whether a device is open and playing now.
bool audioHasDevice();

// Creates a stopped buffer at full volume holding a copy of `bytes` bytes of
// interleaved little-endian PCM samples: 1 or 2 channels of 8 (unsigned) or
// 16 (signed) bits at samplesPerSecond frames per second. A trailing partial
// frame is dropped. Returns 0 before the device is asked for (or after it
// is closed), for a format the device cannot play, or when no whole frame is
// given. While no device is there the buffer keeps its samples for the next.
AudioBuffer audioCreateBuffer(const void* samples, uint32_t bytes, int channels, uint32_t samplesPerSecond,
                              int bitsPerSample);

// Plays from the first sample, looping until stopped when `loop` is set.
// A buffer that is already playing starts again from its first sample.
void audioPlay(AudioBuffer buffer, bool loop);

// Stops playing; the play position stays where it stopped.
void audioStop(AudioBuffer buffer);

// Sets the volume in hundredths of a decibel, 0 (full) down to -10000 (silence).
void audioSetVolume(AudioBuffer buffer, int32_t centibels);

// Releases the buffer, stopping it.
void audioReleaseBuffer(AudioBuffer buffer);

// Silences the whole device while `muted`, as if its master volume were
// down; each buffer keeps its own volume, and plays on, for when it ends.
// Holds for buffers created later, and for a device opened later.
void audioSetMuted(bool muted);

// The buffer's state as the device holds it, for tests and diagnostics.
bool audioIsPlaying(AudioBuffer buffer);
bool audioIsLooping(AudioBuffer buffer);
float audioGain(AudioBuffer buffer);
int32_t audioSampleOffset(AudioBuffer buffer);  // in frames from the first sample
