// MAN.KMO: the character, a jointed figure of 16 rigid parts.
//
// Every body part is a closed tube of elliptical rings around an axis,
// tapering to a point at both ends so that parts overlap smoothly at the
// joints and no cracks open when a joint turns. Each part's vertices are
// bound to the one joint that moves it: pelvis (0), chest (1), neck (2),
// head (3), upper arms (4, 7), forearms (5, 8), hands (6, 9), thighs
// (10, 13), shins (11, 14) and feet (12, 15).
//
// Rest pose: upright, facing +z, arms straight out along x, soles at y = 0,
// hips at 0.5, the crown of the head at about 1.03.
//
// Sides: shoulder 4 is on -x, shoulder 7 on +x, so that the arms' third
// angles of -85 and 85 hang both arms down. Hip 10 is on -x and hip 13 on
// +x: the walk's first stride swings hip 10's leg forward together with
// shoulder 7's arm, so this way each arm swings with the opposite leg, as
// people walk. (The standing pose's hip angles of -5 and 5 then draw the
// feet a little together; with hips 0.16 apart they stay well apart.)
#include <cmath>

#include "tools/content/man.h"

namespace {

struct V3 {
    float x, y, z;
};

V3 cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// One ring of a tube: its place along the axis, its two radii (along e1 and
// e2) and an offset of its centre along e1.
struct Ring {
    float s, r1, r2, shift;
};

// A tube: rings placed at base + axis * s, spanned by e1 and e2.
struct Tube {
    V3 base, axis, e1, e2;
    int joint;
    const AtlasRegion* region;
    int sides;
};

const V3 axisUp{0, 1, 0};
const V3 axisBack{0, 0, -1};
const V3 axisRight{1, 0, 0};  // +x
const V3 axisFront{0, 0, 1};

// Upright parts: e1 points back, e2 along +x, so u = 0 is the back and
// u = 0.5 the front.
Tube upright(float x, float z, int joint, const AtlasRegion& region, int sides = 10)
{
    return Tube{V3{x, 0, z}, axisUp, axisBack, axisRight, joint, &region, sides};
}

// Arms along -x (side -1) or +x (side +1), from the body's axis at the
// shoulders' height: e1 up, so u = 0 is the top.
Tube arm(float side, int joint, const AtlasRegion& region)
{
    return Tube{V3{0, 0.83f, 0}, V3{side, 0, 0}, axisUp, axisFront, joint, &region, 10};
}

float texU(const AtlasRegion& r, float u)
{
    return (static_cast<float>(r.x) + 2.0f + u * static_cast<float>(r.w - 4)) / MAN_TEXTURE_SIZE;
}
float texV(const AtlasRegion& r, float v)
{
    return (static_cast<float>(r.y) + 2.0f + v * static_cast<float>(r.h - 4)) / MAN_TEXTURE_SIZE;
}

template <int N>
void addTube(Model& model, int32_t material, const Tube& tube, const Ring (&rings)[N])
{
    const int sides = tube.sides;
    const int32_t first = static_cast<int32_t>(model.vertices.size());
    const float span = rings[N - 1].s - rings[0].s;
    for (int k = 0; k < N; ++k) {
        const Ring& ring = rings[k];
        float v = (ring.s - rings[0].s) / span;
        for (int j = 0; j <= sides; ++j) {
            float phi = 2.0f * 3.14159265f * static_cast<float>(j) / static_cast<float>(sides);
            float a = ring.shift + ring.r1 * std::cos(phi);
            float b = ring.r2 * std::sin(phi);
            float x = tube.base.x + tube.axis.x * ring.s + tube.e1.x * a + tube.e2.x * b;
            float y = tube.base.y + tube.axis.y * ring.s + tube.e1.y * a + tube.e2.y * b;
            float z = tube.base.z + tube.axis.z * ring.s + tube.e1.z * a + tube.e2.z * b;
            float u = static_cast<float>(j) / static_cast<float>(sides);
            model.addVertex(x, y, z, texU(*tube.region, u), texV(*tube.region, v), tube.joint);
        }
    }
    // Going round in increasing angle and along the rings in order faces
    // outward when (e1, e2, ring direction) is right-handed.
    V3 along = span > 0 ? tube.axis : V3{-tube.axis.x, -tube.axis.y, -tube.axis.z};
    bool outward = dot(cross(tube.e1, tube.e2), along) > 0.0f;
    for (int k = 0; k + 1 < N; ++k) {
        for (int j = 0; j < sides; ++j) {
            int32_t a = first + k * (sides + 1) + j;
            int32_t b = a + 1;
            int32_t c = b + (sides + 1);
            int32_t d = a + (sides + 1);
            // Rings of radius 0 close the ends; skip the triangles they flatten.
            bool ringK = rings[k].r1 > 0.0f;
            bool ringK1 = rings[k + 1].r1 > 0.0f;
            if (outward) {
                if (ringK)
                    model.addTriangle(a, b, c, material);
                if (ringK1)
                    model.addTriangle(a, c, d, material);
            } else {
                if (ringK)
                    model.addTriangle(a, c, b, material);
                if (ringK1)
                    model.addTriangle(a, d, c, material);
            }
        }
    }
}

void addHead(Model& model, int32_t material)
{
    const int steps = 9;
    const float cy = 0.955f, ry = 0.076f, rDepth = 0.074f, rWidth = 0.064f;
    Ring rings[steps + 1];
    for (int k = 0; k <= steps; ++k) {
        float theta = 3.14159265f * static_cast<float>(k) / steps;
        float sinT = std::sin(theta);
        if (k == 0 || k == steps)
            sinT = 0.0f;
        // The lower face narrows a little toward the chin.
        float jaw = theta > 1.6f ? 1.0f - 0.12f * (theta - 1.6f) : 1.0f;
        rings[k] = Ring{cy + ry * std::cos(theta), rDepth * sinT, rWidth * sinT * jaw, 0.0f};
    }
    addTube(model, material, upright(0.0f, 0.008f, JOINT_HEAD, manHead, 14), rings);
}

void addArm(Model& model, int32_t material, float side, int shoulder)
{
    const Ring upper[] = {{0.10f, 0, 0, 0},           {0.11f, 0.041f, 0.041f, 0}, {0.15f, 0.044f, 0.042f, 0},
                          {0.23f, 0.039f, 0.037f, 0}, {0.30f, 0.035f, 0.033f, 0}, {0.32f, 0.025f, 0.024f, 0},
                          {0.325f, 0, 0, 0}};
    const Ring fore[] = {{0.295f, 0, 0, 0},           {0.305f, 0.034f, 0.034f, 0}, {0.36f, 0.035f, 0.037f, 0},
                         {0.445f, 0.026f, 0.029f, 0}, {0.46f, 0.02f, 0.022f, 0},   {0.465f, 0, 0, 0}};
    const Ring hand[] = {{0.45f, 0, 0, 0},           {0.46f, 0.018f, 0.028f, 0}, {0.495f, 0.017f, 0.037f, 0},
                         {0.54f, 0.012f, 0.032f, 0}, {0.56f, 0.006f, 0.02f, 0},  {0.563f, 0, 0, 0}};
    addTube(model, material, arm(side, shoulder, manSleeve), upper);
    addTube(model, material, arm(side, shoulder + 1, manSkin), fore);
    addTube(model, material, arm(side, shoulder + 2, manSkin), hand);
}

void addLeg(Model& model, int32_t material, float x, int hip)
{
    const Ring thigh[] = {{0.56f, 0, 0, 0},           {0.55f, 0.066f, 0.066f, 0}, {0.47f, 0.066f, 0.066f, 0},
                          {0.37f, 0.055f, 0.054f, 0}, {0.29f, 0.046f, 0.046f, 0}, {0.27f, 0.03f, 0.03f, 0},
                          {0.262f, 0, 0, 0}};
    const Ring shin[] = {{0.30f, 0, 0, 0},           {0.29f, 0.046f, 0.046f, 0}, {0.22f, 0.05f, 0.047f, 0.006f},
                         {0.13f, 0.038f, 0.036f, 0}, {0.07f, 0.036f, 0.034f, 0}, {0.055f, 0, 0, 0}};
    // The shoe runs from the heel forward; e1 is up, so the shift lowers the
    // toe's centre while its sole stays on y = 0.
    const Ring shoe[] = {{-0.05f, 0, 0, 0},          {-0.045f, 0.03f, 0.03f, 0},       {-0.02f, 0.038f, 0.036f, 0},
                         {0.05f, 0.038f, 0.038f, 0}, {0.11f, 0.026f, 0.036f, -0.012f}, {0.145f, 0.018f, 0.03f, -0.02f},
                         {0.155f, 0, 0, -0.02f}};
    addTube(model, material, upright(x, 0.0f, hip, manTrousers), thigh);
    addTube(model, material, upright(x, 0.0f, hip + 1, manTrousers), shin);
    addTube(model, material, Tube{V3{x, 0.038f, 0}, axisFront, axisUp, axisRight, hip + 2, &manShoes, 10}, shoe);
}

}  // namespace

