// The effects' geometry, which no trace shows (the bolt and whom it hits,
// the tornado's particles, the fire's trail, the water sheet), and the
// director's choices that a story can't pin down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/main_loop.h"
#include "app/scene_reset.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/quad.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "scene/angles.h"
#include "scene/director.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"
#include "tests/support/gl_checks.h"
#include "tests/support/height_files.h"

namespace {

// Every effect initialised once, from the generator's first numbers; flat
// ground at -29 but for the map's first corner, at -20.
class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testGlContext());
        resetSceneState();
        [[maybe_unused]] static const bool initialised =
            (tornadoInit(), lightningInit(), waterInit(), fireInit(), true);
        std::vector<uint8_t> map(HEIGHT_MAP_BYTES, 0);
        map[0] = 60;
        useHeightMap(map);
        scene.characterPosition = Vec3{5.0f, -29.0f, -6.0f};
    }
};

// Point j (0..15) of bolt `block` read back from its quads (segment 15 to 1).
std::vector<float> boltPoint(int block, int j)
{
    const MeshVertex* segment = meshes.lightning.vertices + 120 * block + 8 * (15 - (j > 0 ? j : 1));
    const int corner = j > 0 ? 0 : 3;
    return {segment[4 + corner].x, segment[corner].y, segment[corner].z};
}

// A particle as its quad shows it around the axis at (x, z): how far up the
// funnel its centre is (0 at the lower end, 1 at the top), how far out from
// the axis, its half-size, and whether it is a square upright in x-y.
struct Particle {
    float up, out, half;
    bool square;
};

Particle particleAround(int i, float x, float z)
{
    const MeshVertex* v = meshes.tornado.vertices + 4 * i;
    const float half = (v[1].x - v[0].x) / 2;
    bool square = half > 0 && v[1].z == v[0].z && v[2].z == v[0].z && v[3].z == v[0].z;
    for (float side : {v[2].y - v[1].y, v[2].x - v[3].x, v[3].y - v[0].y})
        square = square && std::fabs(side - 2 * half) < 1e-3f;
    return {(v[0].y + half - tornado.bottom) / (tornado.top - tornado.bottom),
            std::hypot(v[0].x + half - x, v[0].z - z), half, square};
}

}  // namespace

