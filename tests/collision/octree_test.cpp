// The triangle octree: its shape, the walks against brute force, and mesh-mesh through the
// octree against all triangle pairs on random poses.
#include "collision/box_geometry.h"
#include "collision/octree.h"
#include "collision/pair_tests.h"
#include "collision/transform_inline.h"
#include "collision/triangle_tests.h"
#include "collision_test_support.h"
#include "object_pair_tests.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace hk {
namespace {

using test::FacesFaces;

std::vector<TAffineVector> RandomSoup(std::mt19937& rng, int triangles, float spread, float size) {
    std::uniform_real_distribution<float> c(-spread, spread), d(-size, size);
    std::vector<TAffineVector> out;
    for (int i = 0; i < triangles; ++i) {
        TAffineVector centre{c(rng), c(rng), c(rng)};
        for (int k = 0; k < 3; ++k) {
            out.push_back({centre.x + d(rng), centre.y + d(rng), centre.z + d(rng)});
        }
    }
    return out;
}

void Extents(const std::vector<TAffineVector>& v, TAffineVector& lo, TAffineVector& hi) {
    lo = hi = v[0];
    for (const auto& p : v) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
}

TEST(Octree, ShapeAndClampedDepth) {
    std::mt19937 rng(1);
    auto soup = RandomSoup(rng, 50, 1, 0.2f);
    TAffineVector lo, hi;
    Extents(soup, lo, hi);
    TOctree tree;
    tree.InitializeTree(lo, hi, soup.data(), int(soup.size()) + 2, TOctree::cCollisionDepth);
    EXPECT_EQ(tree.NodeCount(), 1 + 8 + 64 + 512);
    EXPECT_EQ(tree.TriangleCount(), 50); // the trailing incomplete triangle is ignored
    int leaves = 0;
    std::set<int> seen;
    for (int i = 0; i < tree.NodeCount(); ++i) {
        const auto& n = tree.Node(i);
        if (n.IsLeaf()) {
            ++leaves;
            EXPECT_TRUE(std::is_sorted(n.triangles.begin(), n.triangles.end()));
            seen.insert(n.triangles.begin(), n.triangles.end());
        } else {
            EXPECT_TRUE(n.triangles.empty());
        }
    }
    EXPECT_EQ(leaves, 512);
    EXPECT_EQ(int(seen.size()), 50); // every triangle lies in some leaf
    tree.InitializeTree(lo, hi, soup.data(), int(soup.size()), 99);
    EXPECT_EQ(tree.Depth(), TOctree::cMaxDepth);
    tree.InitializeTree(lo, hi, soup.data(), int(soup.size()), -4);
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(tree.Node(0).triangles.size(), 50u);
    tree.InitializeTree(lo, hi, nullptr, 0, 3);
    EXPECT_EQ(tree.TriangleCount(), 0);
    EXPECT_TRUE(tree.TrianglesNearBox({lo, hi}, IdentityHmgMatrix, IdentityHmgMatrix).empty());
}

TEST(Octree, TrianglesNearABoxIncludeEveryTriangleInIt) {
    std::mt19937 rng(2);
    auto soup = RandomSoup(rng, 400, 2, 0.3f);
    TAffineVector lo, hi;
    Extents(soup, lo, hi);
    TOctree tree;
    tree.InitializeTree(lo, hi, soup.data(), int(soup.size()), 3);
    std::uniform_real_distribution<float> u(-2, 2);
    for (int q = 0; q < 50; ++q) {
        TAABB box{{-0.4f, -0.3f, -0.5f}, {0.4f, 0.3f, 0.5f}};
        TMatrix m = RotationMatrix(VectorNormalize(TAffineVector{u(rng), u(rng), 1}), u(rng));
        m[3] = PointMake(u(rng), u(rng), u(rng));
        TMatrix inv = InvertMatrix(m);
        std::vector<TAffineVector> near = tree.TrianglesNearBox(box, m, inv);
        std::vector<TAffineVector> hits;
        bool any = tree.BoxIntersect(box, m, inv, IdentityHmgMatrix, IdentityHmgMatrix, &hits);
        int expected = 0;
        for (int t = 0; t < tree.TriangleCount(); ++t) {
            const TAffineVector* v = tree.Triangle(t);
            if (BoxTriangleIntersect(box, AffineTransform(v[0], inv), AffineTransform(v[1], inv),
                                     AffineTransform(v[2], inv))) {
                ++expected;
                bool listed = false;
                for (std::size_t i = 0; i < near.size(); i += 3) {
                    listed =
                        listed || (VectorEquals(near[i], v[0]) && VectorEquals(near[i + 1], v[1]));
                }
                EXPECT_TRUE(listed) << "query " << q << " triangle " << t;
            }
        }
        EXPECT_EQ(int(hits.size()) / 3, expected);
        EXPECT_EQ(any, expected > 0);
        EXPECT_EQ(tree.BoxIntersect(box, m, inv, IdentityHmgMatrix, IdentityHmgMatrix),
                  expected > 0);
    }
}

// The triangle test of two meshes, on unprepared triangles.
bool Meet(const TAffineVector& p0, const TAffineVector& p1, const TAffineVector& p2,
          const TAffineVector& q0, const TAffineVector& q1, const TAffineVector& q2) {
    return MeshTrianglesMeet(PrepareTriangle(p0, p1, p2), PrepareTriangle(q0, q1, q2));
}

bool AllTrianglePairs(TGLFreeForm& a, TGLFreeForm& b) {
    TAffineVectorList ta = a.ExtractTriangles(), tb = b.ExtractTriangles();
    for (int i = 0; i + 2 < ta.Count(); i += 3) {
        TAffineVector p[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = AffineTransform(ta[i + k], a.WorldMatrix());
        }
        for (int j = 0; j + 2 < tb.Count(); j += 3) {
            TAffineVector q[3];
            for (int k = 0; k < 3; ++k) {
                q[k] = AffineTransform(tb[j + k], b.WorldMatrix());
            }
            if (Meet(p[0], p[1], p[2], q[0], q[1], q[2])) {
                return true;
            }
        }
    }
    return false;
}

TEST(Octree, MeshMeshAgreesWithAllTrianglePairsOnRandomPoses) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> pos(-1.5f, 1.5f);
    int hits = 0, misses = 0;
    for (int n = 0; n < 90; ++n) {
        auto a = test::MakeMesh(RandomSoup(rng, 60, 1, 0.15f));
        auto b = test::MakeMesh(RandomSoup(rng, 60, 1, 0.15f));
        test::RandomPose(*a, rng, {pos(rng), pos(rng), pos(rng)});
        test::RandomPose(*b, rng, {pos(rng), pos(rng), pos(rng)});
        if (n % 3 == 1) { // scaled unevenly, one of them mirrored
            a->SetScale({0.5f, 2, 1.5f, 0});
            b->SetScale({-1.5f, 0.25f, 3, 0});
        }
        bool expected = AllTrianglePairs(*a, *b);
        (expected ? hits : misses)++;
        ASSERT_EQ(FacesFaces(*a, *b), expected) << "case " << n;
        ASSERT_EQ(FacesFaces(*b, *a), expected) << "case " << n;
    }
    EXPECT_GT(hits, 5);
    EXPECT_GT(misses, 5);
}

