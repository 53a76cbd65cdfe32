// A 1-based table of item records that grows as records are filed: index 0 is never used and
// nothing is ever written past the end. Reading an index outside 1..Count() is a programming
// error and throws std::out_of_range.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace hk {

template <class T> class ItemTable {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }

    T& operator[](int index) { return items_.at(Slot(index)); }
    const T& operator[](int index) const { return items_.at(Slot(index)); }
    T& Last() { return (*this)[Count()]; }
    const T& Last() const { return (*this)[Count()]; }

    // Appends a record and returns its index (the new count).
    int Append(T item) {
        items_.push_back(std::move(item));
        return Count();
    }
    // Removes the last record; does nothing on an empty table.
    void RemoveLast() {
        if (!items_.empty())
            items_.pop_back();
    }
    void Clear() { items_.clear(); }
    // Room for `count` records without reallocating.
    void Reserve(int count) { items_.reserve(count > 0 ? static_cast<std::size_t>(count) : 0); }

    // Iteration over the records 1..Count() in order.
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    static std::size_t Slot(int index) {
        return index >= 1 ? static_cast<std::size_t>(index - 1) : static_cast<std::size_t>(-1);
    }

    std::vector<T> items_;
};

} // namespace hk
