// Vector, matrix and box arithmetic under the row-vector convention.
#include "engine/vector_geometry.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

float Fl(double v) {
    return static_cast<float>(v);
}

double Dot3(double ax, double ay, double az, double bx, double by, double bz) {
    return ax * bx + ay * by + az * bz;
}

// Determinant of the 3x3 matrix taken from m, skipping row `skipRow` and column `skipCol`.
double Minor3(const TMatrix& m, int skipRow, int skipCol) {
    int r[3], c[3];
    for (int i = 0, k = 0; i < 4; ++i) {
        if (i != skipRow) {
            r[k++] = i;
        }
    }
    for (int i = 0, k = 0; i < 4; ++i) {
        if (i != skipCol) {
            c[k++] = i;
        }
    }
    auto e = [&](int i, int j) { return static_cast<double>(m[r[i]][c[j]]); };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

double Determinant4(const TMatrix& m) {
    double det = 0;
    for (int j = 0; j < 4; ++j) {
        double sign = (j % 2 == 0) ? 1.0 : -1.0;
        det += sign * m[0][j] * Minor3(m, 0, j);
    }
    return det;
}

} // namespace

TAffineVector AffineVectorMake(float x, float y, float z) {
    return {x, y, z};
}
TVector VectorMake(float x, float y, float z, float w) {
    return {x, y, z, w};
}
TVector PointMake(float x, float y, float z) {
    return {x, y, z, 1};
}
TVector VectorMake(const TAffineVector& v, float w) {
    return {v.x, v.y, v.z, w};
}

