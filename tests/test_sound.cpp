// Sounds: the volume mapping, playing on the real OpenAL device through its
// null backend (which mixes into nothing but keeps every source's state), and
// the program's path when no device can be opened.
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/audio.h"
#include "platform/shared/audio_gain.h"
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

const uint32_t rate = 22050;

std::string tone(double seconds)
{
    return pcmWave(1, rate, 16, toneSamples(rate, seconds));
}

}  // namespace

TEST(SoundVolume, PercentClampsToCentibelsThatMapToGain)
{
    const int32_t centibels[][2] = {{150, 0}, {-7, -10000}, {37, -6300}, {INT32_MAX, 0}, {INT32_MIN, -10000}};
    for (const auto& [percent, expected] : centibels)
        EXPECT_EQ(soundVolumeCentibels(percent), expected) << percent;
    // -10000 is silence, not 10^-5; -6 dB is half the amplitude.
    const std::pair<int32_t, float> gains[] = {{0, 1.0f},      {500, 1.0f},   {-10000, 0.0f},
                                               {-20000, 0.0f}, {-2000, 0.1f}, {-600, 0.501187f}};
    for (const auto& [centibel, expected] : gains)
        EXPECT_NEAR(audioGainFromCentibels(centibel), expected, 1e-6f) << centibel;
}

// On OpenAL Soft's null backend, chosen before the library first reads its
// configuration; the null device mixes in real time on its own thread.
TEST(SoundDevice, PlayLoopStopAndRestart)
{
    setEnvironment("ALSOFT_DRIVERS", "null");
    ASSERT_TRUE(createSoundDevice() && audioHasDevice());
    Sound sound;
    ASSERT_TRUE(loadSound(sound, writeWav("tone.wav", tone(5.0)).c_str()));
    ASSERT_NE(sound.buffer, 0u);
    auto playsPast = [&sound](int32_t frames) {  // false after five seconds
        for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            if (audioSampleOffset(sound.buffer) > frames)
                return true;
        return false;
    };
    auto playing = [&sound] { return std::make_pair(audioIsPlaying(sound.buffer), audioIsLooping(sound.buffer)); };
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
    EXPECT_EQ(audioGain(sound.buffer), 1.0f);
    playSound(sound, false);
    EXPECT_EQ(playing(), std::make_pair(true, false));
    ASSERT_TRUE(playsPast(2000));

    // Stopping keeps the position, stopping again too.
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
    const int32_t stoppedAt = audioSampleOffset(sound.buffer);
    EXPECT_GT(stoppedAt, 2000);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stopSound(sound);
    EXPECT_EQ(audioSampleOffset(sound.buffer), stoppedAt);

    // Playing again starts from the first sample, now looping; playing a
    // playing sound restarts it, looping or, once more, not.
    playSound(sound, true);
    EXPECT_EQ(playing(), std::make_pair(true, true));
    EXPECT_LT(audioSampleOffset(sound.buffer), stoppedAt);
    for (bool loop : {true, false}) {
        ASSERT_TRUE(playsPast(static_cast<int32_t>(rate / 2)));
        playSound(sound, loop);
        EXPECT_EQ(playing(), std::make_pair(true, loop));
        EXPECT_LT(audioSampleOffset(sound.buffer), static_cast<int32_t>(rate / 10));
    }
    stopSound(sound);
    EXPECT_FALSE(audioIsPlaying(sound.buffer));
    releaseSound(sound);
    releaseSoundDevice();
    EXPECT_FALSE(audioHasDevice());
}

// An open started early is the one the device takes; a close finishes beside
// the caller, a new open waits for it, and an open nobody takes is closed at
// exit (a fault there fails the whole test program).
TEST(SoundDevice, PreparedOpenAndCloseBesideTheCaller)
{
    setEnvironment("ALSOFT_DRIVERS", "null");
    prepareSoundDevice();
    prepareSoundDevice();
    EXPECT_FALSE(audioHasDevice());
    ASSERT_TRUE(createSoundDevice());
    Sound sound;
    ASSERT_TRUE(loadSound(sound, writeWav("prepared.wav", tone(1.0)).c_str()));
    playSound(sound, true);
    EXPECT_TRUE(audioIsLooping(sound.buffer));
    releaseSound(sound);
    for (int round = 0; round < 3; ++round) {
        releaseSoundDevice();
        EXPECT_FALSE(audioHasDevice());
        ASSERT_TRUE(createSoundDevice());
        prepareSoundDevice();  // the device is open: nothing to prepare
    }
    releaseSoundDevice();
    prepareSoundDevice();
}

