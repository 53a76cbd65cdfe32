// The FCL forms of clash pieces and meshes, for the queries that have no closed form. Only the
// clash geometry's own sources include this header.
#pragma once

#include "app/clash_solids.h"

#include <fcl/fcl.h>

namespace hk {

class TClashMesh;

// A piece as an FCL object: a ball, a capsule or a cylinder standing on its axis. A mesh at its
// place (its triangles are already in data-file coordinates).
fcl::CollisionObjectd FclObjectOf(const TClashPiece& piece);
fcl::CollisionObjectd FclObjectOf(const TClashMesh& mesh);

inline fcl::Vector3d ToFcl(const TPoint3D& p) {
    return {p.x, p.y, p.z};
}
inline TPoint3D FromFcl(const fcl::Vector3d& v) {
    return {v.x(), v.y(), v.z()};
}

} // namespace hk
