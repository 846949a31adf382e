// The model file readers: the example file, the end of the chunks, damaged
// and hostile files, and materials.
#include <cstring>
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
const MeshVertex marker = {5, 5, 5, 0, 0, -1};
const ModelBytes vertexChunk = kmoChunk("vtx ", recordBytes(threeVertices));
const ModelBytes faceChunk = kmoChunk("face", recordBytes(oneFace));

// Writes the bytes to a file and reads it into the mesh.
template <typename M>
void load(M& mesh, const ModelBytes& bytes)
{
    const std::string path = modelScratchPath("model.kmo");
    writeModelBytes(path, bytes);
    mesh.Load(path.c_str());
}

MeshMaterial material(const char* name, int32_t mipmaps)
{
    MeshMaterial m;
    std::memset(&m, 0, sizeof m);
    std::strncpy(m.name, name, sizeof m.name - 1);
    m.mipmaps = mipmaps;
    m.texture = 12345;
    return m;
}

}  // namespace

TEST(KmoReader, ReadsTheSmallExampleFileWithBothReadersAndRefusesOtherForms)
{
    const ModelBytes file = kmoFile({vertexChunk, faceChunk});
    ASSERT_EQ(file.size(), 128u);
    ASSERT_EQ(file[4], 120);
    Mesh mesh;
    load(mesh, file);
    ArticulatedMesh character;
    load(character, file);
    for (Mesh* m : {&mesh, static_cast<Mesh*>(&character)}) {
        ASSERT_EQ(m->vertexCapacity, 3);
        ASSERT_EQ(m->faceCapacity, 1);
        EXPECT_EQ(std::memcmp(m->vertices, threeVertices.data(), 72), 0);
        EXPECT_EQ(m->faces[0].normal.x, 0.5f);  // as stored, not recomputed
    }
    EXPECT_EQ(character.jointCount, 0);

    // Anything but a RIFF "KMSH" form leaves the object as it was.
    ModelBytes wrongTag = file;
    wrongTag[3] = 'X';
    for (const ModelBytes& bytes :
         {kmoFile({vertexChunk}, "KMSh"), wrongTag, ModelBytes(file.begin(), file.begin() + 10)}) {
        Mesh other;
        other.AddVertex(marker);
        load(other, bytes);
        EXPECT_EQ(other.vertexCount, 1);
        EXPECT_EQ(other.vertices[0].x, 5.0f);
        ArticulatedMesh otherCharacter;
        load(otherCharacter, bytes);
        EXPECT_EQ(otherCharacter.vertexCount, 0);
        EXPECT_EQ(otherCharacter.restVertices, nullptr);  // no joints built either
    }
    Mesh missing;
    missing.Load(modelScratchPath("missing.kmo").c_str());
    EXPECT_EQ(missing.vertexCount, 0);
}

TEST(KmoReader, ReadsItsKindsStepsOverOthersAndTheLaterChunkWins)
{
    ModelBytes unknown;
    appendModelInt32(unknown, 123);
    appendModelInt32(unknown, -1);
    const ModelBytes file = kmoFile({
        vertexChunk,
        kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}, {1, 2}})),
        kmoChunk("dot ", recordBytes(std::vector<MeshPoint>{{2, 0.5f}})),
        kmoChunk("INFO", unknown),
        kmoChunk("ctlp", recordBytes(std::vector<ControlPoint>{{0, 2, 0, -1}, {0, 1, 0, 0}})),
        faceChunk,
        kmoChunk("vtx ", recordBytes(std::vector<MeshVertex>{{9, 8, 7, 0, 0, -1}})),
    });
    Mesh mesh;
    mesh.AddVertex(marker);
    mesh.AddVertex(marker);
    load(mesh, file);
    ASSERT_EQ(mesh.vertexCapacity, 1);
    EXPECT_EQ(mesh.vertices[0].x, 9.0f);
    EXPECT_EQ(mesh.lineCount, 2);
    ASSERT_EQ(mesh.dotCount, 1);
    EXPECT_EQ(mesh.dots[0].grey, 0.5f);
    EXPECT_EQ(mesh.faceCount, 1);

    // The character passes over the dots four bytes at a time and reads the
    // control points; everything after them still loads.
    ArticulatedMesh character;
    load(character, file);
    EXPECT_EQ(character.dotCount, 0);
    EXPECT_EQ(character.lineCount, 2);
    EXPECT_EQ(character.faceCount, 1);
    EXPECT_EQ(character.vertexCount, 1);
    ASSERT_EQ(character.controlPointCapacity, 2);
    EXPECT_EQ(character.controlPoints[1].parent, 0);
    EXPECT_EQ(character.jointCount, 2);

    // An empty chunk empties its array, and appends go on from there.
    load(mesh, kmoFile({kmoChunk("vtx ", ModelBytes()), faceChunk}));
    EXPECT_EQ(mesh.vertexCapacity, 0);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.AddVertex(marker), 0);
    mesh.AddFace(MeshFace{0, 0, 0, Vec3{0, 0, 0}, -1});
    EXPECT_EQ(mesh.faceCapacity, 2);
}

