// Drawing a frame: the camera on the projection matrix, the light set under
// the previous frame's model-view matrix, the flash and tornado thresholds.
#include <gtest/gtest.h>

#include <vector>

#include "app/render.h"
#include "app/scene_reset.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/gl.h"
#include "scene/scene_state.h"
#include "tests/support/gl_checks.h"

namespace {

// The camera's projection built on the model-view stack: 30 degrees, 100 to
// 2000, pitched down, moved by (0, y, z) and turned by the scene's yaw.
std::vector<float> cameraMatrix(float pitch, float y, float z, float yaw)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(30.0, 1.0, 100.0, 2000.0);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, y, z);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    return m;
}

std::vector<float> projection()
{
    std::vector<float> m(16);
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

// One of light 0's parameters (three numbers for its direction).
std::vector<float> light(GLenum what)
{
    float value[4];
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
        meshes.tornado.SetRotation(0.0f, 0.0f, 0.0f);
    }
};

}  // namespace

// Nothing glowing, a frame's last draw is the top water sheet, at
// (0, seaLevel, 0): the next frame's light goes through that matrix.
TEST_F(Render, CameraAndLightAndTheFlashAndTornadoThresholds)
{
    FrameView view;
    view.cameraYaw = 10.0f;  // the turn before this frame's
    scene.yaw = 11.5f;
    lightning.flashIntensity = 0.01f;
    renderFrame(view, nullptr);
    EXPECT_TRUE(closeTo(projection(), cameraMatrix(40.0f, -175.0f, -200.0f, 10.0f), 1e-4f));
    renderFrame(view, nullptr);
    EXPECT_TRUE(closeTo(light(GL_POSITION), {-220.0f, 200.0f + 0.9f * scene.seaLevel, -220.0f, 0.9f}, 1e-4f));
    EXPECT_TRUE(closeTo(light(GL_SPOT_DIRECTION), {0.3f, -0.6f, 0.3f}, 1e-6f));
    EXPECT_EQ(light(GL_SPECULAR), (std::vector<float>{0.9f, 0.9f, 0.9f, 0.6f}));
    EXPECT_EQ(light(GL_AMBIENT), (std::vector<float>{0.9f, 0.9f, 0.9f, 0.8f}));
    std::vector<float> modelAmbient(4);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, modelAmbient.data());
    EXPECT_EQ(modelAmbient, light(GL_AMBIENT));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && !glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_BLEND));  // only the room is lit
    lightning.flashIntensity = 0.5f;  // a light from straight above
    renderFrame(view, nullptr);
    EXPECT_EQ(light(GL_SPECULAR), (std::vector<float>{0.45f, 0.45f, 1.0f, 0.5f}));
    EXPECT_TRUE(closeTo(light(GL_POSITION), {0.0f, 50.0f, 0.0f, 0.0f}, 1e-4f));
    EXPECT_TRUE(closeTo(light(GL_SPOT_DIRECTION), {0.0f, -1.0f, 0.0f}, 1e-6f));

    lightning.flashIntensity = 0.0f;  // the tornado is turned to face the camera only when it is drawn
    tornado.visibility = 0.05f;
    scene.yaw = view.cameraYaw = 20.0f;
    renderFrame(view, nullptr);
    EXPECT_FLOAT_EQ(meshes.tornado.rotation.y, 0.0f);
    tornado.visibility = 0.0501f;
    renderFrame(view, nullptr);
    EXPECT_FLOAT_EQ(meshes.tornado.rotation.y, -20.0f);
    tornado.visibility = 0.2f;  // the camera pulls back and levels out
    renderFrame(view, nullptr);
    EXPECT_TRUE(closeTo(projection(), cameraMatrix(8.0f, -55.0f, -220.0f, 20.0f), 1e-4f));
}
