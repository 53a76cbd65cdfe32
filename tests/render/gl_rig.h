// A scene, a camera on the +z axis looking at the origin and a buffer with an off-screen GLX
// context of the given size, plus flat coloured squares to draw and pick. Tests skip when no
// display is available.
#pragma once

#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/scene_buffer.h"
#include "tests/support/glx_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace hk::test {

// A unit-less square in the object's XY plane, facing +z, drawn in one flat colour.
class TFlatSquare : public TGLImmaterialSceneObject {
public:
    TFlatSquare(float half, TColorVector colour) : half_(half), colour_(colour) {}
    void EmitGeometry(TRenderContextInfo&) override {
        glColor4f(colour_.x, colour_.y, colour_.z, colour_.w);
        glBegin(GL_QUADS);
        glVertex3f(-half_, -half_, 0);
        glVertex3f(half_, -half_, 0);
        glVertex3f(half_, half_, 0);
        glVertex3f(-half_, half_, 0);
        glEnd();
    }

private:
    float half_;
    TColorVector colour_;
};

inline constexpr TWinColor cViewerBackground = 8404992; // RGB (0, 64, 128)

struct GLRig {
    TGLXDevice device;
    TGLScene scene;
    TGLSceneBuffer buffer;
    TGLCamera* camera = nullptr;
    bool ok = false;

    GLRig(int width, int height) {
        if (!device.Valid()) {
            return;
        }
        TGLXContext::Register();
        camera = scene.Objects().CreateChild<TGLCamera>();
        camera->Position().SetPoint(0, 0, 10);
        buffer.SetBackgroundColor(cViewerBackground);
        buffer.SetLighting(false);
        buffer.SetViewportSize(width, height);
        buffer.SetCamera(camera);
        buffer.CreateContext(device, true);
        ok = buffer.RenderingContext() != nullptr;
    }

    bool Valid() const { return ok; }

    TFlatSquare* AddSquare(float x, float y, float z, float half, TColorVector colour) {
        auto* s = scene.Objects().CreateChild<TFlatSquare>(half, colour);
        s->Position().SetPoint(x, y, z);
        return s;
    }

    // RGB of window pixel (x, y), origin top-left, after the last frame.
    std::array<int, 3> Pixel(int x, int y) {
        std::array<unsigned char, 4> p{};
        buffer.RenderingContext()->Activate();
        glReadBuffer(GL_FRONT);
        glReadPixels(x, buffer.Height() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        buffer.RenderingContext()->Deactivate();
        return {p[0], p[1], p[2]};
    }
};

} // namespace hk::test
