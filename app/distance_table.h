// TDistanceTable: distances of solid pairs by the pair of their shape hashes, in one flat array
// (open addressing, linear probing): no allocation per entry, and clearing keeps the storage.
#pragma once

#include "app/piece_distance.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace hk {

class TDistanceTable {
public:
    using TKey = std::pair<std::uint64_t, std::uint64_t>;

    // The distance stored under key, or none.
    const TClashDistance* Find(const TKey& key) const;
    // Stores value under key (which must not be there yet) and returns the stored copy.
    const TClashDistance& Insert(const TKey& key, const TClashDistance& value);
    // Forgets every entry; the storage stays for the next build's entries.
    void Clear();
    int Count() const { return count_; }

private:
    struct TSlot {
        TKey key;
        bool used = false;
        TClashDistance distance;
    };
    std::size_t SlotOf(const TKey& key) const;
    void Grow();

    std::vector<TSlot> slots_; // a power of two in size, at most half full
    int count_ = 0;
};

} // namespace hk
