// Shared glyph sets: user counts, the clients' notification, list lifetime, double-byte glyphs
// made on demand, and the glyph lists' geometry and advance.
#include "primitives/text/font_manager.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <vector>

namespace hk {
namespace {

struct Client final : TFontManagerClient {
    int told = 0;
    void GlyphSetGone(TFontEntry&) override { ++told; }
};

class FontManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.Valid())
            GTEST_SKIP() << "no OpenGL context";
    }
    test::GLTestContext gl;
};

// Polygons drawn by a list. The view is tilted so that no wall is seen edge-on (a polygon of
// no area is not reported).
int PolygonsOf(unsigned list) {
    return int(test::CapturePolygons([&] {
                   glRotatef(30, 1, 1, 0);
                   glCallList(list);
               }).size());
}

TEST_F(FontManagerTest, EqualConfigurationsShareOneSetUntilTheLastUserLeaves) {
    Client a, b;
    TFontManager manager;
    TFontEntry* first = manager.Acquire("DejaVu Sans", 0, &a, 32, 127, 0, 0.1f);
    TFontEntry* second = manager.Acquire("dejavu sans", 0, &b, 32, 127, 0, 0.1f);
    ASSERT_EQ(first, second);
    EXPECT_EQ(first->UserCount, 2);
    EXPECT_EQ(manager.Count(), 1);
    const unsigned base = first->ListBase;
    ASSERT_NE(base, 0u);
    EXPECT_TRUE(glIsList(base + ('H' - 32)));

    manager.Release(first, &a);
    EXPECT_EQ(a.told, 1);
    EXPECT_EQ(second->UserCount, 1);
    EXPECT_TRUE(glIsList(base)) << "the other user still draws with it";
    manager.Release(second, &b);
    EXPECT_EQ(b.told, 1);
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_FALSE(glIsList(base));
    manager.Release(nullptr, &a);
    EXPECT_EQ(a.told, 1);
}

TEST_F(FontManagerTest, AnyDifferenceInTheConfigurationMakesAnotherSet) {
    Client c;
    TFontManager manager;
    TFontEntry* base = manager.Acquire("DejaVu Sans", 0, &c, 32, 127, 0, 0.1f);
    EXPECT_NE(manager.Acquire("DejaVu Sans", 0, &c, 32, 127, 0, 0.2f), base);
    EXPECT_NE(manager.Acquire("DejaVu Sans", fsBold, &c, 32, 127, 0, 0.1f), base);
    EXPECT_NE(manager.Acquire("DejaVu Sans", 0, &c, 48, 57, 0, 0.1f), base);
    EXPECT_NE(manager.Acquire("DejaVu Sans", 0, &c, 32, 127, 0.01f, 0.1f), base);
    EXPECT_EQ(manager.Count(), 5);
    EXPECT_EQ(base->Clients.size(), 1u);
}

TEST_F(FontManagerTest, ClientsStillListedAreToldWhenTheManagerGoes) {
    Client c;
    {
        TFontManager manager;
        manager.Acquire("DejaVu Sans", 0, &c, 48, 57, 0, 0);
    }
    EXPECT_EQ(c.told, 1);
}

TEST_F(FontManagerTest, GlyphListsDrawTheGlyphAndAdvanceThePen) {
    TFontManager manager;
    TFontEntry* flat = manager.Acquire("DejaVu Sans", 0, nullptr, 0, 255, 0, 0);
    TFontEntry* solid = manager.Acquire("DejaVu Sans", 0, nullptr, 0, 255, 0, 0.5f);
    TGlyphSource source("DejaVu Sans", 0);
    const TGlyphGeometry h = source.Glyph(U'H', 0);
    EXPECT_EQ(PolygonsOf(flat->ListBase + 'H'), int(h.FrontTriangles.size() / 3));
    EXPECT_EQ(PolygonsOf(solid->ListBase + 'H'),
              int(2 * h.FrontTriangles.size() / 3 + 2 * h.Walls.size()));
    EXPECT_FLOAT_EQ(flat->GlyphMetrics['H'].CellIncX, h.Metrics.CellIncX);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCallList(solid->ListBase + 'H');
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], h.Metrics.CellIncX);
    EXPECT_FLOAT_EQ(m[13], 0);
    EXPECT_EQ(PolygonsOf(flat->ListBase + ' '), 0);
}

TEST_F(FontManagerTest, DoubleByteCharactersGetTheirOwnGlyphsOnDemand) {
    Client c;
    TFontManager manager;
    TFontEntry* entry = manager.Acquire("MS UI Gothic", 0, &c, 0, 255, 0, 0.1f);
    EXPECT_EQ(entry->DoubleByteGlyph(0x947A), nullptr);
    manager.PrepareDoubleByteGlyphs(*entry, "X\x94\x7a\x8a\xc7");
    const TDoubleByteGlyph* hai = entry->DoubleByteGlyph(0x947A);
    const TDoubleByteGlyph* kan = entry->DoubleByteGlyph(0x8AC7);
    ASSERT_NE(hai, nullptr);
    ASSERT_NE(kan, nullptr);
    EXPECT_NE(hai->List, kan->List);
    EXPECT_GT(PolygonsOf(hai->List), 20);
    EXPECT_NEAR(hai->Metrics.CellIncX, 1.0f, 0.05f);
    const unsigned list = hai->List;
    manager.PrepareDoubleByteGlyphs(*entry, "\x94\x7a");
    EXPECT_EQ(entry->DoubleByteGlyph(0x947A)->List, list) << "made once";
    manager.Release(entry, &c);
    EXPECT_FALSE(glIsList(list));
}

TEST(FontManagerFailure, AFailedGenerationLeavesNoSetAndNoCountBehind) {
    // Without a current context OpenGL hands out no display lists.
    Client c;
    TFontManager manager;
    try {
        manager.Acquire("DejaVu Sans", 0, &c, 32, 127, 0, 0.1f);
        FAIL() << "no error";
    } catch (const EFontManagerError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("FontManager: no more display lists available", 0),
                  0u)
            << e.what();
    }
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_EQ(c.told, 0);
}

} // namespace
} // namespace hk
