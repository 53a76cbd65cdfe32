// Hints about memory a hot loop is about to use: fetching a block into the processor's caches
// ahead of the loop, or writing a buffer's room once so that its pages are in place before the
// first use that would otherwise fault them in one at a time.
#pragma once

#include <cstddef>
#include <vector>

namespace hk {

constexpr std::size_t cCacheLineBytes = 64;

// Starts fetching every cache line of the `bytes` at `block`. A fetch never faults, so a block
// freed in the meantime costs nothing but the fetch.
inline void PrefetchBlock(const void* block, std::size_t bytes) {
    const auto* at = static_cast<const char*>(block);
    for (std::size_t offset = 0; offset < bytes; offset += cCacheLineBytes) {
        __builtin_prefetch(at + offset);
    }
}

// Empties `v` and makes sure it has room for `n` elements. Room it lacks is made and written
// once with `value`. Room it has is left alone: it was written when it was made or used, and
// writing it again would only push the caller's data out of the caches.
template <class T> void Prewrite(std::vector<T>& v, std::size_t n, const T& value = T{}) {
    if (v.capacity() < n) {
        v.assign(n, value);
    }
    v.clear();
}

} // namespace hk
