// Growable lists of plain values (vectors, texture points, integers, floats, bytes,
// quaternions): a contiguous array with a count, a capacity and a growth delta of 16.
// Growth and larger counts zero-fill new elements. Lists stream as version 0, count, element
// size, then the raw element bytes.
#pragma once

#include "engine/binary_stream.h"
#include "engine/vector_types.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace hk {

inline constexpr int cDefaultListGrowthDelta = 16;

template <class T> class TBaseList {
    static_assert(std::is_trivially_copyable_v<T>, "lists hold plain values");

public:
    TBaseList() = default;
    TBaseList(const TBaseList& other) { Assign(other); }
    TBaseList& operator=(const TBaseList& other) {
        if (this != &other) {
            Assign(other);
        }
        return *this;
    }
    TBaseList(TBaseList&&) noexcept = default;
    TBaseList& operator=(TBaseList&&) noexcept = default;
    virtual ~TBaseList() = default;

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    int GrowthDelta() const { return growthDelta_; }
    void SetGrowthDelta(int delta) { growthDelta_ = std::max(1, delta); }

    // Growing zero-fills the new elements; shrinking keeps the capacity.
    void SetCount(int n) {
        n = std::max(0, n);
        if (n > capacity_) {
            SetCapacity(n);
        }
        if (n > count_) {
            std::memset(static_cast<void*>(data_.get() + count_), 0, sizeof(T) * (n - count_));
        }
        count_ = n;
    }
    // Never below Count().
    void SetCapacity(int n) {
        n = std::max(n, count_);
        if (n == capacity_) {
            return;
        }
        auto fresh = std::make_unique<T[]>(std::size_t(n));
        if (count_ > 0) {
            std::memcpy(static_cast<void*>(fresh.get()), data_.get(), sizeof(T) * count_);
        }
        data_ = std::move(fresh);
        capacity_ = n;
    }
    void Clear() {
        data_.reset();
        count_ = capacity_ = 0;
    }
    void Flush() { count_ = 0; }

    int Add(const T& item) {
        if (count_ == capacity_) {
            SetCapacity(capacity_ + growthDelta_);
        }
        data_[count_] = item;
        return count_++;
    }
    // Appends n zero-filled elements; returns the index of the first.
    int AddNulls(int n) {
        int first = count_;
        if (n > 0) {
            SetCount(count_ + n);
        }
        return first;
    }
    void Insert(int index, const T& item) {
        assert(index >= 0 && index <= count_);
        if (count_ == capacity_) {
            SetCapacity(capacity_ + growthDelta_);
        }
        std::memmove(static_cast<void*>(data_.get() + index + 1), data_.get() + index,
                     sizeof(T) * (count_ - index));
        data_[index] = item;
        ++count_;
    }
    void Delete(int index) {
        assert(index >= 0 && index < count_);
        std::memmove(static_cast<void*>(data_.get() + index), data_.get() + index + 1,
                     sizeof(T) * (count_ - index - 1));
        --count_;
    }
    void Exchange(int a, int b) {
        assert(a >= 0 && a < count_ && b >= 0 && b < count_);
        std::swap(data_[a], data_[b]);
    }
    // Copies the other list's items; the capacity grows to fit when needed.
    void Assign(const TBaseList& other) {
        growthDelta_ = other.growthDelta_;
        count_ = 0;
        SetCount(other.count_);
        if (other.count_ > 0) {
            std::memcpy(static_cast<void*>(data_.get()), other.data_.get(),
                        sizeof(T) * other.count_);
        }
    }

    T& operator[](int i) {
        assert(i >= 0 && i < count_);
        return data_[i];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && i < count_);
        return data_[i];
    }
    T* List() { return data_.get(); }
    const T* List() const { return data_.get(); }
    T* begin() { return data_.get(); }
    T* end() { return data_.get() + count_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + count_; }

    void WriteToStream(TBinaryWriter& w) const {
        w.WriteInt32(0);
        w.WriteInt32(count_);
        w.WriteInt32(static_cast<std::int32_t>(sizeof(T)));
        if (count_ > 0) {
            w.WriteBytes(data_.get(), sizeof(T) * count_);
        }
    }
    // Replaces the contents. Throws EReadError on an unknown version, a foreign element size
    // or a count the data does not hold; the list is unchanged then.
    void ReadFromStream(TBinaryReader& r) {
        if (r.ReadInt32() != 0) {
            r.Fail("unsupported list version");
        }
        std::int32_t n = r.ReadInt32();
        std::int32_t size = r.ReadInt32();
        if (size != std::int32_t(sizeof(T))) {
            r.Fail("list element size mismatch");
        }
        if (n < 0 || std::size_t(n) > r.Remaining() / sizeof(T)) {
            r.Fail("list count exceeds the data");
        }
        TBaseList fresh;
        fresh.growthDelta_ = growthDelta_;
        fresh.SetCount(n);
        r.ReadBytes(fresh.data_.get(), sizeof(T) * std::size_t(n));
        *this = std::move(fresh);
    }

private:
    std::unique_ptr<T[]> data_;
    int count_ = 0;
    int capacity_ = 0;
    int growthDelta_ = cDefaultListGrowthDelta;
};

class TAffineVectorList : public TBaseList<TAffineVector> {
public:
    using TBaseList::Add;
    int Add(float x, float y, float z) { return Add(TAffineVector{x, y, z}); }
    // Replaces every point p by p x m (affine: row 3 added).
    void TransformAsPoints(const TMatrix& m);
    // Replaces every vector v by its rotation part v x m (row 3 ignored).
    void TransformAsVectors(const TMatrix& m);
    void Translate(const TAffineVector& delta);
    void Scale(float factor);
    TAABB GetExtents() const;
};

class TVectorList : public TBaseList<TVector> {
public:
    using TBaseList::Add;
    int Add(float x, float y, float z, float w) { return Add(TVector{x, y, z, w}); }
};

class TTexPointList : public TBaseList<TTexPoint> {
public:
    using TBaseList::Add;
    int Add(float s, float t) { return Add(TTexPoint{s, t}); }
};

class TIntegerList : public TBaseList<std::int32_t> {
public:
    using TBaseList::Add;
    // Appends two or three integers at once, growing by the delta until they fit.
    void Add(std::int32_t a, std::int32_t b);
    void Add(std::int32_t a, std::int32_t b, std::int32_t c);
    // Appends first, first + 1, ..., first + n - 1.
    void AddSerie(std::int32_t first, std::int32_t n);
    int IndexOf(std::int32_t v) const;
};

class TSingleList : public TBaseList<float> {};

class TByteList : public TBaseList<std::uint8_t> {};

class TQuaternionList : public TBaseList<TQuaternion> {};

} // namespace hk
