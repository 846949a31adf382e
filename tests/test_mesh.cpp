// Mesh: the growable arrays, the face normal and the state that drawing
// leaves in a real OpenGL context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "model/mesh.h"
#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/model_files.h"
#include "tests/support/texture_readback.h"

namespace {

MeshVertex vertexAt(float x, float y, float z)
{
    return MeshVertex{x, y, z, 0.0f, 0.0f, -1};
}

MeshFace faceOf(int32_t a, int32_t b, int32_t c, int32_t material = -1)
{
    return MeshFace{a, b, c, Vec3{7.0f, 7.0f, 7.0f}, material};
}

}  // namespace

TEST(Mesh, StartsEmptyWithUnitScale)
{
    Mesh mesh;
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.materials, nullptr);
    EXPECT_EQ(mesh.faceCount + mesh.lineCount + mesh.dotCount + mesh.materialCount + mesh.vertexCount, 0);
    EXPECT_EQ(mesh.faceCapacity + mesh.lineCapacity + mesh.dotCapacity + mesh.materialCapacity +
                  mesh.vertexCapacity,
              0);
    EXPECT_EQ(mesh.position.x, 0.0f);
    EXPECT_EQ(mesh.rotation.z, 0.0f);
    EXPECT_EQ(mesh.scale, 1.0f);
}

TEST(Mesh, VerticesGrowByOneAndClearKeepsStorageUntilSecondClear)
{
    Mesh mesh;
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(mesh.AddVertex(vertexAt(static_cast<float>(i), 0, 0)), i);
        EXPECT_EQ(mesh.vertexCount, i + 1);
        EXPECT_EQ(mesh.vertexCapacity, i + 1);  // one record at a time, never doubling
    }
    EXPECT_EQ(mesh.vertices[3].x, 3.0f);

    const MeshVertex* storage = mesh.vertices;
    mesh.ClearVertices();
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.vertexCapacity, 5);
    EXPECT_EQ(mesh.vertices, storage);
    EXPECT_EQ(mesh.AddVertex(vertexAt(9, 0, 0)), 0);
    EXPECT_EQ(mesh.vertices, storage);  // reused, not reallocated
    EXPECT_EQ(mesh.vertexCapacity, 5);

    mesh.ClearVertices();
    mesh.ClearVertices();
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.vertexCapacity, 0);
    EXPECT_EQ(mesh.AddVertex(vertexAt(1, 2, 3)), 0);
    EXPECT_EQ(mesh.vertexCapacity, 1);
    EXPECT_EQ(mesh.vertices[0].z, 3.0f);
}

TEST(Mesh, FacesClearLikeVertices)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddVertex(vertexAt(0, 1, 0));
    mesh.AddFace(faceOf(0, 1, 2));
    mesh.AddFace(faceOf(2, 1, 0));
    const MeshFace* storage = mesh.faces;
    mesh.ClearFaces();
    EXPECT_EQ(mesh.faceCount, 0);
    EXPECT_EQ(mesh.faceCapacity, 2);
    EXPECT_EQ(mesh.faces, storage);
    mesh.ClearFaces();
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.faceCapacity, 0);
    mesh.ClearFaces();  // clearing an array without storage changes nothing
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.vertexCount, 3);  // the vertices are not touched
}

TEST(Mesh, AddFaceComputesTheUnnormalisedNormal)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddVertex(vertexAt(0, 1, 0));
    mesh.AddVertex(vertexAt(2, 0, 0));
    mesh.AddVertex(vertexAt(0, 2, 0));
    mesh.AddFace(faceOf(0, 1, 2, 3));
    mesh.AddFace(faceOf(0, 3, 4));
    mesh.AddFace(faceOf(0, 2, 1));  // clockwise seen from +z
    ASSERT_EQ(mesh.faceCount, 3);
    EXPECT_EQ(mesh.faces[0].a, 0);
    EXPECT_EQ(mesh.faces[0].c, 2);
    EXPECT_EQ(mesh.faces[0].material, 3);
    EXPECT_EQ(mesh.faces[0].normal.x, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.y, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.z, 1.0f);
    EXPECT_EQ(mesh.faces[1].normal.z, 4.0f);
    EXPECT_EQ(mesh.faces[2].normal.z, -1.0f);

    // A general triangle: (Q - P) x (R - P).
    Mesh other;
    other.AddVertex(vertexAt(1, 2, 3));
    other.AddVertex(vertexAt(4, 0, -1));
    other.AddVertex(vertexAt(-2, 5, 2));
    other.AddFace(faceOf(0, 1, 2));
    // Q - P = (3, -2, -4), R - P = (-3, 3, -1)
    EXPECT_EQ(other.faces[0].normal.x, (-2.0f) * (-1.0f) - (-4.0f) * 3.0f);
    EXPECT_EQ(other.faces[0].normal.y, (-4.0f) * (-3.0f) - 3.0f * (-1.0f));
    EXPECT_EQ(other.faces[0].normal.z, 3.0f * 3.0f - (-2.0f) * (-3.0f));
}

