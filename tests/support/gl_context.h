// An OpenGL context for the tests and benchmarks that draw: off-screen, on the display named by
// DISPLAY (Xvfb under ctest). Without a display or GLX the context is not valid and tests skip.
#pragma once

namespace hk::test {

class GLTestContext;

// What a test context asks for: the size of its pbuffer, the bits it needs beside 8-bit red,
// green and blue, a context whose display lists it shares, and whether it becomes current.
struct GLContextRequest {
    int width = 64;
    int height = 64;
    int alphaBits = 0;
    int depthBits = 16;
    int stencilBits = 0;
    // GLX shares lists only from creation on.
    const GLTestContext* shareLists = nullptr;
    bool makeCurrent = true;
};

// A GLX context with its own single-buffered pbuffer, starting from the OpenGL defaults. The
// display connection under all of them is opened once per process and kept open: closing it
// unloads the driver with allocations the leak checker can no longer trace, and a connection per
// test makes Xvfb refuse a context now and then.
class GLTestContext {
public:
    // A current context on a width x height pbuffer.
    explicit GLTestContext(int width = 64, int height = 64);
    explicit GLTestContext(const GLContextRequest& request);
    // Releases the context when it is current, then frees it and its pbuffer.
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool Valid() const { return context_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void MakeCurrent() const;
    // Leaves the calling thread without a current context.
    static void ReleaseCurrent();

private:
    void* context_ = nullptr;   // GLXContext
    unsigned long pbuffer_ = 0; // GLXPbuffer
    int width_;
    int height_;
};

// Whether the display named by DISPLAY could be opened.
bool HaveDisplay();

} // namespace hk::test

// Skips the current test when `gl` (anything with Valid()) has no OpenGL context.
#define HK_REQUIRE_GL(gl)                                                                          \
    do {                                                                                           \
        if (!(gl).Valid())                                                                         \
            GTEST_SKIP() << "no OpenGL context (DISPLAY not set?)";                                \
    } while (0)
