// Reading the generated content files back in tests, byte by byte: whole
// files, and BMP headers with their pixels, to check the strict format the
// content keeps to beyond what the program's lenient loader accepts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
