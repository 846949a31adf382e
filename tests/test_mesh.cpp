// Mesh: its arrays' storage, and the OpenGL state that drawing really
// leaves in a context.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "model/mesh.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

MeshVertex at(float x, float y, float z)
{
    return MeshVertex{x, y, z, 0.5f, 0.5f, -1};
}
MeshFace face(int32_t a, int32_t b, int32_t c, int32_t material = -1)
{
    return {a, b, c, Vec3{7, 7, 7}, material};
}

// One triangle over the whole viewport per material given.
void addScreenFaces(Mesh& mesh, std::initializer_list<int32_t> materials)
{
    const int32_t first = mesh.AddVertex(at(-1, -1, 0));
    mesh.AddVertex(at(3, -1, 0));
    mesh.AddVertex(at(-1, 3, 0));
    for (int32_t material : materials)
        mesh.AddFace(face(first, first + 1, first + 2, material));
}

template <typename T>
void setArray(T*& items, int32_t& count, int32_t& capacity, std::initializer_list<T> records)
{
    items = static_cast<T*>(std::realloc(items, records.size() * sizeof(T)));
    std::memcpy(items, records.begin(), records.size() * sizeof(T));
    count = capacity = static_cast<int32_t>(records.size());
}

}  // namespace

// An append returns the new index and grows the storage by one; a clear
// keeps the storage, and a second clear in a row gives it back. A face's
// normal is (P - Q) x (P - R), unnormalised; a corner that is not a vertex
// leaves it zero.
TEST(Mesh, ArraysAndFaceNormals)
{
    Mesh mesh;
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(mesh.AddVertex(at(0, 0, 0)), i);
    EXPECT_EQ(mesh.vertexCapacity, 3);
    mesh.ClearVertices();
    EXPECT_TRUE(mesh.vertexCount == 0 && mesh.vertexCapacity == 3 && mesh.vertices != nullptr);
    mesh.ClearVertices();
    EXPECT_TRUE(mesh.vertexCapacity == 0 && mesh.vertices == nullptr);
    mesh.AddVertex(at(0, 0, 0));
    mesh.AddVertex(at(1, 0, 0));
    mesh.AddVertex(at(0, 2, 0));
    mesh.AddFace(face(0, 1, 2));
    mesh.AddFace(face(0, 1, 3));
    EXPECT_TRUE(mesh.faces[0].normal.x == 0 && mesh.faces[0].normal.y == 0 && mesh.faces[0].normal.z == 2);
    EXPECT_EQ(mesh.faces[1].normal.z, 0);
}

// The model-view matrix is replaced (the translation before is gone),
// scaled (the position is not), and turned first about z, then y, then x.
TEST(MeshDraw, ReplacesTheModelViewMatrixWithItsTransform)
{
    REQUIRE_GL();
    const struct {
        float scale, position[3], rotation[3], point[3], drawn[3];
    } cases[] = {
        {2, {10, 0, 0}, {0, 0, 0}, {1, 0, 0}, {12, 0, 0}},   {1, {0, 0, 0}, {0, 0, 90}, {1, 0, 0}, {0, 1, 0}},
        {1, {0, 0, 0}, {90, 90, 0}, {1, 0, 0}, {0, 1, 0}},   {1, {0, 0, 0}, {90, 0, 90}, {1, 0, 0}, {0, 0, 1}},
        {0.5f, {0, 4, 0}, {0, 90, 0}, {0, 0, 2}, {1, 4, 0}},
    };
    for (const auto& c : cases) {
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(3, 4, 5);
        glMatrixMode(GL_PROJECTION);  // drawing sets the mode itself
        Mesh mesh;
        mesh.SetScale(c.scale);
        mesh.SetPosition(c.position[0], c.position[1], c.position[2]);
        mesh.SetRotation(c.rotation[0], c.rotation[1], c.rotation[2]);
        mesh.Draw();
        float p[3];
        modelViewApply(c.point[0], c.point[1], c.point[2], p);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(p[i], c.drawn[i], 1e-5f) << i;
    }
}

