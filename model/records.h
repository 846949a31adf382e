// The records of a mesh, in exactly the layout the model files store them.
//
// Model files (RIFF form "KMSH", extension KMO) hold packed arrays of these
// records, little-endian, and the program reads a chunk straight into a
// mesh's array. The content generator in tools/ writes the same records.
#pragma once
#include <cstdint>

#include "model/vec3.h"

struct MeshVertex {
    float x, y, z;  // position in model units
    float u, v;     // texture coordinates (s, t)
    int32_t joint;  // joint that moves the vertex in an articulated mesh, -1 for none
};

struct MeshFace {
    int32_t a, b, c;   // corner vertex indices
    Vec3 normal;       // face normal, not of unit length
    int32_t material;  // material index; anything out of range draws untextured
};

struct MeshLine {
    int32_t a, b;
};

struct MeshPoint {
    int32_t vertex;
    float grey;  // brightness used for red, green and blue alike
};

enum { MESH_MATERIAL_NAME_SIZE = 40 };

struct MeshMaterial {
    char name[MESH_MATERIAL_NAME_SIZE];  // bitmap file name, NUL-terminated
    int32_t mipmaps;                     // nonzero: build the texture with mip-maps
    uint32_t texture;                    // OpenGL texture name, set when loaded
};

struct ControlPoint {
    float x, y, z;   // the joint's pivot in model space
    int32_t parent;  // parent control point, -1 for the root
};

static_assert(sizeof(Vec3) == 12, "Vec3 must be three packed floats");
static_assert(sizeof(MeshVertex) == 24, "MeshVertex is 24 bytes in a model file");
static_assert(sizeof(MeshFace) == 28, "MeshFace is 28 bytes in a model file");
static_assert(sizeof(MeshLine) == 8, "MeshLine is 8 bytes in a model file");
static_assert(sizeof(MeshPoint) == 8, "MeshPoint is 8 bytes in a model file");
static_assert(sizeof(MeshMaterial) == 48, "MeshMaterial is 48 bytes in a model file");
static_assert(sizeof(ControlPoint) == 16, "ControlPoint is 16 bytes in a model file");

// Chunk tags of a model file, as four-character codes in file byte order.
#define KMO_TAG_RIFF "RIFF"
#define KMO_FORM_KMSH "KMSH"
#define KMO_TAG_VERTICES "vtx "
#define KMO_TAG_FACES "face"
#define KMO_TAG_LINES "line"
#define KMO_TAG_DOTS "dot "
#define KMO_TAG_MATERIALS "mtl "
#define KMO_TAG_CONTROL_POINTS "ctlp"
