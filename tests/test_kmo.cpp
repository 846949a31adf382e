// The model file readers: chunk order, replacement, stepping over unknown
// tags, the end of the chunks, and damaged files of every kind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/articulated_mesh.h"
#include "model/mesh.h"
#include "platform/gl.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/model_files.h"
#include "tests/support/texture_readback.h"

namespace {

std::vector<MeshVertex> threeVertices()
{
    return {MeshVertex{0, 0, 0, 0, 0, -1}, MeshVertex{1, 0, 0, 1, 0, -1}, MeshVertex{0, 1, 0, 0, 1, -1}};
}

std::vector<MeshFace> oneFace()
{
    return {MeshFace{0, 1, 2, Vec3{0.5f, 0.25f, 2.0f}, -1}};
}

std::string writeModel(const std::string& name, const Bytes& bytes)
{
    const std::string path = scratchPath(name);
    writeFile(path, bytes);
    return path;
}

}  // namespace

TEST(KmoReader, ReadsTheSmallExampleFile)
{
    const Bytes file = kmoFile({kmoChunk("vtx ", recordBytes(threeVertices())), kmoChunk("face", recordBytes(oneFace()))});
    ASSERT_EQ(file.size(), 128u);
    ASSERT_EQ(file[4], 120);
    const std::string path = writeModel("example.kmo", file);

    Mesh mesh;
    mesh.Load(path.c_str());
    ASSERT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.vertexCapacity, 3);
    ASSERT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(mesh.faceCapacity, 1);
    EXPECT_EQ(std::memcmp(mesh.vertices, threeVertices().data(), 72), 0);
    // The stored normal is used as it is, not recomputed.
    EXPECT_EQ(mesh.faces[0].normal.x, 0.5f);
    EXPECT_EQ(mesh.faces[0].normal.z, 2.0f);
    EXPECT_EQ(mesh.lineCount + mesh.dotCount + mesh.materialCount, 0);
    // Reading doesn't touch the transform.
    EXPECT_EQ(mesh.scale, 1.0f);

    ArticulatedMesh character;
    character.Load(path.c_str());
    EXPECT_EQ(character.vertexCount, 3);
    EXPECT_EQ(character.faceCount, 1);
    EXPECT_EQ(character.jointCount, 0);
}

TEST(KmoReader, AnythingButARiffKmshFormLeavesTheMeshUnchanged)
{
    const Bytes good = kmoFile({kmoChunk("vtx ", recordBytes(threeVertices()))});
    Bytes wrongForm = kmoFile({kmoChunk("vtx ", recordBytes(threeVertices()))}, "KMSh");
    Bytes wrongTag = good;
    wrongTag[3] = 'X';
    const Bytes shortHeader(good.begin(), good.begin() + 10);
    const std::string paths[] = {
        writeModel("form.kmo", wrongForm),
        writeModel("tag.kmo", wrongTag),
        writeModel("short.kmo", shortHeader),
        writeModel("empty.kmo", Bytes()),
        scratchPath("missing.kmo"),
    };
    for (const std::string& path : paths) {
        Mesh mesh;
        mesh.AddVertex(MeshVertex{5, 5, 5, 0, 0, -1});
        mesh.Load(path.c_str());
        EXPECT_EQ(mesh.vertexCount, 1) << path;
        EXPECT_EQ(mesh.vertices[0].x, 5.0f) << path;

        ArticulatedMesh character;
        character.Load(path.c_str());
        EXPECT_EQ(character.vertexCount, 0) << path;
        EXPECT_EQ(character.restVertices, nullptr) << path;  // no joints were built either
        character.SetJointAngles(0, 1, 1, 1);
        character.Pose();
        EXPECT_EQ(character.lowestY, 1000000.0f);
    }
}