// AddTexture appends a material with its new texture; drawing enables and
// binds each face's texture (none for a material out of range) and leaves
// the last face's state.
TEST(MeshDraw, TexturingFollowsTheFacesMaterials)
{
    REQUIRE_GL();
    std::filesystem::current_path(modelScratchPath(""));
    writeModelBytes("red.bmp", bmpFile(4, 2, bmpRows(4, 2, 0, 0, 255)));
    writeModelBytes("orange.bmp", bmpFile(4, 2, bmpRows(4, 2, 0, 128, 255)));
    // A name too long for the record is cut short there; the bitmap is
    // still read under its full name.
    const std::string longName = std::string(50, 'n') + ".bmp";
    writeModelBytes(longName, bmpFile(4, 2, bmpRows(4, 2, 255, 0, 0)));
    Mesh textures;
    EXPECT_EQ(textures.AddTexture("red.bmp", 7), 0);
    EXPECT_EQ(textures.AddTexture("orange.bmp", 0), 1);
    const uint32_t red = textures.materials[0].texture;
    const uint32_t orange = textures.materials[1].texture;
    EXPECT_EQ(textures.AddTexture(longName.c_str(), 0), 2);
    ASSERT_EQ(textures.materialCapacity, 3);
    EXPECT_TRUE(std::string(textures.materials[0].name) == "red.bmp" && textures.materials[0].mipmaps == 7);
    EXPECT_EQ(std::string(textures.materials[2].name), longName.substr(0, 39));
    EXPECT_EQ(textureParameter(red, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(readTexture(textures.materials[2].texture).at(0, 0), 0x0000FFu);

    struct Case {
        std::initializer_list<int32_t> materials;
        bool enabledBefore, enabledAfter;
        uint32_t boundAfter;  // 0: whatever was bound before
    };
    const Case cases[] = {
        {{0}, false, true, red},          {{0, 0, 1}, false, true, orange},
        {{0, -1}, false, false, red},     {{1, -1, 0}, true, true, red},
        {{-1}, true, false, 0},           {{0, 3}, false, false, red},  // 3 is materialCount
        {{1, 3, 1}, false, true, orange}, {{-7, 1000}, true, false, 0},
    };
    for (const Case& c : cases) {
        textures.ClearFaces();
        addScreenFaces(textures, c.materials);
        GLuint before = 0;
        glGenTextures(1, &before);
        glBindTexture(GL_TEXTURE_2D, before);
        c.enabledBefore ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        textures.Draw();
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), c.enabledAfter);
        EXPECT_EQ(boundTexture(), c.boundAfter != 0 ? c.boundAfter : before);
    }
    glDisable(GL_TEXTURE_2D);
}

// Faces set no colour, lines leave red (and texturing off), dots the last
// grey drawn. Every kind of primitive naming a vertex outside the array is
// passed over, colour and all (the sanitizer build catches any read
// outside).
TEST(MeshDraw, LinesLeaveRedDotsTheLastGreyAndBadIndicesArePassedOver)
{
    REQUIRE_GL();
    auto colour = [] {
        std::vector<float> c(4);
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    };
    Mesh mesh;
    addScreenFaces(mesh, {-1});
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    mesh.Draw();
    EXPECT_EQ(colour(), (std::vector<float>{0.25f, 0.5f, 0.75f, 0.5f}));
    setArray(mesh.lines, mesh.lineCount, mesh.lineCapacity, {MeshLine{0, 1}});
    glEnable(GL_TEXTURE_2D);
    mesh.Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(colour(), (std::vector<float>{1, 0, 0, 1}));
    setArray(mesh.dots, mesh.dotCount, mesh.dotCapacity, {MeshPoint{0, 0.75f}, MeshPoint{2, 0.25f}});
    mesh.Draw();
    EXPECT_EQ(colour(), (std::vector<float>{0.25f, 0.25f, 0.25f, 1}));

    mesh.AddFace(face(0, 1, 3));
    mesh.AddFace(face(-1, 1, 2));
    mesh.AddFace(face(0, INT32_MAX, 2));
    setArray(mesh.lines, mesh.lineCount, mesh.lineCapacity, {MeshLine{0, 3}, MeshLine{INT32_MIN, 1}, MeshLine{1, 2}});
    setArray(mesh.dots, mesh.dotCount, mesh.dotCapacity, {MeshPoint{1, 0.5f}, MeshPoint{3, 0.125f}, MeshPoint{-1, 0}});
    mesh.Draw();
    EXPECT_EQ(colour(), (std::vector<float>{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
