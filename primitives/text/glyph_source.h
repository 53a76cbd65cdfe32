// Extruded glyph geometry from the system's outline fonts (FreeType, found through
// fontconfig), in units where the font's em height is 1: the filled front face tessellated into
// triangles at z = 0, the side walls of every contour with their outward normals, and the
// metrics that lay a line of text out.
#pragma once

#include "primitives/text/font.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// Per-glyph metrics in em units: the black box (the ink's bounding box), its upper-left corner
// relative to the pen position, and the pen advance.
struct TGlyphMetrics {
    float BlackBoxX = 0, BlackBoxY = 0;
    float OriginX = 0, OriginY = 0;
    float CellIncX = 0, CellIncY = 0;
};

struct TGlyphPoint {
    float x = 0, y = 0;
};

// One side wall: the contour edge from (x0, y0) to (x1, y1), extruded along -Z; (nx, ny) is its
// unit normal, pointing out of the filled area.
struct TGlyphWall {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float nx = 0, ny = 0;
};

struct TGlyphGeometry {
    // Three points per triangle, counter-clockwise seen from +Z.
    std::vector<TGlyphPoint> FrontTriangles;
    // Every edge of every flattened contour, the filled area on the edge's left.
    std::vector<TGlyphWall> Walls;
    TGlyphMetrics Metrics;
};

// Curves are flattened to within this many em when the allowed deviation is 0 or less.
inline constexpr float cDefaultGlyphDeviation = 0.002f;

// Emits the glyph as immediate-mode OpenGL: front face at z = 0 facing +Z and, when the
// extrusion is not 0, the back face at -extrusion facing -Z and the side walls; then translates
// by the advance so that consecutive glyphs lay out a line. Meant to be compiled into a list.
void EmitGlyph(const TGlyphGeometry& glyph, float extrusion);

// The outlines of one face and style. A face name that the system does not have (the Windows
// faces "MS UI Gothic", "ＭＳ Ｐゴシック", "Arial") falls back to a Japanese-capable font;
// characters that the chosen font lacks are taken from that fallback too. Bold and italic are
// synthesised when the chosen file has no such style.
class TGlyphSource {
public:
    // faceName is Shift-JIS. Throws EFontManagerError ("FontManager: font creation failed: ...")
    // when no font file can be opened at all.
    TGlyphSource(std::string_view faceName, TFontStyles style);
    ~TGlyphSource();
    TGlyphSource(const TGlyphSource&) = delete;
    TGlyphSource& operator=(const TGlyphSource&) = delete;

    // The family and file of the font actually used (UTF-8).
    const std::string& FamilyName() const;
    const std::string& FileName() const;
    // True when the named face itself was found, false when the fallback stands in for it.
    bool FoundRequestedFace() const;

    // The geometry of a Unicode character; deviation in em, <= 0 for the default. A character
    // that no font has, and the code 0, give empty geometry with zero metrics.
    TGlyphGeometry Glyph(char32_t character, float deviation);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace hk
