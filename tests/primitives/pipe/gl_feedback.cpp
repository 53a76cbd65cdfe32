// GLX context and feedback capture for the primitive tests.
#include "tests/primitives/pipe/gl_feedback.h"

#include "engine/scene_object.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace hk::test {

namespace {

constexpr int cViewport = 1000;
constexpr int cBufferFloats = 1 << 22;
// Normals up to this long's inverse map into the colour range.
constexpr float cNormalLight = 0.2f;

} // namespace

struct GLFeedbackContext::Impl {
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    Display* display = nullptr;
    Window window = 0;
    Colormap colormap = 0;
    GLXContext context = nullptr;
    std::vector<GLfloat> buffer;

    void Open();
    ~Impl();
};

namespace {

// One display connection and context per test process: opening and closing them for every
// test makes Xvfb refuse a context now and then. It lives until the process ends, as the
// driver's own allocations do; tearing it down at exit unloads the driver with memory the
// leak checker can no longer trace.
std::shared_ptr<GLFeedbackContext::Impl> SharedImpl() {
    static auto* const shared = [] {
        auto* impl = new std::shared_ptr<GLFeedbackContext::Impl>(
            std::make_shared<GLFeedbackContext::Impl>());
        (*impl)->Open();
        return impl;
    }();
    const auto& s = *shared;
    if (s->context) {
        glXMakeCurrent(s->display, s->window, s->context);
    }
    return s;
}

} // namespace

void GLFeedbackContext::Impl::Open() {
    Impl& s = *this;
    s.display = XOpenDisplay(nullptr);
    if (!s.display) {
        return;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(s.display, DefaultScreen(s.display), attributes);
    if (!visual) {
        return;
    }
    const Window root = RootWindow(s.display, visual->screen);
    s.colormap = XCreateColormap(s.display, root, visual->visual, AllocNone);
    XSetWindowAttributes wa{};
    wa.colormap = s.colormap;
    s.window = XCreateWindow(s.display, root, 0, 0, 640, 480, 0, visual->depth, InputOutput,
                             visual->visual, CWColormap, &wa);
    s.context = glXCreateContext(s.display, visual, nullptr, True);
    XFree(visual);
    if (s.context && !glXMakeCurrent(s.display, s.window, s.context)) {
        glXDestroyContext(s.display, s.context);
        s.context = nullptr;
    }
    s.buffer.resize(cBufferFloats);
}

GLFeedbackContext::Impl::~Impl() {
    if (!display) {
        return;
    }
    if (context) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
    }
    if (window) {
        XDestroyWindow(display, window);
    }
    if (colormap) {
        XFreeColormap(display, colormap);
    }
    XCloseDisplay(display);
}

GLFeedbackContext::GLFeedbackContext() : impl_(SharedImpl()) {}

GLFeedbackContext::~GLFeedbackContext() = default;

bool GLFeedbackContext::Valid() const {
    return impl_->context != nullptr;
}

std::vector<FeedbackPrimitive> GLFeedbackContext::Capture(const std::function<void()>& draw,
                                                          float extent, CaptureMode mode) {
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

std::vector<FeedbackPrimitive> GLFeedbackContext::CaptureOnce(const std::function<void()>& draw,
                                                              float extent, int lightSign) {
    std::vector<FeedbackPrimitive> out;
    if (!Valid()) {
        return out;
    }
    Impl& s = *impl_;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, cViewport, cViewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
    if (lightSign != 0) {
        // Three dim directional lights, one per axis, turn the normal into the lit colour:
        // colour = cNormalLight * max(0, sign * n) componentwise.
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
    glFeedbackBuffer(GLsizei(s.buffer.size()), GL_4D_COLOR_TEXTURE, s.buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();

    const GLint n = used < 0 ? GLint(s.buffer.size()) : used;
    auto vertexAt = [&](GLint& i) {
        FeedbackVertex v;
        const float* f = &s.buffer[i];
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
        const auto token = GLint(s.buffer[i++]);
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
            count = GLint(s.buffer[i++]);
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

std::vector<FeedbackPrimitive> CaptureEmit(GLFeedbackContext& gl, TGLBaseSceneObject& obj,
                                           float extent, CaptureMode mode,
                                           const std::function<void()>& before) {
    return gl.Capture(
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