TEST(KmoReader, NoChunkStartsPastTheDeclaredEndAndNothingIsReadPastTheFilesEnd)
{
    ModelBytes trailing = kmoFile({vertexChunk});
    trailing.insert(trailing.end(), faceChunk.begin(), faceChunk.end());
    Mesh mesh;
    load(mesh, trailing);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 0);

    // A chunk that starts before the declared end but runs past it is read
    // to its own end, as far as the file goes; no chunk starts after it.
    ModelBytes past = kmoFile({faceChunk, vertexChunk, kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}}))});
    past[4] = 4 + 36 + 8 + 24 + 10;
    Mesh partial;
    load(partial, past);
    EXPECT_EQ(partial.faceCount, 1);
    EXPECT_EQ(partial.vertexCapacity, 3);
    EXPECT_EQ(partial.lineCount, 0);
    past.resize(past.size() - 16 - 30);  // the line chunk and 30 vertex bytes gone
    Mesh cut;
    load(cut, past);
    EXPECT_EQ(cut.vertexCapacity, 1);

    // A file cut short anywhere: the whole records that are there.
    const ModelBytes whole = kmoFile({faceChunk, vertexChunk});
    for (long length = 12; length < static_cast<long>(whole.size()); ++length) {
        Mesh shortened;
        load(shortened, ModelBytes(whole.begin(), whole.begin() + length));
        EXPECT_EQ(shortened.faceCount, length >= 48 ? 1 : 0) << length;
        EXPECT_EQ(shortened.vertexCount, length > 56 ? (length - 56) / 24 : 0) << length;
    }
}

TEST(KmoReader, DamagedChunkSizesStayInsideTheFile)
{
    // A negative size ends the reading and leaves that kind's array alone.
    const ModelBytes line = kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}}));
    Mesh negative;
    negative.AddFace(MeshFace{0, 0, 0, Vec3{0, 0, 0}, -1});
    load(negative, kmoFile({vertexChunk, kmoChunk("face", -28, recordBytes(oneFace)), line}));
    EXPECT_EQ(negative.vertexCount, 3);
    EXPECT_EQ(negative.faceCount, 1);
    EXPECT_EQ(negative.faces[0].c, 0);
    EXPECT_EQ(negative.lineCount, 0);

    // Huge sizes, in the header and the chunk: only what is in the file.
    ModelBytes huge = kmoFile({faceChunk, kmoChunk("vtx ", 0x7FFFFFF0, recordBytes(threeVertices))});
    huge[4] = 0xF0;
    huge[5] = huge[6] = huge[7] = 0xFF;
    huge.push_back(1);
    Mesh hugeMesh;
    load(hugeMesh, huge);
    EXPECT_EQ(hugeMesh.faceCount, 1);
    EXPECT_EQ(hugeMesh.vertexCapacity, 3);

    // Sizes that are no whole number of records: the whole records load and
    // the next chunk is found after the odd bytes.
    ModelBytes vertexPayload = recordBytes(threeVertices);
    vertexPayload.resize(24 + 6);
    ModelBytes facePayload = recordBytes(oneFace);
    facePayload.resize(30);
    Mesh odd;
    load(odd, kmoFile({kmoChunk("vtx ", vertexPayload), kmoChunk("face", facePayload), line}));
    EXPECT_EQ(odd.vertexCount, 1);
    EXPECT_EQ(odd.faceCount, 1);
    EXPECT_EQ(odd.faces[0].normal.z, 2.0f);
    EXPECT_EQ(odd.lineCount, 1);
}

