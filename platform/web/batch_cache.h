// Which batches of vertices the browser's OpenGL layer keeps in buffers of
// their own, so that a batch drawn again unchanged is not uploaded again.
//
// The program draws in immediate mode, so every frame hands the layer all
// its vertices anew; most of them (the room, the land) are the same from
// frame to frame. Each batch is known by a hash of its bytes; a batch that
// was also streamed in the frame before is kept, with a copy of its
// vertices, which settles a hash that matches and lets the buffers be made
// again after the WebGL context was lost. A batch kept but not drawn for a
// while is let go. Plain bookkeeping, with no OpenGL in it: the layer makes
// and deletes the buffers the answers name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/web/cull.h"

// A 64-bit hash of `size` bytes (FNV-1a over 32-bit words, then the tail).
uint64_t batchHash(const void* bytes, size_t size);

// The distinct vertices of a batch of `count` vertices of `stride` bytes,
// in the order first met, and for each vertex of the batch the index of its
// copy there: the same primitives drawn indexed, each distinct vertex
// shaded once. `count` is at most 65536.
struct IndexedBatch {
    std::vector<unsigned char> vertices;
    std::vector<uint16_t> indices;
};
void batchIndex(const void* vertices, size_t count, size_t stride, IndexedBatch* out);

struct CachedBatch {
    uint64_t hash;
    std::vector<unsigned char> bytes;  // the batch as it was gathered
    unsigned buffer;                   // the layer's objects for it (0 until made)
    unsigned vertexArray;
    unsigned indexBuffer;
    size_t indexCount;
    long lastDrawn;  // frame number
    // Its distinct vertices and all its indices, for the layer's culling,
    // and the view the index buffer now holds the triangles for.
    IndexedBatch indexed;
    CullView culledFor;
    bool culled;
};

struct StreamedBatch {
    uint64_t hash;
    size_t size;
};

struct BatchCache {
    std::vector<CachedBatch> kept;
    std::vector<StreamedBatch> streamedBefore;  // in the frame before this one
    std::vector<StreamedBatch> streamedNow;
    size_t keptBytes = 0;
    long frame = 0;
    size_t byteBudget = 48u << 20;  // kept bytes at most
    long keepFrames = 300;          // a kept batch undrawn this long is let go
};

enum BatchChoice {
    BATCH_KEPT,    // draw from kept[index]'s buffer as it is
    BATCH_KEEP,    // kept[index] is new: make its buffer from its bytes, then draw
    BATCH_STREAM,  // upload these bytes for this draw only
};

struct BatchAnswer {
    BatchChoice choice;
    size_t index;  // into kept, for BATCH_KEPT and BATCH_KEEP
};

// What to do with a batch of `size` bytes about to be drawn.
BatchAnswer batchLookUp(BatchCache* cache, const void* bytes, size_t size);

// Ends a frame: batches undrawn for keepFrames are removed from `kept` and
// their objects appended to `released` (buffer, vertex array and index
// buffer of each) for the layer to delete.
void batchEndFrame(BatchCache* cache, std::vector<unsigned>* released);
