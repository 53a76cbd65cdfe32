// Octree build, the triangle and box walks and the mesh queries built on them.
//
// The tree is complete to its depth, so its nodes sit in one array, each node's eight children
// next to each other. A triangle is listed in every leaf its surface touches, not only in the
// one holding its centre, so that a query need look only in the leaves it touches itself: a
// box query gathers the triangles of the leaves its box meets, and a mesh-mesh query tests A's
// triangles in the leaves near B's box against B's triangles near each of them.
#include "collision/octree.h"

#include "collision/box_geometry.h"
#include "collision/transform_inline.h"
#include "collision/triangle_tests.h"
#include "engine/validate.h"
#include "engine/vector_geometry.h"

#include <algorithm>
#include <array>
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

// Which end of each axis (0 = minimum, 1 = maximum) each corner of BoxCorners takes.
constexpr int cCornerBits[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                   {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// The axis each face triangle is perpendicular to: the one on which its corners agree.
constexpr std::array<int, 12> MakeFaceAxes() {
    std::array<int, 12> axes{};
    for (int f = 0; f < 12; ++f) {
        const int* k = cFaces.corner[f];
        for (int a = 0; a < 3; ++a) {
            if (cCornerBits[k[0]][a] == cCornerBits[k[1]][a] &&
                cCornerBits[k[0]][a] == cCornerBits[k[2]][a]) {
                axes[std::size_t(f)] = a;
            }
        }
    }
    return axes;
}

constexpr std::array<int, 12> cFaceAxes = MakeFaceAxes();

TTrianglePlane FaceTrianglePlane(const TAABB& box, int f) {
    const TBoxCorners c = BoxCorners(box);
    const int* k = cFaces.corner[f];
    return TrianglePlane(c[std::size_t(k[0])], c[std::size_t(k[1])], c[std::size_t(k[2])]);
}

// The plane values of the box's eight corners (numbered as BoxCorners numbers them), with the
// products and sums of PlaneValue in its order, each product taken once.
void CornerPlaneValues(const TPreparedTriangle& p, const TAABB& box, double (&side)[8]) {
    const double x[2] = {p.n[0] * double(box.min.x), p.n[0] * double(box.max.x)};
    const double y[2] = {p.n[1] * double(box.min.y), p.n[1] * double(box.max.y)};
    const double z[2] = {p.n[2] * double(box.min.z), p.n[2] * double(box.max.z)};
    for (int j = 0; j < 8; ++j) {
        side[j] = x[cCornerBits[j][0]] + y[cCornerBits[j][1]] + z[cCornerBits[j][2]] + p.c;
    }
}

#if defined(HK_VALIDATE)
// Leaves list valid triangle indices, ascending and each once, inner nodes none, and every
// triangle with a vertex within the bounds is listed in some leaf.
bool LeavesHoldTheirTriangles(const TOctree& tree) {
    std::vector<bool> listed(std::size_t(tree.TriangleCount()), false);
    for (int n = 0; n < tree.NodeCount(); ++n) {
        const TOctree::TOctreeNode& node = tree.Node(n);
        if (!node.IsLeaf() && !node.triangles.empty()) {
            return false;
        }
        int previous = -1;
        for (int t : node.triangles) {
            if (t <= previous || t >= tree.TriangleCount()) {
                return false;
            }
            listed[std::size_t(t)] = true;
            previous = t;
        }
    }
    for (int t = 0; t < tree.TriangleCount(); ++t) {
        const TAffineVector* v = tree.Triangle(t);
        const bool within = PointInBox(v[0], tree.Bounds()) || PointInBox(v[1], tree.Bounds()) ||
                            PointInBox(v[2], tree.Bounds());
        if (within && !listed[std::size_t(t)]) {
            return false;
        }
    }
    return true;
}
#endif

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
    faceExits_.resize(nodes_.size());
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        const TBoxCorners c = BoxCorners(nodes_[n].box);
        TNodeFaceExits& e = faceExits_[n];
        e.limited = 0;
        for (std::size_t f = 0; f < 12; ++f) {
            const int* k = cFaces.corner[f];
            const TFaceExit x =
                MakeFaceExit(c[std::size_t(k[0])], c[std::size_t(k[1])], c[std::size_t(k[2])]);
            e.below[f] = x.below;
            e.above[f] = x.above;
            if (x.axis == cFaceAxes[f]) {
                e.limited |= 1u << f;
            }
        }
    }
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
    HK_VALIDATE_CHECK(LeavesHoldTheirTriangles(*this),
                      "octree leaves hold every triangle within it");
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

TOctree::TWalker TOctree::MakeWalker(const TAffineVector& v0, const TAffineVector& v1,
                                     const TAffineVector& v2) {
    TWalker w{{v0, v1, v2}, PrepareTriangle(v0, v1, v2), {}, {}, true};
    TAABB box{v0, v0};
    for (const TAffineVector& v : w.t) {
        for (int a = 0; a < 3; ++a) {
            box.min[a] = std::min(box.min[a], v[a]);
            box.max[a] = std::max(box.max[a], v[a]);
            w.finite = w.finite && std::isfinite(v[a]);
        }
    }
    for (std::size_t f = 0; f < 12; ++f) {
        w.lo[f] = box.min[cFaceAxes[f]];
        w.hi[f] = box.max[cFaceAxes[f]];
    }
    return w;
}

void TOctree::WalkTriangle(const TAffineVector& v0, const TAffineVector& v1,
                           const TAffineVector& v2) {
    result_.clear();
    if (!nodes_.empty()) {
        WalkTriangleFrom(0, MakeWalker(v0, v1, v2));
    }
}

// Whether the triangle touches the node's box: a vertex inside (inclusive), or the triangle
// meeting one of the twelve triangles of the box's faces. The triangle test answers false at
// once when either triangle lies strictly on one side of the other's plane. Both are checked
// here first, with the face's limits and with the eight corners' plane values (the very
// values the test computes), so that it runs in full only for the few face triangles left.
bool TOctree::TouchesNode(int node, const TWalker& w) {
    const TAABB& box = nodes_[std::size_t(node)].box;
    if (PointInBox(w.t[0], box) || PointInBox(w.t[1], box) || PointInBox(w.t[2], box)) {
        return true;
    }
    const TPreparedTriangle& p = w.p;
    if (!p.hasSurface) {
        return false;
    }
    // Face triangles the limits leave open; all of them when the limits do not apply.
    const TNodeFaceExits& e = faceExits_[std::size_t(node)];
    unsigned open = 0xfff;
    if (w.finite) {
        unsigned rejected = 0;
        for (int f = 0; f < 12; ++f) {
            rejected |= unsigned(w.hi[f] <= e.below[f] || w.lo[f] >= e.above[f]) << f;
        }
        open &= ~(rejected & e.limited);
        if (open == 0) {
            return false;
        }
    }
    double side[8];
    bool sides = false;
    for (int f = 0; f < 12; ++f) {
        if (!(open >> f & 1u)) {
            continue;
        }
        const int* k = cFaces.corner[f];
        if (!w.finite || !(e.limited >> f & 1u)) {
            const TTrianglePlane face = FaceTrianglePlane(box, f);
            if (!face.hasSurface ||
                OnOneSideOfPlane(PlaneValue(face, p.v[0]), PlaneValue(face, p.v[1]),
                                 PlaneValue(face, p.v[2]))) {
                continue;
            }
        }
        if (!sides) {
            CornerPlaneValues(p, box, side);
            sides = true;
        }
        if (OnOneSideOfPlane(side[k[0]], side[k[1]], side[k[2]])) {
            continue;
        }
        const TBoxCorners c = BoxCorners(box);
        if (TriangleTriangleIntersect(p, PrepareTriangle(c[std::size_t(k[0])], c[std::size_t(k[1])],
                                                         c[std::size_t(k[2])]))) {
            return true;
        }
    }
    return false;
}

void TOctree::WalkTriangleFrom(int node, const TWalker& w) {
    if (!TouchesNode(node, w)) {
        return;
    }
    const TOctreeNode& n = nodes_[std::size_t(node)];
    if (n.IsLeaf()) {
        result_.push_back(node);
        return;
    }
    for (int c = 0; c < 8; ++c) {
        WalkTriangleFrom(n.firstChild + c, w);
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
    // A leaf's clusters are made when a query first searches it.
    clusters_.Clear(NodeCount());
    tree_.Build(prepared_);
    // Kept in the tree's order, where the filter reads them run by run.
    std::vector<TPreparedTriangle> ordered;
    tree_.Reorder(prepared_, ordered);
    prepared_.swap(ordered);
    triangleBounds_.resize(prepared_.size());
    std::transform(prepared_.begin(), prepared_.end(), triangleBounds_.begin(), BoundOf);
    // One set of fits serves the mesh as B and as A. As A, a triangle may gain a surface when
    // placed, unless two of its vertices are one point (or it has NaN coordinates), so the fits
    // count every other triangle; as B, those without a surface only widen them.
    std::vector<TTriangleBound> counted(triangleBounds_);
    for (std::size_t k = 0; k < counted.size(); ++k) {
        const auto& v = prepared_[k].v;
        auto same = [&](int a, int b) {
            return v[a][0] == v[b][0] && v[a][1] == v[b][1] && v[a][2] == v[b][2];
        };
        const bool nan = std::any_of(&v[0][0], &v[0][0] + 9, [](double c) { return c != c; });
        counted[k].active = !nan && !same(0, 1) && !same(1, 2) && !same(2, 0);
    }
    FitNodes(tree_, prepared_, counted, fits_);
    preparedValid_ = true;
}

TFilterSide TOctree::FilterSide() {
    Prepare();
    return {tree_, prepared_, triangleBounds_, fits_};
}

TPlacedMesh& TOctree::Placed(const std::vector<int>& leaves, const TMatrix& world,
                             const TMatrix& inverseB) {
    Prepare();
    const std::size_t count = std::size_t(TriangleCount());
    if (seen_.size() != count || ++seenMark_ == 0) {
        seen_.assign(count, 0);
        seenMark_ = 1;
    }
    for (int leaf : leaves) {
        for (int i : nodes_[std::size_t(leaf)].triangles) {
            seen_[std::size_t(i)] = seenMark_;
        }
    }
    placed_.Begin(tree_, fits_, vertices_.data(), seen_, seenMark_, world, inverseB);
    return placed_;
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
    result_.clear();
    if (nodes_.empty()) {
        return false;
    }
    const TWalker w = MakeWalker(t0, t1, t2);
    const TPreparedTriangle& p = w.p;
    WalkTriangleFrom(0, w);
    // A cluster whose box lies strictly on one side of the query's plane holds only triangles
    // the triangle test rejects; the others are tested one by one, the test's first exit
    // (the triangle on one side of the query's plane) taken here without a call.
    auto meets = [&](int i) {
        const TPreparedTriangle& q = prepared_[std::size_t(tree_.Position(i))];
        return !OnOneSideOfPlane(PlaneValue(p, q.v[0]), PlaneValue(p, q.v[1]),
                                 PlaneValue(p, q.v[2])) &&
               MeshTrianglesMeet(p, q);
    };
    for (int leaf : result_) {
        if (!clusters_.HasLeaf(leaf)) {
            clusters_.AddLeaf(leaf, nodes_[std::size_t(leaf)].triangles, vertices_.data());
        }
        if (clusters_.Search(
                leaf,
                [&](const TAABB& box, const TSlab& slab) {
                    return SlabOnOneSideOfPlane(p, box, slab) || BoxOnOneSideOfPlane(p, box);
                },
                meets)) {
            return true;
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

// Whether triangle `index` of A is listed in one of the leaves (each list ascending).
bool Listed(const TOctree& a, const std::vector<int>& leaves, int index) {
    return std::any_of(leaves.begin(), leaves.end(), [&](int leaf) {
        const std::vector<int>& t = a.Node(leaf).triangles;
        return std::binary_search(t.begin(), t.end(), index);
    });
}

// A's triangles near B's box, each carried to world space and tested against B. Which of them
// meets B does not change the answer, so `hit` (the one that met B last time) is tried first when
// it is still among them, and then only those the mesh filter finds near a triangle of B (all of
// them, in the order the leaves list them, where coordinates are not finite); `hit` becomes the
// one that meets B this time.
bool TriangleSetsMeet(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
                      const TAABB& boxB, const TMatrix& worldB, const TMatrix& inverseB, int& hit) {
    TMatrix m12 = AffineProductInline(worldB, inverseA);
    TMatrix m21 = AffineProductInline(worldA, inverseB);
    a.WalkBox(boxB, m12, m21);
    const std::vector<int> leaves = a.ResultList();
    auto meets = [&](int i) {
        const TAffineVector* v = a.Triangle(i);
        return b.TriangleIntersect(TransformPointInline(v[0], worldA),
                                   TransformPointInline(v[1], worldA),
                                   TransformPointInline(v[2], worldA), inverseB);
    };
    if (hit >= 0 && hit < a.TriangleCount() && Listed(a, leaves, hit) && meets(hit)) {
        return true;
    }
    const TFilterSide sideB = b.FilterSide();
    if (sideB.tree.Finite() && a.FilterSide().tree.Finite()) {
        const int first = FirstMeeting(a.Placed(leaves, worldA, inverseB), sideB, meets);
        HK_VALIDATE_CHECK((first >= 0) == a.AnyTriangleOfLeaves(leaves, meets),
                          "the mesh filter answers as every candidate asked in turn");
        if (first >= 0) {
            hit = first;
        }
        return first >= 0;
    }
    return a.AnyTriangleOfLeaves(leaves, [&](int i) {
        if (!meets(i)) {
            return false;
        }
        hit = i;
        return true;
    });
}

} // namespace

bool MeshMeshIntersect(TOctree& a, const TMatrix& worldA, const TMatrix& inverseA, TOctree& b,
                       const TAABB& boxB, const TMatrix& worldB, const TMatrix& inverseB) {
    constexpr std::size_t cKept = 8;
    std::vector<TOctree::TPairAnswer>& answers = a.PairAnswers();
    int hit = -1;
    for (const TOctree::TPairAnswer& k : answers) {
        if (k.ownBuild != a.BuildSerial() || k.otherBuild != b.BuildSerial()) {
            continue;
        }
        if (Same(k.worldA, worldA) && Same(k.inverseA, inverseA) && Same(k.worldB, worldB) &&
            Same(k.inverseB, inverseB) && Same(k.boxB, boxB)) {
            return k.intersect;
        }
        hit = k.hit;
    }
    const bool intersect = TriangleSetsMeet(a, worldA, inverseA, b, boxB, worldB, inverseB, hit);
    const TOctree::TPairAnswer kept{
        a.BuildSerial(), b.BuildSerial(), worldA, inverseA, worldB, inverseB, boxB, intersect, hit};
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
