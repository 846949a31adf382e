// Byte-level readers of the content files, for the content tests.
#include "tests/support/content_files.h"

#include <cstdio>
#include <cstring>

std::vector<unsigned char> readWholeFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

static uint32_t get32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

static uint16_t get16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

BmpFile readBmp(const std::string& path) {
    BmpFile bmp;
    std::vector<unsigned char> b = readWholeFile(path);
    if (b.size() < 54) return bmp;
    bmp.fileSize = b.size();
    bmp.signature[0] = static_cast<char>(b[0]);
    bmp.signature[1] = static_cast<char>(b[1]);
    bmp.pixelOffset = get32(b, 10);
    bmp.headerSize = get32(b, 14);
    bmp.width = static_cast<int32_t>(get32(b, 18));
    bmp.height = static_cast<int32_t>(get32(b, 22));
    bmp.planes = get16(b, 26);
    bmp.bitsPerPixel = get16(b, 28);
    bmp.compression = get32(b, 30);
    if (bmp.width <= 0 || bmp.height <= 0 || bmp.bitsPerPixel != 24) return bmp;
    const size_t rowBytes = static_cast<size_t>(bmp.width) * 3;
    const size_t dataBytes = rowBytes * static_cast<size_t>(bmp.height);
    if (bmp.pixelOffset + dataBytes > b.size()) return bmp;
    bmp.rowsTopFirst.resize(dataBytes);
    for (int32_t row = 0; row < bmp.height; ++row) {
        const unsigned char* src = b.data() + bmp.pixelOffset + static_cast<size_t>(row) * rowBytes;
        unsigned char* dst = bmp.rowsTopFirst.data() + static_cast<size_t>(bmp.height - 1 - row) * rowBytes;
        std::memcpy(dst, src, rowBytes);
    }
    bmp.ok = true;
    return bmp;
}

WavFile readWav(const std::string& path) {
    WavFile wav;
    std::vector<unsigned char> b = readWholeFile(path);
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return wav;
    bool haveFormat = false, haveData = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = get32(b, at + 4);
        size_t body = at + 8;
        if (body + size > b.size()) return wav;
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && size >= 16) {
            wav.formatTag = get16(b, body);
            wav.channels = get16(b, body + 2);
            wav.sampleRate = get32(b, body + 4);
            wav.bytesPerSecond = get32(b, body + 8);
            wav.blockAlign = get16(b, body + 12);
            wav.bitsPerSample = get16(b, body + 14);
            haveFormat = true;
        } else if (std::memcmp(b.data() + at, "data", 4) == 0 && haveFormat && wav.bitsPerSample == 16) {
            wav.samples.resize(size / 2);
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<int16_t>(get16(b, body + 2 * i));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    wav.ok = haveFormat && haveData;
    return wav;
}

template <typename Record>
static bool readRecords(const std::vector<unsigned char>& b, size_t body, uint32_t size, std::vector<Record>& out) {
    if (size % sizeof(Record) != 0) return false;
    out.resize(size / sizeof(Record));
    if (size > 0) std::memcpy(out.data(), b.data() + body, size);
    return true;
}

KmoFile readKmo(const std::string& path) {
    KmoFile kmo;
    std::vector<unsigned char> b = readWholeFile(path);
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "KMSH", 4) != 0)
        return kmo;
    const size_t end = static_cast<size_t>(get32(b, 4)) + 8;
    if (end != b.size()) return kmo;
    size_t at = 12;
    bool ok = true;
    while (ok && at + 8 <= end) {
        std::string tag(reinterpret_cast<const char*>(b.data() + at), 4);
        uint32_t size = get32(b, at + 4);
        size_t body = at + 8;
        if (body + size > end) return kmo;
        kmo.chunkTags.push_back(tag);
        if (tag == "vtx ") ok = readRecords(b, body, size, kmo.vertices);
        else if (tag == "face") ok = readRecords(b, body, size, kmo.faces);
        else if (tag == "mtl ") ok = readRecords(b, body, size, kmo.materials);
        else if (tag == "ctlp") ok = readRecords(b, body, size, kmo.controlPoints);
        at = body + size;
    }
    kmo.ok = ok && at == end;
    return kmo;
}
