// The model file reader on bytes held in memory, behind Mesh::Load and
// ArticulatedMesh::Load (which read the named file whole first); see
// kmo_reader.cpp for what it makes of damaged files.
#pragma once
#include <cstddef>
#include <cstdint>

struct Mesh;
struct ArticulatedMesh;

// Reads a model file held in memory into `mesh`, whose arrays the file's
// chunks replace; `articulated` is the same object when an ArticulatedMesh
// is read (it then reads the control points and passes over the dots), else
// null. The materials' bitmaps are opened by their names, relative to the
// working directory; `name` names the file in warnings. False when the
// bytes are not a KMSH form: the mesh is then unchanged. The joints are not
// built here.
bool kmoParse(const uint8_t* file, size_t size, const char* name, Mesh* mesh, ArticulatedMesh* articulated);
