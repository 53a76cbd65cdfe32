// The OpenGL geometry sink: every call is the immediate-mode call of the same name.
#include "engine/geometry_sink.h"

#include "engine/render_context_info.h"

#include <GL/gl.h>

namespace hk {
namespace {

class TOpenGLSink final : public TGLGeometrySink {
public:
    void Begin(unsigned mode) override { glBegin(mode); }
    void End() override { glEnd(); }
    void Normal(float x, float y, float z) override { glNormal3f(x, y, z); }
    void TexCoord(float s, float t) override { glTexCoord2f(s, t); }
    void Vertex(float x, float y, float z) override { glVertex3f(x, y, z); }
    void PushMatrix() override { glPushMatrix(); }
    void PopMatrix() override { glPopMatrix(); }
    void Translate(float x, float y, float z) override { glTranslatef(x, y, z); }
    void Rotate(float degrees, float x, float y, float z) override { glRotatef(degrees, x, y, z); }
};

} // namespace

TGLGeometrySink& OpenGLGeometrySink() {
    static TOpenGLSink sink;
    return sink;
}

TGLGeometrySink& GeometrySinkOf(const TRenderContextInfo& rci) {
    return rci.geometrySink != nullptr ? *rci.geometrySink : OpenGLGeometrySink();
}

} // namespace hk
