// Sounds: the volume mapping, what the observer is told, calls on empty
// handles, playing on the real OpenAL device through its null backend (which
// mixes into nothing but keeps every source's real state), and the program's
// path when no device can be opened.
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "tests/support/wav_files.h"

namespace {

struct Seen {
    const Sound* sound;
    SoundEvent event;
};
std::vector<Seen> seen;

void record(const Sound* sound, SoundEvent event)
{
    seen.push_back({sound, event});
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

}  // namespace

TEST(SoundVolume, PercentClampsAndMapsToCentibels)
{
    EXPECT_EQ(soundVolumeCentibels(150), 0);
    EXPECT_EQ(soundVolumeCentibels(-7), -10000);
    EXPECT_EQ(soundVolumeCentibels(37), -6300);
    EXPECT_EQ(soundVolumeCentibels(50), -5000);
    EXPECT_EQ(soundVolumeCentibels(INT32_MAX), 0);
    EXPECT_EQ(soundVolumeCentibels(INT32_MIN), -10000);
}

TEST(SoundVolume, CentibelsMapToGain)
{
    EXPECT_EQ(audioGainFromCentibels(0), 1.0f);
    EXPECT_EQ(audioGainFromCentibels(-10000), 0.0f);  // silence, not 10^-5
    EXPECT_EQ(audioGainFromCentibels(-20000), 0.0f);
    EXPECT_EQ(audioGainFromCentibels(500), 1.0f);
    EXPECT_NEAR(audioGainFromCentibels(-2000), 0.1f, 1e-7f);
    EXPECT_NEAR(audioGainFromCentibels(-600), 0.501187f, 1e-6f);  // -6 dB: half amplitude
    EXPECT_NEAR(audioGainFromCentibels(-9999), 1.00115e-5f, 1e-10f);
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

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].event, SOUND_PLAY);
    EXPECT_EQ(seen[1].event, SOUND_LOOP);
    EXPECT_EQ(seen[2].event, SOUND_STOP);
    EXPECT_EQ(seen[3].event, SOUND_LOOP);
    for (const Seen& s : seen)
        EXPECT_EQ(s.sound, &sound);
    EXPECT_EQ(sound.buffer, 0u);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
}

// On OpenAL Soft's null backend, chosen before the library first looks at
// its configuration.
class SoundDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }

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
        ASSERT_TRUE(loadSound(sound, writeWavBytes(wavScratchPath(name), file).c_str())) << name;
        ASSERT_NE(sound.buffer, 0u);
    }

    Sound sound;
};

