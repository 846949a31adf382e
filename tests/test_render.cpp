// Drawing a frame: the camera on the projection matrix, the light set under
// the previous frame's model-view matrix, the flash and tornado thresholds.
// The frame-rate overlay is told by a scene story.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/render.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/gl.h"
#include "platform/input.h"
#include "scene/scene_state.h"
#include "tests/support/gl_checks.h"

namespace {

// The projection the camera should leave, built with GL's own calls on the
// model-view stack: a perspective of 30 degrees from 100 to 2000, pitched
// down by `pitch`, moved by (0, y, z) and turned by the scene's yaw.
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

void expectProjection(const std::vector<float>& expected)
{
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(projection[i], expected[static_cast<size_t>(i)], 1e-4) << i;
}

class Render : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testGlContext())
            GTEST_SKIP() << "no display for an OpenGL context";
        static bool ready = false;
        if (!ready) {
            waterInit();
            waterUpdate(0.0f);
            glContextBuildFontListsOnce();
            ready = true;
        }
        inputUseScript(true);
        resetSceneState();
        tornadoMesh.SetRotation(0.0f, 0.0f, 0.0f);
        renderBeforeSwap = nullptr;
    }
    void TearDown() override
    {
        renderBeforeSwap = nullptr;
        inputScriptKey(KEY_F, false);
        getAsyncKeyState(KEY_F);
        inputUseScript(false);
    }
    static void glContextBuildFontListsOnce();
    static void light(GLenum what, float out[4]) { glGetLightfv(GL_LIGHT0, what, out); }
};

}  // namespace

#include "platform/glcontext.h"
void Render::glContextBuildFontListsOnce()
{
    glContextBuildFontLists(0, 256, 1000);
}

TEST_F(Render, CameraLivesOnTheProjectionMatrixAndTheSceneTurns)
{
    sceneYaw = 10.0f;
    renderFrame(0.5f);
    EXPECT_FLOAT_EQ(sceneYaw, 11.5f);  // 3 degrees per second
    expectProjection(cameraMatrix(40.0f, -175.0f, -200.0f, 10.0f));
    // With the tornado down the camera pulls back and levels out.
    tornadoVisibility = 0.2f;
    sceneYaw = 0.0f;
    renderFrame(0.0f);
    expectProjection(cameraMatrix(40.0f - 32.0f, 120.0f - 175.0f, -220.0f, 0.0f));
}

TEST_F(Render, LightIsSetUnderThePreviousFramesLastModelView)
{
    // Nothing glows, so the frame's last draw is the top water sheet, at
    // (0, seaLevel, 0); the next frame's light goes through that matrix.
    renderFrame(0.02f);
    renderFrame(0.02f);
    float position[4], direction[4], specular[4];
    light(GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], -220.0f);
    EXPECT_FLOAT_EQ(position[1], 200.0f + 0.9f * seaLevel);
    EXPECT_FLOAT_EQ(position[2], -220.0f);
    EXPECT_FLOAT_EQ(position[3], 0.9f);
    light(GL_SPOT_DIRECTION, direction);
    EXPECT_FLOAT_EQ(direction[1], -0.6f);
    light(GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(specular[3], 0.6f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));  // only the room is lit
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // After a frame with the overlay the model-view matrix is the identity.
    inputScriptKey(KEY_F, true);
    renderFrame(0.02f);
    inputScriptKey(KEY_F, false);
    getAsyncKeyState(KEY_F);
    renderFrame(0.02f);
    light(GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[1], 200.0f);
}

TEST_F(Render, FlashAndTornadoThresholdsAreStrict)
{
    float specular[4], position[4];
    flashIntensity = 0.01f;
    renderFrame(0.0f);
    light(GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(specular[0], 0.9f);
    EXPECT_FLOAT_EQ(specular[3], 0.6f);

    flashIntensity = 0.5f;
    renderFrame(0.0f);
    light(GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(specular[0], 0.45f);
    EXPECT_FLOAT_EQ(specular[2], 1.0f);
    EXPECT_FLOAT_EQ(specular[3], 0.5f);
    light(GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[3], 0.0f);  // a directional light from above
    flashIntensity = 0.0f;

    // The tornado is turned to face the camera only when it is drawn.
    tornadoVisibility = 0.05f;
    sceneYaw = 20.0f;
    renderFrame(0.0f);
    EXPECT_FLOAT_EQ(tornadoMesh.rotation.y, 0.0f);
    tornadoVisibility = 0.0501f;
    renderFrame(0.0f);
    EXPECT_FLOAT_EQ(tornadoMesh.rotation.y, -20.0f);
}