Model buildManModel()
{
    Model model;
    int32_t material = model.addMaterial("MAN.BMP", 1);
    for (const ControlPoint& p : manSkeleton)
        model.controlPoints.push_back(p);

    // Upright parts list their rings from the top down, so that their
    // texture's v runs downward.
    const Ring pelvis[] = {{0.64f, 0, 0, 0},           {0.635f, 0.068f, 0.105f, 0}, {0.60f, 0.075f, 0.112f, 0},
                           {0.52f, 0.082f, 0.128f, 0}, {0.46f, 0.075f, 0.12f, 0},   {0.435f, 0.05f, 0.08f, 0},
                           {0.425f, 0, 0, 0}};
    const Ring torso[] =
        {{0.878f, 0, 0, 0},           {0.875f, 0.04f, 0.06f, 0},        {0.862f, 0.06f, 0.10f, 0},
         {0.835f, 0.075f, 0.118f, 0}, {0.79f, 0.085f, 0.118f, -0.008f}, {0.72f, 0.085f, 0.112f, -0.008f},
         {0.64f, 0.078f, 0.104f, 0},  {0.58f, 0.072f, 0.10f, 0},        {0.57f, 0, 0, 0}};
    const Ring neck[] = {{0.91f, 0, 0, 0}, {0.90f, 0.033f, 0.035f, 0}, {0.835f, 0.036f, 0.038f, 0}, {0.83f, 0, 0, 0}};

    addTube(model, material, upright(0.0f, 0.0f, JOINT_PELVIS, manTrousers), pelvis);
    addTube(model, material, upright(0.0f, 0.0f, JOINT_CHEST, manShirt), torso);
    addTube(model, material, upright(0.0f, -0.005f, JOINT_NECK, manSkin), neck);
    addHead(model, material);
    addArm(model, material, -1.0f, JOINT_SHOULDER_A);
    addArm(model, material, 1.0f, JOINT_SHOULDER_B);
    addLeg(model, material, -0.08f, JOINT_HIP_B);
    addLeg(model, material, 0.08f, JOINT_HIP_A);
    return model;
}

bool makeMan(const std::string& folder)
{
    bool ok = writeKmo(folder + "MAN.KMO", buildManModel());
    return writeBmp(folder + "MAN.BMP", paintManTexture()) && ok;
}