TEST(Mesh, AddFaceWithCornersOutsideTheVerticesKeepsAZeroNormal)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddFace(faceOf(0, 1, 2));
    mesh.AddFace(faceOf(-1, 0, 1));
    ASSERT_EQ(mesh.faceCount, 2);
    EXPECT_EQ(mesh.faces[0].c, 2);
    EXPECT_EQ(mesh.faces[0].normal.x, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.y, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.z, 0.0f);
    EXPECT_EQ(mesh.faces[1].normal.z, 0.0f);
}

TEST(Mesh, SettersStoreTheirValues)
{
    Mesh mesh;
    mesh.SetPosition(1, 2, 3);
    mesh.SetRotation(10, 20, 30);
    mesh.SetScale(0.5f);
    EXPECT_EQ(mesh.position.y, 2.0f);
    EXPECT_EQ(mesh.rotation.z, 30.0f);
    EXPECT_EQ(mesh.scale, 0.5f);
}

// --- drawing, in a real OpenGL context -----------------------------------------

namespace {

#define REQUIRE_GL()                                        \
    if (!testGlContext()) {                                 \
        GTEST_SKIP() << "no display for an OpenGL context"; \
    }

struct Matrix {
    float m[16];
    // The matrix applied to the point (x, y, z, 1); column-major as OpenGL.
    Vec3 apply(float x, float y, float z) const
    {
        return Vec3{m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                    m[2] * x + m[6] * y + m[10] * z + m[14]};
    }
};

Matrix currentMatrix(GLenum which)
{
    Matrix matrix;
    glGetFloatv(which, matrix.m);
    return matrix;
}

void expectPoint(const Vec3& p, float x, float y, float z)
{
    EXPECT_NEAR(p.x, x, 1e-5f);
    EXPECT_NEAR(p.y, y, 1e-5f);
    EXPECT_NEAR(p.z, z, 1e-5f);
}

struct Colour {
    float r, g, b, a;
};

Colour currentColour()
{
    Colour c;
    glGetFloatv(GL_CURRENT_COLOR, &c.r);
    return c;
}

bool texturing()
{
    return glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
}

uint32_t boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<uint32_t>(name);
}

// A one-colour 4 x 4 bitmap in the scratch folder.
std::string plainBitmap(const std::string& name, uint8_t blue, uint8_t green, uint8_t red)
{
    Bytes rows;
    for (int i = 0; i < 4; ++i) {
        const Bytes row = bmpRow(4, blue, green, red);
        rows.insert(rows.end(), row.begin(), row.end());
    }
    const std::string path = scratchPath(name);
    writeFile(path, bmpFile(4, 4, rows));
    return path;
}

// A mesh with one triangle over the whole viewport for each material given.
void addScreenFaces(Mesh& mesh, std::initializer_list<int32_t> materials)
{
    const int32_t first = mesh.AddVertex(MeshVertex{-1, -1, 0, 0.5f, 0.5f, -1});
    mesh.AddVertex(MeshVertex{3, -1, 0, 0.5f, 0.5f, -1});
    mesh.AddVertex(MeshVertex{-1, 3, 0, 0.5f, 0.5f, -1});
    for (int32_t material : materials) {
        mesh.AddFace(MeshFace{first, first + 1, first + 2, Vec3{0, 0, 0}, material});
    }
}

uint32_t centrePixel()
{
    uint8_t rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(TEST_GL_WIDTH / 2, TEST_GL_HEIGHT / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
}

}  // namespace

