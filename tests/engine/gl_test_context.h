// An off-screen OpenGL context (GLX pbuffer) for tests that need real GL state. Tests skip
// themselves when no display is available.
#pragma once

#include <memory>

namespace hk::testing {

class GLTestContext {
public:
    // Creates and makes current a fresh context on the process's width x height pbuffer (every
    // instance must ask for the same size); Valid() is false when the display or GLX is
    // unavailable.
    GLTestContext(int width = 64, int height = 64);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool Valid() const { return valid_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool valid_ = false;
    int width_, height_;
};

} // namespace hk::testing
