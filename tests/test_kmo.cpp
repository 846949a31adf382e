// The model file readers on files written byte by byte: the kinds of chunk,
// where the reading ends, damaged sizes, and the materials' textures.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "model/articulated_mesh.h"
#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

const std::vector<MeshVertex> threeVertices = {{0, 0, 0, 0, 0, -1}, {1, 0, 0, 1, 0, -1}, {0, 1, 0, 0, 1, -1}};
const std::vector<MeshFace> oneFace = {{0, 1, 2, Vec3{0.5f, 0.25f, 2.0f}, -1}};
const ModelBytes vertexChunk = kmoChunk("vtx ", recordBytes(threeVertices));
const ModelBytes faceChunk = kmoChunk("face", recordBytes(oneFace));
const ModelBytes lineChunk = kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}}));

std::string modelFile(const ModelBytes& bytes)
{
    return writeModelBytes(modelScratchPath("model.kmo"), bytes);
}

// The lengths of the arrays that aren't empty, "v3 f1" (a capacity other than
// the count after a slash); a character's control points, joints and rest.
std::string length(const char* kind, int32_t count, int32_t capacity)
{
    const std::string slash = capacity != count ? "/" + std::to_string(capacity) : "";
    return count == 0 && capacity == 0 ? "" : " " + std::string(kind) + std::to_string(count) + slash;
}
std::string arrays(const Mesh& m)
{
    const std::string out = length("v", m.vertexCount, m.vertexCapacity) + length("f", m.faceCount, m.faceCapacity) +
                            length("l", m.lineCount, m.lineCapacity) + length("d", m.dotCount, m.dotCapacity) +
                            length("m", m.materialCount, m.materialCapacity);
    return out.empty() ? out : out.substr(1);
}
std::string arrays(const ArticulatedMesh& m)
{
    return arrays(static_cast<const Mesh&>(m)) + length("c", m.controlPointCount, m.controlPointCapacity) + " j" +
           std::to_string(m.jointCount) + " r" + std::to_string(m.restVertexCount);
}

// Two vertices and two faces: no file below holds as many, so "v2 f2"
// shows arrays the reading left alone.
template <typename M>
std::string arraysAfterLoading(const ModelBytes& bytes)
{
    M mesh;
    for (int i = 0; i < 2; ++i) {
        mesh.AddVertex(MeshVertex{5, 5, 5, 0, 0, -1});
        mesh.AddFace(MeshFace{0, 1, 0, Vec3{0, 0, 0}, -1});
    }
    mesh.Load(modelFile(bytes).c_str());
    return arrays(mesh);
}

}  // namespace

