// GLX pbuffer contexts on the process's one display connection.
#include "tests/support/gl_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace hk::test {

namespace {

// Opened on first use and deliberately kept until the process ends.
Display* TheDisplay() {
    static Display* const display = XOpenDisplay(nullptr);
    return display;
}

GLXFBConfig ChooseConfig(Display* display, const GLContextRequest& r) {
    const int attributes[] = {GLX_DRAWABLE_TYPE,
                              GLX_PBUFFER_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_RED_SIZE,
                              8,
                              GLX_GREEN_SIZE,
                              8,
                              GLX_BLUE_SIZE,
                              8,
                              GLX_ALPHA_SIZE,
                              r.alphaBits,
                              GLX_DEPTH_SIZE,
                              r.depthBits,
                              GLX_STENCIL_SIZE,
                              r.stencilBits,
                              GLX_DOUBLEBUFFER,
                              False,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    GLXFBConfig config = configs != nullptr && count > 0 ? configs[0] : nullptr;
    if (configs != nullptr) {
        XFree(configs);
    }
    return config;
}

} // namespace

bool HaveDisplay() {
    return TheDisplay() != nullptr;
}

GLTestContext::GLTestContext(int width, int height)
    : GLTestContext(GLContextRequest{.width = width, .height = height}) {}

GLTestContext::GLTestContext(const GLContextRequest& request)
    : width_(request.width), height_(request.height) {
    Display* display = TheDisplay();
    if (display == nullptr) {
        return;
    }
    GLXFBConfig config = ChooseConfig(display, request);
    if (config == nullptr) {
        return;
    }
    const int size[] = {GLX_PBUFFER_WIDTH, width_, GLX_PBUFFER_HEIGHT, height_, None};
    pbuffer_ = glXCreatePbuffer(display, config, size);
    GLXContext share = request.shareLists != nullptr
                           ? static_cast<GLXContext>(request.shareLists->context_)
                           : nullptr;
    GLXContext context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, share, True);
    if (pbuffer_ == 0 || context == nullptr ||
        (request.makeCurrent && !glXMakeContextCurrent(display, pbuffer_, pbuffer_, context))) {
        if (context != nullptr) {
            glXDestroyContext(display, context);
        }
        return;
    }
    context_ = context;
}

GLTestContext::~GLTestContext() {
    Display* display = TheDisplay();
    if (context_ != nullptr) {
        if (glXGetCurrentContext() == context_) {
            ReleaseCurrent();
        }
        glXDestroyContext(display, static_cast<GLXContext>(context_));
    }
    if (pbuffer_ != 0) {
        glXDestroyPbuffer(display, pbuffer_);
    }
}

void GLTestContext::MakeCurrent() const {
    glXMakeContextCurrent(TheDisplay(), pbuffer_, pbuffer_, static_cast<GLXContext>(context_));
}

void GLTestContext::ReleaseCurrent() {
    if (Display* display = TheDisplay()) {
        glXMakeContextCurrent(display, None, None, nullptr);
    }
}

} // namespace hk::test
