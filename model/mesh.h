// Mesh: the one scene-object class. Everything drawn is a Mesh.
//
// A Mesh holds five growable arrays (faces, lines, dots, materials, vertices),
// a position, three rotation angles in degrees and a uniform scale, and draws
// itself in immediate-mode OpenGL 1.1. Arrays grow by exactly one record per
// append; clearing keeps the storage so per-frame rebuilds never reallocate,
// and a second clear in a row releases it.
#pragma once
#include <cstdint>

#include "model/records.h"

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

    Vec3 position;
    Vec3 rotation;  // degrees about x, y and z
    float scale;

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
    void SetPosition(float x, float y, float z);
    void SetRotation(float x, float y, float z);
    void SetScale(float s);
    void Draw();
    // Reads a model file; see kmo_reader.cpp.
    void Load(const char* fileName);
};
