// GLX pbuffer contexts for the render tests.
#include "tests/render/glx_context.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>

namespace hk::test {

namespace {

// Kept open for the whole run: closing it while the driver still holds state upsets the leak
// checker and later tests.
Display* TheDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

} // namespace

bool TGLXDevice::Valid() const {
    return TheDisplay() != nullptr;
}

TGLXContext::~TGLXContext() {
    DestroyContext();
}

void TGLXContext::Register() {
    TGLContextManager::Instance().RegisterContextClass(
        [] { return std::make_unique<TGLXContext>(); });
}

void TGLXContext::DoCreateContext(TGLDeviceContext& dc) {
    DoCreateMemoryContext(dc, 64, 64);
}

void TGLXContext::DoCreateMemoryContext(TGLDeviceContext& dc, int width, int height) {
    Display* display = TheDisplay();
    if (dynamic_cast<TGLXDevice*>(&dc) == nullptr || display == nullptr) {
        throw EGLContext("Failed to create RenderingContext.");
    }
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
                              AlphaBits(),
                              GLX_DEPTH_SIZE,
                              DepthBits(),
                              GLX_STENCIL_SIZE,
                              StencilBits(),
                              GLX_DOUBLEBUFFER,
                              False,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr || count == 0) {
        if (configs != nullptr) {
            XFree(configs);
        }
        throw EGLContext("No pixel format for the requested bits");
    }
    const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
    GLXPbuffer pbuffer = glXCreatePbuffer(display, configs[0], pbufferAttributes);
    GLXContext share =
        shareFrom_ != nullptr ? static_cast<GLXContext>(shareFrom_->context_) : nullptr;
    GLXContext context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, share, True);
    XFree(configs);
    if (pbuffer == 0 || context == nullptr) {
        if (context != nullptr) {
            glXDestroyContext(display, context);
        }
        if (pbuffer != 0) {
            glXDestroyPbuffer(display, pbuffer);
        }
        throw EGLContext("Failed to create RenderingContext.");
    }
    context_ = context;
    pbuffer_ = pbuffer;
}

bool TGLXContext::DoShareLists(TGLContext& other) {
    auto* glx = dynamic_cast<TGLXContext*>(&other);
    return glx != nullptr && (glx->shareFrom_ == this || shareFrom_ == glx);
}

void TGLXContext::DoDestroyContext() {
    Display* display = TheDisplay();
    if (context_ != nullptr) {
        glXDestroyContext(display, static_cast<GLXContext>(context_));
        context_ = nullptr;
    }
    if (pbuffer_ != 0) {
        glXDestroyPbuffer(display, pbuffer_);
        pbuffer_ = 0;
    }
}

void TGLXContext::DoActivate() {
    glXMakeContextCurrent(TheDisplay(), pbuffer_, pbuffer_, static_cast<GLXContext>(context_));
}

void TGLXContext::DoDeactivate() {
    glXMakeContextCurrent(TheDisplay(), None, None, nullptr);
}

} // namespace hk::test
