// TSlotList: an unordered list of weak links to objects that each keep their own position in
// the list, so that adding, finding and removing an entry cost the same however long the list
// grows. Scenes of tens of thousands of objects link to a few shared materials; a linear
// search per object on build and teardown would make both quadratic.
#pragma once

#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace hk {

// The position of an entry, kept by the entry itself; `Slot` names the member that holds it.
// An object can be in several lists through several members.
inline constexpr std::size_t cNoSlot = std::numeric_limits<std::size_t>::max();

template <class T, std::size_t T::*Slot> class TSlotList {
public:
    bool Contains(const T* item) const {
        const std::size_t slot = item->*Slot;
        return slot < items_.size() && items_[slot] == item;
    }
    // Appends an item not yet listed.
    void Add(T* item) {
        if (Contains(item)) {
            return;
        }
        item->*Slot = items_.size();
        items_.push_back(item);
    }
    // The last entry takes the place of the removed one: the order is not kept.
    void Remove(T* item) {
        if (!Contains(item)) {
            return;
        }
        const std::size_t slot = item->*Slot;
        T* last = items_.back();
        items_[slot] = last;
        last->*Slot = slot;
        items_.pop_back();
        item->*Slot = cNoSlot;
    }
    // Empties the list and returns what it held.
    std::vector<T*> Take() {
        for (T* item : items_) {
            item->*Slot = cNoSlot;
        }
        return std::exchange(items_, {});
    }
    const std::vector<T*>& Items() const { return items_; }
    std::size_t size() const { return items_.size(); }

private:
    std::vector<T*> items_;
};

} // namespace hk