TEST(KmoReader, ReadsEveryKindAndTheLaterChunkOfAKindWins)
{
    const std::vector<MeshLine> lines = {{0, 1}, {1, 2}};
    const std::vector<MeshPoint> dots = {{2, 0.5f}};
    std::vector<MeshVertex> second = {MeshVertex{9, 8, 7, 0, 0, -1}};
    const Bytes file = kmoFile({
        kmoChunk("vtx ", recordBytes(threeVertices())),
        kmoChunk("line", recordBytes(lines)),
        kmoChunk("dot ", recordBytes(dots)),
        kmoChunk("face", recordBytes(oneFace())),
        kmoChunk("vtx ", recordBytes(second)),
    });
    const std::string path = writeModel("kinds.kmo", file);
    Mesh mesh;
    mesh.AddVertex(MeshVertex{1, 1, 1, 0, 0, -1});
    mesh.AddVertex(MeshVertex{1, 1, 1, 0, 0, -1});
    mesh.Load(path.c_str());
    ASSERT_EQ(mesh.vertexCount, 1);
    EXPECT_EQ(mesh.vertexCapacity, 1);
    EXPECT_EQ(mesh.vertices[0].x, 9.0f);
    ASSERT_EQ(mesh.lineCount, 2);
    EXPECT_EQ(mesh.lines[1].b, 2);
    ASSERT_EQ(mesh.dotCount, 1);
    EXPECT_EQ(mesh.dots[0].grey, 0.5f);
    EXPECT_EQ(mesh.faceCount, 1);

    // The same file for the character: the dots are passed over four bytes
    // at a time and everything after them still loads.
    ArticulatedMesh character;
    character.Load(path.c_str());
    EXPECT_EQ(character.dotCount, 0);
    EXPECT_EQ(character.lineCount, 2);
    EXPECT_EQ(character.faceCount, 1);
    ASSERT_EQ(character.vertexCount, 1);
    EXPECT_EQ(character.vertices[0].x, 9.0f);
}

TEST(KmoReader, UnknownChunksArePassedOverAndControlPointsOnlyReadByTheCharacter)
{
    const std::vector<ControlPoint> points = {{0, 2, 0, -1}, {0, 1, 0, 0}};
    Bytes odd;
    appendInt32(odd, 123);
    appendInt32(odd, -1);
    const Bytes file = kmoFile({
        kmoChunk("vtx ", recordBytes(threeVertices())),
        kmoChunk("INFO", odd),
        kmoChunk("ctlp", recordBytes(points)),
        kmoChunk("face", recordBytes(oneFace())),
    });
    const std::string path = writeModel("unknown.kmo", file);
    Mesh mesh;
    mesh.Load(path.c_str());
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 1);

    ArticulatedMesh character;
    character.Load(path.c_str());
    EXPECT_EQ(character.vertexCount, 3);
    EXPECT_EQ(character.faceCount, 1);
    ASSERT_EQ(character.controlPointCount, 2);
    EXPECT_EQ(character.controlPointCapacity, 2);
    EXPECT_EQ(character.controlPoints[1].parent, 0);
    EXPECT_EQ(character.jointCount, 2);
}

TEST(KmoReader, AnEmptyChunkEmptiesItsArray)
{
    const std::string path = writeModel("zero.kmo", kmoFile({kmoChunk("vtx ", Bytes()), kmoChunk("face", recordBytes(oneFace()))}));
    Mesh mesh;
    mesh.AddVertex(MeshVertex{1, 1, 1, 0, 0, -1});
    mesh.Load(path.c_str());
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.vertexCapacity, 0);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.faceCount, 1);
    // Appending continues from the loaded arrays.
    EXPECT_EQ(mesh.AddVertex(MeshVertex{1, 1, 1, 0, 0, -1}), 0);
    mesh.AddFace(MeshFace{0, 0, 0, Vec3{0, 0, 0}, -1});
    EXPECT_EQ(mesh.faceCount, 2);
    EXPECT_EQ(mesh.faceCapacity, 2);
}

