// Bitmap-font display lists from the browser's own monospace font: each
// glyph is drawn once on a small 2D canvas of the page, its covered pixels
// become a glBitmap on the baseline, and the raster position moves on by
// the glyph's advance, as the desktop's font lists do.
#include <emscripten/emscripten.h>

#include "platform/gl.h"
#include "platform/glcontext.h"

namespace {

enum {
    cell = 32,  // the canvas a glyph is drawn on, pixels square
};

// Draws character `code` and writes its bitmap (rows bottom first, most
// significant bit leftmost, whole bytes) to `bits` and width, height,
// xorig, yorig and advance to `metrics`.
EM_JS(void, rasteriseGlyph, (int code, unsigned char* bits, int* metrics), {
    const size = 32, originX = 4, baseline = 22;
    const canvas = Module.glyphCanvas || (Module.glyphCanvas = document.createElement('canvas'));
    canvas.width = size;
    canvas.height = size;
    const g = canvas.getContext('2d', {willReadFrequently : true});
    g.font = '13px monospace';
    g.fillStyle = '#fff';
    const text = String.fromCharCode(code);
    g.fillText(text, originX, baseline);
    const alpha = g.getImageData(0, 0, size, size).data;
    let left = size, right = -1, top = size, bottom = -1;
    for (let y = 0; y < size; y++)
        for (let x = 0; x < size; x++)
            if (alpha[(y * size + x) * 4 + 3] >= 128) {
                left = Math.min(left, x);
                right = Math.max(right, x);
                top = Math.min(top, y);
                bottom = Math.max(bottom, y);
            }
    const width = right < 0 ? 0 : right - left + 1, height = bottom < 0 ? 0 : bottom - top + 1;
    const rowBytes = (width + 7) >> 3;
    HEAPU8.fill(0, bits, bits + rowBytes * height);
    for (let row = 0; row < height; row++)
        for (let x = 0; x < width; x++)
            if (alpha[((bottom - row) * size + left + x) * 4 + 3] >= 128)
                HEAPU8[bits + row * rowBytes + (x >> 3)] |= 0x80 >> (x & 7);
    HEAP32[(metrics >> 2) + 0] = width;
    HEAP32[(metrics >> 2) + 1] = height;
    HEAP32[(metrics >> 2) + 2] = originX - left;
    HEAP32[(metrics >> 2) + 3] = bottom + 1 - baseline;
    HEAP32[(metrics >> 2) + 4] = Math.round(g.measureText(text).width);
});

}  // namespace

void glContextBuildFontLists(int first, int count, int listBase)
{
    // The page's context and its lists outlive a scene: a scene the page
    // starts again finds the same glyphs already there.
    static int builtFirst = -1, builtCount = 0, builtBase = -1;
    if (first == builtFirst && count == builtCount && listBase == builtBase)
        return;
    builtFirst = first;
    builtCount = count;
    builtBase = listBase;
    GLint oldAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    unsigned char bits[cell * cell / 8];
    int metrics[5];
    for (int k = 0; k < count; k++) {
        const int code = first + k;
        glNewList(static_cast<GLuint>(listBase + k), GL_COMPILE);
        // Control characters and codes past Latin-1 have no glyph.
        if (code >= 32 && code < 256 && code != 127) {
            rasteriseGlyph(code, bits, metrics);
            glBitmap(metrics[0], metrics[1], static_cast<float>(metrics[2]), static_cast<float>(metrics[3]),
                     static_cast<float>(metrics[4]), 0.0f, bits);
        }
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
}
