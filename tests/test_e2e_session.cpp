// A whole session with the real program, driven with xdotool as a person
// would on a 640 x 480 screen of its own: the dialog, "Start!", the intro,
// lightning, the tornado down and up, the earth, the water, the frame rate,
// Esc. Each step's screenshot is checked for what it must show, and the
// sound goes through OpenAL Soft's wave backend into a file that is checked
// too.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"
#include "tests/support/x11_window.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;
const std::string shotDir = runDir + "/e2e-session";

// An X server of the test's own with one 640 x 480 x 24 mode.
class Session : public ::testing::Test {
protected:
    static pid_t server;
    static void SetUpTestSuite()
    {
        int display = 40 + getpid() % 200;
        while (fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))
            display++;
        server = startProcess({"/usr/bin/Xvfb", ":" + std::to_string(display), "-screen", "0", "640x480x24",
                               "-nolisten", "tcp"},
                              "");
        for (int i = 0; i < 100 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(display)); i++)
            sleepSeconds(0.05);
        sleepSeconds(0.3);
        setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
        x11PrepareWindowManagerAtoms();
        fs::create_directories(shotDir);
    }
    static void TearDownTestSuite() { killProcess(server); }
};
pid_t Session::server = -1;


Picture shot(const std::string& name)
{
    Picture p;
    x11CaptureScreen(&p);
    writePng(shotDir + "/" + name + ".png", p);
    return p;
}

// Mean brightness of a band of rows, as a fraction of the picture's height.
double bandMean(const Picture& p, double from, double to)
{
    double sum = 0;
    long n = 0;
    for (int y = static_cast<int>(from * p.height); y < static_cast<int>(to * p.height); y++)
        for (int x = 0; x < p.width; x++, n++)
            sum += p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2];
    return n ? sum / (3.0 * static_cast<double>(n)) : 0;
}

double meanDifference(const Picture& a, const Picture& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); i++)
        sum += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
}