TEST(KmoReader, WhatEachReaderMakesOfAFile)
{
    const ModelBytes example = kmoFile({vertexChunk, faceChunk});
    // Unknown tags are stepped over four bytes at a time; the plain mesh
    // steps over the control points, the character over the dots.
    const ModelBytes everyKind =
        kmoFile({vertexChunk, kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}, {1, 2}})),
                 kmoChunk("dot ", recordBytes(std::vector<MeshPoint>{{2, 0.5f}})),
                 kmoChunk("INFO", {123, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
                 kmoChunk("ctlp", recordBytes(std::vector<ControlPoint>{{0, 2, 0, -1}, {0, 1, 0, 0}})), faceChunk,
                 kmoChunk("vtx ", recordBytes(std::vector<MeshVertex>{{9, 8, 7, 0, 0, -1}}))});
    // No chunk starts past the end the header declares, but one that starts
    // before it is read to its own end, as far as the file goes.
    ModelBytes afterTheEnd = kmoFile({vertexChunk});
    afterTheEnd.insert(afterTheEnd.end(), faceChunk.begin(), faceChunk.end());
    ModelBytes acrossTheEnd = kmoFile({faceChunk, vertexChunk, lineChunk});
    acrossTheEnd[4] = 4 + 36 + 8 + 24 + 10;
    const ModelBytes acrossTheFilesEnd(acrossTheEnd.begin(), acrossTheEnd.end() - 16 - 30);
    // Huge sizes in the header and the chunk: only what is in the file.
    ModelBytes huge = kmoFile({faceChunk, kmoChunk("vtx ", recordBytes(threeVertices), 0x7FFFFFF0)});
    std::fill(huge.begin() + 4, huge.begin() + 8, 0xFF);
    huge.push_back(1);
    // Sizes that are no whole number of records: the odd bytes are skipped.
    ModelBytes oddVertices = recordBytes(threeVertices);
    oddVertices.resize(24 + 6);
    ModelBytes oddFaces = recordBytes(oneFace);
    oddFaces.resize(30);

    const struct {
        const char* what;
        ModelBytes bytes;
        const char *mesh, *character;
    } cases[] = {
        {"the example", example, "v3 f1", "v3 f1 j0 r3"},
        {"another form", kmoFile({vertexChunk}, "KMSh"), "v2 f2", "v2 f2 j0 r0"},
        {"not RIFF", kmoChunk("RIFX", {'K', 'M', 'S', 'H'}), "v2 f2", "v2 f2 j0 r0"},
        {"shorter than a header", ModelBytes(example.begin(), example.begin() + 10), "v2 f2", "v2 f2 j0 r0"},
        {"every kind", everyKind, "v1 f1 l2 d1", "v1 f1 l2 c2 j2 r1"},
        {"an empty chunk", kmoFile({kmoChunk("vtx ", {}), faceChunk}), "f1", "f1 j0 r0"},
        {"after the declared end", afterTheEnd, "v3 f2", "v3 f2 j0 r3"},
        {"across the declared end", acrossTheEnd, "v3 f1", "v3 f1 j0 r3"},
        {"across the file's end", acrossTheFilesEnd, "v1 f1", "v1 f1 j0 r1"},
        {"a negative size", kmoFile({vertexChunk, kmoChunk("face", recordBytes(oneFace), -28), lineChunk}), "v3 f2",
         "v3 f2 j0 r3"},
        {"huge sizes", huge, "v3 f1", "v3 f1 j0 r3"},
        {"odd sizes", kmoFile({kmoChunk("vtx ", oddVertices), kmoChunk("face", oddFaces), lineChunk}), "v1 f1 l1",
         "v1 f1 l1 j0 r1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(arraysAfterLoading<Mesh>(c.bytes), c.mesh) << c.what;
        EXPECT_EQ(arraysAfterLoading<ArticulatedMesh>(c.bytes), c.character) << c.what;
    }

    // The face's normal as stored, not recomputed.
    Mesh mesh;
    mesh.Load(modelFile(example).c_str());
    EXPECT_EQ(mesh.faces[0].normal.x, 0.5f);
    // A file cut short anywhere: the whole records that are there.
    const ModelBytes whole = kmoFile({faceChunk, vertexChunk});
    for (long length = 12; length < static_cast<long>(whole.size()); ++length) {
        Mesh shortened;
        shortened.Load(modelFile(ModelBytes(whole.begin(), whole.begin() + length)).c_str());
        EXPECT_EQ(shortened.faceCount, length >= 48 ? 1 : 0) << length;
        EXPECT_EQ(shortened.vertexCount, length > 56 ? (length - 56) / 24 : 0) << length;
    }
}

// Thousands of materials make one texture per bitmap and mip-map flag and one
// white for all unusable bitmaps (past the texture budget too); a name
// without its NUL is cut to the 39 characters that fit.
TEST(KmoReader, MaterialsShareOneTexturePerBitmapAndFlag)
{
    REQUIRE_GL();
    std::filesystem::current_path(modelScratchPath(""));
    writeModelBytes("red.bmp", bmpFile(4, 2, bmpRows(4, {0xFF0000, 0xFF0000})));
    writeModelBytes("blue.bmp", bmpFile(4, 2, bmpRows(4, {0x0000FF, 0x0000FF})));
    writeModelBytes(std::string(39, 'A'), bmpFile(4, 2, bmpRows(4, {0x00FF00, 0x00FF00})));
    MeshMaterial kinds[] = {{"red.bmp", 0, 0}, {"blue.bmp", 1, 0}, {"", 0, 0}, {"none.bmp", 0, 0}, {"blue.bmp", 0, 0}};
    std::memset(kinds[2].name, 'A', sizeof kinds[2].name);
    std::vector<MeshMaterial> materials;
    for (int i = 0; i < 3000; ++i)
        materials.push_back(kinds[i % 5]);
    setTextureBudget(3 * 8);  // red, blue with mip-maps, green; blue without them is refused
    Mesh mesh;
    mesh.Load(modelFile(kmoFile({kmoChunk("mtl ", recordBytes(materials)), vertexChunk})).c_str());
    setTextureBudget();
    ASSERT_EQ(arrays(mesh), "v3 m3000");
    std::set<uint32_t> distinct;
    for (int i = 0; i < mesh.materialCount; ++i)
        distinct.insert(mesh.materials[i].texture);
    EXPECT_EQ(distinct.size(), 4u);
    std::vector<uint32_t> colours;
    for (int i = 0; i < 6; ++i)
        colours.push_back(readTexture(mesh.materials[i].texture).at(0, 0));
    EXPECT_EQ(colours, (std::vector<uint32_t>{0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF, 0xFFFFFF, 0xFF0000}));
    EXPECT_EQ(textureParameter(mesh.materials[0].texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(mesh.materials[1].texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(std::string(mesh.materials[2].name), std::string(39, 'A'));
}
