// Drawing a frame: where the camera stands and looks, the light set under
// the previous frame's model-view matrix, the flash and tornado thresholds,
// billboards that face the camera, and a frame that changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/main_loop.h"
#include "app/render.h"
#include "app/scene_reset.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/gl.h"
#include "scene/scene_state.h"
#include "tests/support/gl_checks.h"

namespace {

using Matrix = std::vector<float>;  // column-major, as OpenGL gives it

Matrix matrix(GLenum which)
{
    Matrix m(16);
    glGetFloatv(which, m.data());
    return m;
}

// m * v for a column vector of four.
std::vector<float> times(const Matrix& m, const std::vector<float>& v)
{
    std::vector<float> out(4, 0.0f);
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            out[row] += m[4 * k + row] * v[k];
    return out;
}

float dot3(const float* a, const float* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The camera a projection matrix holds, when it is a perspective times a
// turn and a move: where the eye is in the world, how far down it looks
// (degrees), its field of view (degrees), aspect ratio and clipping planes.
struct Camera {
    float eye[3], down, fov, aspect, nearPlane, farPlane;
    float forward[3];  // the direction it looks, of unit length
};

Camera cameraOf(const Matrix& p)
{
    float row[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            row[r][c] = p[4 * c + r];
    // Rows 0, 1 and 3 are the turn's rows scaled by the perspective (row 3
    // the negated view axis); row 2 mixes the view axis and the depth range.
    const float sx = std::sqrt(dot3(row[0], row[0])), sy = std::sqrt(dot3(row[1], row[1]));
    const float axes[3][3] = {{row[0][0] / sx, row[0][1] / sx, row[0][2] / sx},
                              {row[1][0] / sy, row[1][1] / sy, row[1][2] / sy},
                              {-row[3][0], -row[3][1], -row[3][2]}};
    const float move[3] = {row[0][3] / sx, row[1][3] / sy, -row[3][3]};
    Camera camera;
    for (int i = 0; i < 3; ++i) {
        camera.eye[i] = -(axes[0][i] * move[0] + axes[1][i] * move[1] + axes[2][i] * move[2]);
        camera.forward[i] = -axes[2][i];
    }
    camera.down = -std::asin(camera.forward[1]) * 57.29578f;
    camera.fov = 2.0f * std::atan(1.0f / sy) * 57.29578f;
    camera.aspect = sy / sx;
    const float a = dot3(row[2], axes[2]), b = row[2][3] - a * move[2];  // (f+n)/(n-f), 2fn/(n-f)
    camera.nearPlane = b / (a - 1.0f);
    camera.farPlane = b / (a + 1.0f);
    return camera;
}

// The model's x axis as the camera shows it: level on the screen and at
// one depth, as a billboard's edges are.
bool facesTheCamera(const Matrix& projection, const Matrix& modelView)
{
    const std::vector<float> across = times(projection, times(modelView, {1, 0, 0, 0}));
    return std::fabs(across[0]) > 0.1f && std::fabs(across[1]) < 1e-4f && std::fabs(across[3]) < 1e-4f;
}

// Where the last draw put the model's origin.
std::vector<float> lastOrigin()
{
    const std::vector<float> p = times(matrix(GL_MODELVIEW_MATRIX), {0, 0, 0, 1});
    return {p[0], p[1], p[2]};
}

// Light 0's position or spot direction (three numbers).
std::vector<float> light(GLenum what)
{
    float value[4] = {0, 0, 0, 0};
    glGetLightfv(GL_LIGHT0, what, value);
    return std::vector<float>(value, value + (what == GL_SPOT_DIRECTION ? 3 : 4));
}

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL();
        [[maybe_unused]] static const bool ready = (waterInit(), waterUpdate(0.0f), true);
        resetSceneState();
    }
};

}  // namespace

