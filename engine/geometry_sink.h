// TGLGeometrySink: where an object sends the triangles of its geometry, in OpenGL's immediate-
// mode vocabulary: straight to OpenGL (drawn, or compiled into a display list), or into memory
// so that the geometry of many objects can be drawn together.
#pragma once

#include "engine/vector_types.h"

namespace hk {

struct TRenderContextInfo;

class TGLGeometrySink {
public:
    virtual ~TGLGeometrySink() = default;

    // `mode` is one of GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS,
    // GL_QUAD_STRIP and GL_POLYGON; a recording sink knows no other.
    virtual void Begin(unsigned mode) = 0;
    virtual void End() = 0;
    virtual void Normal(float x, float y, float z) = 0;
    // Texture coordinates: kept only by the OpenGL sink.
    virtual void TexCoord(float s, float t) = 0;
    virtual void Vertex(float x, float y, float z) = 0;
    // The transform applied to what follows, as glPushMatrix, glPopMatrix, glTranslatef and
    // glRotatef (degrees) do.
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Translate(float x, float y, float z) = 0;
    virtual void Rotate(float degrees, float x, float y, float z) = 0;

    void Normal(const TAffineVector& n) { Normal(n.x, n.y, n.z); }
    void Vertex(const TAffineVector& p) { Vertex(p.x, p.y, p.z); }
};

// The sink that sends everything to OpenGL at once.
TGLGeometrySink& OpenGLGeometrySink();

// The sink of the walk: rci.geometrySink when set, else OpenGL.
TGLGeometrySink& GeometrySinkOf(const TRenderContextInfo& rci);

} // namespace hk
