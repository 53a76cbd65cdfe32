// The triangle octree: its shape, the walks against brute force, and mesh-mesh through the
// octree against all triangle pairs on random poses.
#include "collision/octree.h"
#include "collision/pair_tests.h"
#include "collision/triangle_tests.h"
#include "collision_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace hk {
namespace {

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
            if (TriangleTriangleIntersect(p[0], p[1], p[2], q[0], q[1], q[2])) {
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
    for (int n = 0; n < 60; ++n) {
        auto a = testing::MakeMesh(RandomSoup(rng, 60, 1, 0.15f));
        auto b = testing::MakeMesh(RandomSoup(rng, 60, 1, 0.15f));
        testing::RandomPose(*a, rng, {pos(rng), pos(rng), pos(rng)});
        testing::RandomPose(*b, rng, {pos(rng), pos(rng), pos(rng)});
        bool expected = AllTrianglePairs(*a, *b);
        (expected ? hits : misses)++;
        ASSERT_EQ(FacesFaces(*a, *b), expected) << "case " << n;
        ASSERT_EQ(FacesFaces(*b, *a), expected) << "case " << n;
    }
    EXPECT_GT(hits, 5);
    EXPECT_GT(misses, 5);
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
