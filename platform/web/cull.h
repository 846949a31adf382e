// Which triangles of a batch can make a pixel, found on the CPU before the
// browser's OpenGL layer draws the batch.
//
// Chromium's software renderer pays for every triangle it is sent, and in a
// small window most of the man's and the land's triangles fall between
// pixel centres. A triangle is left out only when it certainly makes no
// fragment: wholly outside one plane of the view volume, covering no pixel
// centre of the viewport (its bounding box, widened by a margin that covers
// the renderer's snapping of vertices and its rounding, holds none; the
// canvas has no multisampling), or facing away while back faces are culled
// (by more than that margin can turn). The triangles kept keep their order,
// so what is drawn, blending included, is the same to the byte. A triangle
// with a corner on or behind the eye plane is kept unless a plane rules it
// out. Plain arithmetic, with no OpenGL in it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct CullView {
    float clip[16];     // projection x model-view, column-major
    float viewport[4];  // x, y, width, height, in pixels
    bool backFaces;     // culling is on: clockwise triangles in the window face away
};

// The view the layer draws with now.
CullView cullViewOf(const float* projection, const float* modelView, const int* viewport, bool backFaces);
bool cullSameView(const CullView& a, const CullView& b);

// Appends to `out` the triangles of `indices` (`count` indices, three a
// triangle) that may make a fragment, as their three indices. The distinct
// vertices the indices name are `vertexCount` records of `stride` bytes
// that each begin with the position's x, y and z as floats. Returns how
// many indices it appended.
size_t cullTriangles(const CullView& view, const unsigned char* vertices, size_t vertexCount, size_t stride,
                     const uint16_t* indices, size_t count, std::vector<uint16_t>* out);
