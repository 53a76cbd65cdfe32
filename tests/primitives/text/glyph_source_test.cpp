// Glyph geometry from the system fonts: filled faces that match their outlines, holes left
// open, walls facing out, em-scaled metrics and the Japanese fallback.
#include "primitives/text/glyph_source.h"

#include <cmath>
#include <gtest/gtest.h>

namespace hk {
namespace {

double Cross(TGlyphPoint a, TGlyphPoint b, TGlyphPoint c) {
    return double(b.x - a.x) * (c.y - a.y) - double(b.y - a.y) * (c.x - a.x);
}

double TriangleArea(const TGlyphGeometry& g) {
    double area = 0;
    for (std::size_t i = 0; i + 2 < g.FrontTriangles.size(); i += 3)
        area += Cross(g.FrontTriangles[i], g.FrontTriangles[i + 1], g.FrontTriangles[i + 2]) / 2;
    return area;
}

// With the filled area on the left of every wall, the walls' shoelace sum is that area.
double OutlineArea(const TGlyphGeometry& g) {
    double area = 0;
    for (const TGlyphWall& w : g.Walls)
        area += (double(w.x0) * w.y1 - double(w.x1) * w.y0) / 2;
    return area;
}

bool Covered(const TGlyphGeometry& g, TGlyphPoint p) {
    const auto& t = g.FrontTriangles;
    for (std::size_t i = 0; i + 2 < t.size(); i += 3)
        if (Cross(t[i], t[i + 1], p) >= 0 && Cross(t[i + 1], t[i + 2], p) >= 0 &&
            Cross(t[i + 2], t[i], p) >= 0)
            return true;
    return false;
}

TEST(GlyphSource, FrontFaceFillsTheOutlineCounterClockwise) {
    TGlyphSource source("DejaVu Sans", 0);
    ASSERT_TRUE(source.FoundRequestedFace());
    for (char32_t c : {U'H', U'O', U'g', U'8'}) {
        const TGlyphGeometry g = source.Glyph(c, 0);
        ASSERT_FALSE(g.FrontTriangles.empty());
        ASSERT_EQ(g.FrontTriangles.size() % 3, 0u);
        for (std::size_t i = 0; i < g.FrontTriangles.size(); i += 3)
            EXPECT_GE(Cross(g.FrontTriangles[i], g.FrontTriangles[i + 1], g.FrontTriangles[i + 2]),
                      0);
        EXPECT_GT(OutlineArea(g), 0.01);
        EXPECT_NEAR(TriangleArea(g), OutlineArea(g), 1e-4 * OutlineArea(g) + 1e-6);
    }
}

TEST(GlyphSource, MetricsAreInEmUnitsAndMatchTheGeometry) {
    TGlyphSource source("DejaVu Sans", 0);
    const TGlyphGeometry h = source.Glyph(U'H', 0);
    // Capital letters are about 0.7 em high and sit on the baseline.
    EXPECT_GT(h.Metrics.BlackBoxY, 0.6f);
    EXPECT_LT(h.Metrics.BlackBoxY, 0.85f);
    EXPECT_NEAR(h.Metrics.OriginY - h.Metrics.BlackBoxY, 0.0f, 0.01f);
    EXPECT_GT(h.Metrics.CellIncX, h.Metrics.BlackBoxX);
    EXPECT_EQ(h.Metrics.CellIncY, 0.0f);
    float minX = 1e9f, maxY = -1e9f;
    for (const TGlyphPoint& p : h.FrontTriangles)
        minX = std::min(minX, p.x), maxY = std::max(maxY, p.y);
    EXPECT_FLOAT_EQ(minX, h.Metrics.OriginX);
    EXPECT_FLOAT_EQ(maxY, h.Metrics.OriginY);

    const TGlyphGeometry g = source.Glyph(U'g', 0);
    EXPECT_LT(g.Metrics.OriginY - g.Metrics.BlackBoxY, -0.1f) << "descender below the baseline";

    const TGlyphGeometry space = source.Glyph(U' ', 0);
    EXPECT_TRUE(space.FrontTriangles.empty());
    EXPECT_GT(space.Metrics.CellIncX, 0.2f);
    const TGlyphGeometry none = source.Glyph(0, 0);
    EXPECT_TRUE(none.FrontTriangles.empty());
    EXPECT_EQ(none.Metrics.CellIncX, 0.0f);
}

TEST(GlyphSource, HolesStayOpenAndWallsFaceOutOfTheInk) {
    TGlyphSource source("DejaVu Sans", 0);
    const TGlyphGeometry o = source.Glyph(U'O', 0);
    const TGlyphPoint centre{o.Metrics.OriginX + o.Metrics.BlackBoxX / 2,
                             o.Metrics.OriginY - o.Metrics.BlackBoxY / 2};
    EXPECT_FALSE(Covered(o, centre));
    EXPECT_TRUE(Covered(o, {o.Metrics.OriginX + 0.02f, centre.y}));
    const float eps = 0.004f;
    for (const TGlyphWall& w : o.Walls) {
        const float mx = (w.x0 + w.x1) / 2, my = (w.y0 + w.y1) / 2;
        EXPECT_NEAR(std::hypot(w.nx, w.ny), 1.0f, 1e-5f);
        EXPECT_FALSE(Covered(o, {mx + w.nx * eps, my + w.ny * eps}));
        EXPECT_TRUE(Covered(o, {mx - w.nx * eps, my - w.ny * eps}));
    }
}

TEST(GlyphSource, CoarserDeviationGivesFewerEdges) {
    TGlyphSource source("DejaVu Sans", 0);
    const std::size_t fine = source.Glyph(U'O', 0).Walls.size();
    const std::size_t coarse = source.Glyph(U'O', 0.05f).Walls.size();
    EXPECT_LT(coarse, fine);
    EXPECT_GE(coarse, 8u);
    // A deviation that asks for the impossible is bounded, not endless.
    EXPECT_LT(source.Glyph(U'O', 1e-30f).Walls.size(), 20000u);
}

TEST(GlyphSource, MissingWindowsFacesFallBackToAJapaneseFont) {
    // "ＭＳ Ｐゴシック" in Shift-JIS, as the data files name it.
    TGlyphSource source("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", 0);
    EXPECT_FALSE(source.FoundRequestedFace());
    EXPECT_FALSE(source.FileName().empty());
    const TGlyphGeometry hai = source.Glyph(U'配', 0);
    EXPECT_FALSE(hai.FrontTriangles.empty());
    EXPECT_NEAR(hai.Metrics.CellIncX, 1.0f, 0.05f) << "full-width character";
    EXPECT_FALSE(source.Glyph(U'X', 0).FrontTriangles.empty());
}

TEST(GlyphSource, CharactersTheFaceLacksComeFromTheFallback) {
    TGlyphSource source("DejaVu Sans", fsBold);
    EXPECT_TRUE(source.FoundRequestedFace());
    const TGlyphGeometry kan = source.Glyph(U'管', 0);
    EXPECT_FALSE(kan.FrontTriangles.empty());
    EXPECT_GT(kan.Metrics.CellIncX, 0.9f);
}

TEST(GlyphSource, SynthesisedBoldIsWider) {
    TGlyphSource regular("IPAGothic", 0);
    TGlyphSource bold("IPAGothic", fsBold);
    ASSERT_TRUE(regular.FoundRequestedFace());
    EXPECT_GT(OutlineArea(bold.Glyph(U'l', 0)), OutlineArea(regular.Glyph(U'l', 0)) * 1.1);
}

} // namespace
} // namespace hk
