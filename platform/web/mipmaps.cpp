// The mip-map chain of a picture, as GLU builds it; see mipmaps.h.
#include "platform/web/mipmaps.h"

#include <cstddef>
#include <utility>

int mipLevelZeroSize(int size)
{
    if (size <= 1)
        return 1;
    int power = 1;
    unsigned int rest = static_cast<unsigned int>(size);
    while (rest > 3) {
        rest >>= 1;
        power *= 2;
    }
    return rest == 3 ? power * 4 : power * static_cast<int>(rest);
}

void mipHalve(const unsigned char* source, int width, int height, int components, unsigned char* target)
{
    const int halfWidth = width > 1 ? width / 2 : 1;
    const int halfHeight = height > 1 ? height / 2 : 1;
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
    // Along a side of one texel only the other side halves: two texels
    // meet, and their mean is rounded down.
    const size_t across = width > 1 ? static_cast<size_t>(components) : 0;
    const size_t down = height > 1 ? rowBytes : 0;
    const bool square = across != 0 && down != 0;
    for (int y = 0; y < halfHeight; y++) {
        for (int x = 0; x < halfWidth; x++) {
            const unsigned char* s = source + static_cast<size_t>(y) * (down ? 2 * rowBytes : 0) +
                                     static_cast<size_t>(x) * (across ? 2 * across : 0);
            for (int c = 0; c < components; c++) {
                const unsigned int a = s[c];
                if (square)
                    *target++ =
                        static_cast<unsigned char>((a + s[c + across] + s[c + down] + s[c + down + across] + 2) / 4);
                else
                    *target++ = static_cast<unsigned char>((a + s[c + across + down]) / 2);
            }
        }
    }
}

void mipResample(const unsigned char* source, int sourceWidth, int sourceHeight, int components, unsigned char* target,
                 int width, int height)
{
    for (int y = 0; y < height; y++) {
        const int sy = static_cast<int>((static_cast<long long>(y) * 2 + 1) * sourceHeight / (2LL * height));
        for (int x = 0; x < width; x++) {
            const int sx = static_cast<int>((static_cast<long long>(x) * 2 + 1) * sourceWidth / (2LL * width));
            const unsigned char* s =
                source + (static_cast<size_t>(sy) * static_cast<size_t>(sourceWidth) + static_cast<size_t>(sx)) *
                             static_cast<size_t>(components);
            for (int c = 0; c < components; c++)
                *target++ = s[c];
        }
    }
}

std::vector<MipLevel> mipChain(const unsigned char* picture, int width, int height, int components)
{
    std::vector<MipLevel> chain;
    if (width <= 0 || height <= 0 || components <= 0)
        return chain;
    MipLevel level;
    level.width = mipLevelZeroSize(width);
    level.height = mipLevelZeroSize(height);
    const size_t bytes =
        static_cast<size_t>(level.width) * static_cast<size_t>(level.height) * static_cast<size_t>(components);
    level.texels.resize(bytes);
    if (level.width == width && level.height == height)
        level.texels.assign(picture, picture + bytes);
    else
        mipResample(picture, width, height, components, level.texels.data(), level.width, level.height);
    chain.push_back(std::move(level));
    while (chain.back().width > 1 || chain.back().height > 1) {
        const MipLevel& above = chain.back();
        MipLevel next;
        next.width = above.width > 1 ? above.width / 2 : 1;
        next.height = above.height > 1 ? above.height / 2 : 1;
        next.texels.resize(static_cast<size_t>(next.width) * static_cast<size_t>(next.height) *
                           static_cast<size_t>(components));
        mipHalve(above.texels.data(), above.width, above.height, components, next.texels.data());
        chain.push_back(std::move(next));
    }
    return chain;
}
