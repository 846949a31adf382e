// The platform layer's message queue and scripted keyboard, which the
// replay and every interactive test lean on, and the letter a key gives
// when the keyboard layout types no Latin letter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/input.h"
#include "platform/shared/key_letters.h"
#include "tests/support/gl_test_context.h"

namespace {

std::vector<int> watched;  // characters as codes, key changes as 1000 + 10 * key + down

// The queued messages' types and codes, emptying the queue.
std::vector<int> drain()
{
    std::vector<int> taken;
    for (Message m; inputNextMessage(&m);)
        taken.insert(taken.end(), {m.type, m.code});
    return taken;
}

}  // namespace

TEST(PlatformInput, QueueWatchersAndKeyStates)
{
    ASSERT_TRUE(testGlContext());
    inputUseScript(true);
    drain();
    watched.clear();
    inputWatch([](int code) { watched.push_back(code); },
               [](Key key, bool down) { watched.push_back(1000 + 10 * key + down); });
    inputScriptChar('L');
    inputPostQuit(7);
    inputScriptKey(KEY_W, true);
    inputScriptKey(KEY_W, true);                                    // no change, nothing seen
    inputScriptKey(static_cast<Key>(KEY_COUNT), true);              // no such key
    EXPECT_EQ(watched, std::vector<int>({1000 + 10 * KEY_W + 1}));  // the character is not yet delivered
    EXPECT_EQ(drain(), std::vector<int>({MESSAGE_CHAR, 'L', MESSAGE_QUIT, 7}));
    inputScriptKey(KEY_W, false);
    inputWatch(nullptr, nullptr);
    inputScriptChar(27);
    EXPECT_EQ(drain(), std::vector<int>({MESSAGE_CHAR, 27}));
    EXPECT_EQ(watched, std::vector<int>({1000 + 10 * KEY_W + 1, 'L', 1000 + 10 * KEY_W}));

    // Held (2) and pressed since the last query (1), so a tap between two queries shows once.
    std::vector<int> states;
    auto query = [&](Key key) {
        const KeyState state = inputKeyState(key);
        states.push_back((state.held ? 2 : 0) + (state.pressed ? 1 : 0));
    };
    query(KEY_F);
    inputScriptKey(KEY_F, true);
    query(KEY_F);
    query(KEY_F);
    inputScriptKey(KEY_F, false);
    query(KEY_F);
    inputScriptKey(KEY_E, true);
    inputScriptKey(KEY_E, false);
    query(KEY_E);
    query(KEY_E);
    EXPECT_EQ(states, std::vector<int>({0, 3, 2, 0, 1, 0}));
    inputUseScript(false);
}

TEST(PlatformInput, LetterKeysGiveLatinLettersWhateverTheLayout)
{
    struct Case {
        const char* name;
        int typed, keyLetter;
        bool shift, capsLock;
        int expected;
    };
    const Case cases[] = {
        {"a Latin letter stays as typed", 'l', 'L', false, false, 'l'},
        {"an AZERTY key types its own letter", 'q', 'A', false, false, 'q'},
        {"Cyrillic de on the L key", 0x434, 'L', false, false, 'l'},
        {"Cyrillic capital ie on the T key", 0x415, 'T', true, false, 'T'},
        {"Greek tau with Caps Lock", 0x3A4, 'T', false, true, 'T'},
        {"Shift and Caps Lock cancel out", 0x3C4, 'T', true, true, 't'},
        {"an input method typed nothing", 0, 'L', true, false, 'L'},
        {"Esc is no letter key", 27, 0, false, false, 27},
        {"a Latin-1 letter on a digit key", 0xE9, 0, false, false, 0xE9},
        {"a non-Latin letter on no letter key", 0x451, 0, false, false, 0x451},
    };
    for (const Case& c : cases)
        EXPECT_EQ(characterFromKey(c.typed, c.keyLetter, c.shift, c.capsLock), c.expected) << c.name;
}