TEST(KmoReader, NothingAfterTheDeclaredEndIsRead)
{
    Bytes file = kmoFile({kmoChunk("vtx ", recordBytes(threeVertices()))});
    const Bytes extra = kmoChunk("face", recordBytes(oneFace()));
    file.insert(file.end(), extra.begin(), extra.end());
    const std::string path = writeModel("trailing.kmo", file);
    Mesh mesh;
    mesh.Load(path.c_str());
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 0);

    // A declared end in the middle of a chunk cuts that chunk at the end:
    // the whole records before it load.
    Bytes cut = kmoFile({kmoChunk("face", recordBytes(oneFace())), kmoChunk("vtx ", recordBytes(threeVertices()))});
    const int32_t size = 4 + 36 + 8 + 24 + 10;  // form type, face chunk, one vertex and a bit
    cut[4] = static_cast<uint8_t>(size);
    const std::string cutPath = writeModel("cut.kmo", cut);
    Mesh partial;
    partial.Load(cutPath.c_str());
    EXPECT_EQ(partial.faceCount, 1);
    EXPECT_EQ(partial.vertexCount, 1);
    EXPECT_EQ(partial.vertexCapacity, 1);
}

TEST(KmoReader, DamagedChunkSizesNeverReadPastTheFile)
{
    // A negative size ends the reading; what came before stays, and the
    // array of the damaged chunk's kind is left as it was.
    {
        const Bytes file = kmoFile({kmoChunk("vtx ", recordBytes(threeVertices())),
                                    kmoChunk("face", -28, recordBytes(oneFace())),
                                    kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}}))});
        const std::string path = writeModel("negative.kmo", file);
        Mesh mesh;
        mesh.AddFace(MeshFace{0, 0, 0, Vec3{0, 0, 0}, -1});
        mesh.Load(path.c_str());
        EXPECT_EQ(mesh.vertexCount, 3);
        EXPECT_EQ(mesh.faceCount, 1);
        EXPECT_EQ(mesh.faces[0].a, 0);
        EXPECT_EQ(mesh.lineCount, 0);
    }
    // Huge sizes, in the chunk and in the header: only the records that
    // are really in the file are taken.
    {
        Bytes file = kmoFile({kmoChunk("face", recordBytes(oneFace())),
                              kmoChunk("vtx ", 0x7FFFFFF0, recordBytes(threeVertices()))});
        file[4] = 0xF0;
        file[5] = 0xFF;
        file[6] = 0xFF;
        file[7] = 0xFF;
        file.push_back(1);  // an odd byte after the last whole record
        const std::string path = writeModel("huge.kmo", file);
        Mesh mesh;
        mesh.Load(path.c_str());
        EXPECT_EQ(mesh.faceCount, 1);
        EXPECT_EQ(mesh.vertexCount, 3);
        EXPECT_EQ(mesh.vertexCapacity, 3);
        EXPECT_EQ(mesh.vertices[2].y, 1.0f);
    }
    // A size that is no whole number of records: the whole records load and
    // the next chunk is found after the odd bytes.
    {
        Bytes payload = recordBytes(threeVertices());
        payload.resize(24 + 6);
        Bytes face = recordBytes(oneFace());
        face.insert(face.end(), 2, 0);  // 30 bytes, two odd ones
        const Bytes file = kmoFile({kmoChunk("vtx ", payload), kmoChunk("face", face), kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 0}}))});
        const std::string path = writeModel("odd.kmo", file);
        Mesh mesh;
        mesh.Load(path.c_str());
        EXPECT_EQ(mesh.vertexCount, 1);
        EXPECT_EQ(mesh.faceCount, 1);
        EXPECT_EQ(mesh.faces[0].normal.z, 2.0f);
        EXPECT_EQ(mesh.lineCount, 1);
    }
    // Files cut short anywhere end the reading at the end of the file.
    {
        const Bytes whole = kmoFile({kmoChunk("face", recordBytes(oneFace())), kmoChunk("vtx ", recordBytes(threeVertices()))});
        for (size_t length = 12; length < whole.size(); ++length) {
            const std::string path = writeModel("truncated.kmo", Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
            Mesh mesh;
            mesh.Load(path.c_str());
            const int32_t expectedFaces = length >= 12 + 8 + 28 ? 1 : 0;
            EXPECT_EQ(mesh.faceCount, expectedFaces) << length;
            const long vertexBytes = static_cast<long>(length) - (12 + 36 + 8);
            EXPECT_EQ(mesh.vertexCount, vertexBytes > 0 ? vertexBytes / 24 : 0) << length;
        }
    }
}

