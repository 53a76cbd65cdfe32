// Box-triangle and triangle-triangle tests against brute-force segment oracles, plus the
// coplanar branch and the cases the separating axes must not get wrong.
#include "collision/box_geometry.h"
#include "collision/triangle_tests.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace hk {
namespace {

using V = TAffineVector;

// Segment p-q against triangle abc, non-coplanar: the point where the segment crosses the
// triangle's plane lies inside the triangle. `margin` receives how clearly the answer holds.
bool SegmentTriangle(const V& p, const V& q, const V& a, const V& b, const V& c, double& margin) {
    double ab[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    double ac[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
    double n[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                   ab[0] * ac[1] - ab[1] * ac[0]};
    double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    auto dist = [&](const V& x) {
        return (n[0] * (x.x - a.x) + n[1] * (x.y - a.y) + n[2] * (x.z - a.z)) / len;
    };
    double dp = dist(p), dq = dist(q);
    margin = std::min(std::fabs(dp), std::fabs(dq));
    if ((dp > 0) == (dq > 0)) {
        return false;
    }
    double t = dp / (dp - dq);
    double x[3] = {p.x + t * (double(q.x) - p.x), p.y + t * (double(q.y) - p.y),
                   p.z + t * (double(q.z) - p.z)};
    const V* tri[3] = {&a, &b, &c};
    bool inside = true;
    double edgeMargin = 1e9;
    for (int e = 0; e < 3; ++e) {
        const V& u = *tri[e];
        const V& w = *tri[(e + 1) % 3];
        double ew[3] = {double(w.x) - u.x, double(w.y) - u.y, double(w.z) - u.z};
        double ux[3] = {x[0] - u.x, x[1] - u.y, x[2] - u.z};
        double cr[3] = {ew[1] * ux[2] - ew[2] * ux[1], ew[2] * ux[0] - ew[0] * ux[2],
                        ew[0] * ux[1] - ew[1] * ux[0]};
        double side = (cr[0] * n[0] + cr[1] * n[1] + cr[2] * n[2]) / len /
                      std::sqrt(ew[0] * ew[0] + ew[1] * ew[1] + ew[2] * ew[2]);
        inside = inside && side >= 0;
        edgeMargin = std::min(edgeMargin, std::fabs(side));
    }
    margin = std::min(margin, edgeMargin);
    return inside;
}

TEST(TriangleTriangle, AgreesWithSegmentOracleOnRandomTriangles) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-1, 1);
    int hits = 0, checked = 0;
    for (int n = 0; n < 20000; ++n) {
        V t[6];
        for (V& v : t) {
            v = {u(rng), u(rng), u(rng)};
        }
        bool expected = false;
        double margin = 1e9;
        for (int s = 0; s < 2; ++s) {
            const V* a = s == 0 ? t : t + 3;
            const V* b = s == 0 ? t + 3 : t;
            for (int e = 0; e < 3; ++e) {
                double m;
                expected = SegmentTriangle(a[e], a[(e + 1) % 3], b[0], b[1], b[2], m) || expected;
                margin = std::min(margin, m);
            }
        }
        if (margin < 1e-4) {
            continue;
        }
        ++checked;
        hits += expected;
        ASSERT_EQ(TriangleTriangleIntersect(t[0], t[1], t[2], t[3], t[4], t[5]), expected)
            << "case " << n;
        ASSERT_EQ(TriangleTriangleIntersect(t[3], t[4], t[5], t[0], t[1], t[2]), expected);
        ASSERT_EQ(
            MeshTrianglesMeet(PrepareTriangle(t[0], t[1], t[2]), PrepareTriangle(t[3], t[4], t[5])),
            expected);
    }
    EXPECT_GT(checked, 15000);
    EXPECT_GT(hits, 1000);
}

TEST(TriangleTriangle, CoplanarBranch) {
    V a0{0, 0, 0}, a1{2, 0, 0}, a2{0, 2, 0};
    // Crossing edges, a triangle inside the other, a shared edge point, and apart.
    EXPECT_TRUE(TriangleTriangleIntersect(a0, a1, a2, {1, -1, 0}, {1, 3, 0}, {3, 1, 0}));
    EXPECT_TRUE(
        TriangleTriangleIntersect(a0, a1, a2, {0.2f, 0.2f, 0}, {0.5f, 0.2f, 0}, {0.2f, 0.5f, 0}));
    EXPECT_TRUE(
        TriangleTriangleIntersect({0.2f, 0.2f, 0}, {0.5f, 0.2f, 0}, {0.2f, 0.5f, 0}, a0, a1, a2));
    EXPECT_TRUE(TriangleTriangleIntersect(a0, a1, a2, {2, 0, 0}, {3, 0, 0}, {3, 1, 0}));
    EXPECT_FALSE(TriangleTriangleIntersect(a0, a1, a2, {2, 2, 0}, {3, 2, 0}, {3, 3, 0}));
    // Coplanar in a plane whose normal is mostly x: the projection drops x.
    EXPECT_TRUE(TriangleTriangleIntersect({0, 0, 0}, {0, 2, 0}, {0, 0, 2}, {0, 1, -1}, {0, 1, 3},
                                          {0, 3, 1}));
    EXPECT_FALSE(TriangleTriangleIntersect({0, 0, 0}, {0, 2, 0}, {0, 0, 2}, {0, 5, 5}, {0, 6, 5},
                                           {0, 5, 6}));
}

TEST(TriangleTriangle, DegenerateAndNaNMeetNothing) {
    V a0{0, 0, 0}, a1{2, 0, 0}, a2{0, 2, 0};
    // A zero-area triangle lying far from a0a1a2 but over it in one projection.
    EXPECT_FALSE(
        TriangleTriangleIntersect(a0, a1, a2, {0.5f, 5, 0.5f}, {0.5f, 5, 0.5f}, {0.5f, 5, 0.5f}));
    EXPECT_FALSE(TriangleTriangleIntersect(a0, a1, a2, {NAN, 0, 0}, {1, 1, 1}, {0, 1, -1}));
    EXPECT_FALSE(TriangleTriangleIntersect(a0, a1, a2, a0, a0, a1));
}

// Nearly coplanar triangles: plane values under the tolerance make the plain test report a pair
// 0.12 apart along their planes as meeting; the test of two meshes sets that answer aside and
// keeps those of triangles that do lie within the tolerance of each other.
TEST(TriangleTriangle, MeshTrianglesSetAsideOnlyMeetingsFarApart) {
    auto meet = [](const V(&a)[3], const V(&b)[3]) {
        return MeshTrianglesMeet(PrepareTriangle(a[0], a[1], a[2]),
                                 PrepareTriangle(b[0], b[1], b[2]));
    };
    const V floor[3] = {{0, 0, 0}, {1, 0, 0}, {0, 4, 0}};
    const V apart[3] = {{0.8f, 1.3f, 2.4e-7f}, {0.8f, 2.3f, 5.4e-7f}, {1.8f, 2.3f, 5.4e-7f}};
    EXPECT_TRUE(
        TriangleTriangleIntersect(floor[0], floor[1], floor[2], apart[0], apart[1], apart[2]));
    EXPECT_FALSE(meet(floor, apart));
    EXPECT_FALSE(meet(apart, floor));
    const V over[3] = {{0.2f, 0.2f, 1e-7f}, {0.6f, 0.2f, 2e-7f}, {0.2f, 1.2f, 1e-7f}};
    const V edge[3] = {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}};
    const V lifted[3] = {{0.2f, 0.2f, 1e-3f}, {0.6f, 0.2f, 1e-3f}, {0.2f, 1.2f, 1e-3f}};
    EXPECT_TRUE(meet(floor, over));
    EXPECT_TRUE(meet(floor, edge));
    EXPECT_FALSE(meet(floor, lifted));
}

