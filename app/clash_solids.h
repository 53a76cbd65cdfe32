// The true solids of the built items in data-file units, as the clash judgement measures them:
// line cylinders and pipe annuli are flat-capped cylinders of their outer radius, a tube is the
// chain of capped cylinders along its nodes (fillet nodes included), a torus is a ring of short
// ball-swept segments that stays within a small fraction of the accuracy asked of the
// distances, a 3DS model is its triangle mesh with the object's scale and placement, and a
// collidable point is a point.
#pragma once

#include "app/point3d.h"

#include <memory>
#include <optional>
#include <vector>

namespace hk {

class TClashMesh;
class TGLBaseSceneObject;
struct TDocument;

// One convex part of a solid: the segment a-b swept by a disk of the radius perpendicular to
// it (a flat-capped cylinder) or, when rounded, by a ball (a capsule; a point is a rounded
// piece of length and radius 0).
struct TClashPiece {
    TPoint3D a, b;
    double radius = 0;
    bool rounded = false;
};

enum class TClashSolidKind { Cylinder, Tube, Torus, Mesh, Point };

struct TClashSolid {
    TClashSolidKind kind = TClashSolidKind::Point;
    // Every kind but Mesh.
    std::vector<TClashPiece> pieces;
    // Mesh only; shared between the solids of one unchanged object.
    std::shared_ptr<const TClashMesh> mesh;
    // Axis-aligned box around the solid.
    TPoint3D boxMin, boxMax;

    // Cylinders, annuli and tubes: the items a run of piping is made of.
    bool Linear() const {
        return kind == TClashSolidKind::Cylinder || kind == TClashSolidKind::Tube;
    }
    // The two axis end points of a linear solid.
    const TPoint3D& FirstEnd() const { return pieces.front().a; }
    const TPoint3D& LastEnd() const { return pieces.back().b; }
};

// How scene coordinates under the model root map back to the data file: file = scene x scale +
// offset, with the scale and offset of the last build.
struct TFileFrame {
    double scale = 1;
    TPoint3D offset;
};
TFileFrame FileFrameOf(const TDocument& doc);

// The solid of a built object, placed by its own matrix in its parent, the model root (whose
// placement in the view does not count). None for objects of other classes and for a tube
// without nodes.
std::optional<TClashSolid> ClashSolidOf(TGLBaseSceneObject& object, const TFileFrame& frame);

// The largest deviation of a torus ring from the true torus surface, in data-file units; the
// ring is made fine enough to stay within it.
inline constexpr double cTorusRingDeviation = 0.05;

} // namespace hk