TEST(KmoReader, EveryMaterialGetsANewTextureFromItsBitmap)
{
    REQUIRE_GL();
    ModelWorkingDirectory scratch(modelScratchPath(""));
    writeModelBytes("red.bmp", bmpFile(4, 2, bmpRows(4, 2, 0, 0, 255)));
    writeModelBytes("blue.bmp", bmpFile(4, 2, bmpRows(4, 2, 255, 0, 0)));
    writeModelBytes(std::string(39, 'A'), bmpFile(4, 2, bmpRows(4, 2, 0, 255, 0)));
    MeshMaterial unterminated = material("", 0);
    std::memset(unterminated.name, 'A', sizeof unterminated.name);
    const std::vector<MeshMaterial> materials = {material("red.bmp", 0), material("blue.bmp", 1), unterminated,
                                                 material("none.bmp", 0)};
    ModelBytes file = kmoFile({kmoChunk("mtl ", recordBytes(materials)), vertexChunk});

    Mesh mesh;
    load(mesh, file);
    ASSERT_EQ(mesh.materialCount, 4);
    const uint32_t red = mesh.materials[0].texture, blue = mesh.materials[1].texture;
    EXPECT_NE(red, 12345u);
    EXPECT_EQ(readTexture(red).at(0, 0), 0xFF0000u);
    EXPECT_EQ(readTexture(blue).at(3, 1), 0x0000FFu);
    EXPECT_EQ(textureParameter(red, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(blue, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    // The name without its NUL is cut to the 39 characters that fit.
    EXPECT_EQ(std::string(mesh.materials[2].name), std::string(39, 'A'));
    EXPECT_EQ(readTexture(mesh.materials[2].texture).at(0, 0), 0x00FF00u);
    EXPECT_EQ(readTexture(mesh.materials[3].texture).at(0, 0), 0xFFFFFFu);  // no such bitmap

    ArticulatedMesh character;
    load(character, file);
    ASSERT_EQ(character.materialCount, 4);
    EXPECT_EQ(readTexture(character.materials[1].texture).at(0, 0), 0x0000FFu);

    // Thousands of materials naming one bitmap share its texture (per
    // mip-map flag), and those naming unusable bitmaps share one white
    // texture. Past the texture budget a bitmap loads as white.
    std::vector<MeshMaterial> many;
    for (int i = 0; i < 3000; ++i)
        many.push_back(i % 3 == 0   ? material("red.bmp", 0)
                       : i % 3 == 1 ? material("blue.bmp", i % 2)
                                    : material(i % 2 ? "none.bmp" : "nil.bmp", 0));
    setTextureBudget(2 * 8);  // red, then blue with mip-maps; blue without them is refused
    Mesh crowd;
    load(crowd, kmoFile({kmoChunk("mtl ", recordBytes(many)), vertexChunk}));
    setTextureBudget();
    std::set<uint32_t> distinct;
    for (int i = 0; i < crowd.materialCount; ++i)
        distinct.insert(crowd.materials[i].texture);
    EXPECT_EQ(distinct.size(), 3u);
    EXPECT_EQ(readTexture(crowd.materials[0].texture).at(0, 0), 0xFF0000u);
    EXPECT_EQ(readTexture(crowd.materials[1].texture).at(0, 0), 0x0000FFu);
    EXPECT_EQ(readTexture(crowd.materials[4].texture).at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(crowd.materials[4].texture, crowd.materials[5].texture);

    // A damaged second material chunk leaves the materials and makes no textures.
    const ModelBytes bad = kmoChunk("mtl ", -48, recordBytes(materials));
    file.insert(file.end(), bad.begin(), bad.end());
    file[4] = static_cast<uint8_t>(file.size() - 8);
    Mesh damaged;
    load(damaged, file);
    ASSERT_EQ(damaged.materialCount, 4);
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, damaged.materials[3].texture + 1);
}
