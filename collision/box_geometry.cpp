// Box tables, box transform, the oriented box-box test and the collision hierarchy box.
#include "collision/box_geometry.h"

#include "collision/transform_inline.h"
#include "engine/scene_object.h"
#include "engine/vector_geometry.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

bool Within(float v, float lo, float hi) {
    return v >= lo && v <= hi;
}

bool InsideBox(const TAffineVector& p, const TAABB& b) {
    return Within(p.x, b.min.x, b.max.x) && Within(p.y, b.min.y, b.max.y) &&
           Within(p.z, b.min.z, b.max.z);
}

// A face of an axis-aligned box: the axis its plane is normal to, the plane's value on that
// axis, whether its corners span a plane at all (a zero-area face has a null normal and is
// never cut), and the range of its corners 0 and 2.
struct TAxisFace {
    int axis;
    float value;
    bool spansPlane;
    TAffineVector lo, hi;
};

TAxisFace MakeFace(const TBoxCorners& c, const int (&f)[4]) {
    TAxisFace face{};
    // The corners of an axis-aligned box differ along two axes per face; the third is fixed.
    for (int k = 0; k < 3; ++k) {
        if (c[f[0]][k] == c[f[1]][k] && c[f[0]][k] == c[f[2]][k]) {
            face.axis = k;
        }
    }
    face.value = c[f[0]][face.axis];
    // The normal's component on the face's axis: the cross product of two edge vectors.
    const int u = (face.axis + 1) % 3, v = (face.axis + 2) % 3;
    double e1u = double(c[f[1]][u]) - c[f[0]][u], e1v = double(c[f[1]][v]) - c[f[0]][v];
    double e2u = double(c[f[2]][u]) - c[f[0]][u], e2v = double(c[f[2]][v]) - c[f[0]][v];
    face.spansPlane = e1u * e2v - e1v * e2u != 0;
    for (int k = 0; k < 3; ++k) {
        face.lo[k] = std::min(c[f[0]][k], c[f[2]][k]);
        face.hi[k] = std::max(c[f[0]][k], c[f[2]][k]);
    }
    return face;
}

// The edge a-b against a face: the point where the edge's line meets the face's plane is a
// hit when it lies on the segment and within the face's rectangle. The coordinate on the
// face's axis is set to the plane's value, so a touching edge is not lost to rounding.
bool EdgeCutsFace(const TAffineVector& a, const TAffineVector& b, const TAxisFace& face) {
    float d = b[face.axis] - a[face.axis];
    if (!face.spansPlane || d == 0) {
        return false;
    }
    float s = (face.value - a[face.axis]) / d;
    if (!(s >= 0 && s <= 1)) {
        return false;
    }
    for (int k = 0; k < 3; ++k) {
        float p = k == face.axis ? face.value : a[k] + s * (b[k] - a[k]);
        if (!Within(p, face.lo[k], face.hi[k])) {
            return false;
        }
    }
    return true;
}

// The edges of one box (corners already in the other box's space) against the faces of the
// other box (its own corners).
bool EdgesCutFaces(const TBoxCorners& edges, const TBoxCorners& faceCorners) {
    TAxisFace faces[6];
    for (int f = 0; f < 6; ++f) {
        faces[f] = MakeFace(faceCorners, cBoxFaces[f]);
    }
    for (const auto& e : cBoxEdges) {
        for (const TAxisFace& face : faces) {
            if (EdgeCutsFace(edges[e[0]], edges[e[1]], face)) {
                return true;
            }
        }
    }
    return false;
}

