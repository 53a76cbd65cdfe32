// Test support for the primitives: an OpenGL context on a small unmapped GLX window (Xvfb under
// ctest) and a capture of what a drawing call emits, read back through GL_FEEDBACK and mapped
// to object coordinates.
#pragma once

#include "engine/vector_types.h"

#include <functional>
#include <memory>
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

class GLFeedbackContext {
public:
    // Makes the process's context current, opening the display named by DISPLAY and creating
    // the context on first use.
    GLFeedbackContext();
    ~GLFeedbackContext();
    GLFeedbackContext(const GLFeedbackContext&) = delete;
    GLFeedbackContext& operator=(const GLFeedbackContext&) = delete;

    bool Valid() const;

    // Runs `draw` in feedback mode with an identity model-view, no lighting and no culling, the
    // cube [-extent, extent]^3 in view, and returns the primitives in object coordinates.
    // With CaptureMode::Normals the drawing runs twice under lights along the axes and the
    // texture coordinates carry the normals (not renormalised, components within +-5); the
    // colours are then the lit ones. Drawings that change lighting cannot be read this way.
    std::vector<FeedbackPrimitive> Capture(const std::function<void()>& draw, float extent = 10,
                                           CaptureMode mode = CaptureMode::TexCoords);

private:
    // lightSign 0: unlit; +1 or -1: lit along the positive or negative axes.
    std::vector<FeedbackPrimitive> CaptureOnce(const std::function<void()>& draw, float extent,
                                               int lightSign);

public:
    struct Impl;

private:
    std::shared_ptr<Impl> impl_;
};

// Polygons, lines and points among `prims`.
int CountKind(const std::vector<FeedbackPrimitive>& prims, FeedbackPrimitive::Kind kind);

// The triangles the polygons among `prims` make: a polygon of n vertices counts n - 2.
int CountTriangles(const std::vector<FeedbackPrimitive>& prims);

// What obj.EmitGeometry draws with a fresh render context, captured as Capture does; `before`
// runs first inside the capture, to set a current normal or colour.
std::vector<FeedbackPrimitive> CaptureEmit(GLFeedbackContext& gl, TGLBaseSceneObject& obj,
                                           float extent, CaptureMode mode,
                                           const std::function<void()>& before = nullptr);

} // namespace hk::test

// Skips the current test without a context.
#define HK_REQUIRE_GL(ctx)                                                                         \
    do {                                                                                           \
        if (!(ctx).Valid())                                                                        \
            GTEST_SKIP() << "no OpenGL context (DISPLAY not set?)";                                \
    } while (0)
