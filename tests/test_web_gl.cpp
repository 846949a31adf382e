// The browser's OpenGL layer (platform/web/): it must define every OpenGL
// and GLU entry point the program calls, its mip-maps must hold the texels
// the desktop's gluBuild2DMipmaps makes of the same picture, it must keep
// in buffers only the batches that come back unchanged, and it may leave out
// only triangles that make no pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gl.h"
#include "platform/web/batch_cache.h"
#include "platform/web/cull.h"
#include "platform/web/mipmaps.h"
#include "tests/support/gl_checks.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every gl*/glu* name called in the C++ files under `folder` (the platform's
// own glContext* service functions aside).
void collectCalls(const fs::path& folder, std::set<std::string>* calls)
{
    const std::regex call(R"(\b(glu?[A-Z][A-Za-z0-9]*)\s*\()");
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        const std::string text = readText(entry.path());
        for (std::sregex_iterator m(text.begin(), text.end(), call), end; m != end; ++m)
            if ((*m)[1].str().rfind("glContext", 0) != 0)
                calls->insert((*m)[1].str());
    }
}

}  // namespace

TEST(WebGlLayer, DefinesEveryEntryPointTheProgramCalls)
{
    const fs::path root = VEXARION_SOURCE_DIR;
    std::set<std::string> calls;
    for (const char* folder : {"app", "model", "scene", "effects", "sound"})
        collectCalls(root / folder, &calls);
    // The web backend's own services draw through the layer too (the glyphs).
    collectCalls(root / "platform/web", &calls);
    ASSERT_GT(calls.size(), 30u) << "the program's calls were not found";

    // A definition: a line that starts with a return type and the name, with
    // no semicolon after its parameter list.
    std::set<std::string> defined;
    const std::regex definition(R"(^[A-Za-z][A-Za-z0-9_ *]*\b(glu?[A-Z][A-Za-z0-9]*)\s*\([^;]*$)");
    for (const auto& entry : fs::directory_iterator(root / "platform/web")) {
        if (entry.path().extension() != ".cpp")
            continue;
        std::istringstream text(readText(entry.path()));
        std::string line;
        std::smatch m;
        while (std::getline(text, line))
            if (std::regex_search(line, m, definition))
                defined.insert(m[1].str());
    }
    std::vector<std::string> missing;
    for (const std::string& name : calls)
        if (!defined.count(name) && name.rfind("glContext", 0) != 0)
            missing.push_back(name);
    EXPECT_EQ(missing, std::vector<std::string>{}) << "entry points the web layer lacks";
}

// Level 0 is GLU's power of two for each side; every level down to 1 x 1
// holds GLU's texels, from square, flat and tall pictures alike.
TEST(WebGlLayer, MipmapsHoldTheTexelsOfTheDesktopGlu)
{
    const struct {
        int size, levelZero;
    } sizes[] = {{1, 1}, {2, 2}, {3, 4}, {5, 4}, {6, 8}, {7, 8}, {12, 16}, {17, 16}, {24, 32}, {64, 64}};
    for (const auto& s : sizes)
        EXPECT_EQ(mipLevelZeroSize(s.size), s.levelZero) << s.size;

    REQUIRE_GL();
    const struct {
        int width, height;
    } pictures[] = {{4, 4}, {8, 2}, {2, 8}, {1, 4}, {16, 1}, {32, 16}, {64, 64}};
    for (const auto& p : pictures) {
        // Bytes that make every rounding case: odd sums, carries, extremes.
        std::vector<unsigned char> bgr(static_cast<size_t>(p.width * p.height * 3));
        for (size_t i = 0; i < bgr.size(); i++)
            bgr[i] = static_cast<unsigned char>((i * 73 + i * i * 11 + 5) % 256);
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, p.width, p.height, GL_BGR_EXT, GL_UNSIGNED_BYTE, bgr.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

        const std::vector<MipLevel> chain = mipChain(bgr.data(), p.width, p.height, 3);
        ASSERT_EQ(static_cast<int>(chain.size()), textureLevels(name)) << p.width << "x" << p.height;
        for (size_t level = 0; level < chain.size(); level++) {
            const TextureImage glu = readTexture(name, static_cast<int>(level));
            ASSERT_EQ(glu.width, chain[level].width);
            ASSERT_EQ(glu.height, chain[level].height);
            std::vector<uint32_t> ours, glus;
            const std::vector<unsigned char>& bgrLevel = chain[level].texels;
            for (int t = 0; t < glu.height; t++)
                for (int s = 0; s < glu.width; s++) {
                    const size_t at = static_cast<size_t>(t * glu.width + s) * 3;
                    ours.push_back(static_cast<uint32_t>(bgrLevel[at + 2]) << 16 | bgrLevel[at + 1] << 8 |
                                   bgrLevel[at]);
                    glus.push_back(glu.at(s, t));
                }
            EXPECT_EQ(glus, ours) << p.width << "x" << p.height << " level " << level;
        }
        glDeleteTextures(1, &name);
    }
}