TEST(KmoReader, AFileOfUnknownTagsEndsAtItsEnd)
{
    Bytes file;
    for (int i = 0; i < 1000; ++i) {
        appendTag(file, "junk");
    }
    const Bytes model = kmoFile({file});
    const std::string path = writeModel("junk.kmo", model);
    Mesh mesh;
    mesh.Load(path.c_str());
    EXPECT_EQ(mesh.vertexCount, 0);
}

// --- materials, in a real OpenGL context -----------------------------------------

namespace {

MeshMaterial material(const char* name, int32_t mipmaps, uint32_t texture)
{
    MeshMaterial m;
    std::memset(&m, 0, sizeof m);
    std::strncpy(m.name, name, sizeof m.name - 1);
    m.mipmaps = mipmaps;
    m.texture = texture;
    return m;
}

void writePlainBitmap(const std::string& name, uint8_t blue, uint8_t green, uint8_t red)
{
    Bytes rows = bmpRow(4, blue, green, red);
    const Bytes second = rows;
    rows.insert(rows.end(), second.begin(), second.end());
    writeFile(name, bmpFile(4, 2, rows));
}

}  // namespace

TEST(KmoReader, EveryMaterialGetsANewTextureFromItsBitmap)
{
    if (!testGlContext()) {
        GTEST_SKIP() << "no display for an OpenGL context";
    }
    WorkingDirectory scratchAsWorkingDirectory(scratchDir());
    writePlainBitmap("red.bmp", 0, 0, 255);
    writePlainBitmap("blue.bmp", 255, 0, 0);
    writePlainBitmap(std::string(39, 'A'), 0, 255, 0);
    MeshMaterial unterminated = material("", 0, 5);
    std::memset(unterminated.name, 'A', sizeof unterminated.name);
    const std::vector<MeshMaterial> materials = {material("red.bmp", 0, 12345), material("blue.bmp", 1, 12345),
                                                 unterminated, material("none.bmp", 0, 7)};
    const Bytes file = kmoFile({kmoChunk("mtl ", recordBytes(materials)), kmoChunk("vtx ", recordBytes(threeVertices()))});
    writeFile("materials.kmo", file);

    Mesh mesh;
    mesh.Load("materials.kmo");
    ASSERT_EQ(mesh.materialCount, 4);
    EXPECT_EQ(mesh.vertexCount, 3);
    const uint32_t red = mesh.materials[0].texture;
    const uint32_t blue = mesh.materials[1].texture;
    EXPECT_NE(red, 12345u);
    EXPECT_NE(red, blue);
    EXPECT_EQ(readTexture(red).at(0, 0), 0xFF0000u);
    EXPECT_EQ(readTexture(blue).at(3, 1), 0x0000FFu);
    EXPECT_EQ(textureParameter(red, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(blue, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(mesh.materials[1].mipmaps, 1);
    // The name without its NUL is cut to the 39 characters that fit.
    EXPECT_EQ(std::string(mesh.materials[2].name), std::string(39, 'A'));
    EXPECT_EQ(readTexture(mesh.materials[2].texture).at(0, 0), 0x00FF00u);
    // A bitmap that isn't there gives a white texel.
    EXPECT_EQ(readTexture(mesh.materials[3].texture).at(0, 0), 0xFFFFFFu);

    ArticulatedMesh character;
    character.Load("materials.kmo");
    ASSERT_EQ(character.materialCount, 4);
    EXPECT_EQ(readTexture(character.materials[1].texture).at(0, 0), 0x0000FFu);
    EXPECT_NE(character.materials[1].texture, blue);

    // A damaged second material chunk leaves the materials and their
    // textures as they were.
    Bytes damaged = file;
    const Bytes bad = kmoChunk("mtl ", -48, recordBytes(materials));
    damaged.insert(damaged.end(), bad.begin(), bad.end());
    damaged[4] = static_cast<uint8_t>(damaged.size() - 8);
    writeFile("damaged.kmo", damaged);
    Mesh again;
    again.Load("damaged.kmo");
    ASSERT_EQ(again.materialCount, 4);
    GLuint probe = 0;
    glGenTextures(1, &probe);
    EXPECT_EQ(probe, again.materials[3].texture + 1);  // no textures were made after the first chunk's
}
