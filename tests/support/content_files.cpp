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
