// 3D text: glyph sets shared and rebuilt as the properties say, alignment and fitting of the
// drawn glyphs, and Japanese captions drawn with their own glyphs.
#include "primitives/text/axis_captions.h"
#include "primitives/text/space_text.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_feedback.h"

#include <GL/gl.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace hk {
namespace {

class SpaceTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.Valid())
            GTEST_SKIP() << "no OpenGL context";
        rci.ignoreMaterials = true;
    }
    void TearDown() override { EXPECT_EQ(TFontManager::Instance().Count(), 0) << "sets leaked"; }

    // The render step and the drawing of the object's own list.
    std::vector<test::FeedbackPolygon> Render(TGLSpaceText& text) {
        return test::CapturePolygons([&] { text.DrawSelfAndChildren(rci, true, false); });
    }

    test::GLTestContext gl;
    TRenderContextInfo rci;
};

struct Box {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
};

Box BoxOf(const std::vector<test::FeedbackPolygon>& polygons) {
    Box b;
    for (const auto& p : polygons)
        for (const auto& v : p) {
            b.minX = std::min(b.minX, v.x), b.maxX = std::max(b.maxX, v.x);
            b.minY = std::min(b.minY, v.y), b.maxY = std::max(b.maxY, v.y);
        }
    return b;
}

std::unique_ptr<TGLSpaceText> Caption(const char* text, float extrusion = 0.1f) {
    auto t = std::make_unique<TGLSpaceText>();
    t->SetText(text);
    t->SetExtrusion(extrusion);
    return t;
}

TEST_F(SpaceTextTest, EqualTextsShareOneGlyphSetAndAnExtrusionChangeMovesOneAway) {
    auto a = Caption("X"), b = Caption("Y");
    Render(*a);
    Render(*b);
    ASSERT_NE(a->FontEntry(), nullptr);
    ASSERT_EQ(a->FontEntry(), b->FontEntry());
    EXPECT_EQ(a->FontEntry()->UserCount, 2);
    const TFontEntry* shared = a->FontEntry();

    b->SetExtrusion(0.2f);
    EXPECT_TRUE(b->GlyphRebuildPending());
    Render(*b);
    EXPECT_NE(b->FontEntry(), shared);
    EXPECT_EQ(shared->UserCount, 1);
    EXPECT_EQ(TFontManager::Instance().Count(), 2);

    const unsigned lists = shared->ListBase;
    b.reset();
    EXPECT_TRUE(glIsList(lists));
    a.reset();
    EXPECT_FALSE(glIsList(lists));
}

TEST_F(SpaceTextTest, AnEmptyTextAcquiresAndDrawsNothing) {
    TGLSpaceText empty;
    EXPECT_TRUE(Render(empty).empty());
    EXPECT_EQ(empty.FontEntry(), nullptr);
    EXPECT_EQ(TFontManager::Instance().Count(), 0);
    empty.SetAllowedDeviation(-1);
    EXPECT_EQ(empty.AllowedDeviation(), 0.0f);
}

TEST_F(SpaceTextTest, ATextWhoseSetGoesAwayForgetsItAndRebuilds) {
    auto t = Caption("Z");
    Render(*t);
    TFontEntry* entry = const_cast<TFontEntry*>(t->FontEntry());
    // Another user's release takes the count to 0 while this text is still listed.
    TFontManager::Instance().Release(entry, nullptr);
    EXPECT_EQ(t->FontEntry(), nullptr);
    EXPECT_TRUE(t->GlyphRebuildPending());
    EXPECT_TRUE(t->Changes().Contains(ocStructure)) << "its list called the deleted glyphs";
    EXPECT_FALSE(Render(*t).empty());
    EXPECT_NE(t->FontEntry(), nullptr);
}

// The buffer frees every object's lists through DestroyHandles while the context that goes away
// is current: the glyph lists go with them, and the next context builds its own.
TEST_F(SpaceTextTest, GlyphListsGoWithTheirContext) {
    auto t = Caption("7");
    Render(*t);
    ASSERT_NE(t->FontEntry(), nullptr);
    const unsigned lists = t->FontEntry()->ListBase;
    ASSERT_TRUE(glIsList(lists));
    t->DestroyHandles();
    EXPECT_FALSE(glIsList(lists));
    EXPECT_EQ(TFontManager::Instance().Count(), 0);
    EXPECT_EQ(t->FontEntry(), nullptr);

    test::GLTestContext next;
    ASSERT_TRUE(next.Valid());
    EXPECT_FALSE(Render(*t).empty());
    ASSERT_NE(t->FontEntry(), nullptr);
    EXPECT_TRUE(glIsList(t->FontEntry()->ListBase)) << "made in the context now current";
    t.reset();
}

