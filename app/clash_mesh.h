// TClashMesh: the triangles of a 3DS model in data-file units, whether they close a volume, the
// inside test of a closed mesh and the bounding-volume hierarchy the distance queries run on.
#pragma once

#include "app/point3d.h"

#include <memory>
#include <vector>

namespace fcl {
template <typename S> class CollisionGeometry;
}

namespace hk {

class TClashMesh {
public:
    // corners: three per triangle; a trailing incomplete triangle is dropped.
    explicit TClashMesh(std::vector<TPoint3D> corners);

    // Three per triangle.
    const std::vector<TPoint3D>& Corners() const { return corners_; }
    // Each distinct corner once.
    const std::vector<TPoint3D>& Vertices() const { return vertices_; }
    int TriangleCount() const { return int(corners_.size() / 3); }
    // Every edge (between equal corner positions) borders exactly two triangles.
    bool Closed() const { return closed_; }
    // A closed mesh encloses p (generalised winding number, so the mesh's orientation and
    // small cracks do not matter); always false for an open mesh.
    bool Contains(const TPoint3D& p) const;
    // The hierarchy for the distance queries; none for a mesh without triangles.
    const std::shared_ptr<fcl::CollisionGeometry<double>>& Geometry() const { return geometry_; }

private:
    std::vector<TPoint3D> corners_;
    std::vector<TPoint3D> vertices_;
    bool closed_ = false;
    std::shared_ptr<fcl::CollisionGeometry<double>> geometry_;
};

} // namespace hk
