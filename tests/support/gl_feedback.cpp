// Feedback capture on the current test context.
#include "tests/support/gl_feedback.h"

#include "engine/scene_object.h"

#include <GL/gl.h>

namespace hk::test {

namespace {

constexpr int cViewport = 1000;
constexpr int cBufferFloats = 1 << 22;
// Normals up to this long's inverse map into the colour range.
constexpr float cNormalLight = 0.2f;

// One buffer for the process: 16 MB is too much to clear for every capture.
std::vector<GLfloat>& FeedbackBuffer() {
    static std::vector<GLfloat> buffer(cBufferFloats);
    return buffer;
}

// An orthographic view of the cube [-extent, extent]^3 with identity model-view and texture
// matrices; the model-view matrix is left current.
void ViewCube(float extent) {
    glViewport(0, 0, cViewport, cViewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The primitives of `draw` in feedback mode under the view of ViewCube(extent), mapped back to
// object coordinates.
std::vector<FeedbackPrimitive> Feedback(const std::function<void()>& draw, float extent) {
    std::vector<FeedbackPrimitive> out;
    std::vector<GLfloat>& buffer = FeedbackBuffer();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    const GLint n = used < 0 ? GLint(buffer.size()) : used;
    auto vertexAt = [&](GLint& i) {
        FeedbackVertex v;
        const float* f = &buffer[i];
        v.position = {(f[0] / cViewport * 2 - 1) * extent, (f[1] / cViewport * 2 - 1) * extent,
                      -(f[2] * 2 - 1) * extent};
        v.color = {f[4], f[5], f[6], f[7]};
        v.texture = {f[8], f[9], f[10], f[11]};
        i += 12;
        return v;
    };
    const GLint vertexFloats = 12;
    GLint i = 0;
    while (i < n) {
        const auto token = GLint(buffer[i++]);
        FeedbackPrimitive p;
        int count = 0;
        switch (token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            p.kind = FeedbackPrimitive::Point;
            count = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            p.kind = FeedbackPrimitive::Line;
            p.lineReset = token == GL_LINE_RESET_TOKEN;
            count = 2;
            break;
        case GL_POLYGON_TOKEN:
            if (i >= n) {
                return out;
            }
            count = GLint(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            continue;
        default:
            return out;
        }
        if (i + count * vertexFloats > n) {
            return out;
        }
        for (int k = 0; k < count; ++k) {
            p.vertices.push_back(vertexAt(i));
        }
        if (token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
            token == GL_COPY_PIXEL_TOKEN) {
            continue;
        }
        out.push_back(std::move(p));
    }
    return out;
}

// Three dim directional lights, one per axis, turn the normal into the lit colour:
// colour = cNormalLight * max(0, sign * n) componentwise.
void LightAlongAxes(int lightSign) {
    const float black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glDisable(GL_COLOR_MATERIAL);
    for (int k = 0; k < 3; ++k) {
        const GLenum light = GL_LIGHT0 + GLenum(k);
        float dir[4] = {0, 0, 0, 0}, colour[4] = {0, 0, 0, 1};
        dir[k] = float(lightSign);
        colour[k] = cNormalLight;
        glLightfv(light, GL_POSITION, dir);
        glLightfv(light, GL_DIFFUSE, colour);
        glLightfv(light, GL_AMBIENT, black);
        glLightfv(light, GL_SPECULAR, black);
        glEnable(light);
    }
    glEnable(GL_LIGHTING);
}

// lightSign 0: unlit; +1 or -1: lit along the positive or negative axes. The GL state and the
// matrices are restored afterwards.
std::vector<FeedbackPrimitive> CaptureOnce(const std::function<void()>& draw, float extent,
                                           int lightSign) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    for (const GLenum matrix : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPushMatrix();
    }
    ViewCube(extent);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
    if (lightSign != 0) {
        LightAlongAxes(lightSign);
    }
    std::vector<FeedbackPrimitive> out = Feedback(draw, extent);
    for (const GLenum matrix : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glPopAttrib();
    return out;
}

} // namespace

std::vector<FeedbackPrimitive> Capture(const std::function<void()>& draw, float extent,
                                       CaptureMode mode) {
    if (mode == CaptureMode::TexCoords) {
        return CaptureOnce(draw, extent, 0);
    }
    // The same drawing lit from the positive and from the negative axes.
    auto plus = CaptureOnce(draw, extent, 1);
    auto minus = CaptureOnce(draw, extent, -1);
    if (plus.size() != minus.size()) {
        return {};
    }
    for (std::size_t i = 0; i < plus.size(); ++i) {
        auto& vp = plus[i].vertices;
        const auto& vm = minus[i].vertices;
        if (vp.size() != vm.size()) {
            return {};
        }
        for (std::size_t k = 0; k < vp.size(); ++k) {
            const TColorVector& a = vp[k].color;
            const TColorVector& b = vm[k].color;
            vp[k].texture = {(a.x - b.x) / cNormalLight, (a.y - b.y) / cNormalLight,
                             (a.z - b.z) / cNormalLight, 0};
        }
    }
    return plus;
}

std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw) {
    std::vector<FeedbackPolygon> polygons;
    ViewCube(32);
    for (const FeedbackPrimitive& p : Feedback(draw, 32)) {
        if (p.kind == FeedbackPrimitive::Polygon) {
            FeedbackPolygon& corners = polygons.emplace_back();
            for (const FeedbackVertex& v : p.vertices) {
                corners.push_back(v.position);
            }
        }
    }
    return polygons;
}

int CountKind(const std::vector<FeedbackPrimitive>& prims, FeedbackPrimitive::Kind kind) {
    int c = 0;
    for (const auto& p : prims) {
        c += p.kind == kind ? 1 : 0;
    }
    return c;
}

int CountTriangles(const std::vector<FeedbackPrimitive>& prims) {
    int n = 0;
    for (const auto& p : prims) {
        n += p.kind == FeedbackPrimitive::Polygon ? int(p.vertices.size()) - 2 : 0;
    }
    return n;
}

std::vector<FeedbackPrimitive> CaptureEmit(TGLBaseSceneObject& obj, float extent, CaptureMode mode,
                                           const std::function<void()>& before) {
    return Capture(
        [&] {
            if (before) {
                before();
            }
            TRenderContextInfo rci;
            obj.EmitGeometry(rci);
        },
        extent, mode);
}

} // namespace hk::test
