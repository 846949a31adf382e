// The painted land texture: one picture over the whole height map.
//
// Every texel looks up the ground height and slope at its world point
// (the same bilinear height the program uses) and is painted by them: a
// dark sea floor in deep water, pale sand under the shallows, wet and dry
// sand along the starting water line, grass inland with meadow patches and
// flowers, bare rock on steep slopes and the hilltop, and a trodden path
// from the room's door down to the beach.
#include <cmath>

#include "tools/content/content.h"
#include "tools/content/terrain.h"

namespace {

const Colour deepFloor{0.07f, 0.17f, 0.22f};
const Colour shelfFloor{0.30f, 0.40f, 0.36f};
const Colour shallowSand{0.66f, 0.62f, 0.46f};
const Colour wetSand{0.72f, 0.64f, 0.46f};
const Colour drySand{0.93f, 0.85f, 0.63f};
const Colour grassDark{0.20f, 0.42f, 0.12f};
const Colour grassLight{0.42f, 0.64f, 0.20f};
const Colour meadowGreen{0.55f, 0.66f, 0.25f};
const Colour rockDark{0.36f, 0.34f, 0.32f};
const Colour rockLight{0.62f, 0.60f, 0.56f};
const Colour pathColour{0.62f, 0.52f, 0.36f};

// The path: from the room's door (+z side) down to the southern beach, with
// a branch up toward the hill.
struct Point2 {
    float x, z;
};
const Point2 pathPoints[] = {{0.0f, 12.0f}, {2.0f, 17.0f}, {-1.0f, 22.0f}, {1.5f, 27.0f}, {0.0f, 32.0f}};
const Point2 hillPath[] = {{-12.0f, 0.0f}, {-16.0f, -3.0f}, {-18.0f, -7.5f}};

float distanceToSegment(float x, float z, Point2 a, Point2 b)
{
    float dx = b.x - a.x;
    float dz = b.z - a.z;
    float t = clamp01(((x - a.x) * dx + (z - a.z) * dz) / (dx * dx + dz * dz));
    float ex = x - (a.x + t * dx);
    float ez = z - (a.z + t * dz);
    return std::sqrt(ex * ex + ez * ez);
}

template <int N>
float distanceToPath(float x, float z, const Point2 (&points)[N])
{
    float best = 1e9f;
    for (int i = 0; i + 1 < N; ++i)
        best = std::fmin(best, distanceToSegment(x, z, points[i], points[i + 1]));
    return best;
}

Colour paintTexel(const HeightField& field, float x, float z, Rng& rng)
{
    float h = heightFieldAt(field, x, z);
    float gx = heightFieldAt(field, x + 1.0f, z) - heightFieldAt(field, x - 1.0f, z);
    float gz = heightFieldAt(field, x, z + 1.0f) - heightFieldAt(field, x, z - 1.0f);
    float slope = 0.5f * std::sqrt(gx * gx + gz * gz);

    float coarse = fractalNoise(x * 0.08f, z * 0.08f, 101u, 4);
    float fine = fractalNoise(x * 0.9f, z * 0.9f, 102u, 3);
    float grain = rng.range(-1.0f, 1.0f);

    // Sea floor, darker with depth, rippled.
    Colour floorColour = mix(shallowSand, shelfFloor, smoothstep(-15.6f, -19.0f, h));
    floorColour = mix(floorColour, deepFloor, smoothstep(-19.0f, -25.0f, h));
    floorColour = scaled(floorColour, 1.0f + 0.12f * coarse + 0.06f * fine);

    // Sand along the water line; its upper edge wanders with the noise.
    Colour sand = mix(wetSand, drySand, smoothstep(-15.2f, -14.4f, h + 0.3f * fine));
    sand = scaled(sand, 1.0f + 0.05f * fine + 0.04f * grain);

    // Grass: light and dark patches, meadow clearings and a few flowers.
    float patch = smoothstep(-0.35f, 0.45f, coarse);
    Colour grass = mix(grassDark, grassLight, patch);
    grass = mix(grass, meadowGreen, 0.5f * smoothstep(0.3f, 0.6f, fractalNoise(x * 0.05f, z * 0.05f, 103u, 2)));
    grass = scaled(grass, 1.0f + 0.12f * fine + 0.08f * grain);
    float flowers = rng.uniform();
    if (flowers > 0.994f)
        grass = Colour{0.95f, 0.92f, 0.55f};
    else if (flowers > 0.989f)
        grass = Colour{0.92f, 0.90f, 0.92f};

    // Blend the layers: floor -> sand -> grass, with rock on steep ground
    // and the hilltop.
    float sandLine = -13.4f + 0.7f * coarse;
    Colour c = mix(floorColour, sand, smoothstep(-16.2f, -15.3f, h));
    c = mix(c, grass, smoothstep(sandLine - 0.3f, sandLine + 0.5f, h));
    float rockiness = smoothstep(0.85f, 1.25f, slope + 0.15f * fine);
    rockiness = std::fmax(rockiness, smoothstep(-7.5f, -6.0f, h + 0.6f * fine));
    rockiness *= smoothstep(-15.8f, -14.8f, h);  // no rock under the water
    if (rockiness > 0.0f) {
        // Rock: streaked greys with dark cracks.
        float streak = fractalNoise(x * 0.35f, z * 0.12f, 104u, 3);
        Colour rock = mix(rockDark, rockLight, clamp01(0.5f + 0.7f * streak));
        if (std::fabs(fractalNoise(x * 0.25f, z * 0.25f, 105u, 3)) < 0.025f)
            rock = scaled(rock, 0.6f);
        c = mix(c, scaled(rock, 1.0f + 0.06f * grain), rockiness);
    }

    // The trodden path, only on dry ground.
    float pathDistance = std::fmin(distanceToPath(x, z, pathPoints), distanceToPath(x, z, hillPath));
    float pathWidth = 1.1f + 0.35f * fine;
    float onPath = (1.0f - smoothstep(pathWidth - 0.4f, pathWidth + 0.3f, pathDistance)) *
                   smoothstep(-14.6f, -13.6f, h) * (1.0f - rockiness);
    c = mix(c, scaled(pathColour, 1.0f + 0.1f * fine + 0.06f * grain), onPath);
    return c;
}

}  // namespace

Image paintLandTexture(const HeightField& field, int size)
{
    Image image(size, size);
    Rng rng(0x1A4Du);
    const float step = 124.0f / static_cast<float>(size);
    for (int py = 0; py < size; ++py) {
        float z = -64.0f + (static_cast<float>(py) + 0.5f) * step;
        for (int px = 0; px < size; ++px) {
            float x = -64.0f + (static_cast<float>(px) + 0.5f) * step;
            image.at(px, py) = paintTexel(field, x, z, rng);
        }
    }
    return image;
}
