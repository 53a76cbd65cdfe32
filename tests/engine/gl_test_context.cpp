// GLX pbuffer set-up for the GL-labelled engine tests. The display and the pbuffer are opened
// once per process and kept (closing the display unloads the driver, which hides its own
// allocations from the leak checker); every test gets a fresh context on them, so each starts
// from the OpenGL defaults.
#include "tests/engine/gl_test_context.h"

#include <GL/glx.h>

namespace hk::testing {

namespace {

struct SharedDrawable {
    Display* display = nullptr;
    GLXFBConfig config = nullptr;
    GLXPbuffer pbuffer = 0;
    int width = 0, height = 0;
};

// Opened on first use and deliberately kept until the process ends.
SharedDrawable* Drawable(int width, int height) {
    static SharedDrawable* shared = [&] {
        auto* d = new SharedDrawable;
        d->display = XOpenDisplay(nullptr);
        if (!d->display) {
            return d;
        }
        const int attribs[] = {GLX_DRAWABLE_TYPE,
                               GLX_PBUFFER_BIT,
                               GLX_RENDER_TYPE,
                               GLX_RGBA_BIT,
                               GLX_RED_SIZE,
                               8,
                               GLX_GREEN_SIZE,
                               8,
                               GLX_BLUE_SIZE,
                               8,
                               GLX_DEPTH_SIZE,
                               16,
                               None};
        int count = 0;
        GLXFBConfig* configs =
            glXChooseFBConfig(d->display, DefaultScreen(d->display), attribs, &count);
        if (!configs || count == 0) {
            return d;
        }
        d->config = configs[0];
        XFree(configs);
        const int pbAttribs[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
        d->pbuffer = glXCreatePbuffer(d->display, d->config, pbAttribs);
        d->width = width;
        d->height = height;
        return d;
    }();
    return shared;
}

} // namespace

struct GLTestContext::Impl {
    SharedDrawable* drawable = nullptr;
    GLXContext context = nullptr;
};

GLTestContext::GLTestContext(int width, int height)
    : impl_(std::make_unique<Impl>()), width_(width), height_(height) {
    SharedDrawable* d = Drawable(width, height);
    impl_->drawable = d;
    if (!d->display || !d->pbuffer || d->width != width || d->height != height) {
        return;
    }
    impl_->context = glXCreateNewContext(d->display, d->config, GLX_RGBA_TYPE, nullptr, True);
    if (!impl_->context) {
        return;
    }
    valid_ = glXMakeContextCurrent(d->display, d->pbuffer, d->pbuffer, impl_->context);
    if (valid_) {
        glViewport(0, 0, width, height);
    }
}

GLTestContext::~GLTestContext() {
    if (impl_->context) {
        glXMakeContextCurrent(impl_->drawable->display, None, None, nullptr);
        glXDestroyContext(impl_->drawable->display, impl_->context);
    }
}

} // namespace hk::testing
