// The reduced off-screen target of moving frames: allocation, binding and the stretch onto
// the real target.
#define GL_GLEXT_PROTOTYPES
#include "engine/reduced_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hk {

bool TGLReducedTarget::Supported() {
    if (support_ < 0) {
        // Framebuffer objects and their blit came with OpenGL 3.0.
        const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        int major = 0, minor = 0;
        support_ = text != nullptr && std::sscanf(text, "%d.%d", &major, &minor) == 2 && major >= 3;
    }
    return support_ == 1;
}

bool TGLReducedTarget::Allocate(int width, int height, bool stencil) {
    if (framebuffer_ != 0 && width == width_ && height == height_ && stencil == stencil_) {
        return true;
    }
    Destroy();
    glGenFramebuffers(1, &framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glGenRenderbuffers(1, &depth_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, stencil ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT24,
                          width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                              stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(previousDraw_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(previousRead_));
    if (!complete) {
        Destroy();
        support_ = 0;
        return false;
    }
    width_ = width;
    height_ = height;
    stencil_ = stencil;
    return true;
}

bool TGLReducedTarget::Begin(int width, int height, float scale, bool stencil) {
    if (!Supported()) {
        return false;
    }
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw_);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead_);
    const int w = std::max(1, int(std::lround(width * double(scale))));
    const int h = std::max(1, int(std::lround(height * double(scale))));
    if (!Allocate(w, h, stencil)) {
        return false;
    }
    fullWidth_ = width;
    fullHeight_ = height;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, w, h);
    return true;
}

void TGLReducedTarget::End() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(previousDraw_));
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, fullWidth_, fullHeight_, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(previousRead_));
    glViewport(0, 0, fullWidth_, fullHeight_);
}

void TGLReducedTarget::Destroy() {
    if (framebuffer_ != 0) {
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(1, &colour_);
        glDeleteRenderbuffers(1, &depth_);
    }
    framebuffer_ = colour_ = depth_ = 0;
    width_ = height_ = 0;
}

} // namespace hk
