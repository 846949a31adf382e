// ROOM.KMO: the character's room on the flat ground at the origin.
//
// A plank floor 22 x 22 units, with low plastered walls (4.5 units, about
// the character's waist at his normal scale of 10) and a doorway facing the
// path to the beach. The walls are single-sided and face inward, so that
// whichever walls are nearest the camera are culled and the camera looks in
// from every side as the scene turns. Inside stand a bed, a table with a
// stool and a chest, and a rug lies where the character starts.
//
// The room is the one lit mesh and its normals are used as stored, so all
// are unit length. Floor and walls are cut into 2-unit cells so the
// per-vertex lighting (the light is a spot) can vary across them.
#include <cmath>

#include "tools/content/content.h"
#include "tools/content/room.h"
#include "tools/content/terrain.h"

namespace {

struct V3 {
    float x, y, z;
};

V3 operator+(V3 a, V3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator*(V3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

// A flat rectangle from `origin` along `edgeU` and `edgeV`, cut into nu x nv
// cells, facing edgeU x edgeV (counter-clockwise seen from that side).
// Texture coordinates run u0..u1 along edgeU and v0..v1 along edgeV.
void addPanel(Model& model, int32_t material, V3 origin, V3 edgeU, V3 edgeV, int nu, int nv, float u0, float u1,
              float v0, float v1)
{
    int32_t first = static_cast<int32_t>(model.vertices.size());
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            float fu = static_cast<float>(i) / static_cast<float>(nu);
            float fv = static_cast<float>(j) / static_cast<float>(nv);
            V3 p = origin + edgeU * fu + edgeV * fv;
            model.addVertex(p.x, p.y, p.z, lerp(u0, u1, fu), lerp(v0, v1, fv));
        }
    }
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            int32_t a = first + j * (nu + 1) + i;
            int32_t b = a + 1;
            int32_t c = a + (nu + 1) + 1;
            int32_t d = a + (nu + 1);
            model.addTriangle(a, b, c, material);
            model.addTriangle(a, c, d, material);
        }
    }
}

int cells(float length)
{
    int n = static_cast<int>(std::ceil(std::fabs(length) / 2.0f));
    return n < 1 ? 1 : n;
}

// One inward-facing wall from (x0, z0) to (x1, z1), seen from inside with
// x0, z0 on the left. The wall texture's t runs from the top (0) down.
void addWall(Model& model, int32_t material, float floorY, float x0, float z0, float x1, float z1)
{
    V3 along{x1 - x0, 0.0f, z1 - z0};
    float length = std::sqrt(along.x * along.x + along.z * along.z);
    V3 up{0.0f, roomWallHeight, 0.0f};
    // Start the texture where the wall starts along its own axis, so that
    // the two halves of a wall broken by the door line up.
    float start = std::fabs(along.x) > 0.0f ? (x0 * (along.x > 0 ? 1.0f : -1.0f)) : (z0 * (along.z > 0 ? 1.0f : -1.0f));
    float u0 = start / 6.0f;
    addPanel(model, material, V3{x0, floorY, z0}, along, up, cells(length), 2, u0, u0 + length / 6.0f, 1.0f, 0.0f);
}

