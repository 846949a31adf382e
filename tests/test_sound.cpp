// Sounds: the volume mapping, what the observer is told, calls on empty
// handles, playing on the real OpenAL device through its null backend (which
// mixes into nothing but keeps every source's real state), and the program's
// path when no device can be opened.
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

const uint32_t RATE = 22050;

std::string tone(double seconds)
{
    return pcmWave(1, RATE, 16, toneSamples(RATE, seconds));
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

TEST(SoundEmptyHandle, CallsAreHarmlessAndStillObserved)
{
    Sound sound;
    seen.clear();
    setSoundObserver(record);
    stopSound(sound);  // never played: nothing to tell
    playSound(sound, false);
    playSound(sound, true);
    stopSound(sound);
    stopSound(sound);  // already stopped: nothing to tell
    setSoundVolume(sound, 37);
    playSound(sound, true);
    releaseSound(sound);
    stopSound(sound);  // released: no longer started
    setSoundObserver(nullptr);
    playSound(sound, false);  // no observer: nothing recorded
    EXPECT_EQ(seen, (std::vector<SoundEvent>{SOUND_PLAY, SOUND_LOOP, SOUND_STOP, SOUND_LOOP}));
    EXPECT_EQ(seenSound, &sound);
    EXPECT_EQ(sound.buffer, 0u);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
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
        ASSERT_TRUE(playsPast(sound, static_cast<int32_t>(RATE / 2)));
        playSound(sound, loop);
        EXPECT_TRUE(audioIsPlaying(sound.buffer));
        EXPECT_EQ(audioIsLooping(sound.buffer), loop);
        EXPECT_LT(audioSampleOffset(sound.buffer), static_cast<int32_t>(RATE / 10));
    }
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
}

TEST_F(SoundDevice, OneShotEndsLoopKeepsGoingAndVolumeSetsTheGain)
{
    load("blip.wav", tone(0.05));
    playSound(sound, false);
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i, sleepMs(10))
        ended = !audioIsPlaying(sound.buffer);
    EXPECT_TRUE(ended);

    playSound(sound, true);
    sleepMs(300);  // six times the sound's length
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
    setSoundVolume(sound, 37);
    EXPECT_EQ(sound.volume, -6300);
    EXPECT_NEAR(audioGain(sound.buffer), 7.07946e-4f, 1e-9f);
    setSoundVolume(sound, -7);
    EXPECT_EQ(audioGain(sound.buffer), 0.0f);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));  // silent, still playing
    setSoundVolume(sound, 150);
    EXPECT_EQ(audioGain(sound.buffer), 1.0f);
}

TEST_F(SoundDevice, FormatsTheDeviceTakesAndRefuses)
{
    load("stereo8.wav", pcmWave(2, 11025, 8, std::string(1000, '\x80')));
    // A trailing partial frame is dropped rather than refusing the file.
    load("partial.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 0.1) + "\x01"));

    const struct {
        const char* name;
        std::string bytes;  // none: no such file
    } refused[] = {{"bits24.wav", pcmWave(1, RATE, 24, std::string(300, '\0'))},
                   {"rate0.wav", pcmWave(1, 0, 16, std::string(100, '\0'))},
                   {"empty-data.wav", pcmWave(1, RATE, 16, "")},
                   {"absent.wav", ""}};
    for (const auto& c : refused) {
        // A failed load also lets go of what the handle held before (the
        // gain of a source that no longer exists reads as 0).
        load("tone.wav", tone(0.1));
        playSound(sound, true);
        AudioBuffer before = sound.buffer;
        const std::string path = c.bytes.empty() ? modelScratchPath(c.name) : writeWav(c.name, c.bytes);
        EXPECT_FALSE(loadSound(sound, path.c_str())) << c.name;
        EXPECT_EQ(sound.buffer, 0u) << c.name;
        EXPECT_FALSE(sound.started);
        EXPECT_FALSE(audioIsPlaying(before));
        EXPECT_EQ(audioGain(before), 0.0f) << c.name;
    }
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
