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

bool GLTestContext::Valid() const {
    return impl_->context != nullptr;
}

} // namespace hk::test