TEST_F(Effects, BoltWithoutSpreadHasThirtyQuadsOnTheStraightLine)
{
    meshes.lightning.ClearVertices();
    meshes.lightning.ClearFaces();
    const Vec3 a = {-3.0f, -10.0f, 7.0f}, b = {20.0f, 100.0f, -9.0f};
    lightningBolt(a, b, 0.0f);
    ASSERT_TRUE(meshes.lightning.vertexCount == 120 && meshes.lightning.faceCount == 60 &&
                std::string(meshes.lightning.materials[meshes.lightning.faces[59].material].name) == "LIGHT.BMP");
    std::vector<float> points, line;
    for (int i = 0; i < 16; ++i) {
        const float t = i < 15 ? static_cast<float>(i) / 16.0f : 1.0f;  // the last segment spans two sixteenths
        const std::vector<float> p = boltPoint(0, i);
        points.insert(points.end(), p.begin(), p.end());
        line.insert(line.end(), {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
    }
    EXPECT_TRUE(closeTo(points, line, 1e-4f));
    // Branches end where they began: a wide bolt's nesting, not its count, is
    // bounded. Every quad carries the material it was given.
    lightningBolt(a, b, 20.0f);
    EXPECT_GT(meshes.lightning.vertexCount / 120, 40);
    for (int i = 0; i < meshes.lightning.vertexCount; i += 8) {  // a segment's two quads, crossed, of one width
        const MeshVertex* q = meshes.lightning.vertices + i;
        EXPECT_TRUE(q[0].z == q[1].z && q[4].x == q[5].x && std::fabs(q[1].x - q[0].x - q[5].z + q[4].z) < 1e-3f) << i;
    }
    addQuad(meshes.lightning, 3, {}, {}, {}, {});
    EXPECT_EQ(meshes.lightning.faces[meshes.lightning.faceCount - 1].material, 3);
}

// In the water or the air he is spared for the map's first corner; a hit on
// him lights the fire and sends him running unless he is burning already.
TEST_F(Effects, StrikeHitsHimUnlessHeIsInTheWaterOrTheAir)
{
    using S = DirectorState;
    const std::tuple<S, int32_t, bool, S> cases[] = {{S::Stand, 0, true, S::Run},      {S::Crouch, 0, true, S::Run},
                                                     {S::Walk, 1, true, S::Walk},      {S::Swim, 0, false, S::Swim},
                                                     {S::Caught, 0, false, S::Caught}, {S::Fall, 0, false, S::Fall}};
    for (const auto& [state, burningBefore, hit, after] : cases) {
        resetSceneState();
        scene.characterPosition = Vec3{5.0f, -14.0f, -6.0f};
        director.state = state;
        fire.burning = burningBefore;
        lightningStrike();
        const int mainBolt = meshes.lightning.vertexCount / 120 - 1;  // branches come first
        const std::vector<float> target = hit ? std::vector<float>{5, -14, -6} : std::vector<float>{0, -20, 0};
        EXPECT_EQ(boltPoint(mainBolt, 0), target);
        EXPECT_TRUE(boltPoint(mainBolt, 15)[1] == 100.0f && director.state == after) << static_cast<int>(state);
        EXPECT_EQ(fire.end, hit && !burningBefore ? 1 : 0);
    }
}

// Each particle drew its angle (up to about 91 radians), then its height,
// from the shared generator. The lower end comes down to 5 above his ground,
// showing more and blowing louder as the funnel lengthens, and stays there
// when he walks on. The particles stay inside the funnel, narrow at the
// bottom and wide at the top: each is an upright square at its own height,
// moving out and growing as it climbs a hundredth of the funnel a frame,
// turning the slower the higher it is, until it starts again at the bottom.
TEST_F(Effects, TornadoComesDownOntoHimWithItsParticlesInsideTheFunnel)
{
    randomGenerator.state = 1;
    std::vector<float> draws(2 * TORNADO_PARTICLES), drawn, scaled;
    for (float& draw : draws)
        draw = static_cast<float>(randomNext());
    const float *angle = tornadoParticles.angle, *height = tornadoParticles.height;
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        drawn.insert(drawn.end(), {angle[i], height[i]});
        scaled.insert(scaled.end(), {draws[2 * i] * angle[0] / draws[0], draws[2 * i + 1] * height[0] / draws[1]});
    }
    EXPECT_TRUE(closeTo(drawn, scaled, 1e-3f));
    const float widest = *std::max_element(angle, angle + TORNADO_PARTICLES);
    EXPECT_TRUE(widest > 85.0f && widest < 91.1f && *std::max_element(height, height + TORNADO_PARTICLES) > 0.95f);
    const MeshFace& last = meshes.tornado.faces[511];
    EXPECT_TRUE(meshes.tornado.faceCount == 512 && last.a == 1020 && last.b == 1022 && last.c == 1023);

    useHeightMap(heightMapWithHill(0, 200, 10.0f, 0.0f, 8.0f));  // ground 1 on the hill
    scene.characterPosition = Vec3{10.0f, 1.0f, 0.0f};
    tornadoUpdate(0.1f);  // at rest: not to be seen, the wind under half its volume
    EXPECT_TRUE(std::fabs(tornado.visibility) < 1e-6f && sounds.wind.volume == soundVolumeCentibels(45));
    tornado.speed = -15.0f;
    int frames = 0;
    for (float visibility = tornado.visibility; tornado.speed != 0.0f && frames < 1000; ++frames) {
        const int32_t volume = sounds.wind.volume;
        tornadoUpdate(0.1f);
        EXPECT_TRUE(tornado.visibility >= visibility && tornado.visibility < 0.2f && sounds.wind.volume >= volume);
        visibility = tornado.visibility;
    }
    EXPECT_EQ(frames, 60);
    const MeshVertex* storage = meshes.tornado.vertices;
    scene.characterPosition.x = -20.0f;
    for (; frames < 120; ++frames)
        tornadoUpdate(0.1f);
    EXPECT_TRUE(tornado.visibility > 0.18f && sounds.wind.volume == soundVolumeCentibels(100));
    ASSERT_TRUE(closeTo({tornado.centre.x, tornado.centre.z, tornado.bottom}, {10, 0, 6}, 1e-5f));

    std::vector<Particle> before;
    for (int i = 0; i < TORNADO_PARTICLES; ++i)
        before.push_back(particleAround(i, 10.0f, 0.0f));
    const std::vector<float> angles(angle, angle + TORNADO_PARTICLES);
    tornadoParticles.height[7] = 0.995f;                                // passing the top in this frame
    tornadoParticles.height[0] = tornadoParticles.height[255] = 0.99f;  // reaching it: 52.5 and 78 out
    tornadoUpdate(0.1f);
    ASSERT_TRUE(meshes.tornado.vertexCount == 1024 && meshes.tornado.vertices == storage);
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        const Particle p = particleAround(i, 10.0f, 0.0f), was = before[i];
        const float turn = angle[i] - angles[i];
        EXPECT_TRUE(p.square && std::fabs(p.up - height[i]) < 1e-5f && p.up >= 0.0f && p.up <= 1.0f) << i;
        EXPECT_TRUE(p.out > 2.5f - 1e-3f && p.out < 78.0f + 1e-3f && (p.up > 0.1f || p.out < 4.0f) &&
                    (p.up < 0.9f || p.out > 40.0f))
            << i;
        EXPECT_TRUE(turn > 0.006f - 1e-4f && turn < 0.606f + 1e-4f) << i;  // 6.06 to 0.06 a second
        if (i == 0 || i == 255)
            EXPECT_TRUE(closeTo({p.up, p.out, p.half}, {1.0f, i == 0 ? 52.5f : 78.0f, 10.5f}, 1e-4f));
        else if (p.up > was.up)
            EXPECT_TRUE(std::fabs(p.up - was.up - 0.01f) < 1e-4f && p.out > was.out && p.half > was.half) << i;
        else
            EXPECT_TRUE(closeTo({p.up, p.out, p.half, turn}, {0.0f, 2.5f, 0.5f, 0.606f}, 1e-4f)) << i;
    }
    EXPECT_EQ(height[7], 0.0f);
    const MeshVertex* v = meshes.tornado.vertices;
    EXPECT_EQ((std::vector<float>{v[0].u, v[0].v, v[1].u, v[1].v, v[2].u, v[2].v, v[3].u, v[3].v}),
              (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    scene.yaw = 90.0f;  // the axis is pre-turned into the mesh's frame
    tornadoUpdate(0.0f);
    EXPECT_TRUE(closeTo({tornado.viewCentre.x, tornado.viewCentre.z}, {0.0f, -10.0f}, 1e-5f));
}

// Caught, he circles the axis (turned back by the scene's yaw) at 40 c^2 +
// 0.05, c his height's fraction of the funnel's. Idle with nowhere dry to
// walk to, an even draw makes him stand, an odd one crouch.
TEST_F(Effects, DirectorCirclesHimInTheFunnelOrLetsHimStandOrCrouch)
{
    for (const PlanePoint yawAndHeight : {PlanePoint{0, 10}, {0, 50}, {90, 10}, {90, 50}}) {
        resetSceneState();
        director.tumbleAngles = Vec3{359.0f, 359.0f, 0.0f};
        director.state = DirectorState::Caught;
        tornado.bottom = 0.0f;
        tornado.viewCentre = PlanePoint{10.0f, 0.0f};
        scene.yaw = yawAndHeight.x;
        scene.characterPosition = Vec3{10.0f, yawAndHeight.z, 0.0f};
        updateDirector(0.02f, directorSurroundings());
        const float c = yawAndHeight.z / 100.0f, turn = scene.yaw * static_cast<float>(radiansPerDegree),
                    r = 40.0f * c * c + 0.05f;
        const float x = 10.0f + r * std::cos(director.spiralAngle), z = r * std::sin(director.spiralAngle);
        EXPECT_TRUE(closeTo({scene.characterPosition.x, scene.characterPosition.z},
                            {x * std::cos(turn) - z * std::sin(turn), x * std::sin(turn) + z * std::cos(turn)}, 1e-3f))
            << "yaw " << scene.yaw << ", height " << yawAndHeight.z;
        EXPECT_TRUE(
            closeTo({director.spiralAngle, director.tumbleAngles.x, director.tumbleAngles.y, director.tumbleAngles.z},
                    {1.5f * (1 - c) * (1 - c), 3.6f, 13.0f, 0.0f}, 1e-4f));  // 230 and 700 degrees a second
    }
    useHeightMap(heightMapWithHill(0, 200, 0.0f, 0.0f, 3.0f));  // dry only around the origin
    for (const uint32_t seed : {1u, 2u, 3u, 4u}) {
        resetSceneState();
        scene.characterPosition = Vec3{0.0f, terrainHeightAt(0.0f, 0.0f), 0.0f};
        randomGenerator.state = seed;
        const int draw = randomNext();
        randomGenerator.state = seed;
        updateDirector(0.02f, directorSurroundings());
        EXPECT_EQ(director.state, draw % 2 == 0 ? DirectorState::Stand : DirectorState::Crouch) << seed;
    }
    resetSceneState();  // everywhere dry: the first spot drawn
    useHeightMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 200));
    randomGenerator.state = 7;
    randomNext();
    const float x = static_cast<float>(randomNext() % 100 - 50), z = static_cast<float>(randomNext() % 100 - 50);
    randomGenerator.state = 7;
    updateDirector(0.02f, directorSurroundings());
    EXPECT_TRUE(director.state == DirectorState::Walk && director.walkTarget.x == x && director.walkTarget.z == z);
}

