// The element controls: the held earth and water keys with their limits,
// rates and volumes, and the typed commands with the intro rule.
#include <gtest/gtest.h>

#include <cstring>

#include "app/controls.h"
#include "app/globals.h"
#include "scene/scene_state.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "platform/input.h"
#include "sound/sound.h"
#include "tests/support/sound_log.h"

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        inputUseScript(true);
        Message m;
        while (peekMessage(&m)) {
        }
        resetSceneState();
        characterScale = 10.0f;
        soundLogStart();
    }
    void TearDown() override
    {
        setSoundObserver(nullptr);
        inputUseScript(false);
    }
    static void hold(Key key, bool down) { inputScriptKey(key, down); }
};

}  // namespace

TEST_F(Controls, HoldingELowersTheLandUntilItPassesItsLimitWithTheQuakeRising)
{
    hold(KEY_E, true);
    updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(landLevel, -0.5f);
    EXPECT_FLOAT_EQ(quakeVolume, 76.0f);  // 75 + 2 x step
    EXPECT_EQ(soundLogCount(quakeSound, SOUND_LOOP), 1);
    EXPECT_EQ(quakeSound.volume, soundVolumeCentibels(76));

    for (int i = 0; i < 200; i++)
        updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(quakeVolume, 95.0f);
    // It stops at the first step at or below -50, never more than one step past.
    EXPECT_LE(landLevel, -50.0f);
    EXPECT_GT(landLevel, -50.5f);
    EXPECT_EQ(soundLogCount(quakeSound, SOUND_LOOP), 1) << "the quake restarted while held";
    hold(KEY_E, false);
}

TEST_F(Controls, ShiftERaisesButNotPastItsLimitAndStillStartsTheQuake)
{
    landLevel = 20.0f;
    hold(KEY_SHIFT, true);
    hold(KEY_E, true);
    updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(landLevel, 20.0f);
    EXPECT_FLOAT_EQ(quakeVolume, 75.0f);
    EXPECT_EQ(soundLogCount(quakeSound, SOUND_LOOP), 1);

    landLevel = 19.9f;
    updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(landLevel, 20.4f);
    hold(KEY_E, false);
    hold(KEY_SHIFT, false);
}

TEST_F(Controls, ReleasedQuakeFadesFor18SecondsThenStopsOnce)
{
    quakeVolume = 95.0f;
    playSound(quakeSound, true);
    int frames = 0;
    while (soundLogCount(quakeSound, SOUND_STOP) == 0 && frames < 1000) {
        updateElementControls(0.1f);
        frames++;
    }
    EXPECT_NEAR(frames * 0.1f, 18.1f, 0.25f);
    EXPECT_LE(quakeVolume, 5.0f);
    for (int i = 0; i < 10; i++)
        updateElementControls(0.1f);
    EXPECT_EQ(soundLogCount(quakeSound, SOUND_STOP), 1);

    // Pressing E again while the volume is low restarts the sound at 75.
    soundLogStart();
    hold(KEY_E, true);
    updateElementControls(0.1f);
    EXPECT_EQ(soundLogCount(quakeSound, SOUND_LOOP), 1);
    EXPECT_FLOAT_EQ(quakeVolume, 76.0f);
    hold(KEY_E, false);
}

TEST_F(Controls, SeaMovesWithinItsLimitsAndTheSurfFollows)
{
    hold(KEY_W, true);
    hold(KEY_SHIFT, true);
    seaVolume = 60.0f;
    updateElementControls(0.2f);
    EXPECT_FLOAT_EQ(seaLevel, -14.0f);
    EXPECT_FLOAT_EQ(seaVolume, 61.0f);
    for (int i = 0; i < 100; i++)
        updateElementControls(0.2f);
    EXPECT_GE(seaLevel, -3.0f);
    EXPECT_LT(seaLevel, -2.0f);

    hold(KEY_SHIFT, false);
    for (int i = 0; i < 200; i++)
        updateElementControls(0.2f);
    EXPECT_LE(seaLevel, -35.0f);
    EXPECT_GT(seaLevel, -36.0f);
    // Near the bottom the surf is tied to the level: 0 at -35.
    EXPECT_NEAR(seaVolume, (seaLevel + 35.0f) * 10.0f, 1e-4f);
    hold(KEY_W, false);
}

TEST_F(Controls, SeaVolumeRule)
{
    // At -32 the volume is 30, W or not.
    seaLevel = -32.0f;
    seaVolume = 80.0f;
    updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(seaVolume, 30.0f);
    EXPECT_EQ(seaSound.volume, soundVolumeCentibels(30));

    // Released, the volume drifts by two sub-steps: 75.5 with a step of 1
    // goes to 74.5 and back to 75.5, not to 75.
    seaLevel = -15.0f;
    seaVolume = 75.5f;
    updateElementControls(0.2f);
    EXPECT_FLOAT_EQ(seaVolume, 75.5f);

    // From the first interactive frame: 50, then up 5 per second to 75.
    seaVolume = 0.0f;
    updateElementControls(0.1f);
    EXPECT_FLOAT_EQ(seaVolume, 50.0f);
    for (int i = 0; i < 60; i++)
        updateElementControls(0.1f);
    EXPECT_GE(seaVolume, 75.0f);
    EXPECT_LE(seaVolume, 75.5f);
}

TEST_F(Controls, TypedCommandsAndTheIntroRule)
{
    Message m;
    // During the intro the letters are lost; Esc still quits.
    characterScale = 30.0f;
    characterCommand('t');
    characterCommand('T');
    characterCommand('L');
    EXPECT_FLOAT_EQ(tornadoSpeed, 0.0f);
    EXPECT_FLOAT_EQ(flashIntensity, 0.0f);
    EXPECT_FALSE(peekMessage(&m));
    characterCommand(27);
    ASSERT_TRUE(peekMessage(&m));
    EXPECT_EQ(m.type, MESSAGE_QUIT);
    EXPECT_EQ(m.code, 0);

    characterScale = 10.0f;
    characterCommand('t');
    EXPECT_FLOAT_EQ(tornadoSpeed, -15.0f);
    // A second 't' once the lower end is at 90 or below does nothing.
    tornadoBottom = 90.0f;
    tornadoSpeed = 0.0f;
    characterCommand('t');
    EXPECT_FLOAT_EQ(tornadoSpeed, 0.0f);
    characterCommand('T');
    EXPECT_FLOAT_EQ(tornadoSpeed, 25.0f);

    characterCommand('l');
    EXPECT_FLOAT_EQ(flashIntensity, 1.0f);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);
    characterCommand('L');  // within the flash: refused
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);
    characterCommand('x');
    EXPECT_FALSE(peekMessage(&m));
}
