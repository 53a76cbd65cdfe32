// An OpenGL context for tests, on a small unmapped GLX window of the display named by DISPLAY
// (Xvfb under ctest). Tests that get no context skip.
#pragma once

#include <functional>
#include <memory>
#include <vector>

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

// A vertex of a captured polygon (named apart from the pipe tests'
// richer FeedbackVertex, since both live in hk::test).
struct FeedbackPoint {
    float x = 0, y = 0, z = 0;
};
using FeedbackPolygon = std::vector<FeedbackPoint>;

// The polygons that `draw` produces, caught in feedback mode with the model-view matrix reset
// and a projection that maps object x and y to themselves (-32 to 32) and z within -100 to 100.
std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw);

} // namespace hk::test