// The batches the layer keeps in buffers of their own: a batch met again
// unchanged in the next frame is kept and then drawn as it is, a changed byte
// is never drawn from the kept copy, the kept bytes stay within their budget,
// and a batch left undrawn is let go with its objects.
TEST(WebGlLayer, KeepsOnlyBatchesThatComeBackUnchanged)
{
    BatchCache cache;
    cache.keepFrames = 3;
    std::vector<float> room(900), land(600);
    for (size_t i = 0; i < room.size(); i++)
        room[i] = static_cast<float>(i) * 0.5f;
    for (size_t i = 0; i < land.size(); i++)
        land[i] = static_cast<float>(i) * -0.25f;
    const size_t roomBytes = room.size() * sizeof(float), landBytes = land.size() * sizeof(float);
    std::vector<unsigned> released;

    // First frame: both streamed; the room twice in one frame is still new.
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, room.data(), roomBytes).choice);
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, room.data(), roomBytes).choice);
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, land.data(), landBytes).choice);
    batchEndFrame(&cache, &released);

    // Second frame: the room comes back and is kept; the land has moved.
    const BatchAnswer kept = batchLookUp(&cache, room.data(), roomBytes);
    ASSERT_EQ(BATCH_KEEP, kept.choice);
    cache.kept[kept.index].buffer = 11;
    cache.kept[kept.index].vertexArray = 12;
    cache.kept[kept.index].indexBuffer = 13;
    land[7] += 1.0f;
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, land.data(), landBytes).choice);
    // The same count of bytes, one changed: not the kept room.
    room[450] = 1e6f;
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, room.data(), roomBytes).choice);
    room[450] = 225.0f;
    // A prefix of the room is another batch.
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, room.data(), roomBytes / 2).choice);
    batchEndFrame(&cache, &released);
    EXPECT_EQ(roomBytes, cache.keptBytes);

    // Third frame: the room is drawn from its kept copy, which is a copy.
    const BatchAnswer again = batchLookUp(&cache, room.data(), roomBytes);
    EXPECT_EQ(BATCH_KEPT, again.choice);
    EXPECT_EQ(kept.index, again.index);
    EXPECT_EQ(0, std::memcmp(cache.kept[again.index].bytes.data(), room.data(), roomBytes));
    // Over the budget, a batch that came back is streamed still.
    cache.byteBudget = roomBytes + landBytes - 1;
    EXPECT_EQ(BATCH_STREAM, batchLookUp(&cache, land.data(), landBytes).choice);
    batchEndFrame(&cache, &released);
    EXPECT_TRUE(released.empty());

    // Undrawn for keepFrames frames, the room goes with its objects.
    for (int frame = 0; frame < 3; frame++)
        batchEndFrame(&cache, &released);
    EXPECT_TRUE(cache.kept.empty());
    EXPECT_EQ(0u, cache.keptBytes);
    EXPECT_EQ((std::vector<unsigned>{11, 12, 13}), released);
}

// A batch drawn indexed: every vertex of it read back through its index is
// the vertex itself, and each distinct vertex is stored once, in the order
// first met (a triangle strip's shared corners as a mesh's faces share them).
TEST(WebGlLayer, IndexesABatchToItsDistinctVertices)
{
    const float corners[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    std::vector<float> batch;
    for (int repeat = 0; repeat < 3; repeat++)
        for (const auto& c : corners)
            batch.insert(batch.end(), {c[0] + static_cast<float>(repeat), c[1], c[2]});
    batch[3 * 17 + 2] = -0.0f;  // a different byte pattern, though equal as a number
    IndexedBatch indexed;
    batchIndex(batch.data(), 18, 3 * sizeof(float), &indexed);
    ASSERT_EQ(18u, indexed.indices.size());
    // Four corners, two new ones for each square moved along, and the -0.
    EXPECT_EQ(9u * 3 * sizeof(float), indexed.vertices.size());
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 1, 3, 2}),
              std::vector<uint16_t>(indexed.indices.begin(), indexed.indices.begin() + 6));
    for (size_t v = 0; v < 18; v++)
        EXPECT_EQ(0, std::memcmp(indexed.vertices.data() + indexed.indices[v] * 3 * sizeof(float), &batch[3 * v],
                                 3 * sizeof(float)))
            << v;
}

