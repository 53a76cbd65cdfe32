// A bounding-volume tree built per pass over the boxes, collided with itself; the pairs are
// then put in sweep order with a counting sort on the first index.
#include "collision/broad_phase.h"

#include <algorithm>

namespace hk {

namespace {

constexpr int cLeafSize = 4;

inline bool Overlap(const TAABB& a, const TAABB& b) {
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
           a.min.z <= b.max.z && b.min.z <= a.max.z;
}

TAABB Merge(const TAABB& a, const TAABB& b) {
    return {{std::min(a.min.x, b.min.x), std::min(a.min.y, b.min.y), std::min(a.min.z, b.min.z)},
            {std::max(a.max.x, b.max.x), std::max(a.max.y, b.max.y), std::max(a.max.z, b.max.z)}};
}

float Centre(const TAABB& b, int axis) {
    return b.min[axis] + b.max[axis];
}

} // namespace

void TBoxPairFinder::Find(const std::vector<TAABB>& boxes) {
    boxes_ = &boxes;
    pairs_.clear();
    raw_.clear();
    nodes_.clear();
    int n = int(boxes.size());
    if (n < 2) {
        return;
    }
    items_.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        items_[std::size_t(i)] = i;
    }
    nodes_.reserve(std::size_t(2 * (n / cLeafSize + 1)));
    Self(Build(0, n));

    // Counting sort by the first index, then each short run by the second.
    std::vector<int> start(std::size_t(n) + 1, 0);
    for (std::uint64_t p : raw_) {
        ++start[std::size_t(p >> 32) + 1];
    }
    for (int i = 0; i < n; ++i) {
        start[std::size_t(i) + 1] += start[std::size_t(i)];
    }
    pairs_.resize(raw_.size());
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (std::uint64_t p : raw_) {
        int i = int(p >> 32);
        pairs_[std::size_t(fill[std::size_t(i)]++)] = {i, int(p & 0xffffffffu)};
    }
    for (int i = 0; i < n; ++i) {
        auto b = pairs_.begin() + start[std::size_t(i)];
        auto e = pairs_.begin() + start[std::size_t(i) + 1];
        if (e - b > 1) {
            std::sort(b, e, [](const TPair& x, const TPair& y) { return x.second < y.second; });
        }
    }
}

int TBoxPairFinder::Build(int begin, int end) {
    const auto& boxes = *boxes_;
    TAABB box = boxes[std::size_t(items_[std::size_t(begin)])];
    TAABB centres{{Centre(box, 0), Centre(box, 1), Centre(box, 2)},
                  {Centre(box, 0), Centre(box, 1), Centre(box, 2)}};
    for (int i = begin + 1; i < end; ++i) {
        const TAABB& b = boxes[std::size_t(items_[std::size_t(i)])];
        box = Merge(box, b);
        for (int k = 0; k < 3; ++k) {
            centres.min[k] = std::min(centres.min[k], Centre(b, k));
            centres.max[k] = std::max(centres.max[k], Centre(b, k));
        }
    }
    int index = int(nodes_.size());
    nodes_.push_back({box, begin, -(end - begin)});
    if (end - begin <= cLeafSize) {
        return index;
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (centres.max[k] - centres.min[k] > centres.max[axis] - centres.min[axis]) {
            axis = k;
        }
    }
    int mid = begin + (end - begin) / 2;
    std::nth_element(
        items_.begin() + begin, items_.begin() + mid, items_.begin() + end, [&](int a, int b) {
            return Centre(boxes[std::size_t(a)], axis) < Centre(boxes[std::size_t(b)], axis);
        });
    int left = Build(begin, mid);
    int right = Build(mid, end);
    nodes_[std::size_t(index)].left = left;
    nodes_[std::size_t(index)].right = right;
    return index;
}

void TBoxPairFinder::Emit(int i, int j) {
    if (i > j) {
        std::swap(i, j);
    }
    raw_.push_back(std::uint64_t(std::uint32_t(i)) << 32 | std::uint32_t(j));
}

void TBoxPairFinder::Self(int node) {
    const TNode& n = nodes_[std::size_t(node)];
    if (n.right < 0) {
        const auto& boxes = *boxes_;
        int first = n.left, count = -n.right;
        for (int a = first; a < first + count; ++a) {
            for (int b = a + 1; b < first + count; ++b) {
                int i = items_[std::size_t(a)], j = items_[std::size_t(b)];
                if (Overlap(boxes[std::size_t(i)], boxes[std::size_t(j)])) {
                    Emit(i, j);
                }
            }
        }
        return;
    }
    int left = n.left, right = n.right;
    Self(left);
    Self(right);
    Cross(left, right);
}

void TBoxPairFinder::Cross(int a, int b) {
    const TNode& na = nodes_[std::size_t(a)];
    const TNode& nb = nodes_[std::size_t(b)];
    if (!Overlap(na.box, nb.box)) {
        return;
    }
    bool leafA = na.right < 0, leafB = nb.right < 0;
    if (leafA && leafB) {
        const auto& boxes = *boxes_;
        for (int x = na.left; x < na.left - na.right; ++x) {
            int i = items_[std::size_t(x)];
            for (int y = nb.left; y < nb.left - nb.right; ++y) {
                int j = items_[std::size_t(y)];
                if (Overlap(boxes[std::size_t(i)], boxes[std::size_t(j)])) {
                    Emit(i, j);
                }
            }
        }
        return;
    }
    // Descend the larger of the two (or the one that is not a leaf).
    auto extent = [](const TAABB& box) {
        return (box.max.x - box.min.x) + (box.max.y - box.min.y) + (box.max.z - box.min.z);
    };
    if (leafB || (!leafA && extent(na.box) >= extent(nb.box))) {
        int l = na.left, r = na.right;
        Cross(l, b);
        Cross(r, b);
    } else {
        int l = nb.left, r = nb.right;
        Cross(a, l);
        Cross(a, r);
    }
}

} // namespace hk
