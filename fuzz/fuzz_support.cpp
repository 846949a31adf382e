// The fuzzing harnesses' shared scratch folder, GL context and checks.
#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "fuzz/offscreen_gl.h"
#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/model_files.h"

namespace fs = std::filesystem;

namespace {

std::string scratch;

// Writes a grey 24-bit bitmap of width x height pixels.
void writeBitmap(const char* name, int32_t width, int32_t height)
{
    const ModelBytes bytes = bmpFile(width, height, ModelBytes(((width * 3 + 3) & ~3) * height, 0x40));
    writeFuzzInput(name, bytes.data(), bytes.size());
}

}  // namespace

std::string writeFuzzInput(const char* name, const uint8_t* data, size_t size)
{
    if (scratch.empty()) {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        scratch = (base / ("vexarion-fuzz-" + std::to_string(std::random_device()()))).string();
        fs::create_directories(scratch);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratch, ignored);
        });
    }
    const std::string path = scratch + "/" + name;
    std::ofstream file(path, std::ios::binary);
    fuzzCheck(file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size)).good(),
              "cannot write into the scratch folder");
    return path;
}

InScratchFolder::InScratchFolder()
{
    fs::current_path(scratch);
}

void fuzzGlSetUp()
{
    static bool ready = false;
    if (ready)
        return;
    fuzzCheck(offscreenGlCreate(32, 32), "no offscreen OpenGL context");
    writeBitmap("a.bmp", 4, 2);
    writeBitmap("b.bmp", 3, 5);
    ready = true;
}

void fuzzForgetTextures()
{
    // Mesa hands out ever higher names: delete those since the last call, up to a new one.
    static GLuint from = 1;
    GLuint last = 0;
    glGenTextures(1, &last);
    for (GLuint name = from < last ? from : last; name <= last; ++name)
        glDeleteTextures(1, &name);
    from = last + 1;
    setTextureBudget();
}

void fuzzCheck(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}
