// Free functions on vectors, matrices and boxes. Vectors are row vectors: v' = v x M, so a
// product A x B applies A first. Angles are radians here; DegToRad/RadToDeg convert. Arithmetic
// runs in double precision and is rounded to float when stored. Nothing here allocates.
#pragma once

#include "engine/vector_types.h"

namespace hk {

inline double DegToRad(double deg) {
    return deg * (cPI / 180.0);
}
inline double RadToDeg(double rad) {
    return rad * (180.0 / cPI);
}

TAffineVector AffineVectorMake(float x, float y, float z);
TVector VectorMake(float x, float y, float z, float w = 0);
TVector PointMake(float x, float y, float z);
TVector VectorMake(const TAffineVector& v, float w = 0);

// Component-wise; on TVector all four components (a difference of two points has w = 0).
TAffineVector VectorAdd(const TAffineVector& a, const TAffineVector& b);
TVector VectorAdd(const TVector& a, const TVector& b);
TAffineVector VectorSubtract(const TAffineVector& a, const TAffineVector& b);
TVector VectorSubtract(const TVector& a, const TVector& b);
TAffineVector VectorScale(const TAffineVector& v, float s);
TVector VectorScale(const TVector& v, float s);
// v1*f1 + v2*f2 component-wise.
TAffineVector VectorCombine(const TAffineVector& v1, const TAffineVector& v2, float f1, float f2);
TVector VectorCombine(const TVector& v1, const TVector& v2, float f1, float f2);

// x, y and z only.
float VectorDotProduct(const TAffineVector& a, const TAffineVector& b);
float VectorDotProduct(const TVector& a, const TVector& b);
TAffineVector VectorCrossProduct(const TAffineVector& a, const TAffineVector& b);
// w = 0.
TVector VectorCrossProduct(const TVector& a, const TVector& b);
float VectorLength(const TAffineVector& v);
float VectorLength(const TVector& v);
// sqrt(a^2 + b^2)
float VectorLength(float a, float b);
float VectorDistance2(const TAffineVector& a, const TAffineVector& b);
float VectorDistance2(const TVector& a, const TVector& b);
// x, y, z times 1/length (w = 0 for TVector). A null vector stays null.
TAffineVector VectorNormalize(const TAffineVector& v);
TVector VectorNormalize(const TVector& v);
void NormalizeVector(TAffineVector& v);
void NormalizeVector(TVector& v);
// v - (v.n) n for a unit n.
TAffineVector VectorPerpendicular(const TAffineVector& v, const TAffineVector& n);
// (p - origin) . direction
float PointProject(const TAffineVector& p, const TAffineVector& origin,
                   const TAffineVector& direction);
bool VectorEquals(const TAffineVector& a, const TAffineVector& b);
bool VectorEquals(const TVector& a, const TVector& b);

// Under v x M this turns vectors by -angle about the axis (right-hand rule); pass -angle for
// a positive turn. The axis is normalised first.
TMatrix RotationMatrix(const TAffineVector& axis, float angle);
// v x RotationMatrix(axis, angle)
TAffineVector VectorRotateAroundAxis(const TAffineVector& v, const TAffineVector& axis,
                                     float angle);
TMatrix CreateScaleMatrix(const TAffineVector& s);
TMatrix CreateTranslationMatrix(const TAffineVector& t);

// result[i][j] = sum_k a[i][k] * b[k][j]
TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b);
// v.x*row0 + v.y*row1 + v.z*row2 + v.w*row3, all four components.
TVector TransformVector(const TVector& v, const TMatrix& m);
// p.x*row0 + p.y*row1 + p.z*row2 + row3, first three components.
TAffineVector AffineTransform(const TAffineVector& p, const TMatrix& m);
// The direction part only: v.x*row0 + v.y*row1 + v.z*row2.
TAffineVector AffineRotate(const TAffineVector& v, const TMatrix& m);
TMatrix TransposeMatrix(const TMatrix& m);

float MatrixDeterminant(const TMatrix& m);
// Adjugate / determinant; the identity when the determinant is below cMatrixEpsilon.
TMatrix InvertMatrix(const TMatrix& m);
// For rotation (and uniform scale) plus translation: the inverse of the upper 3x3, last column
// (0, 0, 0, 1), translation -(t x R^-1). The identity when the 3x3 is singular.
TMatrix RigidInvertMatrix(const TMatrix& m);
// Unit rows 0 and 1, row 2 := unit(row0 x row1), row 0 := unit(row1 x row2), row 3 :=
// (0, 0, 0, 1); the result is orthonormal even when rows 0 and 1 were not perpendicular.
// Scale and translation are lost.
void OrthonormalizeMatrix(TMatrix& m);

// Reduces an angle in degrees into [-180, 180].
float NormalizeDegAngle(float angle);

// Box of the eight affine-transformed corners.
TAABB AABBTransform(const TAABB& b, const TMatrix& m);
TAABB AABBUnion(const TAABB& a, const TAABB& b);
TAABB AABBScale(const TAABB& b, const TAffineVector& s);

// Ray (start, unit vector) against a sphere: number of hits (0, 1 or 2). The hit points are
// written to i1 (first) and i2 (second) when given. A start inside the sphere gives one hit
// ahead of it.
int RayCastSphereIntersect(const TVector& rayStart, const TVector& rayVector, const TVector& center,
                           float radius, TVector* i1 = nullptr, TVector* i2 = nullptr);

} // namespace hk
