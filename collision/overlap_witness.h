// A quick proof that two boxes meet, tried before the exact corner and edge tests: a point that
// lies well inside both. Two crossing or joined pipes are found this way at a fraction of the
// cost of carrying sixteen corners and cutting twenty-four edges with faces.
#pragma once

#include "engine/vector_types.h"

namespace hk {

struct TPairShape;

// What the witness needs of one object's hierarchy box. A pass keeps one per shape, looked up
// by the first test that asks, or for every shape at once when it is about to test most pairs.
struct TWitnessFrame {
    bool looked = false;
    // False for a box with a half-extent that is not positive, for non-finite input and for an
    // object whose inverse matrix is not the inverse of its world matrix (a singular one).
    bool usable = false;
    // Whether the hierarchy box is the box of the object's extents, as for an object without
    // children: the cube test's box then has the frame too.
    bool extentsBox = false;
    // The box in the object's space.
    TAffineVector centre, half;
    // In world space: the box's centre, and the vector from it to the middle of the far face
    // of its longest side.
    TAffineVector worldCentre, longHalf;
    // Per axis of the object's space, how much a world coordinate weighs in it (the inverse's
    // column of absolute values), and what the rest of that coordinate's margin is made of.
    TAffineVector weight, base;
};

// The box each object is tested with: from minus to plus its extents (the cube test's), or its
// hierarchy box (the box-box test's).
enum class TWitnessBox { Extents, Hierarchy };

// Whether the two objects' boxes, each aligned with the axes of its own object space, surely
// meet: a point near the closest points of their long axes lies inside both by a margin far
// larger than any rounding of the matrices, so that the exact test of the two boxes finds them
// meeting. False says nothing; the caller then runs its exact test. Never true when either
// frame is not usable, nor for the extents' box of an object whose hierarchy box differs.
bool BoxesSurelyMeet(TPairShape& a, TPairShape& b, TWitnessBox box);

// Works out the frame of the shape's hierarchy box into the shape's `witness`, unless that has
// been looked up already.
void LookUpWitnessFrame(TPairShape& s);

} // namespace hk
