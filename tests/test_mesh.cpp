// Mesh: its arrays' storage, and the OpenGL state that drawing really
// leaves in a context.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

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

// A 4 x 2 bitmap of one colour, in the working directory.
const char* plainBitmap(const char* name, uint8_t blue, uint8_t green, uint8_t red)
{
    writeModelBytes(name, bmpFile(4, 2, bmpRows(4, 2, blue, green, red)));
    return name;
}

void expectColour(float r, float g, float b, float a)
{
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_TRUE(c[0] == r && c[1] == g && c[2] == b && c[3] == a)
        << "colour (" << c[0] << ", " << c[1] << ", " << c[2] << ", " << c[3] << ")";
}

void expectModelView(float x, float y, float z, float ex, float ey, float ez)
{
    float p[3];
    modelViewApply(x, y, z, p);
    EXPECT_TRUE(std::fabs(p[0] - ex) < 1e-5f && std::fabs(p[1] - ey) < 1e-5f && std::fabs(p[2] - ez) < 1e-5f)
        << "(" << x << ", " << y << ", " << z << ") drawn at (" << p[0] << ", " << p[1] << ", " << p[2] << ")";
}

}  // namespace

// An append returns the new index and grows the storage by one; a clear
// keeps the storage, and a second clear in a row gives it back.
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
    // A face's normal is (P - Q) x (P - R), unnormalised; a corner that is
    // not a vertex leaves it zero.
    mesh.AddVertex(at(0, 0, 0));
    mesh.AddVertex(at(1, 0, 0));
    mesh.AddVertex(at(0, 2, 0));
    mesh.AddFace(face(0, 1, 2));
    mesh.AddFace(face(0, 1, 3));
    EXPECT_TRUE(mesh.faces[0].normal.x == 0 && mesh.faces[0].normal.y == 0 && mesh.faces[0].normal.z == 2);
    EXPECT_EQ(mesh.faces[1].normal.z, 0);
}

TEST(MeshDraw, ReplacesTheModelViewMatrixWithItsTransform)
{
    REQUIRE_GL();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3, 4, 5);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    Mesh mesh;
    mesh.Draw();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expectModelView(1, 2, 3, 1, 2, 3);

    mesh.SetScale(2);
    mesh.SetPosition(10, 0, 0);  // the position is not scaled
    mesh.Draw();
    expectModelView(0, 0, 0, 10, 0, 0);
    expectModelView(1, 0, 0, 12, 0, 0);

    // Turned first about z, then y, then x.
    const float turns[][3] = {{0, 0, 90}, {90, 90, 0}, {90, 0, 90}};
    const float results[][3] = {{0, 1, 0}, {0, 1, 0}, {0, 0, 1}};
    mesh.SetScale(1);
    mesh.SetPosition(0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        mesh.SetRotation(turns[i][0], turns[i][1], turns[i][2]);
        mesh.Draw();
        expectModelView(1, 0, 0, results[i][0], results[i][1], results[i][2]);
    }
}

// AddTexture appends a material with its new texture; drawing enables and
// binds each face's texture (none for a material out of range) and leaves
// the last face's state.
TEST(MeshDraw, TexturingFollowsTheFacesMaterials)
{
    REQUIRE_GL();
    ModelWorkingDirectory scratch(modelScratchPath(""));
    Mesh textures;
    EXPECT_EQ(textures.AddTexture(plainBitmap("red.bmp", 0, 0, 255), 7), 0);
    EXPECT_EQ(textures.AddTexture(plainBitmap("orange.bmp", 0, 128, 255), 0), 1);
    ASSERT_EQ(textures.materialCapacity, 2);
    const uint32_t red = textures.materials[0].texture;
    const uint32_t orange = textures.materials[1].texture;
    EXPECT_EQ(orange, boundTexture());
    EXPECT_STREQ(textures.materials[0].name, "red.bmp");
    EXPECT_EQ(textures.materials[0].mipmaps, 7);
    EXPECT_EQ(textureParameter(red, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(readTexture(red).at(1, 1), 0xFF0000u);
    // A name too long for the record is cut short there; the bitmap is
    // still read under its full name.
    const std::string longName = std::string(50, 'n') + ".bmp";
    EXPECT_EQ(textures.AddTexture(plainBitmap(longName.c_str(), 255, 0, 0), 0), 2);
    EXPECT_EQ(std::string(textures.materials[2].name), longName.substr(0, 39));
    EXPECT_EQ(readTexture(textures.materials[2].texture).at(0, 0), 0x0000FFu);

    struct Case {
        std::initializer_list<int32_t> materials;
        bool enabledBefore, enabledAfter;
        uint32_t boundAfter;  // 0: whatever was bound before
    };
    const Case cases[] = {
        {{0}, false, true, red},          {{0, 0, 1}, false, true, orange},
        {{0, -1}, false, false, red},     {{1, -1, 0}, true, true, red},
        {{-1}, true, false, 0},           {{0, 2}, false, false, red},  // 2 is materialCount
        {{1, 2, 1}, false, true, orange}, {{-7, 1000}, true, false, 0},
    };
    for (const Case& c : cases) {
        Mesh mesh;
        setArray(mesh.materials, mesh.materialCount, mesh.materialCapacity,
                 {textures.materials[0], textures.materials[1]});
        addScreenFaces(mesh, c.materials);
        GLuint before = 0;
        glGenTextures(1, &before);
        glBindTexture(GL_TEXTURE_2D, before);
        c.enabledBefore ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        mesh.Draw();
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), c.enabledAfter);
        EXPECT_EQ(boundTexture(), c.boundAfter != 0 ? c.boundAfter : before);
    }

    glDisable(GL_TEXTURE_2D);
}

TEST(MeshDraw, LinesLeaveRedDotsTheLastGreyAndBadIndicesArePassedOver)
{
    REQUIRE_GL();
    Mesh mesh;
    addScreenFaces(mesh, {-1});
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    mesh.Draw();
    expectColour(0.25f, 0.5f, 0.75f, 0.5f);  // faces set no colour

    setArray(mesh.lines, mesh.lineCount, mesh.lineCapacity, {MeshLine{0, 1}});
    glEnable(GL_TEXTURE_2D);
    mesh.Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    expectColour(1, 0, 0, 1);

    setArray(mesh.dots, mesh.dotCount, mesh.dotCapacity, {MeshPoint{0, 0.75f}, MeshPoint{2, 0.25f}});
    mesh.Draw();
    expectColour(0.25f, 0.25f, 0.25f, 1);

    // Every kind of primitive naming a vertex outside the array is passed
    // over, colour and all (the sanitizer build catches any read outside).
    mesh.AddFace(face(0, 1, 3));
    mesh.AddFace(face(-1, 1, 2));
    mesh.AddFace(face(0, INT32_MAX, 2));
    setArray(mesh.lines, mesh.lineCount, mesh.lineCapacity, {MeshLine{0, 3}, MeshLine{INT32_MIN, 1}, MeshLine{1, 2}});
    setArray(mesh.dots, mesh.dotCount, mesh.dotCapacity, {MeshPoint{1, 0.5f}, MeshPoint{3, 0.125f}, MeshPoint{-1, 0}});
    mesh.Draw();
    expectColour(0.5f, 0.5f, 0.5f, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