namespace {

// A perspective view of 16 x 12 pixels looking down -z, near 1, far 10.
CullView smallView(bool backFaces)
{
    const float n = 1.0f, f = 10.0f;
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const int viewport[4] = {2, 1, 16, 12};
    return cullViewOf(projection, identity, viewport, backFaces);
}

// The window position of an eye point under smallView, and whether it is in
// front of the eye.
bool windowOf(const float* p, double* x, double* y)
{
    const double w = -p[2];
    *x = 2 + (p[0] / w + 1) * 8;
    *y = 1 + (p[1] / w + 1) * 6;
    return w > 0;
}

// Whether the triangle, all of it in front of the eye, covers a pixel
// centre of the viewport (edges included), and its signed area.
bool coversCentre(const float* a, const float* b, const float* c, double* area)
{
    double x[3], y[3];
    windowOf(a, &x[0], &y[0]);
    windowOf(b, &x[1], &y[1]);
    windowOf(c, &x[2], &y[2]);
    *area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    for (int px = 2; px < 18; px++)
        for (int py = 1; py < 13; py++) {
            double e[3];
            for (int k = 0; k < 3; k++) {
                const int j = (k + 1) % 3;
                e[k] = (x[j] - x[k]) * (py + 0.5 - y[k]) - (y[j] - y[k]) * (px + 0.5 - x[k]);
            }
            if ((e[0] >= 0 && e[1] >= 0 && e[2] >= 0) || (e[0] <= 0 && e[1] <= 0 && e[2] <= 0))
                return true;
        }
    return false;
}

}  // namespace

// Random triangles, tiny to large, in front of the eye, behind it and across
// its plane: no triangle left out covers a pixel centre (but for a back face
// while culling is on), those kept keep their order, and at this size most
// of the small ones are left out.
TEST(WebGlLayer, CullsOnlyTrianglesThatMakeNoPixel)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (const bool backFaces : {false, true}) {
        const CullView view = smallView(backFaces);
        std::vector<float> positions;
        for (int t = 0; t < 3000; t++) {
            // Small triangles in front, then any size anywhere near the eye.
            const float size = t < 2000 ? 0.05f : 3.0f;
            const float centre[3] = {4 * unit(random), 3 * unit(random),
                                     t < 2000 ? -4 + 2 * unit(random) : 6 * unit(random)};
            for (int k = 0; k < 3; k++)
                for (int i = 0; i < 3; i++)
                    positions.push_back(centre[i] + size * unit(random));
        }
        const size_t count = positions.size() / 3;
        std::vector<uint16_t> indices(count);
        for (size_t i = 0; i < count; i++)
            indices[i] = static_cast<uint16_t>(i);
        std::vector<uint16_t> kept = {9, 9, 9};
        const size_t added = cullTriangles(view, reinterpret_cast<const unsigned char*>(positions.data()), count,
                                           3 * sizeof(float), indices.data(), count, &kept);
        ASSERT_EQ(kept.size(), added + 3);
        size_t next = 3, smallDropped = 0, smallInView = 0;
        for (size_t i = 0; i < count; i += 3) {
            const float* p[3] = {&positions[3 * i], &positions[3 * i + 3], &positions[3 * i + 6]};
            const bool wasKept = next < kept.size() && kept[next] == i;
            if (wasKept) {
                EXPECT_EQ(i + 1, kept[next + 1]);
                EXPECT_EQ(i + 2, kept[next + 2]);
                next += 3;
            }
            double x, y;
            const bool inFront = windowOf(p[0], &x, &y) && windowOf(p[1], &x, &y) && windowOf(p[2], &x, &y);
            if (!inFront) {
                // On or behind the eye plane, only a whole plane of the view
                // volume with all three corners beyond it rules it out.
                if (!wasKept) {
                    bool beyondOne = false;
                    for (int plane = 0; plane < 6; plane++) {
                        int beyond = 0;
                        for (const float* q : p) {
                            const double clip[3] = {q[0], q[1], -(11.0 / 9) * q[2] - 20.0 / 9};
                            const double side = plane % 2 ? clip[plane / 2] : -clip[plane / 2];
                            beyond += side > -q[2] ? 1 : 0;
                        }
                        beyondOne = beyondOne || beyond == 3;
                    }
                    EXPECT_TRUE(beyondOne) << i;
                }
                continue;
            }
            double area = 0;
            const bool covers = coversCentre(p[0], p[1], p[2], &area);
            // Nearer than the near plane, or beyond the far one.
            const bool beyondFar = (-p[0][2] > 10.01f && -p[1][2] > 10.01f && -p[2][2] > 10.01f) ||
                                   (-p[0][2] < 0.99f && -p[1][2] < 0.99f && -p[2][2] < 0.99f);
            if (covers && !wasKept) {
                EXPECT_TRUE((backFaces && area < 0) || beyondFar) << i << " area " << area;
            }
            if (i < 6000 && !beyondFar && -p[0][2] > 1 && std::fabs(x - 10) < 7 && std::fabs(y - 7) < 5) {
                smallInView++;
                smallDropped += wasKept ? 0 : 1;
            }
        }
        EXPECT_EQ(kept.size(), next);
        EXPECT_GT(smallDropped, smallInView * 4 / 5) << "of " << smallInView;
    }
}
