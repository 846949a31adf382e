// Mesh: the one scene-object class. Everything drawn is a Mesh.
//
// A Mesh holds five growable arrays (faces, lines, dots, materials, vertices)
// and draws itself in immediate-mode OpenGL 1.1 wherever its caller places
// it: the transform is the draw's own, so one mesh can be drawn at several
// places in a frame, and drawing changes nothing. Arrays grow by exactly one
// record per append; clearing keeps the storage so per-frame rebuilds never
// reallocate, and a second clear in a row releases it.
#pragma once
#include <cstdint>

#include "model/records.h"

// Where a mesh is drawn. A model point p lands at position + scale *
// Rx(rotation.x) * Ry(rotation.y) * Rz(rotation.z) * p: turned first about
// z, then y, then x, scaled about the model origin and moved by the
// position, which is itself not scaled. The scale must not be zero.
struct MeshTransform {
    Vec3 position = {0.0f, 0.0f, 0.0f};  // world units
    Vec3 rotation = {0.0f, 0.0f, 0.0f};  // degrees about x, y and z
    float scale = 1.0f;
};

struct Mesh {
    MeshFace* faces;
    int32_t faceCount;
    int32_t faceCapacity;

    MeshLine* lines;
    int32_t lineCount;
    int32_t lineCapacity;

    MeshPoint* dots;
    int32_t dotCount;
    int32_t dotCapacity;

    MeshMaterial* materials;
    int32_t materialCount;
    int32_t materialCapacity;

    MeshVertex* vertices;
    int32_t vertexCount;
    int32_t vertexCapacity;

    Mesh();
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    int32_t AddVertex(MeshVertex vertex);
    // Appends the face's corners and material and computes its normal from
    // the corners' current positions; the normal passed in is ignored.
    void AddFace(MeshFace face);
    // Appends a material for the bitmap and loads its texture at once
    // (needs a current OpenGL context). Returns the material's index.
    int32_t AddTexture(const char* fileName, int mipmaps);
    void ClearVertices();
    void ClearFaces();
    // Draws with the current OpenGL context, the model-view matrix replaced
    // by `transform`. Faces take the caller's colour; lines and dots leave
    // theirs current.
    void Draw(const MeshTransform& transform) const;
    // Reads a model file; see kmo_reader.cpp.
    void Load(const char* fileName);
};
