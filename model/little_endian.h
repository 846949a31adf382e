// Reading the little-endian numbers that every content file stores (models,
// bitmaps, sounds), whatever the machine's own byte order.
#pragma once
#include <cstdint>

inline uint16_t readLittleU16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t readLittleU32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline int32_t readLittleI32(const uint8_t* bytes)
{
    return static_cast<int32_t>(readLittleU32(bytes));
}
