// Culling by an object's geometry box against the view, checked against drawing everything:
// over many solids placed across the edges of the view, none that the walk leaves out would
// have drawn a pixel.
#include "tests/render/gl_rig.h"
#include "tests/render/random_solids.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace hk::test {
namespace {

constexpr int cWidth = 64, cHeight = 48;

// Pixels of the last frame that are not the background.
int DrawnPixels(GLRig& rig) {
    std::vector<unsigned char> p(std::size_t(cWidth) * cHeight * 4);
    rig.buffer.RenderingContext()->Activate();
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, cWidth, cHeight, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    rig.buffer.RenderingContext()->Deactivate();
    int drawn = 0;
    for (std::size_t i = 0; i < p.size(); i += 4) {
        drawn += p[i] != 0 || p[i + 1] != 64 || p[i + 2] != 128;
    }
    return drawn;
}

TEST(ViewCulling, NoSolidLeftOutOfTheViewWouldHaveDrawnAPixel) {
    GLRig rig(cWidth, cHeight);
    HK_REQUIRE_GL(rig);
    rig.buffer.SetFaceCulling(false);
    std::mt19937 random(21);
    // The view spans about +-0.8 across at the origin, 10 units from the camera; the solids
    // straddle its edges, lie behind the camera and beyond the far plane.
    std::uniform_real_distribution<float> across(-1.6f, 1.6f), along(-995, 12);
    std::uniform_real_distribution<float> angle(-180, 180);
    int seen = 0, unseen = 0;
    for (int i = 0; i < 240; ++i) {
        TGLBaseSceneObject* solid = AddRandomSolid(rig.scene.Objects(), i % 6, random);
        const float depth = i % 4 == 0 ? along(random) : across(random);
        solid->Position().SetPoint(across(random), across(random), depth);
        solid->SetTurnAngle(angle(random));
        solid->SetPitchAngle(angle(random));
        rig.buffer.SetDetailScale(1);
        rig.buffer.RenderFrame();
        const int culledFrame = DrawnPixels(rig);
        rig.buffer.SetDetailScale(0);
        rig.buffer.RenderFrame();
        const int fullFrame = DrawnPixels(rig);
        EXPECT_FALSE(culledFrame == 0 && fullFrame > 0)
            << "solid " << i << " of kind " << i % 6 << " left out but draws " << fullFrame
            << " pixels";
        (fullFrame > 0 ? seen : unseen) += 1;
        rig.scene.Objects().RemoveChild(solid, false);
    }
    // The placements cover both sides of the edges.
    EXPECT_GT(seen, 40);
    EXPECT_GT(unseen, 40);
}

} // namespace
} // namespace hk::test
