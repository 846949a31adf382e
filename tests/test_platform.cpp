// The platform layer against the real thing: an OpenGL context under X,
// the glyph display lists, the message queue and the scripted keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/gl.h"
#include "platform/glcontext.h"
#include "platform/input.h"
#include "tests/support/gl_test_context.h"

TEST(PlatformGl, HiddenWindowRendersIntoItsBackBuffer)
{
    ASSERT_TRUE(testGlContext());
    int x, y, w, h;
    windowGetGeometry(&x, &y, &w, &h);
    EXPECT_EQ(w, TEST_GL_WIDTH);
    EXPECT_EQ(h, TEST_GL_HEIGHT);

    GLint depthBits = 0, doubleBuffer = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_GE(depthBits, 16);
    EXPECT_TRUE(doubleBuffer);

    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {1, 2, 3, 4};
    glReadBuffer(GL_BACK);
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[2], 0);
    glClearColor(0, 0, 0, 0);
}

TEST(PlatformGl, FontListsDrawGlyphsAndAdvance)
{
    ASSERT_TRUE(testGlContext());
    glContextBuildFontLists(0, 256, 1000);
    for (int c : {0, 65, 57, 32, 255})
        EXPECT_TRUE(glIsList(1000 + c)) << c;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(-0.85f, -0.9f);
    GLfloat before[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
    glListBase(1000);
    const char text[] = "88 fps";
    glCallLists(6, GL_UNSIGNED_BYTE, text);
    GLfloat after[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
    // A small screen font, fixed or proportional: 4 to 10 pixels a character.
    EXPECT_GE(after[0] - before[0], 6 * 4.0f);
    EXPECT_LE(after[0] - before[0], 6 * 10.0f);
    EXPECT_EQ(after[1], before[1]);

    // The text's pixels are lit, and they sit around the raster position.
    std::vector<unsigned char> pixels(TEST_GL_WIDTH * TEST_GL_HEIGHT * 4);
    glReadPixels(0, 0, TEST_GL_WIDTH, TEST_GL_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0, minY = TEST_GL_HEIGHT, maxY = -1;
    for (int yy = 0; yy < TEST_GL_HEIGHT; yy++)
        for (int xx = 0; xx < TEST_GL_WIDTH; xx++)
            if (pixels[(yy * TEST_GL_WIDTH + xx) * 4] > 128) {
                lit++;
                minY = std::min(minY, yy);
                maxY = std::max(maxY, yy);
            }
    EXPECT_GT(lit, 40);
    EXPECT_GE(minY, static_cast<int>(before[1]) - 4);  // digits don't descend far
    EXPECT_LE(maxY, static_cast<int>(before[1]) + 13);
}

TEST(PlatformInput, QueueKeepsOrderAndQuitCarriesItsCode)
{
    ASSERT_TRUE(testGlContext());
    inputUseScript(true);
    Message m;
    while (peekMessage(&m)) {
    }
    inputScriptChar('t');
    postQuitMessage(7);
    inputScriptChar(27);
    ASSERT_TRUE(peekMessage(&m));
    EXPECT_EQ(m.type, MESSAGE_CHAR);
    EXPECT_EQ(m.code, 't');
    ASSERT_TRUE(peekMessage(&m));
    EXPECT_EQ(m.type, MESSAGE_QUIT);
    EXPECT_EQ(m.code, 7);
    ASSERT_TRUE(peekMessage(&m));
    EXPECT_EQ(m.code, 27);
    EXPECT_FALSE(peekMessage(&m));
    inputUseScript(false);
}

TEST(PlatformInput, KeyStateHasHeldBitAndPressedSinceLastQueryBit)
{
    inputUseScript(true);
    EXPECT_EQ(getAsyncKeyState(KEY_F), 0);
    inputScriptKey(KEY_F, true);
    EXPECT_EQ(static_cast<uint16_t>(getAsyncKeyState(KEY_F)), 0x8001u);
    EXPECT_EQ(static_cast<uint16_t>(getAsyncKeyState(KEY_F)), 0x8000u);
    EXPECT_LT(getAsyncKeyState(KEY_F), 0);  // the sign bit is the held bit
    inputScriptKey(KEY_F, false);
    EXPECT_EQ(getAsyncKeyState(KEY_F), 0);

    // A tap between two queries still shows, once.
    inputScriptKey(KEY_E, true);
    inputScriptKey(KEY_E, false);
    EXPECT_EQ(getAsyncKeyState(KEY_E), 1);
    EXPECT_EQ(getAsyncKeyState(KEY_E), 0);
    EXPECT_EQ(getAsyncKeyState(KEY_W), 0);
    inputUseScript(false);
}

namespace {
std::vector<int> watched;  // characters as codes, key changes as 1000 + 10 * key + down
}

TEST(PlatformInput, WatchersSeeDeliveredCharactersAndKeyChanges)
{
    inputUseScript(true);
    watched.clear();
    inputWatch([](int code) { watched.push_back(code); },
               [](Key key, bool down) { watched.push_back(1000 + 10 * key + down); });
    inputScriptChar('L');
    inputScriptKey(KEY_W, true);
    inputScriptKey(KEY_W, true);  // no change, nothing seen
    EXPECT_EQ(watched, std::vector<int>({1000 + 10 * KEY_W + 1}));  // the character is not yet delivered
    Message m;
    while (peekMessage(&m)) {
    }
    inputScriptKey(KEY_W, false);
    inputWatch(nullptr, nullptr);
    inputScriptChar('t');
    while (peekMessage(&m)) {
    }
    EXPECT_EQ(watched, std::vector<int>({1000 + 10 * KEY_W + 1, 'L', 1000 + 10 * KEY_W}));
    inputUseScript(false);
}

TEST(PlatformClock, CounterIsMonotonicAtItsFrequency)
{
    ASSERT_GT(clockFrequency(), 1000);
    int64_t a = clockCounter();
    int64_t b = clockCounter();
    EXPECT_GE(b, a);
}