TAffineVector VectorAdd(const TAffineVector& a, const TAffineVector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TVector VectorAdd(const TVector& a, const TVector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
TAffineVector VectorSubtract(const TAffineVector& a, const TAffineVector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
TVector VectorSubtract(const TVector& a, const TVector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}
TAffineVector VectorScale(const TAffineVector& v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}
TVector VectorScale(const TVector& v, float s) {
    return {v.x * s, v.y * s, v.z * s, v.w * s};
}

TAffineVector VectorCombine(const TAffineVector& v1, const TAffineVector& v2, float f1, float f2) {
    return {Fl(double(v1.x) * f1 + double(v2.x) * f2), Fl(double(v1.y) * f1 + double(v2.y) * f2),
            Fl(double(v1.z) * f1 + double(v2.z) * f2)};
}
TVector VectorCombine(const TVector& v1, const TVector& v2, float f1, float f2) {
    return {Fl(double(v1.x) * f1 + double(v2.x) * f2), Fl(double(v1.y) * f1 + double(v2.y) * f2),
            Fl(double(v1.z) * f1 + double(v2.z) * f2), Fl(double(v1.w) * f1 + double(v2.w) * f2)};
}

float VectorDotProduct(const TAffineVector& a, const TAffineVector& b) {
    return Fl(Dot3(a.x, a.y, a.z, b.x, b.y, b.z));
}
float VectorDotProduct(const TVector& a, const TVector& b) {
    return Fl(Dot3(a.x, a.y, a.z, b.x, b.y, b.z));
}

TAffineVector VectorCrossProduct(const TAffineVector& a, const TAffineVector& b) {
    return {Fl(double(a.y) * b.z - double(a.z) * b.y), Fl(double(a.z) * b.x - double(a.x) * b.z),
            Fl(double(a.x) * b.y - double(a.y) * b.x)};
}
TVector VectorCrossProduct(const TVector& a, const TVector& b) {
    return VectorMake(VectorCrossProduct(a.Affine(), b.Affine()), 0);
}

float VectorLength(const TAffineVector& v) {
    return Fl(std::sqrt(Dot3(v.x, v.y, v.z, v.x, v.y, v.z)));
}
float VectorLength(const TVector& v) {
    return VectorLength(v.Affine());
}
float VectorLength(float a, float b) {
    return Fl(std::sqrt(double(a) * a + double(b) * b));
}

float VectorDistance2(const TAffineVector& a, const TAffineVector& b) {
    double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return Fl(dx * dx + dy * dy + dz * dz);
}
float VectorDistance2(const TVector& a, const TVector& b) {
    return VectorDistance2(a.Affine(), b.Affine());
}

TAffineVector VectorNormalize(const TAffineVector& v) {
    double len = std::sqrt(Dot3(v.x, v.y, v.z, v.x, v.y, v.z));
    if (len == 0) {
        return v;
    }
    double inv = 1.0 / len;
    return {Fl(v.x * inv), Fl(v.y * inv), Fl(v.z * inv)};
}
TVector VectorNormalize(const TVector& v) {
    return VectorMake(VectorNormalize(v.Affine()), 0);
}
void NormalizeVector(TAffineVector& v) {
    v = VectorNormalize(v);
}
void NormalizeVector(TVector& v) {
    v = VectorNormalize(v);
}

TAffineVector VectorPerpendicular(const TAffineVector& v, const TAffineVector& n) {
    double d = Dot3(v.x, v.y, v.z, n.x, n.y, n.z);
    return {Fl(v.x - d * n.x), Fl(v.y - d * n.y), Fl(v.z - d * n.z)};
}

float PointProject(const TAffineVector& p, const TAffineVector& origin,
                   const TAffineVector& direction) {
    return Fl(Dot3(double(p.x) - origin.x, double(p.y) - origin.y, double(p.z) - origin.z,
                   direction.x, direction.y, direction.z));
}

bool VectorEquals(const TAffineVector& a, const TAffineVector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
bool VectorEquals(const TVector& a, const TVector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

TMatrix RotationMatrix(const TAffineVector& axis, float angle) {
    TAffineVector n = VectorNormalize(axis);
    double x = n.x, y = n.y, z = n.z;
    double ca = std::cos(double(angle)), sa = std::sin(double(angle)), t = 1.0 - ca;
    TMatrix m;
    m[0] = {Fl(t * x * x + ca), Fl(t * x * y - z * sa), Fl(t * z * x + y * sa), 0};
    m[1] = {Fl(t * x * y + z * sa), Fl(t * y * y + ca), Fl(t * y * z - x * sa), 0};
    m[2] = {Fl(t * z * x - y * sa), Fl(t * y * z + x * sa), Fl(t * z * z + ca), 0};
    m[3] = {0, 0, 0, 1};
    return m;
}

TAffineVector VectorRotateAroundAxis(const TAffineVector& v, const TAffineVector& axis,
                                     float angle) {
    return AffineRotate(v, RotationMatrix(axis, angle));
}

TMatrix CreateScaleMatrix(const TAffineVector& s) {
    TMatrix m = IdentityHmgMatrix;
    m[0].x = s.x;
    m[1].y = s.y;
    m[2].z = s.z;
    return m;
}

TMatrix CreateTranslationMatrix(const TAffineVector& t) {
    TMatrix m = IdentityHmgMatrix;
    m[3] = {t.x, t.y, t.z, 1};
    return m;
}

TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b) {
    TMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) {
                s += double(a[i][k]) * b[k][j];
            }
            r[i][j] = Fl(s);
        }
    }
    return r;
}

TVector TransformVector(const TVector& v, const TMatrix& m) {
    TVector r;
    for (int j = 0; j < 4; ++j) {
        r[j] = Fl(double(v.x) * m[0][j] + double(v.y) * m[1][j] + double(v.z) * m[2][j] +
                  double(v.w) * m[3][j]);
    }
    return r;
}

TAffineVector AffineTransform(const TAffineVector& p, const TMatrix& m) {
    TAffineVector r;
    for (int j = 0; j < 3; ++j) {
        r[j] = Fl(double(p.x) * m[0][j] + double(p.y) * m[1][j] + double(p.z) * m[2][j] +
                  double(m[3][j]));
    }
    return r;
}

TAffineVector AffineRotate(const TAffineVector& v, const TMatrix& m) {
    TAffineVector r;
    for (int j = 0; j < 3; ++j) {
        r[j] = Fl(double(v.x) * m[0][j] + double(v.y) * m[1][j] + double(v.z) * m[2][j]);
    }
    return r;
}

TMatrix TransposeMatrix(const TMatrix& m) {
    TMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i][j] = m[j][i];
        }
    }
    return r;
}

float MatrixDeterminant(const TMatrix& m) {
    return Fl(Determinant4(m));
}

TMatrix InvertMatrix(const TMatrix& m) {
    double det = Determinant4(m);
    if (std::fabs(det) < cMatrixEpsilon) {
        return IdentityHmgMatrix;
    }
    double inv = 1.0 / det;
    TMatrix r;
    // Inverse = adjugate / det; the adjugate is the transpose of the cofactor matrix.
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sign = ((i + j) % 2 == 0) ? 1.0 : -1.0;
            r[j][i] = Fl(sign * Minor3(m, i, j) * inv);
        }
    }
    return r;
}

