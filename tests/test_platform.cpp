// The platform layer's message queue and scripted keyboard, which the
// replay and every interactive test lean on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/gl.h"
#include "platform/glcontext.h"
#include "platform/input.h"
#include "tests/support/gl_test_context.h"

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
    inputScriptKey(KEY_W, true);                                    // no change, nothing seen
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
