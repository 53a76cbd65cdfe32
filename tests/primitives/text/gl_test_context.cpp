#include "tests/primitives/text/gl_test_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace hk::test {

struct GLTestContext::Impl {
    Display* display = nullptr;
    Window window = 0;
    Colormap colormap = 0;
    GLXContext context = nullptr;
};

GLTestContext::GLTestContext() : impl_(std::make_unique<Impl>()) {
    Impl& s = *impl_;
    s.display = XOpenDisplay(nullptr);
    if (!s.display)
        return;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(s.display, DefaultScreen(s.display), attributes);
    if (!visual)
        return;
    const Window root = RootWindow(s.display, visual->screen);
    s.colormap = XCreateColormap(s.display, root, visual->visual, AllocNone);
    XSetWindowAttributes wa{};
    wa.colormap = s.colormap;
    s.window = XCreateWindow(s.display, root, 0, 0, 64, 64, 0, visual->depth, InputOutput,
                             visual->visual, CWColormap, &wa);
    s.context = glXCreateContext(s.display, visual, nullptr, True);
    XFree(visual);
    if (s.context && !glXMakeCurrent(s.display, s.window, s.context)) {
        glXDestroyContext(s.display, s.context);
        s.context = nullptr;
    }
}

GLTestContext::~GLTestContext() {
    Impl& s = *impl_;
    if (!s.display)
        return;
    if (s.context) {
        glXMakeCurrent(s.display, None, nullptr);
        glXDestroyContext(s.display, s.context);
    }
    if (s.window)
        XDestroyWindow(s.display, s.window);
    if (s.colormap)
        XFreeColormap(s.display, s.colormap);
    XCloseDisplay(s.display);
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
