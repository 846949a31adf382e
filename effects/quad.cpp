// Textured quads; see quad.h.
#include "effects/quad.h"

namespace {

// Replaces each coordinate that compares equal to zero (so -0.0 as well)
// by the corner's default.
void applyDefaults(MeshVertex& corner, float defaultU, float defaultV)
{
    if (corner.u == 0.0f)
        corner.u = defaultU;
    if (corner.v == 0.0f)
        corner.v = defaultV;
}

}  // namespace

MeshVertex quadCorner(float x, float y, float z, float u, float v)
{
    MeshVertex vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

MeshFace effectTriangle(int32_t a, int32_t b, int32_t c, int32_t material)
{
    MeshFace face = {};
    face.a = a;
    face.b = b;
    face.c = c;
    face.material = material;
    return face;
}

void addQuad(Mesh& mesh, int32_t material, MeshVertex c0, MeshVertex c1, MeshVertex c2, MeshVertex c3)
{
    applyDefaults(c0, 0.0f, 0.0f);
    applyDefaults(c1, 1.0f, 0.0f);
    applyDefaults(c2, 1.0f, 1.0f);
    applyDefaults(c3, 0.0f, 1.0f);

    int32_t i0 = mesh.AddVertex(c0);
    int32_t i1 = mesh.AddVertex(c1);
    int32_t i2 = mesh.AddVertex(c2);
    mesh.AddFace(effectTriangle(i0, i1, i2, material));
    int32_t i3 = mesh.AddVertex(c3);
    mesh.AddFace(effectTriangle(i0, i2, i3, material));
}
