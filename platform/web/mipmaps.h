// The mip-map chain that GLU's gluBuild2DMipmaps makes of a picture, built
// on the CPU for the browser's OpenGL layer, which has no GLU under it.
//
// Plain byte arithmetic with no OpenGL and no browser in it, so the tests
// compare it texel for texel with the desktop's own GLU.
#pragma once
#include <vector>

// GLU's choice of level-0 size for a picture `size` texels wide (or high):
// a power of two, the one below unless the size's two leading bits are both
// set, when it is the one above (5 gives 4, 6 gives 8, 12 gives 16).
int mipLevelZeroSize(int size);

// The next level of a chain: `source` holds width x height texels of
// `components` bytes each, rows tightly packed; `target` receives the
// max(width / 2, 1) x max(height / 2, 1) level below it. Each target byte is
// the mean of the two or four source bytes it covers, as GLU rounds it.
void mipHalve(const unsigned char* source, int width, int height, int components, unsigned char* target);

// Resamples a picture to width x height texels, nearest texel, for pictures
// whose sides are not powers of two (the program's own content has none).
void mipResample(const unsigned char* source, int sourceWidth, int sourceHeight, int components, unsigned char* target,
                 int width, int height);

// The whole chain of a tightly packed picture, level 0 first, down to 1 x 1:
// level 0 is the picture itself when both sides are powers of two, else the
// picture resampled to mipLevelZeroSize() of each side.
struct MipLevel {
    int width;
    int height;
    std::vector<unsigned char> texels;
};
std::vector<MipLevel> mipChain(const unsigned char* picture, int width, int height, int components);
