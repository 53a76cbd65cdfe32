// Cylinder walls and (partial) disks as triangles sent to a geometry sink, laid out as GLU's
// quadrics lay them out (same vertices, winding and normals) so that a solid looks as it did
// when GLU drew it, and so that its geometry can also be recorded.
#pragma once

#include "engine/geometry_sink.h"

namespace hk {

struct TQuadricStyle {
    bool normals = true; // send normals at all
    bool flat = false;   // one normal per slice instead of one per vertex
    bool outside = true; // faces (and normals) turned away from the axis or towards +Z
};

// The wall of a cone frustum along +Z from z = 0 (base) to z = height. Nothing for fewer than
// 2 slices or 1 stack, a negative radius or height. At most 239 slices.
void EmitQuadricCylinder(TGLGeometrySink& sink, const TQuadricStyle& style, float baseRadius,
                         float topRadius, float height, int slices, int stacks);

// A ring in the plane z = 0 between the radii, from `startAngle` over `sweepAngle` degrees
// (measured from +Y towards +X). Nothing for fewer than 2 slices or 1 loop, a non-positive
// outer radius or an inner radius below 0 or above the outer one.
void EmitQuadricDisk(TGLGeometrySink& sink, const TQuadricStyle& style, float innerRadius,
                     float outerRadius, int slices, int loops, float startAngle = 0,
                     float sweepAngle = 360);

} // namespace hk
