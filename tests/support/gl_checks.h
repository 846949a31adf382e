// Checks against a real OpenGL context (what a texture really holds, the
// state that drawing leaves) and rows of numbers compared whole.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/gl_test_context.h"

// Skips the test when there is no display to open a context on.
#define REQUIRE_GL()                                        \
    if (!testGlContext()) {                                 \
        GTEST_SKIP() << "no display for an OpenGL context"; \
    }

struct TextureImage {
    int width, height;
    std::vector<uint8_t> rgb;         // rows from t = 0, three bytes a texel
    uint32_t at(int s, int t) const;  // 0xRRGGBB
};

// Binds the texture and reads one level of it.
TextureImage readTexture(uint32_t name, int level = 0);
// Levels with texels, counted up to the first of width 0.
int textureLevels(uint32_t name);
int textureParameter(uint32_t name, unsigned parameter);
// The texture bound to GL_TEXTURE_2D.
uint32_t boundTexture();
// The model-view matrix (column-major) applied to the point (x, y, z, 1).
void modelViewApply(float x, float y, float z, float out[3]);
// Equal lengths and every pair within `tolerance`; a failure names the first
// pair that is not.
::testing::AssertionResult closeTo(const std::vector<float>& actual, const std::vector<float>& expected,
                                   float tolerance);
