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
        cache->kept.push_back(CachedBatch{hash, std::vector<unsigned char>(from, from + size), 0, 0, cache->frame});
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
