// Mesh: its arrays' storage, and the OpenGL state that drawing really
// leaves in a context.
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "model/mesh.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

// A triangle over the whole viewport.
const std::vector<MeshVertex> screen = {{-1, -1, 0, 0, 0, -1}, {3, -1, 0, 0, 0, -1}, {-1, 3, 0, 0, 0, -1}};

}  // namespace

// An append returns the new index and grows the storage by one; a clear keeps
// it, a second clear in a row gives it back. A face's normal is (P - Q) x
// (P - R), unnormalised, and zero while a corner is not a vertex.
TEST(Mesh, ArraysAndFaceNormals)
{
    Mesh mesh;
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(mesh.AddVertex(screen[i]), i);
    mesh.ClearVertices();
    EXPECT_TRUE(mesh.vertexCount == 0 && mesh.vertexCapacity == 3 && mesh.vertices != nullptr);
    mesh.ClearVertices();
    EXPECT_TRUE(mesh.vertexCapacity == 0 && mesh.vertices == nullptr);
    for (const MeshVertex& v : std::vector<MeshVertex>{{0, 0, 1, 0, 0, -1}, {1, 0, 3, 0, 0, -1}, {2, 3, 1, 0, 0, -1}})
        mesh.AddVertex(v);
    mesh.AddFace(MeshFace{0, 1, 2, {}, -1});
    mesh.AddFace(MeshFace{0, 1, 3, {7, 7, 7}, -1});
    mesh.AddFace(MeshFace{3, 0, 1, {7, 7, 7}, -1});
    EXPECT_TRUE(mesh.faces[0].normal.x == -6 && mesh.faces[0].normal.y == 4 && mesh.faces[0].normal.z == 3);
    EXPECT_TRUE(mesh.faces[1].normal.z == 0 && mesh.faces[2].normal.z == 0);
}

