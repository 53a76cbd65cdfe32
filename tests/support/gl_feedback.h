// What a drawing call emits, caught in GL_FEEDBACK mode on the current test context and mapped
// back to object coordinates.
#pragma once

#include "engine/vector_types.h"

#include <functional>
#include <vector>

namespace hk {
class TGLBaseSceneObject;
}

namespace hk::test {

struct FeedbackVertex {
    TAffineVector position;
    TColorVector color;
    // The texture coordinate, or with CaptureMode::Normals the normal sent with the vertex.
    TVector texture;
};

struct FeedbackPrimitive {
    enum Kind { Point, Line, Polygon };
    Kind kind = Polygon;
    // A line that starts a new strip (or a segment of GL_LINES).
    bool lineReset = false;
    std::vector<FeedbackVertex> vertices;
};

enum class CaptureMode { TexCoords, Normals };

// Runs `draw` in feedback mode with an identity model-view, no lighting and no culling, the
// cube [-extent, extent]^3 in view, and returns the primitives in object coordinates; the GL
// state is restored afterwards. With CaptureMode::Normals the drawing runs twice under lights
// along the axes and the texture coordinates carry the normals (not renormalised, components
// within +-5); the colours are then the lit ones. Drawings that change lighting cannot be read
// this way.
std::vector<FeedbackPrimitive> Capture(const std::function<void()>& draw, float extent = 10,
                                       CaptureMode mode = CaptureMode::TexCoords);

// What obj.EmitGeometry draws with a fresh render context, captured as Capture does; `before`
// runs first inside the capture, to set a current normal or colour.
std::vector<FeedbackPrimitive> CaptureEmit(TGLBaseSceneObject& obj, float extent, CaptureMode mode,
                                           const std::function<void()>& before = nullptr);

// The corners of a captured polygon.
using FeedbackPolygon = std::vector<TAffineVector>;

// The polygons among what `draw` produces with x, y and z within +-32, drawn in the state the
// caller left (culling, lighting and what `draw` leaves behind stay), under identity model-view
// and texture matrices and the orthographic projection, which stay set afterwards.
std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw);

// Polygons, lines and points among `prims`.
int CountKind(const std::vector<FeedbackPrimitive>& prims, FeedbackPrimitive::Kind kind);

// The triangles the polygons among `prims` make: a polygon of n vertices counts n - 2.
int CountTriangles(const std::vector<FeedbackPrimitive>& prims);

} // namespace hk::test
