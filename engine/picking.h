// TGLPickList: the hits of one pick (object, further names, window depth range), kept in the
// order of the list's sort mode. The buffer fills it in OpenGL selection mode.
#pragma once

#include <cstdint>
#include <vector>

namespace hk {

class TGLBaseSceneObject;

// psDefault: in order of arrival; psName: by the object's name, case-insensitive; psMinDepth:
// nearest first; psMaxDepth: by the far end of the hit.
enum TPickSortType { psDefault, psName, psMinDepth, psMaxDepth };

using TPickSubObjects = std::vector<std::int32_t>;

struct TPickRecord {
    TGLBaseSceneObject* AObject = nullptr;
    TPickSubObjects SubObjects;
    float ZMin = 0; // window depth in [0, 1]
    float ZMax = 0;
};

class TGLPickList {
public:
    explicit TGLPickList(TPickSortType sortType) : sortType_(sortType) {}

    TPickSortType SortType() const { return sortType_; }
    // Inserts the hit where the sort mode puts it (after hits that compare equal).
    void AddHit(TGLBaseSceneObject* obj, const TPickSubObjects& subObjects, float zMin, float zMax);
    void Clear() { records_.clear(); }
    void Reserve(int n) { records_.reserve(n > 0 ? std::size_t(n) : 0); }
    int Count() const { return int(records_.size()); }
    // None when i is out of range.
    TGLBaseSceneObject* Hit(int i) const;
    // i must be in [0, Count()).
    const TPickRecord& Record(int i) const { return records_[std::size_t(i)]; }

private:
    bool Before(const TPickRecord& a, const TPickRecord& b) const;

    TPickSortType sortType_;
    std::vector<TPickRecord> records_;
};

} // namespace hk
