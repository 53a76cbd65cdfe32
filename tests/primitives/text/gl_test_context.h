// An OpenGL context for tests, on a small unmapped GLX window of the display named by DISPLAY
// (Xvfb under ctest). Tests that get no context skip.
#pragma once

#include <memory>

namespace hk::test {

class GLTestContext {
public:
    // Opens the display and makes a new context current; Valid() tells whether it worked.
    GLTestContext();
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool Valid() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace hk::test
