// Least-significant-digit radix sort, three digits of 11 bits over a 32-bit key.
//
// The key is the box's minimum z as an unsigned integer of the same order, so sorting is a few
// passes of counting and moving, with no comparisons. Each pass is stable, which makes the
// whole sort stable: boxes with equal minima keep client order, and the pass reports its
// events in the same order on every run. Digits of 11 bits take three passes over 32 bits with
// count tables of 2,048 entries, which stay in the first-level cache. A digit that every key
// shares is skipped: the keys of one drawing often share their high bits.
#include "collision/z_sort.h"

#include "engine/memory_hints.h"

#include <array>
#include <cstring>
#include <utility>

namespace hk {

namespace {

constexpr int cDigitBits = 11;
constexpr int cBuckets = 1 << cDigitBits;
constexpr int cDigits = (32 + cDigitBits - 1) / cDigitBits;

// A key whose unsigned order is the float's order: negative floats have every bit flipped,
// others only the sign bit. -0 sorts just before +0, which compare equal anyway.
std::uint32_t SortKey(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

} // namespace

void TZSort::Prepare(std::size_t n) {
    Prewrite(keys_, n);
    Prewrite(keysSwap_, n);
    Prewrite(order_, n);
    Prewrite(orderSwap_, n);
}

void TZSort::Sort(const std::vector<TCollisionNode>& nodes) {
    const std::size_t n = nodes.size();
    keys_.resize(n);
    keysSwap_.resize(n);
    order_.resize(n);
    orderSwap_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        keys_[i] = SortKey(nodes[i].Box.min.z);
        order_[i] = int(i);
    }
    for (int d = 0; d < cDigits; ++d) {
        const int shift = d * cDigitBits;
        std::array<std::size_t, cBuckets + 1> start{};
        for (std::uint32_t k : keys_) {
            ++start[((k >> shift) & (cBuckets - 1)) + 1];
        }
        // A digit that every key shares leaves the order as it is.
        if (n == 0 || start[((keys_[0] >> shift) & (cBuckets - 1)) + 1] == n) {
            continue;
        }
        for (int b = 0; b < cBuckets; ++b) {
            start[std::size_t(b) + 1] += start[std::size_t(b)];
        }
        for (std::size_t i = 0; i < n; ++i) {
            std::size_t slot = start[(keys_[i] >> shift) & (cBuckets - 1)]++;
            keysSwap_[slot] = keys_[i];
            orderSwap_[slot] = order_[i];
        }
        std::swap(keys_, keysSwap_);
        std::swap(order_, orderSwap_);
    }
}

} // namespace hk
