// What the fuzzing harnesses share: a scratch folder, in memory where the
// machine has /dev/shm, where each input is written as the file that a
// loader reads by name; an offscreen OpenGL
// context for the harnesses that make textures and draw; and a check that
// ends the run, as a crash, when a property every input must keep fails.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Writes the input as `name` in the scratch folder and returns its path.
std::string writeFuzzInput(const char* name, const uint8_t* data, size_t size);

// Makes the scratch folder the working directory while it lives, for the
// loaders that open files by names relative to it. (libFuzzer itself needs
// the working directory it started in, to find the corpus.)
struct InScratchFolder {
    InScratchFolder();
    ~InScratchFolder();
    std::string previous;
};

// Makes a small offscreen context current, once; writes the bitmaps that a
// fuzzed model's materials may name ("a.bmp" 4 x 2, "b.bmp" 3 x 5).
void fuzzGlSetUp();

// Deletes every texture made so far and gives the texture budget back.
void fuzzForgetTextures();

// Aborts with the message when `holds` is false.
void fuzzCheck(bool holds, const char* what);
