// The WAV reader. The file is read whole into memory (so no allocation is
// larger than the file really is) and walked chunk by chunk: an 8-byte
// header (a four-character id, a little-endian 32-bit size) then the body,
// padded to an even length. Hostile bytes: every declared size is checked
// against the bytes there and nothing past them is read (see wav.h for
// what a file that lies about its sizes still gives); a file that cannot
// be read gives no sound, silently.
#include "sound/wav.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/file_bytes.h"
#include "model/little_endian.h"

namespace {

const size_t chunkHeaderBytes = 8;

struct Chunk {
    size_t body;    // offset of the body's first byte
    uint32_t size;  // the body's declared size
};

// Looks for the chunk with the given id among the chunks that run from
// `begin` to `end`, skipping the others and their pad bytes. The chunk
// sought may run past `end`: it is cut there, keeping what is really there
// (a form whose size claims more than the file holds, samples cut short).
// Any other chunk running past `end` ends the search, since what follows it
// cannot be found. Fails when the id is not there.
bool findChunk(const uint8_t* file, size_t begin, size_t end, const char* id, Chunk* chunk)
{
    size_t at = begin;
    while (at < end && end - at >= chunkHeaderBytes) {
        uint32_t size = readLittleU32(file + at + 4);
        size_t body = at + chunkHeaderBytes;
        bool wanted = std::memcmp(file + at, id, 4) == 0;
        if (size > end - body) {
            if (!wanted)
                return false;
            size = static_cast<uint32_t>(end - body);
        }
        if (wanted) {
            chunk->body = body;
            chunk->size = size;
            return true;
        }
        at = body + size + (size & 1u);
    }
    return false;
}

// Looks for a RIFF chunk of the given form type among the chunks from
// `begin` to `end`. Its chunk->body then points past the form type, and
// chunk->size counts the bytes from there.
bool findRiff(const uint8_t* file, size_t begin, size_t end, const char* form, Chunk* chunk)
{
    size_t at = begin;
    Chunk riff;
    while (findChunk(file, at, end, "RIFF", &riff)) {
        if (riff.size >= 4 && std::memcmp(file + riff.body, form, 4) == 0) {
            chunk->body = riff.body + 4;
            chunk->size = riff.size - 4;
            return true;
        }
        at = riff.body + riff.size + (riff.size & 1u);
    }
    return false;
}

}  // namespace

bool wavParse(const uint8_t* file, size_t size, WavFormat* format, size_t* dataOffset, uint32_t* dataSize)
{
    if (file == nullptr)
        return false;
    Chunk wave;
    if (!findRiff(file, 0, size, "WAVE", &wave))
        return false;
    size_t waveEnd = wave.body + wave.size;

    Chunk fmt;
    if (!findChunk(file, wave.body, waveEnd, "fmt ", &fmt))
        return false;
    // The format is read as 18 bytes from the chunk's start. A PCM format
    // chunk has only 16: the next two bytes of the file fill the extra-size
    // field, which PCM ignores. A chunk too short for the 16 bytes PCM needs
    // does not hold a format at all.
    if (fmt.size < 16)
        return false;
    uint8_t raw[wavFormatBytes] = {};
    size_t available = size - fmt.body;
    std::memcpy(raw, file + fmt.body, available < sizeof raw ? available : sizeof raw);
    WavFormat read;
    read.formatTag = readLittleU16(raw + 0);
    read.channels = readLittleU16(raw + 2);
    read.samplesPerSecond = readLittleU32(raw + 4);
    read.averageBytesPerSecond = readLittleU32(raw + 8);
    read.blockAlign = readLittleU16(raw + 12);
    read.bitsPerSample = readLittleU16(raw + 14);
    read.extraSize = readLittleU16(raw + 16);
    if (read.formatTag != waveFormatPcm)
        return false;

    // The samples come after the format.
    Chunk data;
    size_t afterFmt = fmt.body + fmt.size + (fmt.size & 1u);
    if (!findChunk(file, afterFmt, waveEnd, "data", &data))
        return false;

    *format = read;
    *dataOffset = data.body;
    *dataSize = data.size;
    return true;
}

bool wavRead(const char* fileName, WavFile* wav)
{
    *wav = WavFile{};
    FileBytes file;
    WavFormat format;
    size_t dataOffset = 0;
    uint32_t dataSize = 0;
    if (readFileBytes(fileName, SIZE_MAX, &file) != FILE_READ ||
        !wavParse(file.bytes.get(), file.size, &format, &dataOffset, &dataSize))
        return false;
    wav->format = format;
    wav->sampleBytes = dataSize;
    wav->fileBytes = file.bytes.release();
    wav->samples = wav->fileBytes + dataOffset;
    return true;
}

void wavRelease(WavFile* wav)
{
    std::free(wav->fileBytes);
    *wav = WavFile{};
}
