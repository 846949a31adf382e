// Shared pieces of the content generator: pictures, sounds, models, the
// generator's own random numbers and noise, and the list of file makers.
//
// The generator writes every file the program reads at start into one run
// folder. Everything is computed from fixed seeds, so every run writes the
// same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

// ---------------------------------------------------------------------------
// Random numbers and noise (rng.cpp)

// A small 64-bit generator (splitmix64) with a fixed seed per use.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed) {}
    uint64_t next();
    float uniform();                  // [0, 1)
    float range(float lo, float hi);  // [lo, hi)
    float gauss();                    // about N(0, 1)
};

// Smooth value noise in [-1, 1] on an integer lattice hashed with `seed`.
// With a period (> 0) the lattice wraps, so the noise tiles with that period.
float valueNoise(float x, float y, uint32_t seed, int period = 0);
// Fractal sum of `octaves` value-noise layers, each twice the frequency and
// half the amplitude; about [-1, 1]. The period doubles with the frequency.
float fractalNoise(float x, float y, uint32_t seed, int octaves, int period = 0);

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);
float lerp(float a, float b, float t);

// ---------------------------------------------------------------------------
// Pictures (writers.cpp)

struct Colour {
    float r, g, b;  // 0 to 1
};

Colour mix(Colour a, Colour b, float t);
Colour scaled(Colour c, float f);

// An RGB picture, row 0 at the top (texture coordinate t = 0).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Image(int w, int h);
    Colour& at(int x, int y) { return pixels[y * width + x]; }
    const Colour& at(int x, int y) const { return pixels[y * width + x]; }
    void fillRect(int x0, int y0, int w, int h, Colour c);
};

// Writes an uncompressed 24-bit bottom-up BMP whose rows need no padding
// (width * 3 a multiple of 4). Returns false if the file cannot be written.
bool writeBmp(const std::string& path, const Image& image);

// ---------------------------------------------------------------------------
// Sounds (writers.cpp)

enum { SOUND_RATE = 22050 };

// Scales the samples so their peak is `peak` of full scale and writes a mono
// 16-bit PCM WAV file at SOUND_RATE.
bool writeWav(const std::string& path, std::vector<float> samples, float peak);

// ---------------------------------------------------------------------------
// Models (writers.cpp)

struct Model {
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    std::vector<MeshMaterial> materials;
    std::vector<ControlPoint> controlPoints;

    int32_t addMaterial(const char* bitmapName, int mipmaps);
    int32_t addVertex(float x, float y, float z, float u, float v, int32_t joint = -1);
    // Appends the triangle a, b, c with its normal (Q - P) x (R - P), scaled
    // to unit length when `unitNormal` is set.
    void addTriangle(int32_t a, int32_t b, int32_t c, int32_t material, bool unitNormal = true);
};

// Writes a RIFF "KMSH" model file: "mtl ", "vtx ", "face" and, when the model
// has control points, "ctlp".
bool writeKmo(const std::string& path, const Model& model);

// ---------------------------------------------------------------------------
// The file makers. Each writes its files into `folder` (ending in '/') and
// returns false when a file could not be written.

bool makeTerrain(const std::string& folder);        // terrain.cpp, land_texture.cpp
bool makeRoom(const std::string& folder);           // room.cpp
bool makeMan(const std::string& folder);            // man.cpp, man_texture.cpp
bool makeEffectBitmaps(const std::string& folder);  // effect_bitmaps.cpp
bool makeLoopingSounds(const std::string& folder);  // sounds_loops.cpp
bool makeOneShotSounds(const std::string& folder);  // sounds_oneshots.cpp
bool makeReadme(const std::string& folder);         // readme.cpp