// A closed box without a bottom, every face outward; texture repeats every
// `tile` units.
void addBox(Model& model, int32_t material, V3 lo, V3 hi, float tile)
{
    V3 size{hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
    float su = size.x / tile, sz = size.z / tile, sy = size.y / tile;
    // top, facing +y
    addPanel(model, material, V3{lo.x, hi.y, hi.z}, V3{size.x, 0, 0}, V3{0, 0, -size.z}, 1, 1, 0, su, sz, 0);
    // front (+z) and back (-z)
    addPanel(model, material, V3{lo.x, lo.y, hi.z}, V3{size.x, 0, 0}, V3{0, size.y, 0}, 1, 1, 0, su, sy, 0);
    addPanel(model, material, V3{hi.x, lo.y, lo.z}, V3{-size.x, 0, 0}, V3{0, size.y, 0}, 1, 1, 0, su, sy, 0);
    // right (+x) and left (-x)
    addPanel(model, material, V3{hi.x, lo.y, hi.z}, V3{0, 0, -size.z}, V3{0, size.y, 0}, 1, 1, 0, sz, sy, 0);
    addPanel(model, material, V3{lo.x, lo.y, lo.z}, V3{0, 0, size.z}, V3{0, size.y, 0}, 1, 1, 0, sz, sy, 0);
}

void addFurniture(Model& model, int32_t wood, int32_t cloth, float y)
{
    const float h = roomHalfSize;
    // The bed in the far left corner: a wooden frame, a blanket and a pillow.
    addBox(model, wood, V3{-h + 0.3f, y, -h + 0.3f}, V3{-h + 4.5f, y + 1.0f, -h + 9.0f}, 2.0f);
    addBox(model, cloth, V3{-h + 0.5f, y + 1.0f, -h + 2.2f}, V3{-h + 4.3f, y + 1.6f, -h + 8.8f}, 3.8f);
    addBox(model, cloth, V3{-h + 0.9f, y + 1.0f, -h + 0.5f}, V3{-h + 3.9f, y + 1.8f, -h + 2.0f}, 8.0f);
    addBox(model, wood, V3{-h + 0.3f, y, -h + 0.1f}, V3{-h + 4.5f, y + 2.6f, -h + 0.4f}, 2.0f);  // headboard
    // The table and its stool in the far right corner.
    const float tx = h - 4.5f, tz = -h + 4.0f;
    addBox(model, wood, V3{tx - 2.2f, y + 2.6f, tz - 1.6f}, V3{tx + 2.2f, y + 2.95f, tz + 1.6f}, 2.0f);
    for (int i = 0; i < 4; ++i) {
        float lx = tx + ((i & 1) ? 1.8f : -2.1f);
        float lz = tz + ((i & 2) ? 1.2f : -1.5f);
        addBox(model, wood, V3{lx, y, lz}, V3{lx + 0.3f, y + 2.6f, lz + 0.3f}, 2.0f);
    }
    addBox(model, wood, V3{tx - 0.8f, y, tz + 2.4f}, V3{tx + 0.8f, y + 1.6f, tz + 3.9f}, 2.0f);
    // A chest by the right wall.
    addBox(model, wood, V3{h - 2.4f, y, 3.0f}, V3{h - 0.3f, y + 1.7f, 6.5f}, 2.0f);
}

}  // namespace

Model buildRoomModel()
{
    Model model;
    int32_t floorMaterial = model.addMaterial("FLOOR.BMP", 1);
    int32_t wallMaterial = model.addMaterial("WALL.BMP", 1);
    int32_t woodMaterial = model.addMaterial("WOOD.BMP", 1);
    int32_t clothMaterial = model.addMaterial("CLOTH.BMP", 1);

    const float h = roomHalfSize;
    const float y = roomFloorY();
    // Floor, facing up; the planks run along z, 8 units to a texture.
    addPanel(model, floorMaterial, V3{-h, y, h}, V3{2 * h, 0, 0}, V3{0, 0, -2 * h}, cells(2 * h), cells(2 * h), 0.0f,
             2 * h / 8.0f, 0.0f, 2 * h / 8.0f);
    // The rug the character starts on, a little above the planks.
    addPanel(model, clothMaterial, V3{-4.0f, y + 0.08f, 3.0f}, V3{8.0f, 0, 0}, V3{0, 0, -6.0f}, 4, 3, 0.0f, 1.0f, 1.0f,
             0.5f);

    // Walls, each seen from inside with its first corner on the left.
    addWall(model, wallMaterial, y, -h, -h, h, -h);                 // far wall (z = -h), faces +z
    addWall(model, wallMaterial, y, h, -h, h, h);                   // right wall (x = +h), faces -x
    addWall(model, wallMaterial, y, h, h, roomDoorHalfWidth, h);    // near wall (z = +h), faces -z,
    addWall(model, wallMaterial, y, -roomDoorHalfWidth, h, -h, h);  //   broken by the doorway
    addWall(model, wallMaterial, y, -h, h, -h, -h);                 // left wall (x = -h), faces +x

    addFurniture(model, woodMaterial, clothMaterial, y);
    return model;
}

bool makeRoom(const std::string& folder)
{
    bool ok = writeKmo(folder + "ROOM.KMO", buildRoomModel());
    return writeRoomTextures(folder) && ok;
}
