// A long, seeded run of the whole frame step with random frame times and
// random keys: every value stays finite, every mesh stays bounded, nothing
// crashes. Shorter under the sanitizers; tools/soak.sh sets the frame count
// and the seed for a long run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "app/controls.h"
#include "app/main_loop.h"
#include "app/scene_reset.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/input.h"
#include "scene/director.h"
#include "scene/pose_program.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "tests/support/gl_checks.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int defaultSoakFrames = 1000;
#else
const int defaultSoakFrames = 4000;
#endif

int64_t soakCounter = 0;  // the clock the frames read, in microseconds

}  // namespace

TEST(Soak, RandomFramesAndKeysKeepTheSceneFiniteAndBounded)
{
    REQUIRE_GL();
    // The real start-up, as in a fresh process: from the run folder, with the
    // effects' meshes empty (other tests of this process may have built them).
    std::filesystem::current_path(VEXARION_RUN_DIR);
    terrainForgetMap();
    for (Mesh* mesh : {&meshes.firePuff, &meshes.lightning, &meshes.tornado, &meshes.water}) {
        mesh->ClearVertices();
        mesh->ClearFaces();
    }
    resetSceneState();
    inputUseScript(true);
    FrameLoop loop;
    initFrameLoop(&loop, 1000000);
    loadScene();
    auto meshSizes = [] {
        return std::vector<int32_t>{meshes.tornado.vertexCount, meshes.tornado.faceCount, meshes.water.vertexCount,
                                    meshes.firePuff.vertexCount, meshes.character.vertexCount};
    };
    const std::vector<int32_t> loadedSizes = meshSizes();

    const char *framesSet = std::getenv("VEXARION_SOAK_FRAMES"), *seedSet = std::getenv("VEXARION_SOAK_SEED");
    const int soakFrames = framesSet ? std::atoi(framesSet) : defaultSoakFrames;
    std::mt19937 random(static_cast<uint32_t>(seedSet ? std::atoi(seedSet) : 20261206));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Key keys[] = {KEY_E, KEY_W, KEY_SHIFT, KEY_F};
    const char letters[] = {'L', 'l', 't', 'T', 'x', 't', 'T'};
    bool held[4] = {false, false, false, false};
    int32_t mostLightningVertices = 0;
    int statesSeen = 0;

    for (int frame = 0; frame < soakFrames; frame++) {
        // Mostly ordinary frames, some long stalls, some of no time at all.
        double seconds = unit(random) < 0.05 ? unit(random) * 0.5 : unit(random) * 0.05;
        if (unit(random) < 0.02)
            seconds = 0.0;
        soakCounter += static_cast<int64_t>(seconds * 1e6);
        for (int k = 0; k < 4; k++)
            if (unit(random) < 0.01) {
                held[k] = !held[k];
                inputScriptKey(keys[k], held[k]);
            }
        if (unit(random) < 0.005)
            inputScriptChar(letters[random() % sizeof letters]);

        ASSERT_TRUE(runFrame(&loop, [] { return soakCounter; })) << "frame " << frame;

        const float values[] = {scene.frameTime,
                                scene.totalTime,
                                scene.characterScale,
                                scene.characterPosition.x,
                                scene.characterPosition.y,
                                scene.characterPosition.z,
                                director.heading,
                                director.walkTarget.x,
                                director.walkTarget.z,
                                director.actionTimer,
                                scene.seaLevel,
                                scene.landLevel,
                                lightning.flashIntensity,
                                tornado.bottom,
                                tornado.speed,
                                tornado.visibility,
                                controls.quakeVolume,
                                controls.seaVolume,
                                scene.yaw,
                                director.fallSpeed,
                                director.spiralAngle,
                                director.tumbleAngles.x,
                                director.tumbleAngles.y};
        for (size_t i = 0; i < sizeof values / sizeof values[0]; i++)
            ASSERT_TRUE(std::isfinite(values[i])) << "value " << i << " at frame " << frame;
        ASSERT_GE(scene.landLevel, -50.0f - 0.5f * 5.0f);
        ASSERT_LE(scene.seaLevel, -3.0f + 0.5f * 5.0f);
        ASSERT_EQ(meshSizes(), loadedSizes) << "frame " << frame;
        ASSERT_LE(meshes.lightning.vertexCount, 120 * 64);
        mostLightningVertices = std::max(mostLightningVertices, meshes.lightning.vertexCount);
        for (int32_t v = 0; frame % 97 == 0 && v < meshes.character.vertexCount; v++) {
            const auto& p = meshes.character.vertices[v];
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << "vertex " << v;
        }
        statesSeen |= 1 << static_cast<int>(director.state);
    }
    inputUseScript(false);
    // No teardown: it would release the OpenGL context that the other tests
    // of this process still draw with (the replays tell the teardown).
    EXPECT_EQ(loop.exitCode, 0);
    EXPECT_GE(mostLightningVertices, 120);  // lightning did strike
    EXPECT_TRUE(statesSeen & (1 << static_cast<int>(DirectorState::Swim)));
}
