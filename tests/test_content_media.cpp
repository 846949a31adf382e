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
#include <string>

#include "model/articulated_mesh.h"
#include "model/texture.h"
#include "sound/wav.h"
#include "tests/support/content_files.h"
#include "tests/support/gl_checks.h"

namespace {

bool isPowerOfTwo(int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// Every bitmap the program opens: the effects' four and those the models'
// materials name (reading the models needs a GL context).
std::vector<std::string> allBitmaps() {
    std::vector<std::string> names = {"SMOKE.BMP", "LIGHT.BMP", "FLARE.BMP", "Water.bmp"};
    Mesh land, room;
    ArticulatedMesh man;
    land.Load("LAND.KMO");
    room.Load("ROOM.KMO");
    man.Load("MAN.KMO");
    for (const Mesh* mesh : {static_cast<const Mesh*>(&land), static_cast<const Mesh*>(&room), static_cast<const Mesh*>(&man)}) {
        EXPECT_GT(mesh->materialCount, 0);
        for (int32_t i = 0; i < mesh->materialCount; ++i) names.push_back(mesh->materials[i].name);
    }
    return names;
}

int brightest(const BmpFile& bmp, int x, int y) {
    const unsigned char* p = &bmp.rowsTopFirst[(static_cast<size_t>(y) * bmp.width + x) * 3];
    return std::max({p[0], p[1], p[2]});
}

TEST(ContentBitmaps, AreUncompressed24BitRowsWithoutPaddingInPowerOfTwoSizes) {
    REQUIRE_GL();
    for (const std::string& name : allBitmaps()) {
        SCOPED_TRACE(name);
        BmpFile bmp = readBmp(name);
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(std::string(bmp.signature, 2), "BM");
        EXPECT_EQ(bmp.headerSize, 40u);
        EXPECT_EQ(bmp.planes, 1);
        EXPECT_EQ(bmp.bitsPerPixel, 24);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_GT(bmp.height, 0) << "rows must be stored bottom-up";
        EXPECT_EQ(bmp.width * 3 % 4, 0) << "rows would need padding the loader does not skip";
        // Three of the effects' textures are loaded without mip-maps and the
        // models' all are built at their own size too: powers of two.
        EXPECT_TRUE(isPowerOfTwo(bmp.width) && isPowerOfTwo(bmp.height));
        EXPECT_EQ(bmp.fileSize, bmp.pixelOffset + static_cast<size_t>(bmp.width) * bmp.height * 3);
        // The program's loader makes a texture of the same size whose row
        // t = 0 is the picture's top row.
        TextureImage texture = readTexture(LoadBmpTexture(name.c_str(), 0));
        ASSERT_EQ(texture.width, bmp.width);
        ASSERT_EQ(texture.height, bmp.height);
        for (int x = 0; x < bmp.width; ++x) {
            const unsigned char* bgr = &bmp.rowsTopFirst[static_cast<size_t>(x) * 3];
            ASSERT_EQ(texture.at(x, 0), static_cast<uint32_t>(bgr[2] << 16 | bgr[1] << 8 | bgr[0])) << "texel " << x;
        }
    }
}

// Smoke, bolt and flare are added onto the scene: black all round their
// edges (the quads' outlines vanish), bright inside.
TEST(ContentBitmaps, AdditiveSpritesAreBrightShapesOnBlack) {
    for (const char* name : {"SMOKE.BMP", "LIGHT.BMP", "FLARE.BMP"}) {
        SCOPED_TRACE(name);
        BmpFile bmp = readBmp(name);
        ASSERT_TRUE(bmp.ok);
        const int w = bmp.width, h = bmp.height;
        // The bolt runs on through its top and bottom edges into the next
        // segment; only its sides are dark.
        const bool bolt = std::string(name) == "LIGHT.BMP";
        int edge = 0;
        for (int x = 0; x < w && !bolt; ++x) edge = std::max({edge, brightest(bmp, x, 0), brightest(bmp, x, h - 1)});
        for (int y = 0; y < h; ++y) edge = std::max({edge, brightest(bmp, 0, y), brightest(bmp, w - 1, y)});
        EXPECT_LE(edge, 2);
        EXPECT_GE(brightest(bmp, w / 2, h / 2), 200);
    }
    // The bolt's texture repeats along every segment: all rows alike, so the
    // segments join without a seam.
    BmpFile bolt = readBmp("LIGHT.BMP");
    ASSERT_TRUE(bolt.ok);
    const size_t row = static_cast<size_t>(bolt.width) * 3;
    for (int y = 1; y < bolt.height; ++y)
        EXPECT_TRUE(std::equal(bolt.rowsTopFirst.begin(), bolt.rowsTopFirst.begin() + row,
                               bolt.rowsTopFirst.begin() + y * row));
}

// The water repeats three times across the sea: it must tile without seams,
// and be water-coloured.
TEST(ContentBitmaps, WaterTilesSeamlessly) {
    BmpFile bmp = readBmp("Water.bmp");
    ASSERT_TRUE(bmp.ok);
    const int w = bmp.width, h = bmp.height;
    auto channel = [&](int x, int y, int c) { return static_cast<int>(bmp.rowsTopFirst[(static_cast<size_t>(y) * w + x) * 3 + c]); };
    double inside = 0, acrossU = 0, acrossV = 0, blue = 0, red = 0;
    for (int i = 0; i < h; ++i)
        for (int c = 0; c < 3; ++c) {
            inside += std::abs(channel(w / 2, i, c) - channel(w / 2 - 1, i, c));
            acrossU += std::abs(channel(0, i, c) - channel(w - 1, i, c));
            acrossV += std::abs(channel(i % w, 0, c) - channel(i % w, h - 1, c));
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) blue += channel(x, y, 0), red += channel(x, y, 2);
    EXPECT_LT(acrossU, 2.0 * inside + 3.0 * h);
    EXPECT_LT(acrossV, 2.0 * inside + 3.0 * h);
    EXPECT_GT(blue, 1.5 * red);
}

struct ExpectedSound {
    const char* name;
    bool loops;
    float minSeconds, maxSeconds;
};
const ExpectedSound SOUNDS[] = {
    {"BURN.WAV", true, 2, 10},    {"HISS.WAV", false, 1, 3},     {"QUAKE.WAV", true, 3, 10},
    {"SEA.WAV", true, 6, 20},     {"SPLASH.WAV", false, 0.5, 2}, {"Thud.WAV", false, 0.2, 1},
    {"THUNDER.WAV", false, 2, 8}, {"WIND.WAV", true, 4, 15},
};

// A sound as the program reads it, its samples as 16-bit integers.
struct Sound16 {
    bool ok = false;
    WavFormat format{};
    std::vector<int16_t> samples;
};

Sound16 readSound(const char* name) {
    Sound16 sound;
    WavFile wav{};
    if (!wavRead(name, &wav)) return sound;
    sound.format = wav.format;
    if (wav.format.bitsPerSample == 16) {
        sound.samples.resize(wav.sampleBytes / 2);
        for (size_t i = 0; i < sound.samples.size(); ++i)
            sound.samples[i] = static_cast<int16_t>(wav.samples[2 * i] | wav.samples[2 * i + 1] << 8);
        sound.ok = true;
    }
    wavRelease(&wav);
    return sound;
}

TEST(ContentSounds, ArePcm16BitAndNeverClip) {
    for (const ExpectedSound& sound : SOUNDS) {
        SCOPED_TRACE(sound.name);
        Sound16 wav = readSound(sound.name);
        ASSERT_TRUE(wav.ok);
        const WavFormat& f = wav.format;
        EXPECT_EQ(f.formatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(f.bitsPerSample, 16);
        EXPECT_TRUE(f.channels == 1 || f.channels == 2);
        EXPECT_EQ(f.blockAlign, f.channels * 2);
        EXPECT_EQ(f.averageBytesPerSecond, f.samplesPerSecond * f.blockAlign);
        float seconds = static_cast<float>(wav.samples.size()) / f.channels / f.samplesPerSecond;
        EXPECT_GE(seconds, sound.minSeconds);
        EXPECT_LE(seconds, sound.maxSeconds);
        int peak = 0;
        for (int16_t s : wav.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_LT(peak, 32000) << "at or near full scale: clipped";
        EXPECT_GT(peak, 16000) << "too quiet";
    }
}

// Looping sounds run on across the loop point like anywhere else in the
// sound: the step from the last sample to the first is an ordinary step,
// and the level before the seam matches the level after it. One-shots
// start and end in silence.
TEST(ContentSounds, LoopsJoinWithoutAClickAndOneShotsEndInSilence) {
    for (const ExpectedSound& sound : SOUNDS) {
        SCOPED_TRACE(sound.name);
        Sound16 wav = readSound(sound.name);
        ASSERT_TRUE(wav.ok && wav.format.channels == 1 && wav.samples.size() > 10000);
        const std::vector<int16_t>& s = wav.samples;
        const size_t n = s.size();
        if (!sound.loops) {
            EXPECT_LE(std::abs(s.front()), 300);
            EXPECT_LE(std::abs(s.back()), 16);
            continue;
        }
        std::vector<int> steps;
        for (size_t i = 1; i < n; ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
        std::sort(steps.begin(), steps.end());
        int seam = std::abs(s[0] - s[n - 1]);
        EXPECT_LE(seam, steps[steps.size() * 99 / 100]) << "the seam's step is among the largest 1%";
        auto rms = [&](size_t from, size_t count) {
            double sum = 0;
            for (size_t i = 0; i < count; ++i) sum += static_cast<double>(s[from + i]) * s[from + i];
            return std::sqrt(sum / count);
        };
        const size_t window = wav.format.samplesPerSecond / 20;
        double before = rms(n - window, window), after = rms(0, window);
        EXPECT_LT(std::max(before, after) / std::min(before, after), 1.6) << "level jumps at the seam";
    }
}

TEST(ContentReadme, NamesEveryKeyAndElement) {
    std::vector<unsigned char> bytes = readWholeFile("README.TXT");
    std::string text(bytes.begin(), bytes.end());
    ASSERT_FALSE(text.empty());
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
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        std::vector<unsigned char> again = readWholeFile(entry.path().string()), built = readWholeFile(name);
        EXPECT_FALSE(again.empty()) << name;
        EXPECT_TRUE(again == built) << name << " differs between two runs";
        ++files;
    }
    // 3 models, 4 effect bitmaps, 6 model bitmaps, the height map, 8 sounds
    // and the README.
    EXPECT_EQ(files, 23);
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
