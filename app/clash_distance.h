// The signed distance between two clash solids: the gap between them, or minus the depth of
// their overlap, with the two closest points. Solids made of several pieces take the pair of
// pieces that is closest (or deepest). A solid entirely inside a closed mesh, or a mesh inside
// another solid, overlaps by the way out through the nearest wall: the gap to that wall plus
// the enclosed solid's width across it.
#pragma once

#include "app/piece_distance.h"

namespace hk {

TClashDistance SolidDistance(const TClashSolid& first, const TClashSolid& second);

} // namespace hk
