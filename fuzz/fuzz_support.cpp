// The fuzzing harnesses' shared scratch folder, GL context and checks.
#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "model/texture.h"
#include "platform/gl.h"
#include "platform/offscreen_gl.h"

namespace fs = std::filesystem;

namespace {

void writeFile(const char* name, const void* data, size_t size)
{
    FILE* file = std::fopen(name, "wb");
    fuzzCheck(file != nullptr, "cannot write into the scratch folder");
    fuzzCheck(size == 0 || std::fwrite(data, 1, size, file) == size, "short write into the scratch folder");
    std::fclose(file);
}

std::string scratch;

void removeScratch()
{
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

// A bitmap of width x height pixels, rows padded to four bytes.
std::string bitmap(int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    const int pixels = stride * height;
    std::string bytes(54 + static_cast<size_t>(pixels), '\x40');
    auto put = [&bytes](size_t at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 4);
    put(34, static_cast<uint32_t>(pixels), 4);
    return bytes;
}

}  // namespace

std::string writeFuzzInput(const char* name, const uint8_t* data, size_t size)
{
    if (scratch.empty()) {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        scratch = (base / ("vexarion-fuzz-" + std::to_string(std::random_device()()))).string();
        fs::create_directories(scratch);
        std::atexit(removeScratch);
    }
    const std::string path = scratch + "/" + name;
    writeFile(path.c_str(), data, size);
    return path;
}

InScratchFolder::InScratchFolder() : previous(fs::current_path().string())
{
    fs::current_path(scratch);
}

InScratchFolder::~InScratchFolder()
{
    fs::current_path(previous);
}

void fuzzGlSetUp()
{
    static bool ready = false;
    if (ready)
        return;
    fuzzCheck(offscreenGlCreate(32, 32), "no offscreen OpenGL context");
    const std::string a = bitmap(4, 2);
    const std::string b = bitmap(3, 5);
    writeFuzzInput("a.bmp", reinterpret_cast<const uint8_t*>(a.data()), a.size());
    writeFuzzInput("b.bmp", reinterpret_cast<const uint8_t*>(b.data()), b.size());
    ready = true;
}

void fuzzForgetTextures()
{
    // Mesa hands out ever higher names: delete those since the last call,
    // up to a new one.
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
