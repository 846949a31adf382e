// What the fuzzing harnesses share: a scratch folder (in /dev/shm where there
// is one) for the files loaders read by name, an offscreen OpenGL context, and
// a check that ends the run as a crash.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// Writes the input as `name` in the scratch folder and returns its path.
std::string writeFuzzInput(const char* name, const uint8_t* data, size_t size);

// The scratch folder as the working directory while it lives, for loaders
// that open files relative to it (libFuzzer needs its own to find the corpus).
struct InScratchFolder {
    InScratchFolder();
    ~InScratchFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous = std::filesystem::current_path();
};

// Makes a small offscreen context current, once, and writes the bitmaps a
// fuzzed model's materials may name ("a.bmp" 4 x 2, "b.bmp" 3 x 5).
void fuzzGlSetUp();
// Deletes every texture made so far and gives the texture budget back.
void fuzzForgetTextures();
void fuzzCheck(bool holds, const char* what);  // aborts, saying `what`, unless `holds`
