// Octree build, the triangle and box walks and the mesh queries built on them.
#include "collision/octree.h"

#include "collision/box_geometry.h"
#include "collision/transform_inline.h"
#include "collision/triangle_tests.h"
#include "engine/vector_geometry.h"

#include <algorithm>

namespace hk {

namespace {

bool PointInBox(const TAffineVector& p, const TAABB& b) {
    return p.x >= b.min.x && p.x <= b.max.x && p.y >= b.min.y && p.y <= b.max.y && p.z >= b.min.z &&
           p.z <= b.max.z;
}

bool TriangleTouchesBox(const TAffineVector (&t)[3], const TAABB& box) {
    if (PointInBox(t[0], box) || PointInBox(t[1], box) || PointInBox(t[2], box)) {
        return true;
    }
    TBoxCorners c = BoxCorners(box);
    for (const auto& f : cBoxFaces) {
        if (TriangleTriangleIntersect(t[0], t[1], t[2], c[f[0]], c[f[1]], c[f[2]]) ||
            TriangleTriangleIntersect(t[0], t[1], t[2], c[f[0]], c[f[2]], c[f[3]])) {
            return true;
        }
    }
    return false;
}

} // namespace

void TOctree::InitializeTree(const TAffineVector& min, const TAffineVector& max,
                             const TAffineVector* vertices, int vertexCount, int depth) {
    bounds_ = {min, max};
    depth_ = std::clamp(depth, 0, cMaxDepth);
    int triangles = vertices && vertexCount > 0 ? vertexCount / 3 : 0;
    vertices_.assign(vertices, vertices + std::size_t(triangles) * 3);
    nodes_.clear();
    std::size_t count = 1, level = 1;
    for (int d = 0; d < depth_; ++d) {
        level *= 8;
        count += level;
    }
    nodes_.reserve(count);
    nodes_.push_back({bounds_, {}, -1});
    Subdivide(0, 0);
    for (int i = 0; i < triangles; ++i) {
        const TAffineVector* v = Triangle(i);
        WalkTriangle(v[0], v[1], v[2]);
        for (int leaf : result_) {
            nodes_[std::size_t(leaf)].triangles.push_back(i);
        }
    }
    result_.clear();
    ++buildCount_;
}

void TOctree::Subdivide(int node, int level) {
    if (level >= depth_) {
        return;
    }
    TAABB b = nodes_[std::size_t(node)].box;
    TAffineVector mid;
    for (int k = 0; k < 3; ++k) {
        mid[k] = b.min[k] / 2 + b.max[k] / 2;
    }
    int first = int(nodes_.size());
    nodes_[std::size_t(node)].firstChild = first;
    for (int c = 0; c < 8; ++c) {
        TAABB cb;
        for (int k = 0; k < 3; ++k) {
            bool upper = (c >> k) & 1;
            cb.min[k] = upper ? mid[k] : b.min[k];
            cb.max[k] = upper ? b.max[k] : mid[k];
        }
        nodes_.push_back({cb, {}, -1});
    }
    for (int c = 0; c < 8; ++c) {
        Subdivide(first + c, level + 1);
    }
}

void TOctree::WalkTriangle(const TAffineVector& v0, const TAffineVector& v1,
                           const TAffineVector& v2) {
    result_.clear();
    if (!nodes_.empty()) {
        const TAffineVector t[3] = {v0, v1, v2};
        WalkTriangleFrom(0, t);
    }
}

void TOctree::WalkTriangleFrom(int node, const TAffineVector (&t)[3]) {
    const TOctreeNode& n = nodes_[std::size_t(node)];
    if (!TriangleTouchesBox(t, n.box)) {
        return;
    }
    if (n.IsLeaf()) {
        result_.push_back(node);
        return;
    }
    for (int c = 0; c < 8; ++c) {
        WalkTriangleFrom(n.firstChild + c, t);
    }
}

void TOctree::WalkBox(const TAABB& query, const TMatrix& m12, const TMatrix& m21) {
    result_.clear();
    if (!nodes_.empty()) {
        WalkBoxFrom(0, query, m12, m21);
    }
}

void TOctree::WalkBoxFrom(int node, const TAABB& query, const TMatrix& m12, const TMatrix& m21) {
    const TOctreeNode& n = nodes_[std::size_t(node)];
    if (!BoxBoxIntersect(query, n.box, m12, m21)) {
        return;
    }
    if (n.IsLeaf()) {
        result_.push_back(node);
        return;
    }
    for (int c = 0; c < 8; ++c) {
        WalkBoxFrom(n.firstChild + c, query, m12, m21);
    }
}

std::vector<TAffineVector> TOctree::TrianglesNearBox(const TAABB& query, const TMatrix& m12,
                                                     const TMatrix& m21) {
    WalkBox(query, m12, m21);
    std::vector<int> indices;
    for (int leaf : result_) {
        const auto& t = nodes_[std::size_t(leaf)].triangles;
        indices.insert(indices.end(), t.begin(), t.end());
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::vector<TAffineVector> out;
    out.reserve(indices.size() * 3);
    for (int i : indices) {
        const TAffineVector* v = Triangle(i);
        out.insert(out.end(), v, v + 3);
    }
    return out;
}

bool TOctree::BoxIntersect(const TAABB& query, const TMatrix& boxMatrix, const TMatrix& boxInverse,
                           const TMatrix& meshWorld, const TMatrix& meshInverse,
                           std::vector<TAffineVector>* hits) {
    TMatrix m12 = AffineProductInline(boxMatrix, meshInverse);
    TMatrix m21 = AffineProductInline(meshWorld, boxInverse);
    std::vector<TAffineVector> near = TrianglesNearBox(query, m12, m21);
    bool found = false;
    for (std::size_t i = 0; i + 2 < near.size(); i += 3) {
        TAffineVector t0 = TransformPointInline(near[i], m21);
        TAffineVector t1 = TransformPointInline(near[i + 1], m21);
        TAffineVector t2 = TransformPointInline(near[i + 2], m21);
        if (BoxTriangleIntersect(query, t0, t1, t2)) {
            found = true;
            if (!hits) {
                break;
            }
            hits->insert(hits->end(), {t0, t1, t2});
        }
    }
    return found;
}

bool TOctree::TriangleIntersect(const TAffineVector& v0, const TAffineVector& v1,
                                const TAffineVector& v2, const TMatrix& meshInverse) {
    TAffineVector t0 = TransformPointInline(v0, meshInverse);
    TAffineVector t1 = TransformPointInline(v1, meshInverse);
    TAffineVector t2 = TransformPointInline(v2, meshInverse);
    WalkTriangle(t0, t1, t2);
    for (int leaf : result_) {
        for (int i : nodes_[std::size_t(leaf)].triangles) {
            const TAffineVector* m = Triangle(i);
            if (TriangleTriangleIntersect(t0, t1, t2, m[0], m[1], m[2])) {
                return true;
            }
        }
    }
    return false;
}

bool MeshMeshIntersect(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
                       const TAABB& boxB, const TMatrix& worldB, const TMatrix& inverseB) {
    TMatrix m12 = AffineProductInline(worldB, inverseA);
    TMatrix m21 = AffineProductInline(worldA, inverseB);
    std::vector<TAffineVector> near = a.TrianglesNearBox(boxB, m12, m21);
    for (std::size_t i = 0; i + 2 < near.size(); i += 3) {
        if (b.TriangleIntersect(TransformPointInline(near[i], worldA),
                                TransformPointInline(near[i + 1], worldA),
                                TransformPointInline(near[i + 2], worldA), inverseB)) {
            return true;
        }
    }
    return false;
}

} // namespace hk
