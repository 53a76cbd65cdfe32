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

// Gives `v` room for `n` elements, writes them once with `value` and empties it again.
template <class T> void Prewrite(std::vector<T>& v, std::size_t n, const T& value = T{}) {
    v.assign(n, value);
    v.clear();
}

} // namespace hk
