// Sounds: the volume mapping, playing on the real OpenAL device through its
// null backend (which mixes into nothing but keeps every source's real
// state), and the program's path when no device can be opened.
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "tests/support/model_files.h"
#include "tests/support/wav_files.h"

namespace {

// The device's environment (OpenAL Soft reads it; DirectSound ignores it).
void setEnvironment(const char* name, const char* value)
{
#if defined(_WIN32)
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

std::vector<SoundEvent> seen;
const Sound* seenSound = nullptr;

void record(const Sound* sound, SoundEvent event)
{
    seen.push_back(event);
    seenSound = sound;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Waits until the sound has played past `frames` (the null device mixes in
// real time on its own thread); false after five seconds.
bool playsPast(const Sound& sound, int32_t frames)
{
    for (int i = 0; i < 500; ++i, sleepMs(10))
        if (audioSampleOffset(sound.buffer) > frames)
            return true;
    return false;
}

const uint32_t rate = 22050;

std::string tone(double seconds)
{
    return pcmWave(1, rate, 16, toneSamples(rate, seconds));
}

}  // namespace

TEST(SoundVolume, PercentClampsToCentibelsThatMapToGain)
{
    EXPECT_EQ(soundVolumeCentibels(150), 0);
    EXPECT_EQ(soundVolumeCentibels(-7), -10000);
    EXPECT_EQ(soundVolumeCentibels(37), -6300);
    EXPECT_EQ(soundVolumeCentibels(INT32_MAX), 0);
    EXPECT_EQ(soundVolumeCentibels(INT32_MIN), -10000);
    EXPECT_EQ(audioGainFromCentibels(0), 1.0f);
    EXPECT_EQ(audioGainFromCentibels(500), 1.0f);
    EXPECT_EQ(audioGainFromCentibels(-10000), 0.0f);  // silence, not 10^-5
    EXPECT_EQ(audioGainFromCentibels(-20000), 0.0f);
    EXPECT_NEAR(audioGainFromCentibels(-2000), 0.1f, 1e-7f);
    EXPECT_NEAR(audioGainFromCentibels(-600), 0.501187f, 1e-6f);  // -6 dB: half amplitude
}

// On OpenAL Soft's null backend, chosen before the library first looks at
// its configuration.
class SoundDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setEnvironment("ALSOFT_DRIVERS", "null"); }

    void SetUp() override
    {
        ASSERT_TRUE(createSoundDevice());
        ASSERT_TRUE(audioHasDevice());
    }

    void TearDown() override
    {
        releaseSound(sound);
        releaseSoundDevice();
        EXPECT_FALSE(audioHasDevice());
    }

    void load(const std::string& name, const std::string& file)
    {
        ASSERT_TRUE(loadSound(sound, writeWav(name, file).c_str())) << name;
        ASSERT_NE(sound.buffer, 0u);
    }

    Sound sound;
};

TEST_F(SoundDevice, PlayLoopStopAndRestart)
{
    load("tone.wav", tone(5.0));
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
    EXPECT_EQ(audioGain(sound.buffer), 1.0f);

    playSound(sound, false);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
    EXPECT_FALSE(audioIsLooping(sound.buffer));
    ASSERT_TRUE(playsPast(sound, 2000));

    // Stopping keeps the position.
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
    int32_t stoppedAt = audioSampleOffset(sound.buffer);
    EXPECT_GT(stoppedAt, 2000);
    sleepMs(100);
    stopSound(sound);
    EXPECT_EQ(audioSampleOffset(sound.buffer), stoppedAt);

    // Playing again starts from the first sample, now looping; playing a
    // playing sound restarts it, and a looping one played once more plays
    // once from the start.
    playSound(sound, true);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
    EXPECT_TRUE(audioIsLooping(sound.buffer));
    EXPECT_LT(audioSampleOffset(sound.buffer), stoppedAt);
    for (bool loop : {true, false}) {
        ASSERT_TRUE(playsPast(sound, static_cast<int32_t>(rate / 2)));
        playSound(sound, loop);
        EXPECT_TRUE(audioIsPlaying(sound.buffer));
        EXPECT_EQ(audioIsLooping(sound.buffer), loop);
        EXPECT_LT(audioSampleOffset(sound.buffer), static_cast<int32_t>(rate / 10));
    }
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
}

// OpenAL reads its configuration once per process, so the run without a
// device happens in a process of its own: the death test's child, started
// afresh ("threadsafe" style) with no backend it could use. Its exit code
// names the first check that failed.
TEST(SoundNoDevice, EverythingRunsOnSilently)
{
#if defined(_WIN32)
    GTEST_SKIP() << "DirectSound's device can't be taken away from inside the process; the Windows proof "
                    "runs the replay on a machine without one instead";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setEnvironment("ALSOFT_DRIVERS", "no-such-backend");
            if (createSoundDevice() || audioHasDevice())
                std::exit(1);
            if (loadSound(seaSound, writeWav("good.wav", tone(0.1)).c_str()) || seaSound.buffer != 0)
                std::exit(2);
            seen.clear();
            setSoundObserver(record);
            playSound(seaSound, true);
            setSoundVolume(seaSound, 50);
            stopSound(seaSound);
            playSound(seaSound, false);
            releaseSound(seaSound);
            releaseSoundDevice();
            std::exit(seen.size() == 3 && seaSound.buffer == 0 && !seaSound.started ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}
