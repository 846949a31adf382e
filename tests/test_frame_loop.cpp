// The frame loop: its clock, the intro and its end, the frame-rate count,
// the water's time and the frame in which the quit message is taken.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "app/main_loop.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/input.h"
#include "scene/director.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "tests/support/gl_checks.h"

namespace {

int64_t fakeCounter = 0;
int64_t readFakeCounter()
{
    return fakeCounter;
}

// A loop whose clock ticks 1000 times a second, in a fresh intro.
class FrameLoopTest : public ::testing::Test {
protected:
    FrameLoop loop;
    void SetUp() override
    {
        if (!testGlContext())
            GTEST_SKIP() << "no display for an OpenGL context";
        static bool effectsReady = false;
        if (!effectsReady) {
            fireInit();
            lightningInit();
            tornadoInit();
            waterInit();
            effectsReady = true;
        }
        inputUseScript(true);
        Message m;
        while (peekMessage(&m)) {
        }
        initFrameLoop(&loop, 1000);
        fakeCounter = 123456;
        resetSceneState();
        sceneYaw = 0.0f;
    }
    void TearDown() override { inputUseScript(false); }

    // Runs one frame that lasts `ms` milliseconds of counter time.
    bool frame(int ms)
    {
        fakeCounter += ms;
        return runFrame(&loop, readFakeCounter);
    }
};

}  // namespace

TEST_F(FrameLoopTest, FirstFrameTakesNoTimeAndLaterFramesTheCounterDifference)
{
    EXPECT_TRUE(frame(0));
    EXPECT_EQ(frameTime, 0.0f);
    EXPECT_EQ(characterScale, 50.0f);
    EXPECT_TRUE(frame(100));
    EXPECT_FLOAT_EQ(frameTime, 0.1f);
    EXPECT_FLOAT_EQ(characterScale, 49.0f);
    // Four seconds of frame time end the intro, whatever the frame rate.
    for (int i = 0; i < 39; i++)
        frame(100);
    EXPECT_FLOAT_EQ(characterScale, 10.0f);
}

TEST_F(FrameLoopTest, IntroEndsClampedAndRestartsThePoseCycle)
{
    frame(0);
    characterScale = 11.0f;
    beginBlend();
    blendDuration = 10.0f;  // a long blend, so the advance is visible
    poseStep = 3;
    float before = blendTime;
    frame(300);
    EXPECT_EQ(characterScale, 10.0f);
    EXPECT_NEAR(blendTime - before, 0.06f, 1e-6f);  // a fifth of the frame
    EXPECT_EQ(poseStep, 0);

    // From the next frame on the director decides: his first decision sets
    // a timer of 5 to 9 seconds.
    directorState = DirectorState::Stand;
    actionTimer = 0.0f;
    frame(20);
    EXPECT_GE(actionTimer, 4.9f);
}

TEST_F(FrameLoopTest, FrameRateTextCountsTheFrameThatCompletesTheSecond)
{
    frame(0);
    frame(300);
    frame(300);
    frame(300);
    EXPECT_STREQ(fpsText, "");
    frame(300);  // 1.2 s: five frames, the first of zero length
    EXPECT_STREQ(fpsText, "5 fps");
    EXPECT_NEAR(fpsTimeAccumulator, 0.2f, 1e-5f);
    EXPECT_EQ(fpsFrameCount, 0);
    frame(400);
    frame(400);
    EXPECT_STREQ(fpsText, "2 fps");  // 0.2 carried over + 0.8
}

TEST_F(FrameLoopTest, WaterMovesWithTheTimeBeforeThisFrame)
{
    // Column 1's near vertex stands at sin(0.5 + T).
    frame(0);
    EXPECT_FLOAT_EQ(waterMesh.vertices[2].y, std::sin(0.5f));
    frame(300);
    EXPECT_FLOAT_EQ(waterMesh.vertices[2].y, std::sin(0.5f));
    EXPECT_FLOAT_EQ(totalTime, 0.3f);
    frame(300);
    EXPECT_FLOAT_EQ(waterMesh.vertices[2].y, std::sin(0.5f + 0.3f));
}

TEST_F(FrameLoopTest, TheFrameThatTakesTheQuitMessageStillRunsToItsEnd)
{
    frame(0);
    postQuitMessage(3);
    EXPECT_FALSE(frame(500));
    EXPECT_EQ(loop.exitCode, 3);
    EXPECT_FLOAT_EQ(totalTime, 0.5f);
    EXPECT_FLOAT_EQ(sceneYaw, 1.5f);
    EXPECT_EQ(fpsFrameCount, 2);
}

TEST_F(FrameLoopTest, EscQuitsEvenDuringTheIntro)
{
    frame(0);
    inputScriptChar('L');  // lost: the intro ignores letters
    inputScriptChar(27);
    EXPECT_FALSE(frame(10));
    EXPECT_EQ(loop.exitCode, 0);
    EXPECT_GT(characterScale, 10.0f);
    EXPECT_EQ(flashIntensity, 0.0f);
    Message m;
    EXPECT_FALSE(peekMessage(&m));
}