// The mesh-mesh test as first written, from the octree's public parts and the plain triangle
// test: A's triangles near B's box, carried into B's space, against the triangles of every
// leaf whose box (and every ancestor's) the triangle touches.
bool TouchesBox(const TAffineVector (&t)[3], const TAABB& b) {
    auto inside = [&](const TAffineVector& p) {
        return p.x >= b.min.x && p.x <= b.max.x && p.y >= b.min.y && p.y <= b.max.y &&
               p.z >= b.min.z && p.z <= b.max.z;
    };
    if (inside(t[0]) || inside(t[1]) || inside(t[2])) {
        return true;
    }
    const TBoxCorners c = BoxCorners(b);
    for (const auto& f : cBoxFaces) {
        if (TriangleTriangleIntersect(t[0], t[1], t[2], c[f[0]], c[f[1]], c[f[2]]) ||
            TriangleTriangleIntersect(t[0], t[1], t[2], c[f[0]], c[f[2]], c[f[3]])) {
            return true;
        }
    }
    return false;
}

void TouchedLeaves(const TOctree& tree, int node, const TAffineVector (&t)[3],
                   std::vector<int>& out) {
    const auto& n = tree.Node(node);
    if (!TouchesBox(t, n.box)) {
        return;
    }
    if (n.IsLeaf()) {
        out.push_back(node);
        return;
    }
    for (int c = 0; c < 8; ++c) {
        TouchedLeaves(tree, n.firstChild + c, t, out);
    }
}

