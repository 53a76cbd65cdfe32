// Ring construction, twist test, realignment, bands and disks of the pipe.
#include "primitives/pipe/pipe_ring.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hk {

namespace {

// Rotating by repeated steps is exact enough below this many steps.
constexpr int cDirectTrigSteps = 1000;

int Sign(float v) {
    return (v > 0) - (v < 0);
}

TPipeSinCosTable& SharedTable() {
    static TPipeSinCosTable table;
    return table;
}

} // namespace

TPipeSinCosTable MakePipeSinCosTable(int slices) {
    TPipeSinCosTable t;
    if (slices < 1) {
        return t;
    }
    const int n = slices + 1;
    t.sin.resize(n);
    t.cos.resize(n);
    const double step = DegToRad((360.0 + 0.00001) / slices);
    t.sin[0] = 0;
    t.cos[0] = 1;
    if (slices < cDirectTrigSteps) {
        const double s = std::sin(step);
        const double h = std::sin(step / 2);
        const double c = 2 * h * h;
        for (int k = 1; k < n; ++k) {
            double ps = t.sin[k - 1], pc = t.cos[k - 1];
            t.sin[k] = float(ps - (c * ps - s * pc));
            t.cos[k] = float(pc - (c * pc + s * ps));
        }
    } else {
        for (int k = 1; k < n; ++k) {
            t.sin[k] = float(std::sin(k * step));
            t.cos[k] = float(std::cos(k * step));
        }
    }
    return t;
}

const TPipeSinCosTable& PipeSinCosTable(int slices) {
    TPipeSinCosTable& t = SharedTable();
    if (t.Count() != slices + 1) {
        t = MakePipeSinCosTable(slices);
    }
    return t;
}

void TPipeRing::Resize(int slices) {
    positions.resize(std::size_t(slices) + 1);
    normals.resize(std::size_t(slices) + 1);
}

void BuildPipeRing(TPipeRing& ring, const TAffineVector& centre, const TAffineVector& direction,
                   float radiusFactor, float radius, const TPipeSinCosTable& table) {
    const TAffineVector& d = direction;
    TAffineVector u = VectorCrossProduct(ZVector, d);
    TAffineVector v;
    if (VectorDotProduct(u, u) < 1e-7f) {
        if (VectorDotProduct(d, d) < 1e-7f) {
            u = XVector;
            v = ZVector;
        } else {
            u = VectorNormalize(VectorCrossProduct(XVector, d));
            v = VectorCrossProduct(d, u);
        }
    } else {
        u = VectorNormalize(u);
        v = VectorCrossProduct(d, u);
    }
    v = VectorNormalize(v);
    u = VectorScale(u, radius);
    v = VectorScale(v, radius);
    const int n = std::min(int(ring.positions.size()), table.Count());
    for (int k = 0; k < n; ++k) {
        TAffineVector normal = VectorCombine(u, v, table.cos[k], table.sin[k]);
        ring.normals[k] = normal;
        ring.positions[k] = VectorCombine(centre, normal, 1, radiusFactor);
    }
}

bool PipeRingsTwisted(const TPipeRing& a, const TPipeRing& b) {
    const int n = std::min(a.Slices(), b.Slices());
    if (n < 1) {
        return false;
    }
    long long normalCount[3] = {1, 1, 1}, positionCount[3] = {1, 1, 1};
    for (int k = 0; k <= n; ++k) {
        for (int c = 0; c < 3; ++c) {
            if (Sign(a.normals[k][c]) != Sign(b.normals[k][c])) {
                ++normalCount[c];
            }
            if (Sign(a.positions[k][c]) != Sign(b.positions[k][c])) {
                ++positionCount[c];
            }
        }
    }
    const long long nN = normalCount[0] * normalCount[1] * normalCount[2];
    const long long nP = positionCount[0] * positionCount[1] * positionCount[2];
    const long long h = n / 2;
    return h * h < nN || h * h < nP;
}

int BestPipeRingShift(const TPipeRing& a, const TPipeRing& b) {
    const int n = std::min(a.Slices(), b.Slices());
    int best = 0;
    double bestCost = 0;
    for (int s = 0; s < n; ++s) {
        double cost = 0;
        for (int j = 0; j < n; ++j) {
            const TAffineVector& p = a.positions[(j + s) % n];
            const TAffineVector& q = b.positions[j];
            cost += std::fabs(p.x - q.x) + std::fabs(p.y - q.y) + std::fabs(p.z - q.z);
        }
        if (s == 0 || cost < bestCost) {
            best = s;
            bestCost = cost;
        }
    }
    return best;
}

void RotatePipeRing(TPipeRing& a, int shift) {
    const int n = a.Slices();
    if (n < 1 || shift % n == 0) {
        return;
    }
    shift %= n;
    if (shift < 0) {
        shift += n;
    }
    std::rotate(a.positions.begin(), a.positions.begin() + shift, a.positions.begin() + n);
    std::rotate(a.normals.begin(), a.normals.begin() + shift, a.normals.begin() + n);
    a.positions[n] = a.positions[0];
    a.normals[n] = a.normals[0];
}

void EmitPipeBand(TGLGeometrySink& sink, TPipeRing& a, const TPipeRing& b, bool withColors) {
    const int n = std::min(a.Slices(), b.Slices());
    if (n < 1) {
        return;
    }
    if (PipeRingsTwisted(a, b)) {
        RotatePipeRing(a, BestPipeRingShift(a, b));
    }
    auto send = [&sink, withColors](const TPipeRing& r, int k) {
        if (withColors) {
            glColor4fv(&r.color.x);
        }
        sink.Normal(r.normals[k]);
        sink.Vertex(r.positions[k]);
    };
    sink.Begin(GL_TRIANGLE_STRIP);
    send(b, 0);
    for (int j = 0; j < n; ++j) {
        send(a, j);
        send(b, j + 1);
    }
    send(a, n);
    sink.End();
}

void EmitPipeDisk(TGLGeometrySink& sink, const TPipeRing& ring, const TAffineVector& centre,
                  const TAffineVector& normal, bool startDisk, bool withColors) {
    const int n = ring.Slices();
    if (n < 1) {
        return;
    }
    sink.Begin(GL_TRIANGLE_FAN);
    if (withColors) {
        glColor4fv(&ring.color.x);
    }
    sink.Normal(normal);
    sink.Vertex(centre);
    if (startDisk) {
        for (int k = n; k >= 0; --k) {
            sink.Vertex(ring.positions[k]);
        }
    } else {
        for (int k = 0; k <= n; ++k) {
            sink.Vertex(ring.positions[k]);
        }
    }
    sink.End();
}

} // namespace hk
