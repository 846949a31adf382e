// The WAV writer: mono 16-bit PCM, normalised to a chosen peak.
//
// The file is the plain canonical layout: "RIFF" ... "WAVE", a 16-byte
// "fmt " chunk with format tag 1, and one "data" chunk.
#include <cmath>
#include <cstdio>

#include "tools/content/content.h"

static void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

static void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v);
    put16(out, v >> 16);
}

static void putTag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

bool writeWav(const std::string& path, std::vector<float> samples, float peak) {
    float largest = 0.0f;
    for (float s : samples) largest = std::fmax(largest, std::fabs(s));
    const float gain = largest > 0.0f ? peak / largest : 0.0f;

    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
    std::vector<unsigned char> file;
    file.reserve(44 + dataBytes);
    putTag(file, "RIFF");
    put32(file, 36 + dataBytes);
    putTag(file, "WAVE");
    putTag(file, "fmt ");
    put32(file, 16);
    put16(file, 1);  // PCM
    put16(file, 1);  // mono
    put32(file, SOUND_RATE);
    put32(file, SOUND_RATE * 2);  // bytes per second
    put16(file, 2);               // block alignment
    put16(file, 16);              // bits per sample
    putTag(file, "data");
    put32(file, dataBytes);
    for (float s : samples) {
        long v = std::lround(s * gain * 32767.0f);
        if (v > 32767) v = 32767;
        if (v < -32768) v = -32768;
        put16(file, static_cast<uint32_t>(static_cast<int32_t>(v)) & 0xFFFFu);
    }

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