TMatrix RigidInvertMatrix(const TMatrix& m) {
    double a[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            a[i][j] = m[i][j];
        }
    }
    double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                 a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                 a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (std::fabs(det) < cMatrixEpsilon) {
        return IdentityHmgMatrix;
    }
    double inv = 1.0 / det;
    double r[3][3];
    // Transposed cofactors scaled by 1/det.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            r[j][i] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) * inv;
        }
    }
    TMatrix out;
    for (int i = 0; i < 3; ++i) {
        out[i] = {Fl(r[i][0]), Fl(r[i][1]), Fl(r[i][2]), 0};
    }
    double t[3] = {m[3][0], m[3][1], m[3][2]};
    for (int j = 0; j < 3; ++j) {
        out[3][j] = Fl(-(t[0] * r[0][j] + t[1] * r[1][j] + t[2] * r[2][j]));
    }
    out[3].w = 1;
    return out;
}

void OrthonormalizeMatrix(TMatrix& m) {
    m[0].w = 0;
    m[1].w = 0;
    NormalizeVector(m[0]);
    NormalizeVector(m[1]);
    // Rows 0 and 1 need not be perpendicular, so the cross products are normalised too.
    m[2] = VectorNormalize(VectorCrossProduct(m[0], m[1]));
    m[0] = VectorNormalize(VectorCrossProduct(m[1], m[2]));
    m[3] = {0, 0, 0, 1};
}

float NormalizeDegAngle(float angle) {
    double a = std::fmod(double(angle) + 180.0, 360.0);
    if (a < 0) {
        a += 360.0;
    }
    return Fl(a - 180.0);
}

TAABB AABBTransform(const TAABB& b, const TMatrix& m) {
    TAABB r;
    for (int i = 0; i < 8; ++i) {
        TAffineVector corner{(i & 1) ? b.max.x : b.min.x, (i & 2) ? b.max.y : b.min.y,
                             (i & 4) ? b.max.z : b.min.z};
        TAffineVector p = AffineTransform(corner, m);
        if (i == 0) {
            r.min = r.max = p;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            r.min[k] = std::min(r.min[k], p[k]);
            r.max[k] = std::max(r.max[k], p[k]);
        }
    }
    return r;
}

TAABB AABBUnion(const TAABB& a, const TAABB& b) {
    TAABB r;
    for (int k = 0; k < 3; ++k) {
        r.min[k] = std::min(a.min[k], b.min[k]);
        r.max[k] = std::max(a.max[k], b.max[k]);
    }
    return r;
}

TAABB AABBScale(const TAABB& b, const TAffineVector& s) {
    TAABB r;
    for (int k = 0; k < 3; ++k) {
        r.min[k] = b.min[k] * s[k];
        r.max[k] = b.max[k] * s[k];
    }
    return r;
}

int RayCastSphereIntersect(const TVector& rayStart, const TVector& rayVector, const TVector& center,
                           float radius, TVector* i1, TVector* i2) {
    TAffineVector s = rayStart.Affine(), v = rayVector.Affine();
    double p = PointProject(center.Affine(), s, v);
    TAffineVector q{Fl(s.x + p * v.x), Fl(s.y + p * v.y), Fl(s.z + p * v.z)};
    double d2 = double(radius) * radius - VectorDistance2(center.Affine(), q);
    auto at = [&](double k) {
        return PointMake(Fl(s.x + k * v.x), Fl(s.y + k * v.y), Fl(s.z + k * v.z));
    };
    if (d2 < 0) {
        return 0;
    }
    if (d2 == 0) {
        if (p > 0) {
            if (i1) {
                *i1 = PointMake(q.x, q.y, q.z);
            }
            return 1;
        }
        return 0;
    }
    double d = std::sqrt(d2);
    if (p >= d) {
        if (i1) {
            *i1 = at(p - d);
        }
        if (i2) {
            *i2 = at(p + d);
        }
        return 2;
    }
    if (p + d >= 0) {
        if (i1) {
            *i1 = at(p + d);
        }
        return 1;
    }
    return 0;
}

} // namespace hk