TEST_F(SpaceTextTest, DefaultsDrawFromTheOriginOnTheBaseline) {
    auto t = Caption("HH", 0);
    const Box box = BoxOf(Render(*t));
    const TGlyphMetrics& h = *t->FontEntry()->SingleByteMetrics('H');
    EXPECT_NEAR(box.minX, h.OriginX, 1e-3f);
    EXPECT_NEAR(box.minY, h.OriginY - h.BlackBoxY, 1e-3f);
    EXPECT_NEAR(box.minY, 0.0f, 0.06f) << "the pen starts on the baseline";
    EXPECT_NEAR(box.maxX, h.CellIncX + h.OriginX + h.BlackBoxX, 1e-3f) << "second glyph advanced";
    const TSpaceTextMetrics m = t->TextMetrics();
    EXPECT_NEAR(m.Width, 2 * h.CellIncX, 1e-5f);
    EXPECT_NEAR(m.Highest, h.OriginY, 1e-5f);
}

TEST_F(SpaceTextTest, AdjustmentAndFittingMoveAndScaleTheGlyphs) {
    auto t = Caption("Hg", 0);
    Render(*t);
    const TSpaceTextMetrics m = t->TextMetrics();
    ASSERT_LT(m.Lowest, 0.0f);

    t->SetAdjust({haRight, vaTop});
    Box box = BoxOf(Render(*t));
    EXPECT_NEAR(box.maxY, 0.0f, 1e-3f);
    EXPECT_LT(box.maxX, 0.0f);
    EXPECT_GT(box.minX, -m.Width);

    t->SetAdjust({haCenter, vaBottom});
    box = BoxOf(Render(*t));
    EXPECT_NEAR(box.minY, 0.0f, 1e-3f);

    t->SetAdjust({haFitIn, vaCenter});
    box = BoxOf(Render(*t));
    EXPECT_NEAR(box.maxY + box.minY, 0.0f, 1e-3f) << "centred on the baseline";
    EXPECT_GT(box.minX, 0.0f) << "haFitIn draws as haLeft";

    t->SetAdjust({});
    t->SetTextHeight(2);
    box = BoxOf(Render(*t));
    EXPECT_NEAR(box.maxY, 2.0f, 1e-3f);

    t->SetTextHeight(0);
    t->SetAspectRatio(3);
    const Box wide = BoxOf(Render(*t));
    t->SetAspectRatio(0);
    const Box plain = BoxOf(Render(*t));
    EXPECT_NEAR(wide.maxX, 3 * plain.maxX, 1e-3f);
}

TEST_F(SpaceTextTest, CharactersOutsideTheRangeDrawNothing) {
    auto digits = Caption("A1", 0);
    digits->SetCharacterRange(stcrNumbers);
    auto one = Caption("1", 0);
    one->SetCharacterRange(stcrNumbers);
    EXPECT_EQ(Render(*digits).size(), Render(*one).size());
    EXPECT_FLOAT_EQ(digits->TextMetrics().Width, one->TextMetrics().Width);
}

TEST_F(SpaceTextTest, AJapaneseCaptionDrawsEachCharacterWithItsOwnGlyph) {
    // "配管" in Shift-JIS, in the face the dimension captions ask for.
    auto t = Caption("\x94\x7a\x8a\xc7", 0);
    t->SetFontName("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    t->SetFontCharset(SHIFTJIS_CHARSET);
    const auto polygons = Render(*t);
    const TFontEntry* entry = t->FontEntry();
    ASSERT_NE(entry, nullptr);
    const TDoubleByteGlyph* hai = entry->DoubleByteGlyph(0x947A);
    const TDoubleByteGlyph* kan = entry->DoubleByteGlyph(0x8AC7);
    ASSERT_TRUE(hai && kan);
    const auto alone = [](unsigned list) {
        return test::CapturePolygons([&] { glCallList(list); }).size();
    };
    EXPECT_EQ(polygons.size(), alone(hai->List) + alone(kan->List));
    EXPECT_GT(polygons.size(), 40u);
    const Box box = BoxOf(polygons);
    EXPECT_GT(box.maxX, 1.5f) << "the second character follows the first";
    EXPECT_NEAR(t->TextMetrics().Width, 2.0f, 0.1f);
}

TEST_F(SpaceTextTest, TheAxisCaptionsOfTheFixedScene) {
    TGLImmaterialSceneObject dummy;
    const TAxisCaptions axes = CreateAxisCaptions(dummy);
    ASSERT_EQ(dummy.Count(), 3);
    EXPECT_EQ(axes.X->Text(), "X");
    EXPECT_EQ(axes.X->Font().Name, "MS UI Gothic");
    EXPECT_EQ(axes.X->Font().Charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(axes.Y->Font().Name, "Arial");
    EXPECT_EQ(axes.Z->Font().Height, -11);
    EXPECT_EQ(axes.Z->Extrusion(), 0.1f);
    EXPECT_EQ(axes.Y->Position().AsVector().y, 3.0f);
    EXPECT_EQ(axes.Z->Position().AsVector().z, 3.5f);
    EXPECT_EQ(axes.X->Scale().AsVector().x, 0.5f);
    EXPECT_EQ(axes.Z->Direction().AsVector().z, 1.0f);
    for (TGLSpaceText* t : {axes.X, axes.Y, axes.Z})
        EXPECT_FALSE(Render(*t).empty());
    EXPECT_EQ(TFontManager::Instance().Count(), 2) << "one set per face";
    dummy.FreeChildren();
}

} // namespace
} // namespace hk
