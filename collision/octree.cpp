// Octree build, the triangle and box walks and the mesh queries built on them.
#include "collision/octree.h"

#include "collision/box_geometry.h"
#include "collision/transform_inline.h"
#include "collision/triangle_tests.h"
#include "engine/vector_geometry.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace hk {

namespace {

bool PointInBox(const TAffineVector& p, const TAABB& b) {
    return p.x >= b.min.x && p.x <= b.max.x && p.y >= b.min.y && p.y <= b.max.y && p.z >= b.min.z &&
           p.z <= b.max.z;
}

// The two triangles that split each face of a box (corners as BoxCorners numbers them), in
// the order and with the vertex order the box-touch test has always used.
struct TFaceTriangles {
    int corner[12][3];
};

constexpr TFaceTriangles MakeFaceTriangles() {
    TFaceTriangles t{};
    for (int f = 0; f < 6; ++f) {
        const int* q = cBoxFaces[f];
        const int first[3] = {q[0], q[1], q[2]}, second[3] = {q[0], q[2], q[3]};
        for (int j = 0; j < 3; ++j) {
            t.corner[2 * f][j] = first[j];
            t.corner[2 * f + 1][j] = second[j];
        }
    }
    return t;
}

constexpr TFaceTriangles cFaces = MakeFaceTriangles();

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
    prepared_.clear();
    preparedValid_ = false;
    for (int i = 0; i < triangles; ++i) {
        const TAffineVector* v = Triangle(i);
        WalkTriangle(v[0], v[1], v[2]);
        for (int leaf : result_) {
            nodes_[std::size_t(leaf)].triangles.push_back(i);
        }
    }
    result_.clear();
    ++buildCount_;
    static std::atomic<unsigned long long> serials{0};
    buildSerial_ = ++serials;
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
        WalkTriangleFrom(0, t, PrepareTriangle(v0, v1, v2));
    }
}

// Whether the triangle touches the node's box: a vertex inside (inclusive), or the triangle
// meeting one of the twelve triangles of the box's faces. A face triangle whose three corners
// lie strictly on one side of the triangle's plane is rejected by the triangle test before
// anything else; the eight corners' plane values are the very ones it computes, so they are
// taken once per box here and such faces are not tested.
bool TOctree::TouchesNode(int node, const TAffineVector (&t)[3], const TPreparedTriangle& p) {
    const TAABB& box = nodes_[std::size_t(node)].box;
    if (PointInBox(t[0], box) || PointInBox(t[1], box) || PointInBox(t[2], box)) {
        return true;
    }
    if (!p.hasSurface) {
        return false;
    }
    const TBoxCorners c = BoxCorners(box);
    double side[8];
    for (int k = 0; k < 8; ++k) {
        const double corner[3] = {c[std::size_t(k)].x, c[std::size_t(k)].y, c[std::size_t(k)].z};
        const double value = PlaneValue(p, corner);
        side[k] = std::fabs(value) < cTrianglePlaneEpsilon ? 0.0 : value;
    }
    for (const int* k : cFaces.corner) {
        if (side[k[0]] * side[k[1]] > 0 && side[k[0]] * side[k[2]] > 0) {
            continue;
        }
        if (TriangleTriangleIntersect(p, PrepareTriangle(c[std::size_t(k[0])], c[std::size_t(k[1])],
                                                         c[std::size_t(k[2])]))) {
            return true;
        }
    }
    return false;
}

void TOctree::WalkTriangleFrom(int node, const TAffineVector (&t)[3], const TPreparedTriangle& p) {
    if (!TouchesNode(node, t, p)) {
        return;
    }
    const TOctreeNode& n = nodes_[std::size_t(node)];
    if (n.IsLeaf()) {
        result_.push_back(node);
        return;
    }
    for (int c = 0; c < 8; ++c) {
        WalkTriangleFrom(n.firstChild + c, t, p);
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

void TOctree::Prepare() {
    if (preparedValid_) {
        return;
    }
    prepared_.resize(std::size_t(TriangleCount()));
    for (int i = 0; i < TriangleCount(); ++i) {
        const TAffineVector* v = Triangle(i);
        prepared_[std::size_t(i)] = PrepareTriangle(v[0], v[1], v[2]);
    }
    preparedValid_ = true;
}

bool TOctree::TriangleIntersect(const TAffineVector& v0, const TAffineVector& v1,
                                const TAffineVector& v2, const TMatrix& meshInverse) {
    return LocalTriangleIntersect(TransformPointInline(v0, meshInverse),
                                  TransformPointInline(v1, meshInverse),
                                  TransformPointInline(v2, meshInverse));
}

bool TOctree::LocalTriangleIntersect(const TAffineVector& t0, const TAffineVector& t1,
                                     const TAffineVector& t2) {
    Prepare();
    const TPreparedTriangle p = PrepareTriangle(t0, t1, t2);
    result_.clear();
    if (nodes_.empty()) {
        return false;
    }
    const TAffineVector t[3] = {t0, t1, t2};
    WalkTriangleFrom(0, t, p);
    for (int leaf : result_) {
        for (int i : nodes_[std::size_t(leaf)].triangles) {
            if (TriangleTriangleIntersect(p, prepared_[std::size_t(i)])) {
                return true;
            }
        }
    }
    return false;
}

namespace {

bool Same(const TMatrix& a, const TMatrix& b) {
    return std::memcmp(&a, &b, sizeof(TMatrix)) == 0;
}

bool Same(const TAABB& a, const TAABB& b) {
    return std::memcmp(&a, &b, sizeof(TAABB)) == 0;
}

bool TriangleSetsMeet(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
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

} // namespace

bool MeshMeshIntersect(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
                       const TAABB& boxB, const TMatrix& worldB, const TMatrix& inverseB) {
    constexpr std::size_t cKept = 8;
    std::vector<TOctree::TPairAnswer>& answers = a.PairAnswers();
    for (const TOctree::TPairAnswer& k : answers) {
        if (k.ownBuild == a.BuildSerial() && k.otherBuild == b.BuildSerial() &&
            Same(k.worldA, worldA) && Same(k.inverseA, inverseA) && Same(k.worldB, worldB) &&
            Same(k.inverseB, inverseB) && Same(k.boxB, boxB)) {
            return k.intersect;
        }
    }
    const bool intersect = TriangleSetsMeet(a, worldA, inverseA, b, boxB, worldB, inverseB);
    const TOctree::TPairAnswer kept{a.BuildSerial(), b.BuildSerial(), worldA, inverseA,
                                    worldB,          inverseB,        boxB,   intersect};
    // One answer per partner, none from an older build of this tree; the oldest gives way.
    std::erase_if(answers, [&](const TOctree::TPairAnswer& k) {
        return k.ownBuild != a.BuildSerial() || k.otherBuild == b.BuildSerial();
    });
    if (answers.size() >= cKept) {
        answers.erase(answers.begin());
    }
    answers.push_back(kept);
    return intersect;
}

} // namespace hk