// OpenAL reads its configuration once per process, so the run without a
// device happens in a fresh death-test child with no backend it could use.
// The sound is kept for a device that may come: it loads, loops and keeps
// its volume, silently, and the watch for a device does not block.
TEST(SoundNoDevice, EverythingRunsOnSilently)
{
#if defined(_WIN32)
    GTEST_SKIP() << "DirectSound's device can't be taken away; the Windows proof runs on a machine without one";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setEnvironment("ALSOFT_DRIVERS", "no-such-backend");
            if (createSoundDevice() || audioHasDevice() ||
                !loadSound(sounds.sea, writeWav("good.wav", tone(0.1)).c_str()) || sounds.sea.buffer == 0)
                std::exit(1);
            static int told = 0;
            setSoundObserver([](const Sound*, SoundEvent) { told++; });
            playSound(sounds.sea, true);
            setSoundVolume(sounds.sea, 50);
            const auto start = std::chrono::steady_clock::now();
            for (int frame = 0; frame < 300; frame++)
                watchSoundDevice();
            const bool quick = std::chrono::steady_clock::now() - start < std::chrono::milliseconds(100);
            if (!quick || audioIsPlaying(sounds.sea.buffer) || !audioIsLooping(sounds.sea.buffer) ||
                audioGain(sounds.sea.buffer) != audioGainFromCentibels(-5000))
                std::exit(2);
            stopSound(sounds.sea);
            playSound(sounds.sea, false);
            releaseSound(sounds.sea);
            releaseSoundDevice();
            std::exit(told == 3 && sounds.sea.buffer == 0 && !sounds.sea.started ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

#if defined(_WIN32)
#include "platform/win32/dsound_driver.h"

namespace {

// A DirectSound device of the test's own that can be unplugged: then every
// call that DirectSound would fail with DSERR_NODRIVER fails so, and opens
// fail, until it is plugged in again. Its clock moves when the test says.
struct FakeBuffer {
    bool playing = false;
    bool loop = false;
    int32_t volume = 0;
    int plays = 0;
};
struct FakeDevice {
    bool plugged = true;
    double now = 0.0;
    std::atomic<int> tries{0};  // opens asked for, on whatever thread
    std::vector<FakeBuffer*> live;
};
FakeDevice fake;

FakeBuffer* fakeOf(void* buffer)
{
    return static_cast<FakeBuffer*>(buffer);
}

const DsResult gone = DS_DEVICE_GONE;
const DsDriver fakeDriver = {
    [](void** device) {
        fake.tries++;
        *device = &fake;
        return fake.plugged ? DS_DONE : gone;
    },
    [](void*) { return fake.plugged ? DS_DONE : gone; },
    [](void*) {},
    [](void*, int, uint32_t, int, uint32_t, void** buffer) {
        if (!fake.plugged)
            return gone;
        fake.live.push_back(new FakeBuffer);
        *buffer = fake.live.back();
        return DS_DONE;
    },
    [](void*, const unsigned char*, uint32_t) { return fake.plugged ? DS_DONE : gone; },
    [](void*) { return DS_DONE; },
    [](void* buffer, bool loop) {
        if (!fake.plugged)
            return gone;
        *fakeOf(buffer) = FakeBuffer{true, loop, fakeOf(buffer)->volume, fakeOf(buffer)->plays + 1};
        return DS_DONE;
    },
    [](void* buffer) { fakeOf(buffer)->playing = false; },
    [](void* buffer, int32_t centibels) { fakeOf(buffer)->volume = centibels; },
    [](void* buffer) { return fake.plugged && fakeOf(buffer)->playing; },
    [](void* buffer) { return fakeOf(buffer)->volume; },
    [](void*) { return 0u; },
    [](void* buffer) {
        fake.live.erase(std::find(fake.live.begin(), fake.live.end(), fakeOf(buffer)));
        delete fakeOf(buffer);
    },
    [] { return fake.now; },
};

// Frames of a tenth of a second on the fake clock until the device is back
// (true) or `seconds` have passed. An open the watch starts runs on its
// helper thread; the clock waits for it (a thread takes a while to start
// under Wine).
bool watchFor(double seconds)
{
    for (double end = fake.now + seconds; fake.now < end; fake.now += 0.1) {
        watchSoundDevice();
        for (int wait = 0; wait < 2000 && dsoundOpening(); wait++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        watchSoundDevice();
        if (audioHasDevice())
            return true;
    }
    return false;
}

}  // namespace

// Unplugged while the sea and the wind loop: the scene's calls go on
// harmlessly, new tries come every few seconds, and once it is plugged in
// again every handle holds a buffer on it, the loops play at the volumes
// set meanwhile, and the thunder of the gap is not played late. Lost again
// (seen by the check this time), and absent at the start: the same.
TEST(SoundDeviceLoss, DirectSoundComesBackWithEveryLoopAtItsVolume)
{
    dsoundUseDriver(&fakeDriver);
    fake.plugged = true;
    ASSERT_TRUE(createSoundDevice());
    Sound* scene[] = {&sounds.sea, &sounds.wind, &sounds.thunder, &sounds.quake};
    for (Sound* sound : scene)
        ASSERT_TRUE(loadSound(*sound, writeWav("loss.wav", tone(0.2)).c_str()));
    const AudioBuffer handles[] = {sounds.sea.buffer, sounds.wind.buffer, sounds.thunder.buffer, sounds.quake.buffer};
    setSoundVolume(sounds.sea, 50);
    playSound(sounds.sea, true);
    playSound(sounds.wind, true);

    fake.plugged = false;
    playSound(sounds.thunder, false);  // Play fails: the device is gone
    EXPECT_FALSE(audioHasDevice());
    setSoundVolume(sounds.sea, 80);
    stopSound(sounds.wind);
    playSound(sounds.thunder, false);
    playSound(sounds.quake, true);
    EXPECT_FALSE(audioIsPlaying(sounds.sea.buffer));
    const int before = fake.tries;
    EXPECT_FALSE(watchFor(10.0));
    EXPECT_GE(fake.tries - before, 3) << "tries every few seconds";
    EXPECT_LE(fake.tries - before, 5);

    fake.plugged = true;
    ASSERT_TRUE(watchFor(4.0));
    EXPECT_EQ(fake.live.size(), 4u);
    for (size_t i = 0; i < 4; i++)
        EXPECT_EQ(scene[i]->buffer, handles[i]) << i;
    auto state = [](const Sound& sound) {
        return std::make_tuple(audioIsPlaying(sound.buffer), audioIsLooping(sound.buffer), audioGain(sound.buffer));
    };
    EXPECT_EQ(state(sounds.sea), std::make_tuple(true, true, audioGainFromCentibels(-2000)));
    EXPECT_EQ(state(sounds.wind), std::make_tuple(false, false, 1.0f));
    EXPECT_EQ(state(sounds.thunder), std::make_tuple(false, false, 1.0f));
    EXPECT_EQ(state(sounds.quake), std::make_tuple(true, true, 1.0f));

    // Lost between calls: the check about once a second sees it.
    fake.plugged = false;
    fake.now += 1.1;
    watchSoundDevice();
    EXPECT_FALSE(audioHasDevice());
    EXPECT_TRUE(fake.live.empty());
    fake.plugged = true;
    ASSERT_TRUE(watchFor(4.0));
    EXPECT_EQ(state(sounds.sea), std::make_tuple(true, true, audioGainFromCentibels(-2000)));

    // No device at the start: the sounds load, and play once one comes.
    for (Sound* sound : scene)
        releaseSound(*sound);
    releaseSoundDevice();
    fake.plugged = false;
    EXPECT_FALSE(createSoundDevice());
    ASSERT_TRUE(loadSound(sounds.sea, writeWav("late.wav", tone(0.2)).c_str()));
    playSound(sounds.sea, true);
    fake.plugged = true;
    ASSERT_TRUE(watchFor(4.0));
    EXPECT_TRUE(audioIsPlaying(sounds.sea.buffer));
    releaseSound(sounds.sea);
    releaseSoundDevice();
    EXPECT_TRUE(fake.live.empty());
    dsoundUseDriver(nullptr);
}
#endif
