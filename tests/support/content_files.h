// Reading the generated content files back in tests: BMP headers and
// pixels, WAV format and samples, and the raw records of model files.
//
// These readers look at the files byte by byte, as a check independent of
// the program's loaders; they report what they find rather than fixing it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

std::vector<unsigned char> readWholeFile(const std::string& path);

struct BmpFile {
    bool ok = false;
    char signature[2] = {0, 0};
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    size_t fileSize = 0;
    // Pixels as the program's loader reads them: rows of width * 3 bytes
    // (blue, green, red) back to back from pixelOffset, top row first.
    std::vector<unsigned char> rowsTopFirst;
};
BmpFile readBmp(const std::string& path);

struct WavFile {
    bool ok = false;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<int16_t> samples;  // 16-bit data only
};
WavFile readWav(const std::string& path);

struct KmoFile {
    bool ok = false;  // "RIFF" ... "KMSH" with whole chunks up to the stated size
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    std::vector<MeshMaterial> materials;
    std::vector<ControlPoint> controlPoints;
    std::vector<std::string> chunkTags;  // in file order
};
KmoFile readKmo(const std::string& path);
