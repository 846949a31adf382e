// The generated bitmaps, sounds and README read back, and the generator
// run again to see that it writes the same bytes, quickly.
//
// Bitmaps are loaded into textures by the program's own loader and their
// headers are also read byte by byte: the loader accepts more than the
// strict format (padded rows, top-down pictures) that the content keeps
// to. Sounds are read by the program's own WAV reader.
//
// Runs in the run folder, where the build has written the content files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/articulated_mesh.h"
#include "model/texture.h"
#include "sound/wav.h"
#include "tests/support/gl_checks.h"

namespace {

std::vector<unsigned char> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A BMP file's bytes: its little-endian header fields, and its pixels as the
// program's loader reads them, rows of width * 3 bytes (blue, green, red)
// back to back from the pixel offset, the bottom row first.
struct Bitmap {
    std::vector<unsigned char> bytes;
    uint32_t field(size_t at, int size) const {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<size_t>(i)];
        return value;
    }
    int32_t width() const { return static_cast<int32_t>(field(18, 4)); }
    int32_t height() const { return static_cast<int32_t>(field(22, 4)); }
    size_t pixelBytes() const { return static_cast<size_t>(width()) * static_cast<size_t>(height()) * 3; }
    // Channel c (0 blue, 2 red) of pixel x of row y, counted from the top.
    int at(int x, int y, int c) const {
        return bytes[field(10, 4) + (static_cast<size_t>(height() - 1 - y) * width() + x) * 3 + c];
    }
    int brightest(int x, int y) const { return std::max({at(x, y, 0), at(x, y, 1), at(x, y, 2)}); }
};

bool isPowerOfTwo(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

TEST(ContentBitmaps, AreUncompressed24BitRowsWithoutPaddingInPowerOfTwoSizes) {
    REQUIRE_GL();
    // Every bitmap the program opens: the effects' four and those the
    // models' materials name.
    std::vector<std::string> names = {"SMOKE.BMP", "LIGHT.BMP", "FLARE.BMP", "Water.bmp"};
    Mesh land, room;
    ArticulatedMesh man;
    land.Load("LAND.KMO");
    room.Load("ROOM.KMO");
    man.Load("MAN.KMO");
    for (const Mesh* mesh : std::initializer_list<const Mesh*>{&land, &room, &man}) {
        EXPECT_GT(mesh->materialCount, 0);
        for (int32_t i = 0; i < mesh->materialCount; ++i) names.push_back(mesh->materials[i].name);
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Bitmap bmp{readWholeFile(name)};
        ASSERT_GE(bmp.bytes.size(), 54u);
        EXPECT_EQ(bmp.field(0, 2), 'B' | 'M' << 8);
        EXPECT_EQ(bmp.field(14, 4), 40u);  // header size
        EXPECT_EQ(bmp.field(26, 2), 1u);   // planes
        EXPECT_EQ(bmp.field(28, 2), 24u);  // bits per pixel
        EXPECT_EQ(bmp.field(30, 4), 0u);   // compression
        EXPECT_GT(bmp.height(), 0) << "rows must be stored bottom-up";
        EXPECT_EQ(bmp.width() * 3 % 4, 0) << "rows would need padding the loader does not skip";
        // Three of the effects' textures are loaded without mip-maps and the
        // models' all are built at their own size too: powers of two.
        EXPECT_TRUE(isPowerOfTwo(bmp.width()) && isPowerOfTwo(bmp.height()));
        EXPECT_EQ(bmp.bytes.size(), bmp.field(10, 4) + bmp.pixelBytes());
        // The program's loader makes a texture of the same size.
        TextureImage texture = readTexture(LoadBmpTexture(name.c_str(), 0));
        EXPECT_EQ(texture.width, bmp.width());
        EXPECT_EQ(texture.height, bmp.height());
    }
}

// Smoke, bolt and flare are added onto the scene: black all round their
// edges (the quads' outlines vanish), bright inside. The water repeats
// three times across the sea: it must tile without seams, and be
// water-coloured.
TEST(ContentBitmaps, EffectsSuitHowTheyAreDrawn) {
    for (const char* name : {"SMOKE.BMP", "LIGHT.BMP", "FLARE.BMP", "Water.bmp"}) {
        SCOPED_TRACE(name);
        const Bitmap bmp{readWholeFile(name)};
        ASSERT_TRUE(bmp.bytes.size() >= 54 && bmp.width() > 0 && bmp.height() > 0 && bmp.field(28, 2) == 24 &&
                    bmp.field(10, 4) + bmp.pixelBytes() <= bmp.bytes.size());
        const int w = bmp.width(), h = bmp.height();
        if (std::string(name) == "Water.bmp") {
            double inside = 0, acrossU = 0, acrossV = 0, blue = 0, red = 0;
            for (int i = 0; i < h; ++i)
                for (int c = 0; c < 3; ++c) {
                    inside += std::abs(bmp.at(w / 2, i, c) - bmp.at(w / 2 - 1, i, c));
                    acrossU += std::abs(bmp.at(0, i, c) - bmp.at(w - 1, i, c));
                    acrossV += std::abs(bmp.at(i % w, 0, c) - bmp.at(i % w, h - 1, c));
                }
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) blue += bmp.at(x, y, 0), red += bmp.at(x, y, 2);
            EXPECT_LT(acrossU, 2.0 * inside + 3.0 * h);
            EXPECT_LT(acrossV, 2.0 * inside + 3.0 * h);
            EXPECT_GT(blue, 1.5 * red);
            continue;
        }
        // The bolt runs on through its top and bottom edges into the next
        // segment; only its sides are dark. Its rows are all alike, so the
        // segments join without a seam.
        const bool bolt = std::string(name) == "LIGHT.BMP";
        int edge = 0;
        for (int x = 0; x < w && !bolt; ++x) edge = std::max({edge, bmp.brightest(x, 0), bmp.brightest(x, h - 1)});
        auto row = [&](int y) { return bmp.bytes.begin() + static_cast<long>(bmp.field(10, 4)) + 3L * y * w; };
        for (int y = 0; y < h; ++y) {
            edge = std::max({edge, bmp.brightest(0, y), bmp.brightest(w - 1, y)});
            EXPECT_TRUE(!bolt || std::equal(row(0), row(1), row(y))) << "row " << y;
        }
        EXPECT_LE(edge, 2);
        EXPECT_GE(bmp.brightest(w / 2, h / 2), 200);
    }
}

