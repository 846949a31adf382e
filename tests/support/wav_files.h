// Building WAV files byte by byte for the sound tests, and writing them to
// the test process's scratch folder.
#pragma once
#include <cstdint>
#include <string>

// A chunk: the four-character id, the 32-bit little-endian body size, the
// body and, after an odd-sized body, one pad byte. A declared size other
// than -1 goes in the header whatever the body holds, and no pad is added.
std::string riffChunk(const char* id, const std::string& body, int64_t declaredSize = -1);
// The 16 bytes of a basic "fmt " chunk, block alignment and rate derived.
std::string wavFormatBody(uint16_t formatTag, uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample);
// A "RIFF" chunk of the form "WAVE" holding the given chunks.
std::string waveForm(const std::string& chunks);
// A plain PCM file: a 16-byte "fmt " chunk then the "data" chunk.
std::string pcmWave(uint16_t channels, uint32_t samplesPerSecond, uint16_t bitsPerSample, const std::string& samples);
// `seconds` of a 16-bit mono tone at the given rate, as sample bytes.
std::string toneSamples(uint32_t samplesPerSecond, double seconds);
// Writes the bytes to `name` in the scratch folder; returns its path.
std::string writeWav(const std::string& name, const std::string& bytes);
