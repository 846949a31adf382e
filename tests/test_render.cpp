// Drawing a frame: the camera on the projection matrix, the light set under
// the previous frame's model-view matrix, the flash and tornado thresholds,
// the frame-rate overlay.
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
#include "tests/support/gl_checks.h"

namespace {

const double pi = 3.14159265358979323846;


// Column-major 4 x 4 matrices, as OpenGL keeps them.
struct Mat {
    double m[16];
};

Mat identity()
{
    Mat r = {};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0;
    return r;
}

Mat multiply(const Mat& a, const Mat& b)
{
    Mat r = {};
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++)
            for (int k = 0; k < 4; k++)
                r.m[col * 4 + row] += a.m[k * 4 + row] * b.m[col * 4 + k];
    return r;
}

Mat perspective(double fovy, double aspect, double zNear, double zFar)
{
    double f = 1.0 / std::tan(fovy * pi / 360.0);
    Mat r = {};
    r.m[0] = f / aspect;
    r.m[5] = f;
    r.m[10] = (zFar + zNear) / (zNear - zFar);
    r.m[11] = -1.0;
    r.m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return r;
}

Mat rotationX(double degrees)
{
    double c = std::cos(degrees * pi / 180.0), s = std::sin(degrees * pi / 180.0);
    Mat r = identity();
    r.m[5] = c;
    r.m[6] = s;
    r.m[9] = -s;
    r.m[10] = c;
    return r;
}

Mat rotationY(double degrees)
{
    double c = std::cos(degrees * pi / 180.0), s = std::sin(degrees * pi / 180.0);
    Mat r = identity();
    r.m[0] = c;
    r.m[2] = -s;
    r.m[8] = s;
    r.m[10] = c;
    return r;
}

Mat translation(double x, double y, double z)
{
    Mat r = identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

std::vector<float> depthAtCentre;
void readCentreDepth()
{
    float depth = 0.0f;
    glReadPixels(TEST_GL_WIDTH / 2, TEST_GL_HEIGHT / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    depthAtCentre.push_back(depth);
}

std::vector<unsigned char> frameRgb;
void readFrame()
{
    frameRgb.assign(TEST_GL_WIDTH * TEST_GL_HEIGHT * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, TEST_GL_WIDTH, TEST_GL_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, frameRgb.data());
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
        tornadoVisibility = 0.0f;
        tornadoBottom = 95.0f;
        flashIntensity = 0.0f;
        seaLevel = -15.0f;
        sceneYaw = 0.0f;
        fpsText[0] = '\0';
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
    static void light(GLenum what, float out[4])
    {
        glGetLightfv(GL_LIGHT0, what, out);
    }
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

    Mat expected = multiply(multiply(multiply(perspective(30, 1, 100, 2000), rotationX(40)),
                                     translation(0, -175, -200)),
                            rotationY(10));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(projection[i], expected.m[i], 1e-4) << i;

    // With the tornado down the camera pulls back and levels out.
    tornadoVisibility = 0.2f;
    sceneYaw = 0.0f;
    renderFrame(0.0f);
    expected = multiply(multiply(perspective(30, 1, 100, 2000), rotationX(40 - 32)),
                        translation(0, 120 - 175, -220));
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(projection[i], expected.m[i], 1e-4) << i;
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

TEST_F(Render, FrameRateOverlayClearsDepthAndDrawsTheText)
{
    // The water covers the middle of the picture and writes depth there.
    depthAtCentre.clear();
    renderBeforeSwap = readCentreDepth;
    renderFrame(0.0f);
    ASSERT_EQ(depthAtCentre.size(), 1u);
    EXPECT_LT(depthAtCentre[0], 1.0f);

    // Holding F with no text yet draws nothing but still clears the depth.
    inputScriptKey(KEY_F, true);
    renderFrame(0.0f);
    EXPECT_EQ(depthAtCentre[1], 1.0f);

    // With a text, it shows near the lower-left corner in white.
    std::strcpy(fpsText, "88 fps");
    renderBeforeSwap = readFrame;
    renderFrame(0.0f);
    int white = 0, whiteOutside = 0;
    for (int y = 0; y < TEST_GL_HEIGHT; y++)
        for (int x = 0; x < TEST_GL_WIDTH; x++) {
            const unsigned char* p = &frameRgb[(y * TEST_GL_WIDTH + x) * 3];
            if (p[0] == 255 && p[1] == 255 && p[2] == 255) {
                if (x < TEST_GL_WIDTH / 2 && y < TEST_GL_HEIGHT / 8)
                    white++;
                else
                    whiteOutside++;
            }
        }
    EXPECT_GT(white, 30);
    EXPECT_EQ(whiteOutside, 0);
}