bool FirstMeshMesh(TGLFreeForm& a, TGLFreeForm& b) {
    TOctree& ta = *FacesOctree(a);
    TOctree& tb = *FacesOctree(b);
    const TMatrix& wa = a.WorldMatrix();
    const TMatrix& ib = b.InverseWorldMatrix();
    std::vector<TAffineVector> near = ta.TrianglesNearBox(
        CollisionHierarchyBox(b), AffineProductInline(b.WorldMatrix(), a.InverseWorldMatrix()),
        AffineProductInline(wa, ib));
    for (std::size_t i = 0; i + 2 < near.size(); i += 3) {
        TAffineVector t[3];
        for (int k = 0; k < 3; ++k) {
            t[k] = TransformPointInline(TransformPointInline(near[i + std::size_t(k)], wa), ib);
        }
        std::vector<int> leaves;
        TouchedLeaves(tb, 0, t, leaves);
        for (int leaf : leaves) {
            for (int j : tb.Node(leaf).triangles) {
                const TAffineVector* u = tb.Triangle(j);
                if (Meet(t[0], t[1], t[2], u[0], u[1], u[2])) {
                    return true;
                }
            }
        }
    }
    return false;
}

// Every pair of triangles, A's carried into B's space as the mesh-mesh test carries them.
bool AllPairsInB(TGLFreeForm& a, TGLFreeForm& b) {
    TAffineVectorList ta = a.ExtractTriangles(), tb = b.ExtractTriangles();
    for (int i = 0; i + 2 < ta.Count(); i += 3) {
        TAffineVector t[3];
        for (int k = 0; k < 3; ++k) {
            t[k] = TransformPointInline(TransformPointInline(ta[i + k], a.WorldMatrix()),
                                        b.InverseWorldMatrix());
        }
        for (int j = 0; j + 2 < tb.Count(); j += 3) {
            if (Meet(t[0], t[1], t[2], tb[j], tb[j + 1], tb[j + 2])) {
                return true;
            }
        }
    }
    return false;
}

// A grid of n x n cells over [0, size]^2 at height h(x, y), two triangles per cell.
template <class Height>
std::vector<TAffineVector> Sheet(int n, float size, Height h, float shift = 0) {
    std::vector<TAffineVector> out;
    const float step = size / float(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float x0 = float(i) * step + shift, x1 = x0 + step;
            const float y0 = float(j) * step, y1 = y0 + step;
            const TAffineVector p{x0, y0, h(x0, y0)}, q{x1, y0, h(x1, y0)}, r{x1, y1, h(x1, y1)},
                s{x0, y1, h(x0, y1)};
            out.insert(out.end(), {p, q, r, p, r, s});
        }
    }
    return out;
}

