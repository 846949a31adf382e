// Reading PCM WAV files: a RIFF form "WAVE" with a "fmt " chunk holding the
// sample format and, after it, a "data" chunk holding the samples.
//
// Chunks are found by id wherever they stand in the form, whatever other
// chunks (a "LIST", for instance) come before them. Every size the file
// declares is checked against the bytes really there, and nothing is ever
// read past the end of the file. Where a size claims more than is there,
// the reader is as forgiving as the bytes allow: a form running past the end
// of the file holds what the file holds, and a data chunk cut short keeps
// the samples that are there. Only a chunk that hides what follows it (one
// before the format or the samples running past the end) makes a file
// unreadable.
#pragma once
#include <cstddef>
#include <cstdint>

// The format as the file stores it, field by field.
struct WavFormat {
    uint16_t formatTag;  // 1 for PCM
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;  // meaningless for PCM
};

const uint16_t waveFormatPcm = 1;

// The 18 bytes read as the format: its seven fields in this order.
const size_t wavFormatBytes = 18;

// A loaded WAV file: its format and its sample data.
struct WavFile {
    WavFormat format;
    const uint8_t* samples;  // the data chunk's bytes, inside fileBytes
    uint32_t sampleBytes;    // the data chunk's bytes that the file really holds
    uint8_t* fileBytes;      // the whole file; owned
};

// Finds the format and the sample data in a WAV file held in memory.
// True for a PCM file with a format chunk and a data chunk in its form, with
// *dataOffset and *dataSize telling where the samples are (the data chunk's
// bytes that lie inside the form and the `size` bytes). False for anything
// else (not RIFF "WAVE", no "fmt " or "data" chunk, a format chunk too short
// or with a format tag other than PCM, a chunk before them running past the
// end).
bool wavParse(const uint8_t* file, size_t size, WavFormat* format, size_t* dataOffset, uint32_t* dataSize);

// Reads the named file whole and parses it. On failure returns false and
// leaves *wav empty (nothing to release).
bool wavRead(const char* fileName, WavFile* wav);

// Releases what wavRead loaded and empties *wav.
void wavRelease(WavFile* wav);
