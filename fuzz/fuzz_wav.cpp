// A sound file through the WAV reader, then through the sound layer on
// OpenAL's null device: loaded into a buffer, played looping and once,
// given volumes, stopped and released. The samples found must lie inside
// the file.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "sound/sound.h"
#include "sound/wav.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    fuzzCheck(createSoundDevice(), "no sound device");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = writeFuzzInput("sound.wav", data, size);
    const char* name = path.c_str();
    WavFile wav;
    if (wavRead(name, &wav)) {
        fuzzCheck(wav.samples >= wav.fileBytes && wav.sampleBytes <= size &&
                      static_cast<size_t>(wav.samples - wav.fileBytes) <= size - wav.sampleBytes,
                  "samples outside the file");
        fuzzCheck(wav.format.formatTag == waveFormatPcm, "not PCM");
        wavRelease(&wav);
    }
    Sound sound;
    const bool loaded = loadSound(sound, name);
    fuzzCheck(loaded == (sound.buffer != 0), "a loaded sound without a buffer");
    playSound(sound, true);
    setSoundVolume(sound, 37);
    playSound(sound, false);
    setSoundVolume(sound, -7);
    stopSound(sound);
    releaseSound(sound);
    return 0;
}