// Segment p-q against an axis-aligned box by slab clipping.
bool SegmentBox(const V& p, const V& q, const TAABB& b) {
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 3; ++k) {
        double d = double(q[k]) - p[k];
        if (d == 0) {
            if (p[k] < b.min[k] || p[k] > b.max[k]) {
                return false;
            }
            continue;
        }
        double a = (b.min[k] - p[k]) / d, c = (b.max[k] - p[k]) / d;
        t0 = std::max(t0, std::min(a, c));
        t1 = std::min(t1, std::max(a, c));
    }
    return t0 <= t1;
}

TEST(BoxTriangle, AgreesWithEdgeOracleOnRandomTriangles) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-2, 2);
    // A box off its space's origin, as the hierarchy box of an object with children is.
    TAABB box{{0.3f, -0.2f, 0.5f}, {1.1f, 0.6f, 0.9f}};
    TBoxCorners c = BoxCorners(box);
    int hits = 0;
    for (int n = 0; n < 20000; ++n) {
        V t[3] = {{u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng)}, {u(rng), u(rng), u(rng)}};
        bool expected = false;
        double margin = 1e9;
        for (int e = 0; e < 3; ++e) {
            expected = expected || SegmentBox(t[e], t[(e + 1) % 3], box);
        }
        for (const auto& e : cBoxEdges) {
            double m;
            expected = SegmentTriangle(c[e[0]], c[e[1]], t[0], t[1], t[2], m) || expected;
            margin = std::min(margin, m);
        }
        if (margin < 1e-4) {
            continue;
        }
        hits += expected;
        ASSERT_EQ(BoxTriangleIntersect(box, t[0], t[1], t[2]), expected) << "case " << n;
    }
    EXPECT_GT(hits, 500);
}

TEST(BoxTriangle, TouchingAndOutside) {
    TAABB box{{-1, -1, -1}, {1, 1, 1}};
    EXPECT_TRUE(BoxTriangleIntersect(box, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}));
    EXPECT_TRUE(BoxTriangleIntersect(box, {-5, -5, 0}, {5, -5, 0}, {0, 5, 0}));
    // Beyond the corner, although every single axis range overlaps the box.
    EXPECT_FALSE(BoxTriangleIntersect(box, {1.5f, 0.9f, 0}, {0.9f, 1.5f, 0}, {1.5f, 1.5f, 0}));
    EXPECT_FALSE(BoxTriangleIntersect(box, {NAN, 0, 0}, {0, 0, 0}, {0, 1, 0}));
}

} // namespace
} // namespace hk