double secondsSince(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Root-mean-square of the mix in windows of a quarter second, both channels.
// The wave backend writes 16-bit samples in an extensible-format file, so
// the chunks are found here directly.
std::vector<double> loudness(const std::string& path, double* windowSeconds)
{
    std::vector<double> windows;
    std::ifstream in(path, std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(static_cast<uint8_t>(file[at]) | static_cast<uint8_t>(file[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0)
        return windows;
    uint32_t channels = 0, rate = 0, bits = 0;
    size_t data = 0, dataSize = 0;
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = u32(at + 4);
        if (file.compare(at, 4, "fmt ") == 0 && at + 24 <= file.size()) {
            channels = u16(at + 10);
            rate = u32(at + 12);
            bits = u16(at + 22);
        } else if (file.compare(at, 4, "data") == 0) {
            data = at + 8;
            dataSize = std::min<size_t>(size, file.size() - data);
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!data || bits != 16 || channels == 0 || rate == 0)
        return windows;
    const size_t frames = dataSize / (2 * channels);
    const size_t window = rate / 4;
    *windowSeconds = 0.25;
    for (size_t start = 0; start + window <= frames; start += window) {
        double sum = 0;
        for (size_t i = start * channels; i < (start + window) * channels; i++) {
            double sample = static_cast<int16_t>(u16(data + 2 * i));
            sum += sample * sample;
        }
        windows.push_back(std::sqrt(sum / static_cast<double>(window * channels)));
    }
    return windows;
}

}  // namespace

TEST_F(Session, EveryElementAsAPersonUsesIt)
{
    const std::string mix = shotDir + "/mix.wav";
    const std::string conf = shotDir + "/alsoft.conf";
    std::ofstream(conf) << "[general]\ndrivers=wave\nsample-type=int16\nchannels=stereo\nfrequency=44100\n"
                           "[wave]\nfile=" << mix << "\n";
    fs::remove(mix);

    // The driver named in the environment (the test runs set null) would win
    // over the configuration file's.
    pid_t pid = startProcess({runDir + "/vexarion"}, runDir, {"ALSOFT_CONF=" + conf, "ALSOFT_DRIVERS=wave"});
    ASSERT_GT(pid, 0);
    ChildGuard guard{pid};

    std::string dialog = findDialog(pid);
    ASSERT_FALSE(dialog.empty());
    sleepSeconds(0.5);
    EXPECT_GT(shot("1-dialog").meanBrightness(), 1.0);
    clickStart(dialog);
    const auto started = std::chrono::steady_clock::now();

    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << "no main window after Start!";
    commandOutput("xdotool windowfocus --sync " + window);
    sleepSeconds(1.0);
    Picture intro = shot("2-intro");
    EXPECT_GT(intro.meanBrightness(), 15.0) << "the intro is black";

    sleepSeconds(4.5);  // past the four-second intro
    Picture before = shot("3-before-lightning");
    EXPECT_GT(before.meanBrightness(), 15.0);

    // The flash lasts a third of a second: keep the brightest of the screens
    // captured over half a second.
    commandOutput("xdotool key L");
    const double lightningAt = secondsSince(started);
    Picture flash;
    for (int i = 0; i < 25; i++) {
        Picture now;
        x11CaptureScreen(&now);
        if (now.meanBrightness() > flash.meanBrightness())
            flash = now;
        sleepSeconds(0.02);
    }
    writePng(shotDir + "/4-lightning.png", flash);
    EXPECT_GT(flash.meanBrightness(), before.meanBrightness() + 4.0) << "no flash after L";

    sleepSeconds(2.0);
    Picture calm = shot("5-before-tornado");
    commandOutput("xdotool key t");
    sleepSeconds(8.0);
    Picture tornado = shot("6-tornado");
    // The funnel's particles glow in the sky, which is black without it.
    EXPECT_GT(bandMean(tornado, 0.0, 0.2), bandMean(calm, 0.0, 0.2) + 4.0) << "no tornado in the sky";

    commandOutput("xdotool key T");
    sleepSeconds(4.0);
    Picture risen = shot("7-tornado-up");
    EXPECT_LT(bandMean(risen, 0.0, 0.2), bandMean(tornado, 0.0, 0.2) - 4.0);

    commandOutput("xdotool keydown e");
    sleepSeconds(2.5);
    commandOutput("xdotool keyup e");
    Picture lowered = shot("8-land-lowered");
    EXPECT_GT(meanDifference(lowered, risen), 3.0) << "E changed nothing";

    commandOutput("xdotool keydown shift keydown w");
    sleepSeconds(2.5);
    commandOutput("xdotool keyup w keyup shift");
    Picture flooded = shot("9-sea-raised");
    EXPECT_GT(meanDifference(flooded, lowered), 3.0) << "Shift+W changed nothing";

    commandOutput("xdotool keydown f");
    sleepSeconds(0.5);
    Picture fps = shot("10-frame-rate");
    commandOutput("xdotool keyup f");
    int white = 0;
    for (int y = fps.height * 9 / 10; y < fps.height; y++)
        for (int x = 0; x < fps.width / 3; x++)
            if (fps.at(x, y)[0] == 255 && fps.at(x, y)[1] == 255 && fps.at(x, y)[2] == 255)
                white++;
    EXPECT_GT(white, 30) << "no frame-rate text";

    commandOutput("xdotool key Escape");
    int code = -1;
    guard.ended = waitProcess(pid, 15, &code);
    ASSERT_TRUE(guard.ended) << "Esc did not end the program";
    EXPECT_EQ(code, 0);

    // The mix: never silent from the start (the surf loops quietly), and the
    // thunder stands out right after L.
    double span = 0;
    std::vector<double> rms = loudness(mix, &span);
    ASSERT_GT(rms.size(), 40u) << "no recording in " << mix;
    for (size_t i = 0; i < 8; i++)
        EXPECT_GT(rms[i], 1.0) << "silence at " << i * span << " s";
    std::vector<double> calmWindows(rms.begin(), rms.begin() + static_cast<long>(lightningAt / span) - 2);
    std::sort(calmWindows.begin(), calmWindows.end());
    double typical = calmWindows[calmWindows.size() / 2];
    double loudest = 0;
    for (size_t i = static_cast<size_t>(lightningAt / span) - 2;
         i < std::min(rms.size(), static_cast<size_t>(lightningAt / span) + 12); i++)
        loudest = std::max(loudest, rms[i]);
    EXPECT_GT(loudest, 4 * typical) << "no thunder after L";
}
