// Saving the frame being drawn as a PNG file; see screenshot.h.
#include "app/screenshot.h"

#include <vector>

#include "platform/gl.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

bool saveFrameBufferPng(const char* path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    // OpenGL's rows run bottom up; a PNG's run top down.
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path, width, height, 3, pixels.data(), width * 3) != 0;
}
