// The kept batches of the browser's OpenGL layer; see batch_cache.h.
#include "platform/web/batch_cache.h"

#include <cstring>

uint64_t batchHash(const void* bytes, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    uint64_t h = 1469598103934665603ull ^ size;
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        uint32_t word;
        std::memcpy(&word, p + i, 4);
        h = (h ^ word) * 1099511628211ull;
    }
    for (; i < size; i++)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

void batchIndex(const void* vertices, size_t count, size_t stride, IndexedBatch* out)
{
    out->vertices.clear();
    out->indices.clear();
    const unsigned char* bytes = static_cast<const unsigned char*>(vertices);
    // Open addressing over the distinct vertices, at most half full.
    size_t slots = 16;
    while (slots < 2 * count)
        slots *= 2;
    std::vector<uint32_t> table(slots, 0);  // distinct vertex + 1, 0 for empty
    out->indices.reserve(count);
    size_t distinct = 0;
    for (size_t v = 0; v < count; v++) {
        const unsigned char* vertex = bytes + v * stride;
        size_t slot = static_cast<size_t>(batchHash(vertex, stride)) & (slots - 1);
        while (table[slot] != 0 && std::memcmp(out->vertices.data() + (table[slot] - 1) * stride, vertex, stride) != 0)
            slot = (slot + 1) & (slots - 1);
        if (table[slot] == 0) {
            out->vertices.insert(out->vertices.end(), vertex, vertex + stride);
            table[slot] = static_cast<uint32_t>(++distinct);
        }
        out->indices.push_back(static_cast<uint16_t>(table[slot] - 1));
    }
}

namespace {

bool streamed(const std::vector<StreamedBatch>& list, uint64_t hash, size_t size)
{
    for (const StreamedBatch& s : list)
        if (s.hash == hash && s.size == size)
            return true;
    return false;
}

}  // namespace

BatchAnswer batchLookUp(BatchCache* cache, const void* bytes, size_t size)
{
    const uint64_t hash = batchHash(bytes, size);
    for (size_t i = 0; i < cache->kept.size(); i++) {
        CachedBatch& k = cache->kept[i];
        if (k.hash == hash && k.bytes.size() == size && std::memcmp(k.bytes.data(), bytes, size) == 0) {
            k.lastDrawn = cache->frame;
            return {BATCH_KEPT, i};
        }
    }
    // Seen unchanged in the frame before: it is likely to come again.
    if (streamed(cache->streamedBefore, hash, size) && cache->keptBytes + size <= cache->byteBudget) {
        const unsigned char* from = static_cast<const unsigned char*>(bytes);
        cache->kept.push_back(
            CachedBatch{hash, std::vector<unsigned char>(from, from + size), 0, 0, 0, 0, cache->frame, {}, {}, false});
        cache->keptBytes += size;
        return {BATCH_KEEP, cache->kept.size() - 1};
    }
    if (!streamed(cache->streamedNow, hash, size))
        cache->streamedNow.push_back(StreamedBatch{hash, size});
    return {BATCH_STREAM, 0};
}

void batchEndFrame(BatchCache* cache, std::vector<unsigned>* released)
{
    size_t to = 0;
    for (size_t i = 0; i < cache->kept.size(); i++) {
        CachedBatch& k = cache->kept[i];
        if (cache->frame - k.lastDrawn >= cache->keepFrames) {
            released->push_back(k.buffer);
            released->push_back(k.vertexArray);
            released->push_back(k.indexBuffer);
            cache->keptBytes -= k.bytes.size();
            continue;
        }
        if (to != i)
            cache->kept[to] = std::move(k);
        to++;
    }
    cache->kept.resize(to);
    cache->streamedBefore.swap(cache->streamedNow);
    cache->streamedNow.clear();
    cache->frame++;
}
