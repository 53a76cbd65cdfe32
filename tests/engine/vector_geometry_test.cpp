#include "engine/vector_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hk {
namespace {

void ExpectVec(const TAffineVector& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

void ExpectMatrixNear(const TMatrix& a, const TMatrix& b, float eps = 1e-5f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(a[i][j], b[i][j], eps) << "at [" << i << "][" << j << "]";
        }
    }
}

TEST(RotationMatrix, TurnsByMinusAngleUnderRowVectors) {
    // v x RotationMatrix(Z, pi/2) maps X to -Y: the matrix turns clockwise seen from +Z.
    TMatrix m = RotationMatrix(ZVector, float(cPI / 2));
    ExpectVec(AffineTransform(XVector, m), 0, -1, 0);
    ExpectVec(AffineTransform(YVector, m), 1, 0, 0);
    // Passing -angle gives the right-hand positive turn.
    ExpectVec(VectorRotateAroundAxis(XVector, ZVector, float(-cPI / 2)), 0, 1, 0);
    // The axis is normalised first.
    ExpectMatrixNear(RotationMatrix({0, 0, 5}, 0.3f), RotationMatrix(ZVector, 0.3f));
}

TEST(RotationMatrix, IsOrthonormalWithUnitDeterminant) {
    TMatrix m = RotationMatrix({1, 2, 3}, 0.7f);
    EXPECT_NEAR(MatrixDeterminant(m), 1.0f, 1e-5f);
    ExpectMatrixNear(MatrixMultiply(m, TransposeMatrix(m)), IdentityHmgMatrix);
}

TEST(MatrixMultiply, ComposesLeftToRight) {
    // v x A x B applies A first: scale by 2, then translate by (1, 0, 0).
    TMatrix a = CreateScaleMatrix({2, 2, 2});
    TMatrix b = CreateTranslationMatrix({1, 0, 0});
    ExpectVec(AffineTransform({1, 1, 1}, MatrixMultiply(a, b)), 3, 2, 2);
    ExpectVec(AffineTransform({1, 1, 1}, MatrixMultiply(b, a)), 4, 2, 2);
}

TEST(TransformVector, UsesAllFourComponents) {
    TMatrix t = CreateTranslationMatrix({1, 2, 3});
    TVector p = TransformVector({1, 1, 1, 1}, t);
    TVector d = TransformVector({1, 1, 1, 0}, t);
    EXPECT_FLOAT_EQ(p.x, 2);
    EXPECT_FLOAT_EQ(p.z, 4);
    EXPECT_FLOAT_EQ(p.w, 1);
    EXPECT_FLOAT_EQ(d.x, 1);
    EXPECT_FLOAT_EQ(d.w, 0);
}

TEST(Inverse, GeneralInverseUndoesTheMatrix) {
    TMatrix m = MatrixMultiply(RotationMatrix({1, 1, 0}, 0.4f), CreateScaleMatrix({2, 3, 0.5f}));
    m[3] = {4, -5, 6, 1};
    ExpectMatrixNear(MatrixMultiply(m, InvertMatrix(m)), IdentityHmgMatrix, 1e-4f);
    EXPECT_NEAR(MatrixDeterminant(CreateScaleMatrix({2, 3, 4})), 24.0f, 1e-5f);
}

TEST(Inverse, SingularMatricesGiveTheIdentity) {
    TMatrix singular = CreateScaleMatrix({1, 0, 1});
    EXPECT_EQ(MatrixDeterminant(singular), 0.0f);
    ExpectMatrixNear(InvertMatrix(singular), IdentityHmgMatrix, 0);
    ExpectMatrixNear(RigidInvertMatrix(singular), IdentityHmgMatrix, 0);
    TMatrix zero{};
    ExpectMatrixNear(InvertMatrix(zero), IdentityHmgMatrix, 0);
}

TEST(Inverse, RigidInverseNegatesTranslationAndUndoesRotation) {
    TMatrix t = CreateTranslationMatrix({1, 2, 3});
    TMatrix inv = RigidInvertMatrix(t);
    EXPECT_FLOAT_EQ(inv[3].x, -1);
    EXPECT_FLOAT_EQ(inv[3].y, -2);
    EXPECT_FLOAT_EQ(inv[3].z, -3);
    EXPECT_FLOAT_EQ(inv[3].w, 1);

    TMatrix r = RotationMatrix({0, 1, 1}, 1.1f);
    r[3] = {7, 8, 9, 1};
    TMatrix ri = RigidInvertMatrix(r);
    ExpectMatrixNear(MatrixMultiply(r, ri), IdentityHmgMatrix, 1e-5f);
    ExpectMatrixNear(ri, InvertMatrix(r), 1e-5f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ri[i].w, 0);
    }
}