TEST(MeshDraw, ReplacesTheModelViewMatrixWithItsTransform)
{
    REQUIRE_GL();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5, 5, -5, 5, -5, 5);
    const Matrix projection = currentMatrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 4, 5);
    glMatrixMode(GL_PROJECTION);

    Mesh empty;
    empty.Draw();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expectPoint(currentMatrix(GL_MODELVIEW_MATRIX).apply(1, 2, 3), 1, 2, 3);
    EXPECT_EQ(std::memcmp(currentMatrix(GL_PROJECTION_MATRIX).m, projection.m, sizeof projection.m), 0);

    // The position is not scaled.
    Mesh mesh;
    mesh.SetScale(2);
    mesh.SetPosition(10, 0, 0);
    mesh.Draw();
    const Matrix scaled = currentMatrix(GL_MODELVIEW_MATRIX);
    expectPoint(scaled.apply(0, 0, 0), 10, 0, 0);
    expectPoint(scaled.apply(1, 0, 0), 12, 0, 0);

    // Turned first about z, then y, then x.
    mesh.SetScale(1);
    mesh.SetPosition(0, 0, 0);
    mesh.SetRotation(0, 0, 90);
    mesh.Draw();
    expectPoint(currentMatrix(GL_MODELVIEW_MATRIX).apply(1, 0, 0), 0, 1, 0);
    mesh.SetRotation(90, 90, 0);
    mesh.Draw();
    expectPoint(currentMatrix(GL_MODELVIEW_MATRIX).apply(1, 0, 0), 0, 1, 0);
    mesh.SetRotation(90, 0, 90);
    mesh.Draw();
    expectPoint(currentMatrix(GL_MODELVIEW_MATRIX).apply(1, 0, 0), 0, 0, 1);

    mesh.SetRotation(0, 90, 0);
    mesh.SetScale(0.5f);
    mesh.SetPosition(1, 2, 3);
    mesh.Draw();
    expectPoint(currentMatrix(GL_MODELVIEW_MATRIX).apply(2, 0, 0), 1, 2, 2);
}

TEST(MeshDraw, TextureStateFollowsTheFacesMaterials)
{
    REQUIRE_GL();
    Mesh mesh;
    EXPECT_EQ(mesh.AddTexture(plainBitmap("red.bmp", 0, 0, 255).c_str(), 0), 0);
    EXPECT_EQ(mesh.AddTexture(plainBitmap("green.bmp", 0, 255, 0).c_str(), 1), 1);
    const uint32_t red = mesh.materials[0].texture;
    const uint32_t green = mesh.materials[1].texture;
    ASSERT_NE(red, green);

    struct Case {
        std::initializer_list<int32_t> materials;
        bool enabledBefore;
        bool enabledAfter;
        uint32_t boundAfter;  // 0: whatever was bound before
    };
    const Case cases[] = {
        {{0}, false, true, red},
        {{0, 0, 1}, false, true, green},
        {{0, -1}, false, false, red},      // disabling leaves the binding
        {{1, -1, 0}, true, true, red},
        {{-1}, true, false, 0},
        {{0, 2}, false, false, red},       // 2 == materialCount: untextured
        {{1, 2, 1}, false, true, green},
        {{-7, 1000}, true, false, 0},
    };
    for (const Case& c : cases) {
        // The same two materials in a mesh of their own.
        Mesh faces;
        faces.materials = static_cast<MeshMaterial*>(std::malloc(2 * sizeof(MeshMaterial)));
        std::memcpy(faces.materials, mesh.materials, 2 * sizeof(MeshMaterial));
        faces.materialCount = faces.materialCapacity = 2;
        addScreenFaces(faces, c.materials);
        GLuint other = 0;
        glGenTextures(1, &other);
        glBindTexture(GL_TEXTURE_2D, other);
        if (c.enabledBefore) {
            glEnable(GL_TEXTURE_2D);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        faces.Draw();
        EXPECT_EQ(texturing(), c.enabledAfter);
        EXPECT_EQ(boundTexture(), c.boundAfter != 0 ? c.boundAfter : other);
    }
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(MeshDraw, FacesShowTheirTextureModulatedByTheCurrentColour)
{
    REQUIRE_GL();
    glViewport(0, 0, TEST_GL_WIDTH, TEST_GL_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);

    Mesh mesh;
    mesh.AddTexture(plainBitmap("orange.bmp", 0, 128, 255).c_str(), 0);
    addScreenFaces(mesh, {0});
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    mesh.Draw();
    glFinish();
    EXPECT_EQ(centrePixel(), 0xFF8000u);

    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 1, 1);
    mesh.Draw();
    glFinish();
    EXPECT_EQ(centrePixel(), 0x008000u);

    Mesh plain;
    addScreenFaces(plain, {-1});
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 0, 1);
    plain.Draw();
    glFinish();
    EXPECT_EQ(centrePixel(), 0x0000FFu);
}

