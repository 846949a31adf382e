// A sound file through the WAV reader, whose samples must lie inside the
// file, then loaded, played, given volumes, stopped and released on OpenAL's
// null device.
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
    WavFile wav;
    if (wavRead(path.c_str(), &wav)) {
        fuzzCheck(wav.samples >= wav.fileBytes && wav.sampleBytes <= size &&
                      static_cast<size_t>(wav.samples - wav.fileBytes) <= size - wav.sampleBytes,
                  "samples outside the file");
        fuzzCheck(wav.format.formatTag == waveFormatPcm, "not PCM");
        wavRelease(&wav);
    }
    Sound sound;
    const bool loaded = loadSound(sound, path.c_str());
    fuzzCheck(loaded == (sound.buffer != 0), "a loaded sound without a buffer");
    playSound(sound, true);
    setSoundVolume(sound, 37);
    playSound(sound, false);
    setSoundVolume(sound, -7);
    stopSound(sound);
    releaseSound(sound);
    return 0;
}