// The camera stands above the turned scene and looks down at its axis; as
// the tornado shows, it comes down, steps back and looks up level.
TEST_F(Render, TheCameraLooksDownAtTheTurnedSceneAndPullsBackForTheTornado)
{
    const struct {
        float visibility, yaw, eye[3], down;
    } cases[] = {
        {0.0f, 0.0f, {0, 175, 200}, 40},
        {0.0f, 90.0f, {-200, 175, 0}, 40},
        {0.2f, 0.0f, {0, 55, 220}, 8},
    };
    for (const auto& c : cases) {
        tornado.visibility = c.visibility;
        FrameView view;
        view.cameraYaw = c.yaw;
        scene.yaw = c.yaw + 7.0f;  // the turn after this frame's is not the camera's
        renderFrame(view, nullptr);
        const Camera camera = cameraOf(matrix(GL_PROJECTION_MATRIX));
        EXPECT_TRUE(closeTo({camera.eye[0], camera.eye[1], camera.eye[2], camera.down},
                            {c.eye[0], c.eye[1], c.eye[2], c.down}, 1e-2f))
            << "visibility " << c.visibility << ", yaw " << c.yaw;
        // Seen from above, it looks toward the scene's axis.
        const float toAxis = -(camera.forward[0] * c.eye[0] + camera.forward[2] * c.eye[2]);
        EXPECT_GT(toAxis, 0.0f);
        EXPECT_NEAR(std::fabs(camera.forward[0] * c.eye[2] - camera.forward[2] * c.eye[0]), 0.0f, 1e-2f);
        EXPECT_TRUE(closeTo({camera.fov, camera.aspect, camera.nearPlane, camera.farPlane}, {30, 1, 100, 2000}, 0.5f));
    }
}

// The light goes through whatever model-view matrix the frame before left:
// the frame-rate text's identity, or the top water sheet's. Unflashed it
// stands above the scene and shines down into it; the flash is a bluish
// white light from straight above that fades with it.
TEST_F(Render, TheLightFollowsThePreviousFramesLastDrawAndTheFlash)
{
    FrameView plain, overlay;
    overlay.showFrameRate = true;
    lightning.flashIntensity = 0.01f;  // not a flash yet
    renderFrame(plain, nullptr);
    const Matrix sheet = matrix(GL_MODELVIEW_MATRIX);
    renderFrame(overlay, nullptr);
    const std::vector<float> underSheet = light(GL_POSITION);
    renderFrame(plain, nullptr);
    const std::vector<float> own = light(GL_POSITION), down = light(GL_SPOT_DIRECTION);
    EXPECT_TRUE(closeTo(underSheet, times(sheet, own), 1e-4f));
    EXPECT_NE(underSheet, own);
    EXPECT_TRUE(own[3] != 0.0f && own[1] / own[3] > 0.0f && down[1] < 0.0f) << "a lamp above, shining down";
    EXPECT_GT(-(down[0] * own[0] + down[2] * own[2]), 0.0f) << "toward the scene";
    const std::vector<float> grey = light(GL_SPECULAR);
    EXPECT_TRUE(grey[0] == grey[1] && grey[1] == grey[2]);
    std::vector<float> modelAmbient(4);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, modelAmbient.data());
    EXPECT_EQ(modelAmbient, light(GL_AMBIENT));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && !glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_BLEND));  // only the room is lit

    std::vector<std::vector<float>> speculars;
    for (float f : {1.0f, 0.5f}) {
        lightning.flashIntensity = f;
        renderFrame(overlay, nullptr);  // under the identity
        renderFrame(overlay, nullptr);
        const std::vector<float> above = light(GL_POSITION), beam = light(GL_SPOT_DIRECTION);
        EXPECT_TRUE(above[0] == 0 && above[1] > 0 && above[2] == 0 && above[3] == 0) << f;
        EXPECT_TRUE(beam[0] == 0 && beam[1] < 0 && beam[2] == 0) << f;
        speculars.push_back(light(GL_SPECULAR));
    }
    const std::vector<float>&full = speculars[0], &half = speculars[1];
    EXPECT_TRUE(full[2] == 1.0f && half[2] == 1.0f && full[0] == full[1] && full[0] < 1.0f && full[3] == 1.0f);
    EXPECT_TRUE(closeTo(half, {full[0] / 2, full[1] / 2, 1.0f, 0.5f}, 1e-6f));
}

