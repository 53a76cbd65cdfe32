// The dodecahedron's faces are found once from its vertex set: the five vertices nearest to
// each icosahedron direction, ordered around it.
#include "primitives/shapes/dodecahedron.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace hk {

namespace {

struct Face {
    TAffineVector normal;
    std::array<TAffineVector, 5> corners;
};

std::vector<Face> MakeFaces() {
    const float phi = float((1 + std::sqrt(5.0)) / 2), iphi = 1 / phi;
    std::vector<TAffineVector> v;
    for (float a : {-1.f, 1.f}) {
        for (float b : {-1.f, 1.f}) {
            for (float c : {-1.f, 1.f}) {
                v.push_back({a, b, c});
            }
            v.push_back({0, a * iphi, b * phi});
            v.push_back({a * iphi, b * phi, 0});
            v.push_back({a * phi, 0, b * iphi});
        }
    }
    const float scale = 1 / std::sqrt(3.0f);
    for (auto& p : v) {
        p = VectorScale(p, scale);
    }
    std::vector<TAffineVector> normals;
    for (float a : {-1.f, 1.f}) {
        for (float b : {-1.f, 1.f}) {
            normals.push_back(VectorNormalize(TAffineVector{0, a, b * phi}));
            normals.push_back(VectorNormalize(TAffineVector{a, b * phi, 0}));
            normals.push_back(VectorNormalize(TAffineVector{a * phi, 0, b}));
        }
    }
    std::vector<Face> faces;
    for (const auto& n : normals) {
        std::vector<TAffineVector> sorted = v;
        std::sort(sorted.begin(), sorted.end(), [&](const auto& p, const auto& q) {
            return VectorDotProduct(p, n) > VectorDotProduct(q, n);
        });
        Face f{n, {}};
        std::copy(sorted.begin(), sorted.begin() + 5, f.corners.begin());
        // Counter-clockwise around the normal, from an axis frame in the face plane.
        TAffineVector centre{};
        for (const auto& c : f.corners) {
            centre = VectorAdd(centre, VectorScale(c, 0.2f));
        }
        const TAffineVector u = VectorNormalize(VectorSubtract(f.corners[0], centre));
        const TAffineVector w = VectorCrossProduct(n, u);
        auto angle = [&](const TAffineVector& p) {
            const TAffineVector r = VectorSubtract(p, centre);
            return std::atan2(VectorDotProduct(r, w), VectorDotProduct(r, u));
        };
        std::sort(f.corners.begin(), f.corners.end(),
                  [&](const auto& p, const auto& q) { return angle(p) < angle(q); });
        faces.push_back(f);
    }
    return faces;
}

} // namespace

void DrawDodecahedron() {
    static const std::vector<Face> faces = MakeFaces();
    for (const Face& f : faces) {
        glBegin(GL_TRIANGLE_FAN);
        glNormal3fv(&f.normal.x);
        for (const auto& c : f.corners) {
            glVertex3fv(&c.x);
        }
        glEnd();
    }
}

} // namespace hk
