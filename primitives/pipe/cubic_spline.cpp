// Natural cubic spline through equally spaced nodes, solved with a Cholesky factorisation of
// the tridiagonal derivative system.
#include "primitives/pipe/cubic_spline.h"

#include <cmath>

namespace hk {

TCubicSpline::TCubicSpline(const float* x, const float* y, const float* z, const float* w,
                           int count)
    : count_(count < 0 ? 0 : count) {
    const float* all[4] = {x, y, z, w};
    for (int s = 0; s < 4; ++s) {
        if (all[s] == nullptr) {
            continue;
        }
        if (count_ == 1) {
            single_[s] = all[s][0];
        } else if (count_ >= 2) {
            series_[s] = Build(all[s], count_);
        }
    }
}

// The derivatives D solve 2 D0 + D1 = 3 (p1 - p0); D(i-1) + 4 Di + D(i+1) = 3 (p(i+1) - p(i-1));
// D(n-2) + 2 D(n-1) = 3 (p(n-1) - p(n-2)). The coefficients are kept in double: converted to
// powers of t they cancel heavily on long node chains.
std::vector<TCubicSpline::Coefficients> TCubicSpline::Build(const float* p, int n) {
    std::vector<double> pivot(n), factor(n), rhs(n), d(n);
    rhs[0] = 3.0 * (double(p[1]) - p[0]);
    for (int i = 1; i < n - 1; ++i) {
        rhs[i] = 3.0 * (double(p[i + 1]) - p[i - 1]);
    }
    rhs[n - 1] = 3.0 * (double(p[n - 1]) - p[n - 2]);

    pivot[0] = std::sqrt(2.0);
    factor[0] = 1.0 / pivot[0];
    for (int i = 1; i < n - 1; ++i) {
        pivot[i] = std::sqrt(4.0 - factor[i - 1] * factor[i - 1]);
        factor[i] = 1.0 / pivot[i];
    }
    pivot[n - 1] = std::sqrt(2.0 - factor[n - 2] * factor[n - 2]);

    // Forward with L, then back with L transposed.
    std::vector<double> y(n);
    y[0] = rhs[0] / pivot[0];
    for (int i = 1; i < n; ++i) {
        y[i] = (rhs[i] - factor[i - 1] * y[i - 1]) / pivot[i];
    }
    d[n - 1] = y[n - 1] / pivot[n - 1];
    for (int i = n - 2; i >= 0; --i) {
        d[i] = (y[i] - factor[i] * d[i + 1]) / pivot[i];
    }

    std::vector<Coefficients> out(n - 1);
    for (int i = 0; i < n - 1; ++i) {
        // In w = t - i: a + b w + c w^2 + e w^3.
        double delta = double(p[i + 1]) - p[i];
        double a = p[i], b = d[i];
        double c = 3 * delta - 2 * d[i] - d[i + 1];
        double e = d[i] + d[i + 1] - 2 * delta;
        double k = i;
        // Expanded with w = t - k.
        out[i] = {e, c - 3 * e * k, b - 2 * c * k + 3 * e * k * k,
                  a - b * k + c * k * k - e * k * k * k};
    }
    return out;
}

int TCubicSpline::SegmentIndex(float t) const {
    int i;
    if (t <= 0) {
        i = 0;
    } else if (t > float(count_ - 1)) {
        i = count_ - 1;
    } else {
        i = int(t);
    }
    return i >= count_ - 1 ? count_ - 2 : i;
}

float TCubicSpline::Value(int s, float t) const {
    if (count_ < 2) {
        return single_[s];
    }
    const auto& seg = series_[s];
    if (seg.empty()) {
        return 0;
    }
    const Coefficients& c = seg[SegmentIndex(t)];
    double x = t;
    return float(((c[0] * x + c[1]) * x + c[2]) * x + c[3]);
}

float TCubicSpline::Slope(int s, float t) const {
    if (count_ < 2 || series_[s].empty()) {
        return 0;
    }
    const Coefficients& c = series_[s][SegmentIndex(t)];
    double x = t;
    return float((3 * c[0] * x + 2 * c[1]) * x + c[2]);
}

TAffineVector TCubicSpline::SplineAffineVector(float t) const {
    return {Value(0, t), Value(1, t), Value(2, t)};
}

TVector TCubicSpline::SplineVector(float t) const {
    return {Value(0, t), Value(1, t), Value(2, t), Value(3, t)};
}

TAffineVector TCubicSpline::SplineSlopeVector(float t) const {
    return {Slope(0, t), Slope(1, t), Slope(2, t)};
}

} // namespace hk