// With nothing glowing the last draw is the top sheet, at the sea level;
// the bolt is drawn only above 0.01 of flash, the tornado above 0.05 of
// visibility. The tornado's quads and the fire's puffs face a camera turned
// by the frame's new turn, which advanceScene() hands over with the old.
TEST_F(Render, GlowingThingsShowAboveTheirThresholdsAndBillboardsFaceTheCamera)
{
    FrameView view;
    const std::vector<float> sea = {0.0f, scene.seaLevel, 0.0f}, origin = {0, 0, 0};
    const struct {
        float flash, visibility;
        std::vector<float> lastOrigin;
    } cases[] = {{0.01f, 0.05f, sea}, {0.0101f, 0.0f, origin}, {0.0f, 0.0501f, origin}};
    for (const auto& c : cases) {
        lightning.flashIntensity = c.flash;
        tornado.visibility = c.visibility;
        renderFrame(view, nullptr);
        EXPECT_TRUE(closeTo(lastOrigin(), c.lastOrigin, 1e-4f)) << c.flash << " " << c.visibility;
    }

    lightning.flashIntensity = 0.0f;
    tornado.visibility = 0.2f;
    for (float yaw : {20.0f, 200.0f}) {
        view.cameraYaw = view.billboardYaw = yaw;
        scene.yaw = yaw + 45.0f;
        renderFrame(view, nullptr);
        EXPECT_TRUE(facesTheCamera(matrix(GL_PROJECTION_MATRIX), matrix(GL_MODELVIEW_MATRIX))) << yaw;
    }
    const Matrix turnedOn = matrix(GL_PROJECTION_MATRIX);
    view.cameraYaw = 190.0f;  // the camera lags a frame's turn behind
    renderFrame(view, nullptr);
    EXPECT_TRUE(facesTheCamera(turnedOn, matrix(GL_MODELVIEW_MATRIX)));
    EXPECT_FALSE(facesTheCamera(matrix(GL_PROJECTION_MATRIX), matrix(GL_MODELVIEW_MATRIX)));

    tornado.visibility = 0.0f;
    fire.puffs[0] = Vec3{3.0f, 4.0f, -5.0f};
    view.cameraYaw = view.billboardYaw;
    view.fireEnd = 1;
    renderFrame(view, nullptr);
    EXPECT_TRUE(closeTo(lastOrigin(), {3.0f, 4.0f, -5.0f}, 1e-4f));
    EXPECT_TRUE(facesTheCamera(matrix(GL_PROJECTION_MATRIX), matrix(GL_MODELVIEW_MATRIX)));

    scene.yaw = 10.0f;
    const FrameView next = advanceScene(0.5f, 0);
    EXPECT_TRUE(next.cameraYaw == 10.0f && next.billboardYaw == scene.yaw && scene.yaw > 10.0f);
}

// Drawing reads: everything glowing at once, the scene, the effects' state
// and the meshes' vertices are as they were.
TEST_F(Render, AFrameChangesNothingItDraws)
{
    lightning.flashIntensity = 0.5f;
    tornado.visibility = 0.2f;
    fire.end = FIRE_SLOTS;
    scene.yaw = 33.0f;
    const SceneState sceneBefore = scene;
    const Fire fireBefore = fire;
    const Tornado tornadoBefore = tornado;
    const std::vector<MeshVertex> waterBefore(meshes.water.vertices, meshes.water.vertices + meshes.water.vertexCount);
    FrameView view;
    view.fireEnd = FIRE_SLOTS;
    renderFrame(view, nullptr);
    EXPECT_EQ(std::memcmp(&sceneBefore, &scene, sizeof scene), 0);
    EXPECT_EQ(std::memcmp(&fireBefore, &fire, sizeof fire), 0);
    EXPECT_EQ(std::memcmp(&tornadoBefore, &tornado, sizeof tornado), 0);
    EXPECT_EQ(lightning.flashIntensity, 0.5f);
    EXPECT_EQ(std::memcmp(waterBefore.data(), meshes.water.vertices, waterBefore.size() * sizeof(MeshVertex)), 0);
}
