#include "tests/primitives/text/gl_test_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace hk::test {

namespace {

// The display, a visual and a small unmapped window, opened on first use and kept until the
// process ends: closing the display unloads the driver, which hides its own allocations from
// the leak checker. Every test gets a fresh context on them.
struct SharedWindow {
    Display* display = nullptr;
    XVisualInfo* visual = nullptr;
    Window window = 0;
};

const SharedWindow& Shared() {
    static const SharedWindow shared = [] {
        SharedWindow s;
        s.display = XOpenDisplay(nullptr);
        if (!s.display)
            return s;
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
        s.visual = glXChooseVisual(s.display, DefaultScreen(s.display), attributes);
        if (!s.visual)
            return s;
        const Window root = RootWindow(s.display, s.visual->screen);
        XSetWindowAttributes wa{};
        wa.colormap = XCreateColormap(s.display, root, s.visual->visual, AllocNone);
        s.window = XCreateWindow(s.display, root, 0, 0, 64, 64, 0, s.visual->depth, InputOutput,
                                 s.visual->visual, CWColormap, &wa);
        return s;
    }();
    return shared;
}

} // namespace

struct GLTestContext::Impl {
    GLXContext context = nullptr;
};

GLTestContext::GLTestContext() : impl_(std::make_unique<Impl>()) {
    const SharedWindow& s = Shared();
    if (!s.window)
        return;
    impl_->context = glXCreateContext(s.display, s.visual, nullptr, True);
    if (impl_->context && !glXMakeCurrent(s.display, s.window, impl_->context)) {
        glXDestroyContext(s.display, impl_->context);
        impl_->context = nullptr;
    }
}

GLTestContext::~GLTestContext() {
    if (!impl_->context)
        return;
    const SharedWindow& s = Shared();
    glXMakeCurrent(s.display, None, nullptr);
    glXDestroyContext(s.display, impl_->context);
}

std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32, 32, -32, 32, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint size = glRenderMode(GL_RENDER);
    std::vector<FeedbackPolygon> polygons;
    for (GLint i = 0; i < size;) {
        const GLint token = GLint(buffer[std::size_t(i)]);
        if (token == GL_POLYGON_TOKEN) {
            const int n = int(buffer[std::size_t(i) + 1]);
            FeedbackPolygon p;
            for (int k = 0; k < n; ++k) {
                const GLfloat* v = &buffer[std::size_t(i) + 2 + 3 * std::size_t(k)];
                // Window coordinates back to object units: 64 pixels span 64 units.
                p.push_back({v[0] - 32, v[1] - 32, v[2]});
            }
            polygons.push_back(std::move(p));
            i += 2 + 3 * n;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 2;
        } else {
            // Points, lines or bitmaps are not expected from the geometry under test.
            break;
        }
    }
    return polygons;
}

bool GLTestContext::Valid() const {
    return impl_->context != nullptr;
}

} // namespace hk::test
