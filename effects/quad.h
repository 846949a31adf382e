// Textured quads: a quadrilateral appended to a mesh as two triangles.
//
// The fire builds its single puff quad with this and the lightning builds
// every bolt segment with it. Each quad owns its four vertices; corners are
// never shared with a neighbouring quad.
#pragma once
#include <cstdint>

#include "model/mesh.h"

// Appends the quad c0, c1, c2, c3 (corners in order around its edge) with
// the given material. A texture coordinate equal to 0 (negative zero too)
// takes its corner's default: c0 (0, 0), c1 (1, 0), c2 (1, 1), c3 (0, 1).
// Adds four vertices and two faces in the order: c0, c1, c2, face
// (c0, c1, c2), c3, face (c0, c2, c3).
void addQuad(Mesh& mesh, int32_t material, MeshVertex c0, MeshVertex c1, MeshVertex c2, MeshVertex c3);

// A vertex of an effect's quads (the water's strips are quads too): at
// (x, y, z) with texture coordinates (u, v) and joint 0, which a plain mesh
// ignores.
MeshVertex quadCorner(float x, float y, float z, float u = 0.0f, float v = 0.0f);

// A triangle record with the given corners and material; the mesh computes
// its normal when the face is added.
MeshFace effectTriangle(int32_t a, int32_t b, int32_t c, int32_t material);
