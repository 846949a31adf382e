// The one random generator: the same sequence on every platform, from a
// state that starts at 1.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/scene_reset.h"
#include "scene/random.h"
#include "scene/scene_state.h"

const uint32_t stateAtStart = randomGenerator.state;  // read before any test runs: nothing has drawn yet

// From near the top of the state the products wrap modulo 2^32 at once, and
// results with the sixteenth bit set show that they keep only fifteen bits.
TEST(Random, StartsAtOneAndWrapsModulo2To32KeepingFifteenBits)
{
    EXPECT_EQ(stateAtStart, 1u);
    randomGenerator.state = 0xFFFFFFF0u;
    std::vector<int> drawn(12);
    for (int& value : drawn)
        value = randomNext();
    EXPECT_EQ(drawn,
              (std::vector<int>{32754, 32353, 30323, 10640, 7662, 14505, 24102, 13586, 8409, 30677, 8220, 27396}));
    EXPECT_EQ(randomGenerator.state, 0xEB043EFCu);
    scene.landLevel = 5.0f;
    scene.characterPosition = Vec3{1.0f, 2.0f, 3.0f};
    resetSceneState();  // a test starts from the program's first number, with the scene as at start-up
    EXPECT_TRUE(randomGenerator.state == 1u && scene.landLevel == 0.0f && scene.characterPosition.x == 0.0f &&
                scene.characterPosition.y == 0.0f);
}
