// The non-template helpers of the typed lists.
#include "engine/vector_lists.h"

#include "engine/vector_geometry.h"

namespace hk {

void TAffineVectorList::TransformAsPoints(const TMatrix& m) {
    for (TAffineVector& p : *this) {
        p = AffineTransform(p, m);
    }
}

void TAffineVectorList::TransformAsVectors(const TMatrix& m) {
    for (TAffineVector& v : *this) {
        v = AffineRotate(v, m);
    }
}

void TAffineVectorList::Translate(const TAffineVector& delta) {
    for (TAffineVector& p : *this) {
        p = VectorAdd(p, delta);
    }
}

void TAffineVectorList::Scale(float factor) {
    for (TAffineVector& p : *this) {
        p = VectorScale(p, factor);
    }
}

TAABB TAffineVectorList::GetExtents() const {
    TAABB box;
    if (Count() == 0) {
        return box;
    }
    box.min = box.max = (*this)[0];
    for (const TAffineVector& p : *this) {
        for (int k = 0; k < 3; ++k) {
            box.min[k] = std::min(box.min[k], p[k]);
            box.max[k] = std::max(box.max[k], p[k]);
        }
    }
    return box;
}

void TIntegerList::Add(std::int32_t a, std::int32_t b) {
    while (Count() + 2 > Capacity()) {
        SetCapacity(Capacity() + GrowthDelta());
    }
    Add(a);
    Add(b);
}

void TIntegerList::Add(std::int32_t a, std::int32_t b, std::int32_t c) {
    while (Count() + 3 > Capacity()) {
        SetCapacity(Capacity() + GrowthDelta());
    }
    Add(a);
    Add(b);
    Add(c);
}

void TIntegerList::AddSerie(std::int32_t first, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        Add(first + i);
    }
}

int TIntegerList::IndexOf(std::int32_t v) const {
    for (int i = 0; i < Count(); ++i) {
        if ((*this)[i] == v) {
            return i;
        }
    }
    return -1;
}

} // namespace hk
