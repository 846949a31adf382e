// Saving the frame being drawn as a PNG file; see screenshot.h.
#include "app/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/output_file.h"
#include "platform/folders.h"
#include "platform/gl.h"
#include "platform/notice.h"
#include "platform/paths.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

// Where stb's PNG writer puts its bytes.
struct Output {
    std::FILE* file;
    bool failed;
};

void writeToFile(void* context, void* data, int size)
{
    Output* output = static_cast<Output*>(context);
    if (std::fwrite(data, 1, static_cast<size_t>(size), output->file) != static_cast<size_t>(size))
        output->failed = true;
}

}  // namespace

bool saveFrameBufferPng(const char* path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::FILE* file = fileOpen(path, "wb");
    if (!file)
        return false;
    // OpenGL's rows run bottom up; a PNG's run top down.
    stbi_flip_vertically_on_write(1);
    Output output = {file, false};
    const bool encoded = stbi_write_png_to_func(writeToFile, &output, width, height, 3, pixels.data(), width * 3) != 0;
    const bool closed = std::fclose(file) == 0;
    return encoded && closed && !output.failed;
}

std::string screenshotName(const std::tm& local, int n)
{
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "vexarion-%Y-%m-%d-%H%M%S", &local);
    std::string name = stamp;
    if (n > 1)
        name += "-" + std::to_string(n);
    return name + ".png";
}

bool takeScreenshot(int width, int height)
{
    const std::string folder = folderForPictures();
    if (folder.empty()) {
        noticeShow(NOTICE_WARNING, "Vexarion: no folder for screenshots (neither XDG_PICTURES_DIR nor HOME is set)\n");
        return false;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now))
        local = *t;
    std::error_code error;
    fs::path path;
    for (int n = 1; n < 1000; n++) {
        path = fs::u8path(folder) / screenshotName(local, n);
        if (!fs::exists(path, error))
            break;
    }
    fs::create_directories(fs::u8path(folder), error);
    if (error) {
        outputTellFailure("the screenshot", path.u8string(), error.value());
        return false;
    }
    errno = 0;
    if (!saveFrameBufferPng(path.u8string().c_str(), width, height)) {
        const int reason = errno;
        // A picture cut short is no picture: nothing is left of it.
        if (fs::is_regular_file(path, error))
            fs::remove(path, error);
        outputTellFailure("the screenshot", path.u8string(), reason);
        return false;
    }
    noticeShow(NOTICE_STATUS, path.u8string() + "\n");
    return true;
}
