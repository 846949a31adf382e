// WAV file building for the sound tests; see wav_files.h.
#include "tests/support/wav_files.h"

#include <cmath>

#include "tests/support/model_files.h"

namespace {

std::string littleEndian(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

std::string riffChunk(const char* id, const std::string& body, int64_t declaredSize)
{
    const uint32_t size = static_cast<uint32_t>(declaredSize == -1 ? static_cast<int64_t>(body.size()) : declaredSize);
    const std::string chunk = std::string(id, 4) + littleEndian(size, 4) + body;
    return declaredSize == -1 && body.size() % 2 != 0 ? chunk + '\0' : chunk;
}

std::string wavFormatBody(uint16_t formatTag, uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample)
{
    uint32_t blockAlign = channels * bitsPerSample / 8u;
    return littleEndian(formatTag, 2) + littleEndian(channels, 2) + littleEndian(samplesPerSecond, 4) +
           littleEndian(samplesPerSecond * blockAlign, 4) + littleEndian(blockAlign, 2) +
           littleEndian(bitsPerSample, 2);
}

std::string waveForm(const std::string& chunks)
{
    return riffChunk("RIFF", "WAVE" + chunks);
}

std::string pcmWave(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, const std::string& samples)
{
    return waveForm(riffChunk("fmt ", wavFormatBody(1, channels, samplesPerSecond, bitsPerSample)) +
                    riffChunk("data", samples));
}

std::string toneSamples(uint32_t samplesPerSecond, double seconds)
{
    std::string out;
    size_t count = static_cast<size_t>(samplesPerSecond * seconds);
    for (size_t i = 0; i < count; ++i)
        out += littleEndian(static_cast<uint16_t>(
                                static_cast<int16_t>(8000.0 * std::sin(6.283185307 * 440.0 * i / samplesPerSecond))),
                            2);
    return out;
}

std::string writeWav(const std::string& name, const std::string& bytes)
{
    return writeModelBytes(modelScratchPath(name), ModelBytes(bytes.begin(), bytes.end()));
}