// The model-view matrix is replaced (the translation before is gone),
// scaled (the position is not), and turned first about z, then y, then x;
// a transform left as it starts draws the model where it stands.
TEST(MeshDraw, ReplacesTheModelViewMatrixWithItsTransform)
{
    REQUIRE_GL();
    const MeshTransform inPlace;
    const struct {
        MeshTransform transform;
        float point[3], drawn[3];
    } cases[] = {
        {{{10, 0, 0}, {0, 0, 0}, 2}, {1, 0, 0}, {12, 0, 0}},   {{{0, 0, 0}, {0, 0, 90}, 1}, {1, 0, 0}, {0, 1, 0}},
        {{{0, 0, 0}, {90, 90, 0}, 1}, {1, 0, 0}, {0, 1, 0}},   {{{0, 0, 0}, {90, 0, 90}, 1}, {1, 0, 0}, {0, 0, 1}},
        {{{0, 4, 0}, {0, 90, 0}, 0.5f}, {0, 0, 2}, {1, 4, 0}}, {inPlace, {1, 2, 3}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(3, 4, 5);
        glMatrixMode(GL_PROJECTION);  // drawing sets the mode itself
        const Mesh mesh;
        mesh.Draw(c.transform);
        float p[3];
        modelViewApply(c.point[0], c.point[1], c.point[2], p);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(p[i], c.drawn[i], 1e-5f) << i;
    }
}

// AddTexture appends a material with its new texture, its name cut to fit but
// the bitmap read under the full name. Drawing enables and binds each face's
// texture (none for a material out of range), leaving the last face's state.
TEST(MeshDraw, TexturingFollowsTheFacesMaterials)
{
    REQUIRE_GL();
    std::filesystem::current_path(modelScratchPath(""));
    const std::string longName = std::string(50, 'n') + ".bmp";
    writeModelBytes("red.bmp", bmpFile(4, 2, bmpRows(4, {0xFF0000, 0xFF0000})));
    writeModelBytes("orange.bmp", bmpFile(4, 2, bmpRows(4, {0xFF8000, 0xFF8000})));
    writeModelBytes(longName, bmpFile(4, 2, bmpRows(4, {0x0000FF, 0x0000FF})));
    Mesh mesh;
    const std::vector<int32_t> indices = {mesh.AddTexture("red.bmp", 7), mesh.AddTexture("orange.bmp", 0),
                                          mesh.AddTexture(longName.c_str(), 0)};
    ASSERT_EQ(indices, (std::vector<int32_t>{0, 1, 2}));
    const uint32_t red = mesh.materials[0].texture, orange = mesh.materials[1].texture;
    EXPECT_TRUE(std::string(mesh.materials[0].name) == "red.bmp" && mesh.materials[0].mipmaps == 7);
    EXPECT_EQ(std::string(mesh.materials[2].name), longName.substr(0, 39));
    EXPECT_EQ(textureParameter(red, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(readTexture(mesh.materials[2].texture).at(0, 0), 0x0000FFu);

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
    for (const MeshVertex& v : screen)
        mesh.AddVertex(v);
    for (const Case& c : cases) {
        mesh.ClearFaces();
        for (int32_t material : c.materials)
            mesh.AddFace(MeshFace{0, 1, 2, {}, material});
        GLuint before = 0;
        glGenTextures(1, &before);
        glBindTexture(GL_TEXTURE_2D, before);
        c.enabledBefore ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        mesh.Draw(MeshTransform{});
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), c.enabledAfter);
        EXPECT_EQ(boundTexture(), c.boundAfter != 0 ? c.boundAfter : before);
    }
    glDisable(GL_TEXTURE_2D);
}

// Faces set no colour; lines and dots turn texturing off, lines leave red,
// dots (drawn after them) the last grey. Every kind of primitive naming a
// vertex outside the array is passed over, colour and all.
TEST(MeshDraw, LinesLeaveRedDotsTheLastGreyAndBadIndicesArePassedOver)
{
    REQUIRE_GL();
    const ModelBytes vertices = kmoChunk("vtx ", recordBytes(screen));
    const std::vector<MeshFace> records = {{0, 1, 2, {}, -1}, {0, 1, 3, {}, -1}, {-1, 1, 2, {}, -1}, {0, 9, 2, {}, -1}};
    const ModelBytes faces = kmoChunk("face", recordBytes(records));
    const ModelBytes line = kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 1}}));
    const ModelBytes dots = kmoChunk("dot ", recordBytes(std::vector<MeshPoint>{{0, 0.75f}, {2, 0.25f}}));
    const ModelBytes badLines = kmoChunk("line", recordBytes(std::vector<MeshLine>{{0, 3}, {INT32_MIN, 1}, {1, 2}}));
    const ModelBytes badDots = kmoChunk("dot ", recordBytes(std::vector<MeshPoint>{{1, 0.5f}, {3, 0.125f}, {-1, 0}}));
    const struct {
        std::vector<ModelBytes> chunks;
        std::vector<float> colour;
    } cases[] = {{{vertices, faces}, {0.25f, 0.5f, 0.75f, 0.5f}},
                 {{vertices, line}, {1, 0, 0, 1}},
                 {{vertices, dots}, {0.25f, 0.25f, 0.25f, 1}},
                 {{vertices, dots, line}, {0.25f, 0.25f, 0.25f, 1}},
                 {{vertices, faces, badLines, badDots}, {0.5f, 0.5f, 0.5f, 1}}};
    for (const auto& c : cases) {
        Mesh mesh;
        mesh.Load(writeModelBytes(modelScratchPath("lines.kmo"), kmoFile(c.chunks)).c_str());
        glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
        glEnable(GL_TEXTURE_2D);
        mesh.Draw(MeshTransform{});
        std::vector<float> colour(4);
        glGetFloatv(GL_CURRENT_COLOR, colour.data());
        EXPECT_EQ(colour, c.colour);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
