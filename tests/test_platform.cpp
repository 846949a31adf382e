// The platform layer's message queue and scripted keyboard, which the
// replay and every interactive test lean on, and the letter a key gives
// when the keyboard layout types no Latin letter.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/input.h"
#include "platform/shared/key_letters.h"
#include "platform/shared/pad_map.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/input_effects.h"

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

namespace {

const unsigned E = 1u << KEY_E, W = 1u << KEY_W, F = 1u << KEY_F, SHIFT = 1u << KEY_SHIFT;

}  // namespace

TEST(PlatformInput, PadTypesAndHoldsTheKeyboardsKeys)
{
    ASSERT_TRUE(testGlContext());
    inputUseScript(false);
    inputEffect();
    PadSlot pad;
    PadReading r;

    // Face buttons type once per press, however long they are held.
    r.buttons[PAD_SOUTH] = true;
    padFeed(0, &pad, r);
    padFeed(0, &pad, r);
    r.buttons[PAD_SOUTH] = false;
    r.buttons[PAD_WEST] = r.buttons[PAD_NORTH] = true;
    padFeed(0, &pad, r);
    InputEffect effect = inputEffect();
    EXPECT_EQ(effect.typed, std::vector<int>({'L', 't', 'T'}));
    EXPECT_EQ(effect.held, 0u);

    // Sticks and triggers count past their dead zones; opposite directions cancel.
    struct Case {
        const char* name;
        PadButton button;
        float leftStickUp, rightStickUp, leftTrigger, rightTrigger;
        unsigned held;
    };
    const Case cases[] = {
        {"D-pad up raises the sea", PAD_UP, 0, 0, 0, 0, W | SHIFT},
        {"D-pad down lowers it", PAD_DOWN, 0, 0, 0, 0, W},
        {"left stick inside its dead zone", PAD_BUTTON_COUNT, 0.45f, 0, 0, 0, 0},
        {"left stick past it", PAD_BUTTON_COUNT, 0.6f, 0, 0, 0, W | SHIFT},
        {"left stick down", PAD_BUTTON_COUNT, -0.9f, 0, 0, 0, W},
        {"right stick up raises the land", PAD_BUTTON_COUNT, 0, 0.7f, 0, 0, E | SHIFT},
        {"left trigger sinks it", PAD_BUTTON_COUNT, 0, 0, 0.3f, 0, E},
        {"a resting finger on a trigger", PAD_BUTTON_COUNT, 0, 0, 0.2f, 0, 0},
        {"both triggers cancel out", PAD_BUTTON_COUNT, 0, 0, 1, 1, 0},
        {"sea down and land down together", PAD_DOWN, 0, 0, 1, 0, W | E},
        {"Back holds F", PAD_BACK, 0, 0, 0, 0, F},
    };
    for (const Case& c : cases) {
        PadReading reading;
        if (c.button != PAD_BUTTON_COUNT)
            reading.buttons[c.button] = true;
        reading.leftStickUp = c.leftStickUp;
        reading.rightStickUp = c.rightStickUp;
        reading.leftTrigger = c.leftTrigger;
        reading.rightTrigger = c.rightTrigger;
        padFeed(0, &pad, reading);
        EXPECT_EQ(inputEffect().held, c.held) << c.name;
    }

    // Back and Start together are Esc, typed once; Back alone still holds F.
    PadReading quit;
    quit.buttons[PAD_BACK] = quit.buttons[PAD_START] = true;
    padFeed(0, &pad, quit);
    padFeed(0, &pad, quit);
    effect = inputEffect();
    EXPECT_EQ(effect.typed, std::vector<int>({27}));
    EXPECT_EQ(effect.held, F);

    // Two controls holding one key: it stays held until both let go.
    PadSlot second;
    PadReading sink;
    sink.leftTrigger = 1;
    padFeed(0, &pad, sink);
    padFeed(1, &second, sink);
    padRelease(0, &pad);
    EXPECT_EQ(inputEffect().held, E);
    padRelease(1, &second);
    EXPECT_EQ(inputEffect().held, 0u);

    // A button held through a release types nothing until pressed anew.
    PadReading strike;
    strike.buttons[PAD_SOUTH] = true;
    padFeed(0, &pad, strike);
    EXPECT_TRUE(inputEffect().typed.empty());
    padFeed(0, &pad, PadReading());
    padFeed(0, &pad, strike);
    EXPECT_EQ(inputEffect().typed, std::vector<int>({'L'}));

    // A replay ignores the real pads.
    inputUseScript(true);
    padFeed(0, &pad, sink);
    EXPECT_EQ(inputEffect().held, 0u);
    inputUseScript(false);
}
