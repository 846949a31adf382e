// The island: its height field, "Height.raw", LAND.KMO and its texture.
//
// The character's behaviour shapes the island. He starts at the origin and
// must stand dry there at the starting sea level (-15) but swim there when
// the sea is raised to its top (-3), so the ground at the origin lies at
// -9.95. He walks to random dry goals in the square -50..49 and, when on
// fire, runs for deep water (ground below -20) anywhere in -40..39: the
// island's shore lies 24 to 38 units out, with a shelf that falls to the
// deep sea floor a few units further. The room stands on a flat pad of
// 32 x 32 units around the origin; a rocky headland rises behind it, a low
// knoll on the peninsula, and a sandbank lies off the far shore.
#include <cmath>
#include <cstdio>

#include "tools/content/content.h"
#include "tools/content/terrain.h"

namespace {

// The difference of two angles, in (-pi, pi].
float angleBetween(float a, float b)
{
    float d = std::fmod(a - b, 6.2831853f);
    if (d > 3.14159265f)
        d -= 6.2831853f;
    if (d <= -3.14159265f)
        d += 6.2831853f;
    return d;
}

// Distance from the origin to the shore line in the direction theta: a
// rounded island with a peninsula toward +x +z and a bay on the -x +z side.
float shoreRadius(float theta)
{
    float peninsula = angleBetween(theta, 0.75f) / 0.35f;
    float bay = angleBetween(theta, 2.3f) / 0.3f;
    return 32.0f + 3.5f * std::sin(2.0f * theta + 0.6f) + 2.5f * std::sin(3.0f * theta - 1.1f) +
           1.5f * std::sin(5.0f * theta + 2.0f) + 6.0f * std::exp(-peninsula * peninsula) - 5.0f * std::exp(-bay * bay);
}

// Ground height against s, the distance from the origin over the shore
// radius: a low plateau, a long gentle slope that reaches the starting sea
// level at s = 1 (the beach), an underwater shelf and the deep sea floor.
float profile(float s)
{
    if (s <= 0.5f)
        return -10.0f;
    if (s <= 1.0f)
        return lerp(-10.0f, -15.4f, smoothstep(0.5f, 1.0f, s));
    if (s <= 1.22f)
        return lerp(-15.4f, -22.5f, smoothstep(1.0f, 1.22f, s));
    return lerp(-22.5f, -27.5f, smoothstep(1.22f, 1.7f, s));
}

float bump(float x, float z, float cx, float cz, float radius)
{
    float dx = x - cx;
    float dz = z - cz;
    return std::exp(-(dx * dx + dz * dz) / (radius * radius));
}

// The designed ground height at a world point, before quantisation.
float designedHeight(float x, float z)
{
    float d = std::sqrt(x * x + z * z);
    float theta = std::atan2(z, x);
    float s = d / shoreRadius(theta);
    float h = profile(s);

    // Rolling ground inland and an uneven sea floor.
    float inland = 1.0f - smoothstep(0.7f, 0.95f, s);
    h += 1.5f * inland * fractalNoise(x * 0.06f, z * 0.06f, 11u, 3);
    h += 1.2f * smoothstep(1.1f, 1.4f, s) * fractalNoise(x * 0.05f, z * 0.05f, 12u, 3);

    // A rocky headland behind the room, falling steeply to the sea, and a
    // low grassy knoll on the peninsula.
    h += 8.5f * bump(x, z, -20.0f, -15.0f, 7.0f);
    h += 3.0f * bump(x, z, 19.0f, 17.0f, 6.0f);
    // A small sandbank off the far shore, across deep water, just dry at
    // the starting sea level.
    float islet = bump(x, z, 40.0f, -31.0f, 9.0f);
    h = std::fmax(h, lerp(-27.0f, -14.2f, std::pow(islet, 0.6f)));

    // The flat pad the room stands on, blended into the land around it.
    float padWeight = 1.0f - smoothstep(18.0f, 26.0f, d);
    h = lerp(h, terrainSampleHeight(roomGroundByte), padWeight);
    return h;
}

}  // namespace

