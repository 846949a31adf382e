// Bitmap-font display lists made from the font Dear ImGui carries.
//
// ImGui embeds a clean 13-pixel bitmap font (ProggyClean). Its atlas is
// rasterised here once, and each glyph becomes a display list that draws it
// with glBitmap at the raster position, on the baseline, and moves the raster
// position on by the glyph's advance — the same lists a system font would
// give through WGL.
#include <cmath>
#include <vector>

#include <imgui.h>

#include "platform/gl.h"
#include "platform/glcontext.h"

void glContextBuildFontLists(int first, int count, int listBase)
{
    ImFontAtlas atlas;
    ImFont* font = atlas.AddFontDefault();
    unsigned char* pixels = nullptr;
    int atlasWidth = 0, atlasHeight = 0;
    atlas.GetTexDataAsAlpha8(&pixels, &atlasWidth, &atlasHeight);
    if (!font || !pixels)
        return;
    const float baseline = std::round(font->Ascent);

    GLint oldAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    std::vector<GLubyte> bits;
    for (int k = 0; k < count; k++) {
        int code = first + k;
        const ImFontGlyph* glyph =
            (code >= 0 && code <= 0xFFFF) ? font->FindGlyphNoFallback(static_cast<ImWchar>(code)) : nullptr;

        glNewList(static_cast<GLuint>(listBase + k), GL_COMPILE);
        if (glyph) {
            int x0 = static_cast<int>(std::lround(glyph->U0 * atlasWidth));
            int y0 = static_cast<int>(std::lround(glyph->V0 * atlasHeight));
            int w = static_cast<int>(std::lround(glyph->U1 * atlasWidth)) - x0;
            int h = static_cast<int>(std::lround(glyph->V1 * atlasHeight)) - y0;
            if (w < 0 || h < 0 || x0 < 0 || y0 < 0 || x0 + w > atlasWidth || y0 + h > atlasHeight)
                w = h = 0;
            int rowBytes = (w + 7) / 8;
            bits.assign(static_cast<size_t>(rowBytes) * static_cast<size_t>(h) + 1, 0);
            // glBitmap takes rows bottom first, most significant bit leftmost.
            for (int row = 0; row < h; row++) {
                const unsigned char* src = pixels + (y0 + row) * atlasWidth + x0;
                GLubyte* dst = bits.data() + (h - 1 - row) * rowBytes;
                for (int col = 0; col < w; col++)
                    if (src[col] >= 128)
                        dst[col / 8] |= static_cast<GLubyte>(0x80 >> (col % 8));
            }
            // The glyph's top is Y0 below the line's top; the baseline is
            // `baseline` below it, so the bitmap's lower edge sits Y1 - baseline
            // below the raster position.
            float xorig = -glyph->X0;
            float yorig = glyph->Y1 - baseline;
            glBitmap(w, h, xorig, yorig, glyph->AdvanceX, 0.0f, bits.data());
        }
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
}