TEST_F(SoundDevice, PlayLoopAndStop)
{
    load("tone.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 5.0)));
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
    EXPECT_EQ(audioSampleOffset(sound.buffer), stoppedAt);
    stopSound(sound);
    EXPECT_EQ(audioSampleOffset(sound.buffer), stoppedAt);

    // Playing again starts from the first sample, now looping.
    playSound(sound, true);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
    EXPECT_TRUE(audioIsLooping(sound.buffer));
    EXPECT_LT(audioSampleOffset(sound.buffer), stoppedAt);
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
}

TEST_F(SoundDevice, PlayingAPlayingSoundRestartsIt)
{
    load("tone.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 5.0)));
    playSound(sound, true);
    ASSERT_TRUE(playsPast(sound, static_cast<int32_t>(RATE / 2)));
    playSound(sound, true);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
    EXPECT_TRUE(audioIsLooping(sound.buffer));
    EXPECT_LT(audioSampleOffset(sound.buffer), static_cast<int32_t>(RATE / 10));

    // A looping sound played once more plays once from the start.
    ASSERT_TRUE(playsPast(sound, static_cast<int32_t>(RATE / 2)));
    playSound(sound, false);
    EXPECT_FALSE(audioIsLooping(sound.buffer));
    EXPECT_LT(audioSampleOffset(sound.buffer), static_cast<int32_t>(RATE / 10));
}

TEST_F(SoundDevice, OneShotEndsAndLoopKeepsGoing)
{
    load("blip.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 0.05)));
    playSound(sound, false);
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
        sleepMs(10);
        ended = !audioIsPlaying(sound.buffer);
    }
    EXPECT_TRUE(ended);

    playSound(sound, true);
    sleepMs(300);  // six times the sound's length
    EXPECT_TRUE(audioIsPlaying(sound.buffer));
}

TEST_F(SoundDevice, VolumeSetsTheGain)
{
    load("tone.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 0.5)));
    playSound(sound, true);
    setSoundVolume(sound, 37);
    EXPECT_EQ(sound.volume, -6300);
    EXPECT_NEAR(audioGain(sound.buffer), 7.07946e-4f, 1e-9f);
    setSoundVolume(sound, 50);
    EXPECT_NEAR(audioGain(sound.buffer), 3.16228e-3f, 1e-8f);
    setSoundVolume(sound, -7);
    EXPECT_EQ(audioGain(sound.buffer), 0.0f);
    EXPECT_TRUE(audioIsPlaying(sound.buffer));  // silent, still playing
    setSoundVolume(sound, 150);
    EXPECT_EQ(audioGain(sound.buffer), 1.0f);
}

TEST_F(SoundDevice, FormatsTheDeviceTakesAndRefuses)
{
    std::string stereo8(1000, '\x80');
    load("stereo8.wav", pcmWave(2, 11025, 8, stereo8));
    // A trailing partial frame is dropped rather than refusing the file.
    load("partial.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 0.1) + "\x01"));

    const char* names[] = {"bits24.wav", "channels6.wav", "rate0.wav", "empty-data.wav",
                           "absent.wav"};
    std::string files[] = {pcmWave(1, RATE, 24, std::string(300, '\0')),
                           pcmWave(6, RATE, 16, std::string(1200, '\0')),
                           pcmWave(1, 0, 16, std::string(100, '\0')), pcmWave(1, RATE, 16, "")};
    for (int i = 0; i < 5; ++i) {
        // A failed load also lets go of what the handle held before (the
        // gain of a source that no longer exists reads as 0).
        load("tone.wav", pcmWave(1, RATE, 16, toneSamples(RATE, 0.1)));
        playSound(sound, true);
        AudioBuffer before = sound.buffer;
        std::string path = wavScratchPath(names[i]);
        if (i < 4)
            writeWavBytes(path, files[i]);
        EXPECT_FALSE(loadSound(sound, path.c_str())) << names[i];
        EXPECT_EQ(sound.buffer, 0u) << names[i];
        EXPECT_FALSE(sound.started);
        EXPECT_FALSE(audioIsPlaying(before));
        EXPECT_EQ(audioGain(before), 0.0f) << names[i];
    }
}

// OpenAL reads its configuration once per process, so the run without a
// device happens in a process of its own: the death test's child, started
// afresh ("threadsafe" style) with no backend it could use.
TEST(SoundNoDevice, EverythingRunsOnSilently)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
            int failures = 0;
            auto check = [&failures](bool ok, const char* what) {
                if (!ok) {
                    std::fprintf(stderr, "failed: %s\n", what);
                    ++failures;
                }
            };
            check(!createSoundDevice(), "createSoundDevice fails");
            check(!audioHasDevice(), "no device");
            std::string path = writeWavBytes(wavScratchPath("good.wav"),
                                              pcmWave(1, RATE, 16, toneSamples(RATE, 0.1)));
            check(!loadSound(seaSound, path.c_str()), "loadSound fails");
            check(seaSound.buffer == 0, "handle stays empty");
            seen.clear();
            setSoundObserver(record);
            playSound(seaSound, true);
            setSoundVolume(seaSound, 50);
            stopSound(seaSound);
            playSound(seaSound, false);
            releaseSound(seaSound);
            releaseSoundDevice();
            check(seen.size() == 3, "three events observed");
            check(seaSound.buffer == 0 && !seaSound.started, "released handle empty");
            std::exit(failures);
        },
        ::testing::ExitedWithCode(0), "");
}