HeightField designHeightField()
{
    HeightField field;
    for (int r = 0; r < TERRAIN_SIZE; ++r) {
        for (int c = 0; c < TERRAIN_SIZE; ++c) {
            float x = terrainSampleX(c);
            float z = terrainSampleX(r);
            float h = designedHeight(x, z);
            if (std::fabs(x) <= roomPadHalfSize && std::fabs(z) <= roomPadHalfSize)
                h = terrainSampleHeight(roomGroundByte);
            long b = std::lround((h + 29.0f) / 0.15f);
            if (b < 0)
                b = 0;
            if (b > 255)
                b = 255;
            field.bytes[r][c] = static_cast<uint8_t>(b);
        }
    }
    return field;
}

float heightFieldAt(const HeightField& field, float x, float z)
{
    float u = (x + 64.0f) * 0.008064516f;
    float v = (z + 64.0f) * 0.008064516f;
    if (u < 0.0f || v < 0.0f || u > 1.0f || v > 1.0f)
        return -30.0f;
    float fu = 31.0f * u;
    float fv = 31.0f * v;
    int iu = static_cast<int>(fu);
    int iv = static_cast<int>(fv);
    float tu = fu - static_cast<float>(iu);
    float tv = fv - static_cast<float>(iv);
    int iu1 = iu < 31 ? iu + 1 : 31;
    int iv1 = iv < 31 ? iv + 1 : 31;
    float a = field.bytes[iv][iu];
    float b = field.bytes[iv][iu1];
    float c = field.bytes[iv1][iu];
    float d = field.bytes[iv1][iu1];
    float value = ((1.0f - tu) * c + tu * d) * tv + (tu * b + (1.0f - tu) * a) * (1.0f - tv);
    float h = value * 0.15f - 29.0f;
    return h < -30.0f ? -30.0f : h;
}

// One vertex per sample, textured with the whole painted map, and two
// triangles per cell, counter-clockwise seen from above. Each cell is split
// along the diagonal whose ends differ less in height, which follows ridges
// and valleys better than a fixed split.
static Model buildLandModel(const HeightField& field)
{
    Model model;
    int32_t material = model.addMaterial("LAND.BMP", 1);
    for (int r = 0; r < TERRAIN_SIZE; ++r)
        for (int c = 0; c < TERRAIN_SIZE; ++c)
            model.addVertex(terrainSampleX(c), terrainSampleHeight(field.bytes[r][c]), terrainSampleX(r),
                            static_cast<float>(c) / 31.0f, static_cast<float>(r) / 31.0f);
    for (int r = 0; r + 1 < TERRAIN_SIZE; ++r) {
        for (int c = 0; c + 1 < TERRAIN_SIZE; ++c) {
            int32_t v00 = r * TERRAIN_SIZE + c;  // v00 and v10 along +x, v01 along +z
            int32_t v10 = v00 + 1;
            int32_t v01 = v00 + TERRAIN_SIZE;
            int32_t v11 = v01 + 1;
            int d0 = std::abs(field.bytes[r][c] - field.bytes[r + 1][c + 1]);
            int d1 = std::abs(field.bytes[r][c + 1] - field.bytes[r + 1][c]);
            if (d0 <= d1) {
                model.addTriangle(v00, v01, v11, material);
                model.addTriangle(v00, v11, v10, material);
            } else {
                model.addTriangle(v00, v01, v10, material);
                model.addTriangle(v10, v01, v11, material);
            }
        }
    }
    return model;
}

static bool writeHeightMap(const std::string& path, const HeightField& field)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(field.bytes, 1, sizeof field.bytes, f) == sizeof field.bytes;
    return std::fclose(f) == 0 && ok;
}

bool makeTerrain(const std::string& folder)
{
    HeightField field = designHeightField();
    bool ok = writeHeightMap(folder + "Height.raw", field);
    ok = writeKmo(folder + "LAND.KMO", buildLandModel(field)) && ok;
    // 512 texels a side: as sharp as the land shows up to 1280 x 1024, a
    // quarter of the bytes to load (and to download, in the browser) of 1024.
    ok = writeBmp(folder + "LAND.BMP", paintLandTexture(field, 512)) && ok;
    return ok;
}
