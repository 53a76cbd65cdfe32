// The value types every part of the engine computes on: 32-bit float vectors, row-major 4x4
// matrices (rows 0-2 are the X, Y, Z axes, row 3 the translation), quaternions, texture points,
// colours and axis-aligned boxes, plus the constant vectors and the identity matrix.
#pragma once

#include <cstdint>

namespace hk {

// A point or direction in 3D.
struct TAffineVector {
    float x = 0, y = 0, z = 0;

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

// A homogeneous vector: w = 1 for points, 0 for directions.
struct TVector {
    float x = 0, y = 0, z = 0, w = 0;

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    TAffineVector Affine() const { return {x, y, z}; }
};

// Same layout as TVector; the components are red, green, blue, alpha.
using TColorVector = TVector;

// Four rows of TVector, row-major; the same 64 bytes are handed to OpenGL unchanged. Vectors
// are row vectors (v' = v x M), so a translation lives in row 3.
struct TMatrix {
    TVector V[4];

    TVector& operator[](int i) { return V[i]; }
    const TVector& operator[](int i) const { return V[i]; }
    // The 16 floats in row order, for glLoadMatrixf / glMultMatrixf.
    const float* data() const { return &V[0].x; }
    float* data() { return &V[0].x; }
};
static_assert(sizeof(TVector) == 16 && sizeof(TMatrix) == 64, "layout shared with OpenGL");

struct TQuaternion {
    TAffineVector ImagPart;
    float RealPart = 1;
};

struct TTexPoint {
    float s = 0, t = 0;
};

// Axis-aligned box given by its minimum and maximum corners.
struct TAABB {
    TAffineVector min, max;
};

inline constexpr TAffineVector XVector{1, 0, 0};
inline constexpr TAffineVector YVector{0, 1, 0};
inline constexpr TAffineVector ZVector{0, 0, 1};
inline constexpr TAffineVector NullVector{0, 0, 0};
inline constexpr TVector XHmgVector{1, 0, 0, 0};
inline constexpr TVector YHmgVector{0, 1, 0, 0};
inline constexpr TVector ZHmgVector{0, 0, 1, 0};
inline constexpr TVector NullHmgVector{0, 0, 0, 0};
inline constexpr TVector NullHmgPoint{0, 0, 0, 1};
inline constexpr TVector XYZHmgVector{1, 1, 1, 0};
inline constexpr TMatrix IdentityHmgMatrix{
    {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

// A determinant whose magnitude is below this counts as singular.
inline constexpr float cMatrixEpsilon = 1e-40f;

inline constexpr double cPI = 3.14159265358979323846;

} // namespace hk
