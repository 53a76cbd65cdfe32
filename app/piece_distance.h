// Signed distance between two convex pieces of clash solids: closed forms where they are exact
// (ball-swept segments, a ball against a cylinder, parallel cylinders, cylinders whose nearest
// axis points lie inside both axes), and for the rest (ends and caps near the other piece) a
// search over the pieces' support functions. FCL's GJK/EPA is the reference the tests hold
// both against; it is several times slower on these shapes.
#pragma once

#include "app/clash_solids.h"

#include <optional>

namespace hk {

// Positive: the gap between two solids; negative: the depth by which they overlap (the
// shortest move that parts them). onFirst and onSecond are the two closest points (for an
// overlap, the deepest points of each in the other).
struct TClashDistance {
    double distance = 0;
    TPoint3D onFirst, onSecond;
};

// The closest points of segments p0-p1 and q0-q1 at parameters s and t in [0, 1]; parallel
// segments take the middle of the stretch where they face each other.
struct TSegmentClosest {
    double s = 0, t = 0;
    TPoint3D onP, onQ;
};
TSegmentClosest ClosestOnSegments(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& q0,
                                  const TPoint3D& q1);

// The distance between the pieces as ball-swept segments, which contain the pieces: never more
// than their true signed distance.
double PieceLowerBound(const TClashPiece& p, const TClashPiece& q);

// The closed form of the pair when one is exact for it; none otherwise.
std::optional<TClashDistance> PieceDistanceClosedForm(const TClashPiece& p, const TClashPiece& q);
// The pair through FCL's convex solver (libccd GJK for gaps, EPA for depths).
TClashDistance PieceDistanceLibrary(const TClashPiece& p, const TClashPiece& q);
// The closed form where there is one, else the support search.
TClashDistance PieceDistance(const TClashPiece& p, const TClashPiece& q);

} // namespace hk