// A step stops only within reach on both axes (20 dt walking, 2 swimming);
// the heading settles on the goal's bearing once within a degree of it. The
// map's far edge is still on it; angles that only grow wrap back by 1024 turns.
TEST_F(Effects, StepsStopWithinReachOnBothAxesAndTheHeadingSettles)
{
    const std::tuple<bool, float, float, bool> cases[] = {{false, 0.1f, 0.1f, false}, {false, 0.1f, 30.0f, true},
                                                          {false, 30.0f, 0.1f, true}, {true, 1.0f, 1.0f, false},
                                                          {true, 1.0f, 30.0f, true},  {true, 30.0f, 1.0f, true}};
    for (const auto& [swim, x, z, moves] : cases) {
        scene.characterPosition = Vec3{0.0f, -29.0f, 5.0f};
        EXPECT_EQ(swim ? swimToward(x, z + 5, 0.02f) : walkToward(x, z + 5, 0.02f), moves) << x << " " << z;
        EXPECT_EQ(scene.characterPosition.x != 0.0f || scene.characterPosition.z != 5.0f, moves) << x << " " << z;
    }
    for (const auto [from, to] : {PlanePoint{1.5f, 358.5f}, {3.5f, 0.5f}, {0.5f, 0.0f}}) {  // the goal is along +x
        scene.characterPosition = Vec3{0.0f, -29.0f, 0.0f};
        director.heading = from;
        walkToward(100.0f, 0.0f, 0.02f);
        EXPECT_TRUE(director.heading == to && scene.characterRotation.y == 90.0f - director.heading) << from;
    }
    EXPECT_EQ((std::vector<float>{terrainHeight(0, 0), terrainHeight(1, 1), terrainHeight(1.001f, 1)}),
              (std::vector<float>{-20, -29, -30}));
    EXPECT_TRUE(wrapLongAngle(7000.0f) < 6434.0f &&
                std::fabs(std::cos(wrapLongAngle(7000.0f)) - std::cos(7000.0f)) < 1e-3f);
    useHeightMap(heightMapWithHill(0, 200, 10.0f, 0.0f, 8.0f));  // on a slope he stands a unit uphill
    for (const float goal : {100.0f, -100.0f}) {
        scene.characterPosition = Vec3{1.0f, -29.0f, 0.0f};
        director.heading = goal > 0 ? 0.0f : 180.0f;
        walkToward(goal, 0.0f, 0.02f);
        EXPECT_EQ(scene.characterPosition.y, terrainHeightAt(2.0f, 0.0f)) << goal;
    }
}

