// The growable arrays of the model engine: a pointer, a count and a
// capacity, growing by exactly one record per append.
//
// The storage always holds exactly `capacity` records, so a model file's
// chunk can take the place of an array and later appends continue from it.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <type_traits>

// Appends a copy of `item` and returns its index. When the storage is full
// it is reallocated to hold one record more. If that allocation fails the
// array is left as it was and the result is -1.
template <typename T>
int32_t appendRecord(T*& items, int32_t& count, int32_t& capacity, const T& item)
{
    static_assert(std::is_trivially_copyable<T>::value, "records are moved with realloc");
    if (count >= capacity) {
        if (capacity == INT32_MAX) {
            return -1;
        }
        const int32_t newCapacity = capacity + 1;
        void* grown = std::realloc(items, sizeof(T) * static_cast<size_t>(newCapacity));
        if (grown == nullptr) {
            return -1;
        }
        items = static_cast<T*>(grown);
        capacity = newCapacity;
    }
    items[count] = item;
    return count++;
}

// Empties an array. A non-empty array keeps its storage for the next appends;
// an array that is already empty gives its storage back.
template <typename T>
void clearRecords(T*& items, int32_t& count, int32_t& capacity)
{
    if (count == 0 && items != nullptr) {
        std::free(items);
        items = nullptr;
        capacity = 0;
    }
    count = 0;
}

// Releases an array's storage and leaves it empty.
template <typename T>
void releaseRecords(T*& items, int32_t& count, int32_t& capacity)
{
    std::free(items);
    items = nullptr;
    count = 0;
    capacity = 0;
}
