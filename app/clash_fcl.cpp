// FCL objects of clash pieces and meshes.
#include "app/clash_fcl.h"

#include "app/clash_mesh.h"

#include <algorithm>

namespace hk {
namespace {

// FCL has no shapes of zero size; a point or a zero-height cylinder gets a negligible one.
constexpr double cNegligible = 1.0e-9;

std::shared_ptr<fcl::CollisionGeometryd> ShapeOf(const TClashPiece& p) {
    const double length = Distance(p.a, p.b);
    if (length <= cNegligible && p.rounded)
        return std::make_shared<fcl::Sphered>(std::max(p.radius, cNegligible));
    if (p.rounded)
        return std::make_shared<fcl::Capsuled>(p.radius, length);
    return std::make_shared<fcl::Cylinderd>(p.radius, std::max(length, cNegligible));
}

// FCL's shapes stand centred on their z axis.
fcl::Transform3d PoseOf(const TClashPiece& p) {
    fcl::Transform3d pose = fcl::Transform3d::Identity();
    const fcl::Vector3d axis = ToFcl(p.b - p.a);
    if (axis.norm() > cNegligible)
        pose.linear() =
            fcl::Quaterniond::FromTwoVectors(fcl::Vector3d::UnitZ(), axis).toRotationMatrix();
    pose.translation() = ToFcl((p.a + p.b) * 0.5);
    return pose;
}

} // namespace

fcl::CollisionObjectd FclObjectOf(const TClashPiece& piece) {
    return fcl::CollisionObjectd(ShapeOf(piece), PoseOf(piece));
}

fcl::CollisionObjectd FclObjectOf(const TClashMesh& mesh) {
    return fcl::CollisionObjectd(mesh.Geometry(), fcl::Transform3d::Identity());
}

} // namespace hk