// Each frame the trail moves a slot up, rising 5 a second, under a new puff
// 0.3 of his scale above his feet.
TEST_F(Effects, FireTrailGrowsWhileLitAndBurnsOutFromBelow)
{
    scene.characterScale = 10.0f;
    fireUpdate(0.1f);
    fireUpdate(0.1f);
    const Vec3* puffs = fire.puffs;
    EXPECT_EQ((std::vector<float>{puffs[0].x, puffs[0].y, puffs[0].z, puffs[1].x, puffs[1].y, puffs[1].z}),
              (std::vector<float>{5.0f, -26.0f, -6.0f, 5.0f, -25.5f, -6.0f}));
    fireIgnite();
    int drawn = 0;
    for (; drawn < 40; ++drawn) {
        fireUpdate(0.02f);
        fireAdvanceWindow();
        EXPECT_EQ(fire.end, std::min(drawn + 2, static_cast<int>(FIRE_SLOTS))) << drawn;
    }
    // Each puff is drawn at its slot, the older ones larger, the newest at
    // the quad's own size and the oldest under twice it.
    std::vector<float> drawnAt, slots, sizes;
    for (int32_t i = 0; i < FIRE_SLOTS; ++i) {
        fireDraw(i, i + 1, 0.0f);
        float origin[3], side[3];
        modelViewApply(0, 0, 0, origin);
        modelViewApply(1, 0, 0, side);
        drawnAt.insert(drawnAt.end(), origin, origin + 3);
        slots.insert(slots.end(), {fire.puffs[i].x, fire.puffs[i].y, fire.puffs[i].z});
        sizes.push_back(std::hypot(side[0] - origin[0], side[1] - origin[1], side[2] - origin[2]));
    }
    EXPECT_TRUE(closeTo(drawnAt, slots, 1e-4f));
    EXPECT_TRUE(std::adjacent_find(sizes.begin(), sizes.end(), std::greater_equal<float>()) == sizes.end());
    EXPECT_TRUE(std::fabs(sizes[0] - 1.0f) < 1e-5f && sizes.back() < 2.0f);
    const MeshVertex* puff = meshes.firePuff.vertices;  // a square of side 2
    EXPECT_EQ((std::vector<float>{puff[0].y, puff[2].x, puff[3].x, puff[3].y}), (std::vector<float>{1, 1, -1, -1}));
    fireIgnite();  // burning already: nothing changes
    EXPECT_TRUE(fire.burning == 1 && fire.first == 0 && fire.end == FIRE_SLOTS);
    fireExtinguish();
    for (drawn = 0; fire.burning && drawn < 40; ++drawn) {
        fireUpdate(0.02f);
        fireAdvanceWindow();
    }
    EXPECT_EQ(drawn, FIRE_SLOTS - 1);
}