TEST(MeshDraw, LinesLeaveRedAndDotsTheLastGrey)
{
    REQUIRE_GL();
    Mesh faces;
    addScreenFaces(faces, {-1});
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    faces.Draw();
    Colour c = currentColour();
    EXPECT_EQ(c.r, 0.25f);  // faces set no colour
    EXPECT_EQ(c.a, 0.5f);

    Mesh lines;
    lines.AddTexture(plainBitmap("lines.bmp", 1, 2, 3).c_str(), 0);
    addScreenFaces(lines, {0});
    lines.lines = static_cast<MeshLine*>(std::malloc(sizeof(MeshLine)));
    lines.lines[0] = MeshLine{0, 1};
    lines.lineCount = lines.lineCapacity = 1;
    lines.Draw();
    c = currentColour();
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_EQ(c.b, 0.0f);
    EXPECT_FALSE(texturing());

    lines.dots = static_cast<MeshPoint*>(std::malloc(2 * sizeof(MeshPoint)));
    lines.dots[0] = MeshPoint{0, 0.75f};
    lines.dots[1] = MeshPoint{2, 0.25f};
    lines.dotCount = lines.dotCapacity = 2;
    glColor4f(0, 0, 0, 0);
    lines.Draw();
    c = currentColour();
    EXPECT_EQ(c.r, 0.25f);
    EXPECT_EQ(c.g, 0.25f);
    EXPECT_EQ(c.b, 0.25f);
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_FALSE(texturing());
}

TEST(MeshDraw, PrimitivesNamingVerticesOutsideTheArrayArePassedOver)
{
    REQUIRE_GL();
    Mesh mesh;
    mesh.AddTexture(plainBitmap("bad.bmp", 9, 9, 9).c_str(), 0);
    addScreenFaces(mesh, {0});
    mesh.AddFace(MeshFace{0, 1, 3, Vec3{0, 0, 0}, -1});
    mesh.AddFace(MeshFace{-1, 1, 2, Vec3{0, 0, 0}, -1});
    mesh.AddFace(MeshFace{0, INT32_MAX, 2, Vec3{0, 0, 0}, -1});
    mesh.lines = static_cast<MeshLine*>(std::malloc(3 * sizeof(MeshLine)));
    mesh.lines[0] = MeshLine{0, 3};
    mesh.lines[1] = MeshLine{INT32_MIN, 1};
    mesh.lines[2] = MeshLine{1, 2};
    mesh.lineCount = mesh.lineCapacity = 3;
    mesh.dots = static_cast<MeshPoint*>(std::malloc(3 * sizeof(MeshPoint)));
    mesh.dots[0] = MeshPoint{1, 0.5f};
    mesh.dots[1] = MeshPoint{3, 0.125f};
    mesh.dots[2] = MeshPoint{-1, 0.25f};
    mesh.dotCount = mesh.dotCapacity = 3;
    glDisable(GL_TEXTURE_2D);
    mesh.Draw();
    EXPECT_EQ(currentColour().r, 0.5f);  // the last dot that could be drawn

    // The skipped untextured faces don't switch texturing off.
    mesh.lineCount = 0;
    mesh.dotCount = 0;
    mesh.Draw();
    EXPECT_TRUE(texturing());
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(MeshAddTexture, AppendsAMaterialWithItsNewTexture)
{
    REQUIRE_GL();
    WorkingDirectory scratchAsWorkingDirectory(scratchDir());
    Mesh mesh;
    plainBitmap("material.bmp", 0, 0, 255);
    const std::string path = "material.bmp";
    EXPECT_EQ(mesh.AddTexture(path.c_str(), 7), 0);
    ASSERT_EQ(mesh.materialCount, 1);
    EXPECT_EQ(mesh.materialCapacity, 1);
    EXPECT_STREQ(mesh.materials[0].name, path.c_str());
    EXPECT_EQ(mesh.materials[0].mipmaps, 7);
    EXPECT_EQ(mesh.materials[0].texture, boundTexture());
    EXPECT_EQ(textureParameter(mesh.materials[0].texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(readTexture(mesh.materials[0].texture).at(1, 1), 0xFF0000u);

    // A name longer than the record holds is cut short there, and the
    // bitmap is still read under its full name.
    const std::string longName = std::string(50, 'n') + ".bmp";
    plainBitmap(longName, 255, 0, 0);
    EXPECT_EQ(mesh.AddTexture(longName.c_str(), 0), 1);
    EXPECT_EQ(std::strlen(mesh.materials[1].name), 39u);
    EXPECT_EQ(std::strncmp(mesh.materials[1].name, longName.c_str(), 39), 0);
    EXPECT_EQ(readTexture(mesh.materials[1].texture).at(0, 0), 0x0000FFu);
}