// The enclosing box of the eight corners, each transformed and compared one by one.
TAABB CornerBoxTransform(const TAABB& box, const TMatrix& m) {
    TBoxCorners c = TransformBoxCornersInline(box, m);
    TAABB r;
    r.min = r.max = c[0];
    bool nan[3] = {std::isnan(r.min.x), std::isnan(r.min.y), std::isnan(r.min.z)};
    for (int i = 1; i < 8; ++i) {
        const TAffineVector& p = c[std::size_t(i)];
        for (int k = 0; k < 3; ++k) {
            nan[k] = nan[k] || std::isnan(p[k]);
            r.min[k] = std::min(r.min[k], p[k]);
            r.max[k] = std::max(r.max[k], p[k]);
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (nan[k]) {
            r.min[k] = r.max[k] = NAN;
        }
    }
    return r;
}

bool AllFinite(const TAABB& box, const TMatrix& m) {
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(box.min[k]) || !std::isfinite(box.max[k])) {
            return false;
        }
        for (int row = 0; row < 4; ++row) {
            if (!std::isfinite(m.V[row][k])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TBoxCorners BoxCorners(const TAABB& b) {
    return {{{b.min.x, b.min.y, b.min.z},
             {b.max.x, b.min.y, b.min.z},
             {b.max.x, b.max.y, b.min.z},
             {b.min.x, b.max.y, b.min.z},
             {b.min.x, b.min.y, b.max.z},
             {b.max.x, b.min.y, b.max.z},
             {b.max.x, b.max.y, b.max.z},
             {b.min.x, b.max.y, b.max.z}}};
}

TBoxCorners BoxCorners(const TAffineVector& h) {
    return BoxCorners(TAABB{{-h.x, -h.y, -h.z}, h});
}

// A transformed corner's coordinate is ((x*m0 + y*m1) + z*m2) + t in double, rounded to float,
// with x, y and z each the box's minimum or maximum. Float products are exact in double and
// every further step is monotonic, so taking the smaller (larger) product of each term gives
// exactly the smallest (largest) of the eight corners, at a sixth of the work. Non-finite
// input goes through the corners, which keep the NaN rule.
TAABB BoxTransform(const TAABB& box, const TMatrix& m) {
    if (!AllFinite(box, m)) {
        return CornerBoxTransform(box, m);
    }
    TAABB r;
    for (int k = 0; k < 3; ++k) {
        double lo[3], hi[3];
        for (int row = 0; row < 3; ++row) {
            double a = double(box.min[row]) * m.V[row][k];
            double b = double(box.max[row]) * m.V[row][k];
            lo[row] = std::min(a, b);
            hi[row] = std::max(a, b);
        }
        const double t = m.V[3][k];
        r.min[k] = float(lo[0] + lo[1] + lo[2] + t);
        r.max[k] = float(hi[0] + hi[1] + hi[2] + t);
    }
    return r;
}

bool IsUsableBox(const TAABB& b) {
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(b.min[k]) || !std::isfinite(b.max[k]) || b.min[k] > b.max[k]) {
            return false;
        }
    }
    return true;
}

// Two boxes, each aligned with the axes of its own space, meet when a corner of one lies in the
// other or an edge of one cuts a face of the other. Each box's corners are carried into the
// other's space, where the other is aligned with the axes and both tests are comparisons with
// its bounds, inclusive so that touching counts. The corners come first: they find most
// meeting pairs at a fraction of the edges' cost.
bool BoxBoxIntersect(const TAABB& box1, const TAABB& box2, const TMatrix& m12, const TMatrix& m21) {
    // box2's corners in box1's space, box1's in box2's.
    const TBoxCorners t2 = TransformBoxCornersInline(box2, m21);
    for (const TAffineVector& c : t2) {
        if (InsideBox(c, box1)) {
            return true;
        }
    }
    const TBoxCorners t1 = TransformBoxCornersInline(box1, m12);
    for (const TAffineVector& c : t1) {
        if (InsideBox(c, box2)) {
            return true;
        }
    }
    if (EdgesCutFaces(t1, BoxCorners(box2))) {
        return true;
    }
    // The other way round too: an edge of box2 can pierce a face of box1 while no edge of box1
    // meets box2 (a wedge poking into a face); box1's edges alone would miss that contact.
    return EdgesCutFaces(t2, BoxCorners(box1));
}

TAABB CollisionHierarchyBox(TGLBaseSceneObject& object) {
    return CollisionHierarchyBox(object, object.UnscaledBoxExtents());
}

TAABB CollisionHierarchyBox(TGLBaseSceneObject& object, const TVector& e) {
    TAffineVector h{std::fabs(e.x), std::fabs(e.y), std::fabs(e.z)};
    TAABB box{{-h.x, -h.y, -h.z}, h};
    for (int i = 0; i < object.Count(); ++i) {
        TGLBaseSceneObject* child = object.Children(i);
        TAABB cb = BoxTransform(CollisionHierarchyBox(*child), child->ObjectMatrix());
        for (int k = 0; k < 3; ++k) {
            box.min[k] = std::isnan(cb.min[k]) ? NAN : std::min(box.min[k], cb.min[k]);
            box.max[k] = std::isnan(cb.max[k]) ? NAN : std::max(box.max[k], cb.max[k]);
        }
    }
    return box;
}

} // namespace hk
