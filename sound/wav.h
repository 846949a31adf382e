// Reading PCM WAV files: a RIFF form "WAVE" with a "fmt " chunk holding the
// sample format and, after it, a "data" chunk holding the samples.
//
// Chunks are found by id wherever they stand in the form, whatever other
// chunks (a "LIST", for instance) come before them. Every size the file
// declares is checked against the bytes really there: a file that is
// truncated, or whose sizes run past the end of what holds them, is refused,
// and nothing is ever read past the end of the file.
#pragma once
#include <cstddef>
#include <cstdint>

// The format as the file stores it, field by field.
struct WavFormat {
    uint16_t formatTag;            // 1 for PCM
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;            // meaningless for PCM
};

const uint16_t WAVE_FORMAT_PCM = 1;

// The 18 bytes read as the format: its seven fields in this order.
const size_t WAV_FORMAT_BYTES = 18;

// A loaded WAV file: its format and its sample data.
struct WavFile {
    WavFormat format;
    const uint8_t* samples;  // the data chunk's bytes, inside fileBytes
    uint32_t sampleBytes;    // the data chunk's size
    uint8_t* fileBytes;      // the whole file; owned
};

// Finds the format and the sample data in a WAV file held in memory.
// True for a PCM file whose form, format chunk and data chunk all lie inside
// the `size` bytes, with *dataOffset and *dataSize telling where the samples
// are. False for anything else (not RIFF "WAVE", no "fmt " or "data" chunk,
// a format tag other than PCM, a size running past its bounds).
bool wavParse(const uint8_t* file, size_t size, WavFormat* format, size_t* dataOffset,
              uint32_t* dataSize);

// Reads the named file whole and parses it. On failure returns false and
// leaves *wav empty (nothing to release).
bool wavRead(const char* fileName, WavFile* wav);

// Releases what wavRead loaded and empties *wav.
void wavRelease(WavFile* wav);