// Every sound read as the program reads it. Looping sounds run on across the
// loop point like anywhere else in the sound: the step from the last sample
// to the first is an ordinary step, and the level before the seam matches
// the level after it. One-shots start and end in silence.
TEST(ContentSounds, ArePcm16BitUnclippedAndLoopWithoutAClick) {
    const struct {
        const char* name;
        bool loops;
        float minSeconds, maxSeconds;
    } sounds[] = {
        {"BURN.WAV", true, 2, 10},    {"HISS.WAV", false, 1, 3},     {"QUAKE.WAV", true, 3, 10},
        {"SEA.WAV", true, 6, 20},     {"SPLASH.WAV", false, 0.5, 2}, {"Thud.WAV", false, 0.2, 1},
        {"THUNDER.WAV", false, 2, 8}, {"WIND.WAV", true, 4, 15},
    };
    for (const auto& sound : sounds) {
        SCOPED_TRACE(sound.name);
        WavFile wav{};
        ASSERT_TRUE(wavRead(sound.name, &wav));
        const WavFormat f = wav.format;
        std::vector<int16_t> s(wav.sampleBytes / 2);
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<int16_t>(wav.samples[2 * i] | wav.samples[2 * i + 1] << 8);
        wavRelease(&wav);
        EXPECT_EQ(f.formatTag, WAVE_FORMAT_PCM);
        ASSERT_EQ(f.bitsPerSample, 16);
        ASSERT_EQ(f.channels, 1);
        EXPECT_EQ(f.blockAlign, 2);
        EXPECT_EQ(f.averageBytesPerSecond, f.samplesPerSecond * 2);
        const float seconds = static_cast<float>(s.size()) / f.samplesPerSecond;
        EXPECT_GE(seconds, sound.minSeconds);
        EXPECT_LE(seconds, sound.maxSeconds);
        int peak = 0;
        for (int16_t v : s) peak = std::max(peak, std::abs(int{v}));
        EXPECT_LT(peak, 32000) << "at or near full scale: clipped";
        EXPECT_GT(peak, 16000) << "too quiet";

        const size_t n = s.size();
        if (!sound.loops) {
            EXPECT_LE(std::abs(s.front()), 300);
            EXPECT_LE(std::abs(s.back()), 16);
            continue;
        }
        std::vector<int> steps;
        for (size_t i = 1; i < n; ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(std::abs(s[0] - s[n - 1]), steps[steps.size() * 99 / 100]) << "the seam's step is among the largest 1%";
        auto rms = [&](size_t from, size_t count) {
            double sum = 0;
            for (size_t i = 0; i < count; ++i) sum += static_cast<double>(s[from + i]) * s[from + i];
            return std::sqrt(sum / count);
        };
        const size_t window = f.samplesPerSecond / 20;
        double before = rms(n - window, window), after = rms(0, window);
        EXPECT_LT(std::max(before, after) / std::min(before, after), 1.6) << "level jumps at the seam";
    }
}

TEST(ContentReadme, NamesEveryKeyAndElement) {
    std::vector<unsigned char> bytes = readWholeFile("README.TXT");
    std::string text(bytes.begin(), bytes.end());
    for (const char* word : {"Shift+E", "Shift+W", " E ", " W ", " L ", " t ", " T ", " F ", "Esc", "lightning",
                             "tornado", "sea", "land", "swim", "fire"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
}

// The generator's output depends on nothing but itself: run again, it
// writes the very same bytes, and it is quick about it.
TEST(ContentGenerator, WritesTheSameFilesAgainQuickly) {
    const std::string folder = testing::TempDir() + "vexarion-content-again/";
    ASSERT_EQ(std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()), 0);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(std::system(("./vexarion-content '" + folder + "' > /dev/null").c_str()), 0);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        std::vector<unsigned char> again = readWholeFile(entry.path().string());
        EXPECT_FALSE(again.empty()) << name;
        EXPECT_TRUE(again == readWholeFile(name)) << name << " differs between two runs";
        ++files;
    }
    // 3 models, 4 effect bitmaps, 6 model bitmaps, the height map, 8 sounds
    // and the README.
    EXPECT_EQ(files, 23);
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
