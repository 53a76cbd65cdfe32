// GLX pbuffer set-up for the GL-labelled engine tests.
#include "tests/engine/gl_test_context.h"

#include <GL/glx.h>

namespace hk::testing {

struct GLTestContext::Impl {
    Display* display = nullptr;
    GLXPbuffer pbuffer = 0;
    GLXContext context = nullptr;
};

GLTestContext::GLTestContext(int width, int height)
    : impl_(std::make_unique<Impl>()), width_(width), height_(height) {
    impl_->display = XOpenDisplay(nullptr);
    if (!impl_->display) {
        return;
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
        glXChooseFBConfig(impl_->display, DefaultScreen(impl_->display), attribs, &count);
    if (!configs || count == 0) {
        return;
    }
    const int pbAttribs[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
    impl_->pbuffer = glXCreatePbuffer(impl_->display, configs[0], pbAttribs);
    impl_->context = glXCreateNewContext(impl_->display, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(configs);
    if (!impl_->pbuffer || !impl_->context) {
        return;
    }
    valid_ = glXMakeContextCurrent(impl_->display, impl_->pbuffer, impl_->pbuffer, impl_->context);
    if (valid_) {
        glViewport(0, 0, width, height);
    }
}

GLTestContext::~GLTestContext() {
    if (!impl_->display) {
        return;
    }
    glXMakeContextCurrent(impl_->display, None, None, nullptr);
    if (impl_->context) {
        glXDestroyContext(impl_->display, impl_->context);
    }
    if (impl_->pbuffer) {
        glXDestroyPbuffer(impl_->display, impl_->pbuffer);
    }
    XCloseDisplay(impl_->display);
}

} // namespace hk::testing