// The sheet spans 120 by 120 around the origin in 30 strips, each column
// straight across z, the texture repeating 3 times along x and 3.2 across z.
// Its waves stay within 1 of its level, reach it, come back every 2 pi
// seconds and roll toward -x at 8 units a second.
TEST_F(Effects, WaterSheetRollsAlongXInItsOwnStorage)
{
    ASSERT_EQ(meshes.water.faceCount, 60);
    std::vector<int> faces, strips;
    for (int i = 0; i < 60; ++i) {
        const int j = i - i % 2, odd = i % 2;  // the strip's first vertex, and which of its faces
        faces.insert(faces.end(), {meshes.water.faces[i].a, meshes.water.faces[i].b, meshes.water.faces[i].c});
        strips.insert(strips.end(), {j, j + 1 + 2 * odd, j + 3 - odd});
    }
    EXPECT_EQ(faces, strips);
    const MeshVertex* storage = meshes.water.vertices;
    const auto heights = [storage](float t) {
        waterUpdate(t);
        EXPECT_TRUE(meshes.water.vertexCount == 62 && meshes.water.vertices == storage) << t;
        std::vector<float> columns;
        for (int i = 0; i < 62; i += 2)
            columns.push_back(storage[i].y);
        return columns;
    };
    const float twoPi = 6.2831853f;
    for (float t : {0.0f, 1.25f, 1000.0f}) {
        const std::vector<float> now = heights(t);
        std::vector<float> sheet, straight;
        for (int i = 0; i < 62; i += 2) {
            const MeshVertex &near = storage[i], &far = storage[i + 1];
            sheet.insert(sheet.end(), {near.x, near.z, near.u, near.v, far.x, far.y, far.z, far.u, far.v});
            const float across = static_cast<float>(i) / 60.0f;  // 0 to 1 along x
            straight.insert(straight.end(), {120 * across - 60, -60, 3 * across, 0, near.x, near.y, 60, near.u, 3.2f});
        }
        EXPECT_TRUE(closeTo(sheet, straight, 1e-4f)) << "time " << t;
        const auto [lowest, highest] = std::minmax_element(now.begin(), now.end());
        EXPECT_TRUE(*lowest >= -1 && *lowest < -0.95f && *highest <= 1 && *highest > 0.95f) << "time " << t;
        EXPECT_TRUE(closeTo(heights(t + twoPi), now, 1e-3f)) << "time " << t;
        const std::vector<float> later = heights(t + 0.5f);  // a column of 4 units on in half a second
        EXPECT_TRUE(closeTo(std::vector<float>(later.begin(), later.end() - 1),
                            std::vector<float>(now.begin() + 1, now.end()), 1e-3f))
            << "time " << t;
    }
    EXPECT_EQ(heights(0.0f)[0], 0.0f);
}
