// TPoint3D: a point or direction in data-file units, in double precision, with the few
// operations the clash geometry needs.
#pragma once

#include <cmath>

namespace hk {

struct TPoint3D {
    double x = 0;
    double y = 0;
    double z = 0;
};

inline TPoint3D operator+(const TPoint3D& a, const TPoint3D& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline TPoint3D operator-(const TPoint3D& a, const TPoint3D& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline TPoint3D operator*(const TPoint3D& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(const TPoint3D& a, const TPoint3D& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline TPoint3D Cross(const TPoint3D& a, const TPoint3D& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Norm(const TPoint3D& a) {
    return std::sqrt(Dot(a, a));
}
inline double Distance(const TPoint3D& a, const TPoint3D& b) {
    return Norm(a - b);
}
// The unit vector along a; the null vector stays null.
inline TPoint3D Normalized(const TPoint3D& a) {
    const double n = Norm(a);
    return n > 0 ? a * (1 / n) : a;
}
// Some unit vector perpendicular to a (a not null).
inline TPoint3D AnyPerpendicular(const TPoint3D& a) {
    const TPoint3D other = std::fabs(a.x) < std::fabs(a.y) ? TPoint3D{1, 0, 0} : TPoint3D{0, 1, 0};
    return Normalized(Cross(a, other));
}

} // namespace hk