TEST(OrthonormalizeMatrix, GivesUnitRowsAndDropsTranslation) {
    TMatrix m = CreateScaleMatrix({2, 3, 4});
    m[0].y = 0.2f; // slightly skewed
    m[0].w = 5;
    m[3] = {1, 2, 3, 1};
    OrthonormalizeMatrix(m);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(VectorLength(m[i]), 1.0f, 1e-6f);
        EXPECT_EQ(m[i].w, 0);
    }
    EXPECT_NEAR(VectorDotProduct(m[0], m[1]), 0.0f, 1e-6f);
    EXPECT_NEAR(VectorDotProduct(m[1], m[2]), 0.0f, 1e-6f);
    EXPECT_NEAR(VectorDotProduct(m[0], m[2]), 0.0f, 1e-6f);
    EXPECT_TRUE(VectorEquals(m[3], NullHmgPoint));
    ExpectVec(m[1].Affine(), 0, 1, 0);
}

TEST(NormalizeDegAngle, ReducesIntoHalfTurnRange) {
    EXPECT_FLOAT_EQ(NormalizeDegAngle(270), -90);
    EXPECT_FLOAT_EQ(NormalizeDegAngle(-190), 170);
    EXPECT_FLOAT_EQ(NormalizeDegAngle(45), 45);
    EXPECT_FLOAT_EQ(NormalizeDegAngle(720 + 10), 10);
    EXPECT_FLOAT_EQ(NormalizeDegAngle(-1080 - 30), -30);
    float a = NormalizeDegAngle(180);
    EXPECT_TRUE(a == 180 || a == -180);
}

TEST(VectorBasics, CrossDotNormalise) {
    ExpectVec(VectorCrossProduct(XVector, YVector), 0, 0, 1);
    EXPECT_EQ(VectorCrossProduct(TVector{1, 0, 0, 1}, TVector{0, 1, 0, 1}).w, 0);
    EXPECT_FLOAT_EQ(VectorDotProduct(TAffineVector{1, 2, 3}, TAffineVector{4, 5, 6}), 32);
    EXPECT_FLOAT_EQ(VectorLength(3, 4), 5);
    EXPECT_FLOAT_EQ(VectorDistance2(TAffineVector{1, 1, 1}, TAffineVector{2, 3, 4}), 14);
    TVector n = VectorNormalize(TVector{0, 3, 4, 1});
    EXPECT_FLOAT_EQ(n.y, 0.6f);
    EXPECT_EQ(n.w, 0);
    ExpectVec(VectorNormalize(NullVector), 0, 0, 0);
    ExpectVec(VectorPerpendicular({1, 1, 0}, XVector), 0, 1, 0);
    EXPECT_FLOAT_EQ(PointProject({3, 5, 0}, {1, 0, 0}, XVector), 2);
    EXPECT_EQ(VectorSubtract(PointMake(1, 2, 3), PointMake(0, 0, 0)).w, 0);
}

TEST(Boxes, TransformUnionScale) {
    TAABB unit{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}};
    // A quarter turn about Z of a stretched box swaps its X and Y extents.
    TMatrix m =
        MatrixMultiply(CreateScaleMatrix({4, 1, 1}), RotationMatrix(ZVector, float(cPI / 2)));
    m[3] = {10, 0, 0, 1};
    TAABB b = AABBTransform(unit, m);
    ExpectVec(b.min, 9.5f, -2, -0.5f);
    ExpectVec(b.max, 10.5f, 2, 0.5f);
    TAABB u = AABBUnion(unit, b);
    ExpectVec(u.min, -0.5f, -2, -0.5f);
    ExpectVec(u.max, 10.5f, 2, 0.5f);
    TAABB s = AABBScale(unit, {2, 4, 6});
    ExpectVec(s.max, 1, 2, 3);
}

TEST(RayCastSphere, CountsAndOrdersHits) {
    TVector c = PointMake(0, 0, 10);
    TVector i1, i2;
    // From outside, through the centre: two hits, nearest first.
    EXPECT_EQ(RayCastSphereIntersect(PointMake(0, 0, 0), ZHmgVector, c, 2, &i1, &i2), 2);
    EXPECT_FLOAT_EQ(i1.z, 8);
    EXPECT_FLOAT_EQ(i2.z, 12);
    // From inside: exactly one hit, ahead of the start.
    EXPECT_EQ(RayCastSphereIntersect(PointMake(0, 0, 9), ZHmgVector, c, 2, &i1, &i2), 1);
    EXPECT_FLOAT_EQ(i1.z, 12);
    // Pointing away from a sphere behind: none. Missing sideways: none.
    EXPECT_EQ(RayCastSphereIntersect(PointMake(0, 0, 20), ZHmgVector, c, 2), 0);
    EXPECT_EQ(RayCastSphereIntersect(PointMake(5, 0, 0), ZHmgVector, c, 2), 0);
    // Tangent ahead: one hit; tangent behind: none.
    EXPECT_EQ(RayCastSphereIntersect(PointMake(2, 0, 0), ZHmgVector, c, 2, &i1), 1);
    EXPECT_FLOAT_EQ(i1.z, 10);
    EXPECT_EQ(RayCastSphereIntersect(PointMake(2, 0, 20), ZHmgVector, c, 2), 0);
}

} // namespace
} // namespace hk