// Meshes that meet at the edge of the triangle test's tolerance: interleaved and coplanar
// sheets, lifts just under and over the tolerance, boxes touching at faces, edges and corners,
// slivers and triangles of zero area. The mesh-mesh test must answer as it was first written,
// and, on these shapes, as the test of every triangle pair.
TEST(Octree, MeshMeshAnswersAsFirstWrittenOnContactsAtTheTolerance) {
    std::vector<std::pair<std::vector<TAffineVector>, std::vector<TAffineVector>>> cases;
    auto wave = [](float phase, float lift) {
        return [=](float x, float y) { return 0.3f * std::sin(x + phase) * std::cos(y) + lift; };
    };
    auto level = [](float h) { return [=](float, float) { return h; }; };
    // A post far off the sheet gives a level sheet's mesh a box of some height.
    auto withPost = [](std::vector<TAffineVector> t, float x) {
        t.insert(t.end(), {{x, 0, -1}, {x, 1, 1}, {x, 0, 1}});
        return t;
    };
    // Level sheets of triangles with normals of length 0.0625 put plane values of lift / 16.
    for (float lift : {0.0f, 1e-7f, 5e-7f, 2e-6f, 8e-6f, 1.5e-5f, 1.6e-5f, 1.7e-5f, 1e-4f, 0.02f}) {
        cases.push_back({Sheet(12, 3, wave(0, 0)), Sheet(12, 3, wave(0, lift))});
        cases.push_back({Sheet(12, 3, wave(0, 0)), Sheet(12, 3, wave(0, lift), 0.125f)});
        cases.push_back({Sheet(10, 3, wave(0, 0)), Sheet(10, 3, wave(1.5f, lift))});
        cases.push_back(
            {withPost(Sheet(12, 3, level(0)), 5), withPost(Sheet(12, 3, level(lift)), 7)});
    }
    std::set<std::size_t> flat;
    for (float gap : {-1e-3f, 0.0f, 1e-7f, 1e-6f, 1e-5f, 1e-3f}) {
        const float e = 1 + gap;
        cases.push_back({test::BoxSurface({0, 0, 0}, {1, 1, 1}),
                         test::BoxSurface({e, 0.2f, 0.1f}, {2, 0.8f, 0.7f})});
        cases.push_back(
            {test::BoxSurface({0, 0, 0}, {1, 1, 1}), test::BoxSurface({e, e, 0}, {2, 2, 1})});
        cases.push_back(
            {test::BoxSurface({0, 0, 0}, {1, 1, 1}), test::BoxSurface({e, e, e}, {2, 2, 2})});
        flat.insert(cases.size());
        cases.push_back({Sheet(6, 1, [](float, float) { return 0.0f; }),
                         Sheet(
                             6, 1, [](float, float) { return 0.0f; }, e)});
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(0, 1);
    for (int n = 0; n < 6; ++n) {
        auto soup = RandomSoup(rng, 80, 1, 0.4f);
        for (std::size_t i = 0; i + 2 < soup.size(); i += 9) {
            soup[i + 2] = soup[i + 1];                                         // zero area
            soup[i + 5] = VectorCombine(soup[i + 3], soup[i + 4], 0.5f, 0.5f); // on a line
        }
        cases.push_back({soup, Sheet(8, 2, wave(u(rng), u(rng) - 0.5f))});
    }
    // A sheet with a triangle that is not finite, crossing another: the other triangles count.
    for (float bad : {NAN, INFINITY}) {
        auto sheet = Sheet(8, 2, wave(0, 0));
        sheet.insert(sheet.end(), {{0.5f, 0.5f, bad}, {0.6f, 0.5f, 0}, {0.5f, 0.6f, 0}});
        cases.push_back({sheet, Sheet(8, 2, wave(0.7f, 0.05f))});
        cases.push_back({Sheet(8, 2, wave(0.7f, 0.05f)), sheet});
    }
    int hits = 0, misses = 0;
    for (std::size_t n = 0; n < cases.size(); ++n) {
        auto a = test::MakeMesh(cases[n].first);
        auto b = test::MakeMesh(cases[n].second);
        for (int pose = 0; pose < 3; ++pose) {
            if (pose == 1) {
                test::RandomPose(*b, rng, {0, 0, 0});
                a->SetMatrix(b->ObjectMatrix()); // both turned alike keep their contacts
            } else if (pose == 2) {
                test::RandomPose(*b, rng, {u(rng), u(rng), u(rng)});
            }
            const bool first = FirstMeshMesh(*a, *b);
            ASSERT_EQ(FacesFaces(*a, *b), first) << "case " << n << " pose " << pose;
            ASSERT_EQ(FacesFaces(*a, *b), first) << "again, case " << n << " pose " << pose;
            ASSERT_EQ(FacesFaces(*b, *a), FirstMeshMesh(*b, *a)) << "case " << n;
            // Flat meshes turned alike have flat boxes that rounding keeps apart, so the octree
            // finds no candidates where every pair would meet: a known miss of the method.
            if (pose != 1 || !flat.contains(n)) {
                EXPECT_EQ(AllPairsInB(*a, *b), first) << "case " << n << " pose " << pose;
            }
            (first ? hits : misses)++;
        }
    }
    EXPECT_GT(hits, 20);
    EXPECT_GT(misses, 20);
}

// Triangles on and near the planes of the node faces, at offsets around the triangle test's
// tolerance (the faces have areas 1, 4, 16 and 64), lying in them, crossing them, slivers and
// non-finite ones: the walk and the build must collect exactly the leaves the walk as first
// written collects.
TEST(Octree, TriangleWalkAndBuildAgreeWithTheFirstWalkAtNodeFaces) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-1, 9);
    std::uniform_int_distribution<int> plane(0, 8), axis(0, 2), pick(0, 11);
    const float offsets[12] = {0,       1e-7f, -1e-7f, 6.25e-8f, 2.5e-7f, -2.5e-7f,
                               9.9e-7f, 1e-6f, -1e-6f, 1.01e-6f, 3e-5f,   -0.25f};
    std::vector<TAffineVector> soup;
    for (int n = 0; n < 1500; ++n) {
        TAffineVector t[3] = {
            {u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng)}};
        const int a = axis(rng), c = plane(rng);
        const int kind = n % 5;
        for (int k = 0; k < 3; ++k) {
            if (kind < 3) { // on or near a face plane, one vertex free in the last kind
                t[k][a] = float(c) + (kind == 2 && k == 0 ? 0.3f : offsets[pick(rng)]);
            }
            if (kind == 3) { // small, near a node corner
                t[k] = {float(c) + offsets[pick(rng)], float(plane(rng)) + offsets[pick(rng)],
                        float(plane(rng)) + u(rng) * 1e-3f};
            }
        }
        if (kind == 4 && n % 2) { // a sliver
            t[2] = VectorCombine(t[0], t[1], 0.25f, 0.75f);
        }
        soup.insert(soup.end(), t, t + 3);
    }
    soup.insert(soup.end(),
                {{1, 1, 1}, {2, 1, 1}, {1, INFINITY, 1}, {1, 1, 1}, {NAN, 1, 1}, {1, 2, 1}});
    TOctree tree;
    tree.InitializeTree({0, 0, 0}, {8, 8, 8}, soup.data(), int(soup.size()), 3);
    std::vector<std::vector<int>> leaves(std::size_t(tree.NodeCount()));
    for (int i = 0; i < tree.TriangleCount(); ++i) {
        const TAffineVector* v = tree.Triangle(i);
        const TAffineVector t[3] = {v[0], v[1], v[2]};
        std::vector<int> expected;
        TouchedLeaves(tree, 0, t, expected);
        tree.WalkTriangle(v[0], v[1], v[2]);
        ASSERT_EQ(tree.ResultList(), expected) << "triangle " << i;
        for (int leaf : expected) {
            leaves[std::size_t(leaf)].push_back(i);
        }
    }
    for (int i = 0; i < tree.NodeCount(); ++i) {
        ASSERT_EQ(tree.Node(i).triangles, leaves[std::size_t(i)]) << "node " << i;
    }
}

TEST(Octree, TriangleWalkFindsLeavesOfATriangleInsideOneLeaf) {
    TOctree tree;
    std::vector<TAffineVector> tri = {{0.1f, 0.1f, 0.1f}, {0.2f, 0.1f, 0.1f}, {0.1f, 0.2f, 0.1f}};
    tree.InitializeTree({0, 0, 0}, {8, 8, 8}, tri.data(), 3, 3);
    tree.WalkTriangle(tri[0], tri[1], tri[2]);
    ASSERT_EQ(tree.ResultList().size(), 1u);
    const auto& leaf = tree.Node(tree.ResultList()[0]);
    EXPECT_EQ(leaf.box.max.x, 1);
    // A world triangle crossing it, with the mesh moved by +5 in x.
    TMatrix inv = CreateTranslationMatrix({-5, 0, 0});
    EXPECT_TRUE(
        tree.TriangleIntersect({5.12f, 0.12f, 0}, {5.12f, 0.12f, 1}, {5.3f, 0.3f, 0.5f}, inv));
    EXPECT_FALSE(
        tree.TriangleIntersect({0.15f, 0.15f, 0}, {0.15f, 0.15f, 1}, {0.3f, 0.3f, 0.5f}, inv));
}

} // namespace
} // namespace hk
