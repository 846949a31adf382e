// Reading back what OpenGL really holds in a texture, for tests.
#pragma once
#include <cstdint>
#include <vector>

struct TextureImage {
    int width;
    int height;
    std::vector<uint8_t> rgb;  // rows from t = 0, three bytes a texel, no padding

    // The red, green and blue of texel (s, t) packed as 0xRRGGBB.
    uint32_t at(int s, int t) const;
};

// Binds the texture to GL_TEXTURE_2D and reads one level of it.
TextureImage readTexture(uint32_t name, int level = 0);

// The number of levels with texels, counted until a level has width 0.
int textureLevels(uint32_t name);

// A texture parameter of the texture, as an integer.
int textureParameter(uint32_t name, unsigned parameter);
