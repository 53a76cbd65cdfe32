// Glyph outlines from FreeType, font files found through fontconfig, front faces tessellated by
// the GLU tessellator (odd winding), which needs no OpenGL context.
#include "primitives/text/glyph_source.h"

#include "primitives/text/code_page.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace hk {
namespace {

const char* const cFontCreationFailed = "FontManager: font creation failed";

struct Point {
    double x = 0, y = 0;
};
using Contour = std::vector<Point>;

struct FontFile {
    std::string file;
    int index = 0;
    std::string family;
};

bool SameFamily(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The best match fontconfig has for a pattern, with whether one of its family names is the
// requested one. Returns false when fontconfig has no scalable font at all.
bool Match(std::string_view family, TFontStyles style, bool japanese, FontFile& out,
           bool& familyFound) {
    FcPattern* pattern = FcPatternCreate();
    const std::string name(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    if (japanese)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(pattern, FC_WEIGHT, style & fsBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, style & fsItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    FcChar8* text = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch;
    if (ok) {
        out.file = reinterpret_cast<const char*>(text);
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        out.index = index;
        familyFound = false;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &text) == FcResultMatch; ++i) {
            if (i == 0)
                out.family = reinterpret_cast<const char*>(text);
            if (SameFamily(reinterpret_cast<const char*>(text), family))
                familyFound = true;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

// Collects the contours of an outline, flattening curves into chords that stay within the
// tolerance (font units) of the curve.
struct OutlineSink {
    std::vector<Contour> contours;
    double tolerance = 1;
    Point last;

    static Point P(const FT_Vector* v) { return {double(v->x), double(v->y)}; }

    void LineTo(Point p) {
        contours.back().push_back(p);
        last = p;
    }

    // Uniform steps: a chord of parameter length h deviates from a curve whose second
    // derivative is bounded by M by at most M h² / 8.
    int Steps(double bound) const {
        const double n = std::ceil(std::sqrt(bound / (8 * tolerance)));
        return static_cast<int>(std::clamp(n, 1.0, 256.0));
    }

    static int MoveTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<OutlineSink*>(user);
        self->contours.emplace_back();
        self->LineTo(P(to));
        return 0;
    }
    static int Line(const FT_Vector* to, void* user) {
        auto* self = static_cast<OutlineSink*>(user);
        if (self->contours.empty())
            self->contours.emplace_back();
        self->LineTo(P(to));
        return 0;
    }
    static int Conic(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* self = static_cast<OutlineSink*>(user);
        if (self->contours.empty())
            self->contours.emplace_back();
        const Point p0 = self->last, p1 = P(control), p2 = P(to);
        const double bound = 2 * std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
        const int n = self->Steps(bound);
        for (int i = 1; i <= n; ++i) {
            const double t = double(i) / n, u = 1 - t;
            self->LineTo({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                          u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
        }
        return 0;
    }
    static int Cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* self = static_cast<OutlineSink*>(user);
        if (self->contours.empty())
            self->contours.emplace_back();
        const Point p0 = self->last, p1 = P(c1), p2 = P(c2), p3 = P(to);
        const double bound =
            6 * std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                         std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
        const int n = self->Steps(bound);
        for (int i = 1; i <= n; ++i) {
            const double t = double(i) / n, u = 1 - t;
            self->LineTo(
                {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                 u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y +
                     t * t * t * p3.y});
        }
        return 0;
    }
};

double SignedArea(const Contour& c) {
    double a = 0;
    for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++)
        a += c[j].x * c[i].y - c[i].x * c[j].y;
    return a / 2;
}

// Drops repeated points (the closing point among them) and contours that enclose nothing, then
// orients every contour so that the filled area lies on its left: the largest contour is an
// outer one, and it must run counter-clockwise.
void Clean(std::vector<Contour>& contours) {
    for (auto& c : contours) {
        Contour kept;
        for (const Point& p : c)
            if (kept.empty() || p.x != kept.back().x || p.y != kept.back().y)
                kept.push_back(p);
        while (kept.size() > 1 && kept.front().x == kept.back().x &&
               kept.front().y == kept.back().y)
            kept.pop_back();
        c = std::move(kept);
    }
    std::erase_if(contours, [](const Contour& c) { return c.size() < 3 || SignedArea(c) == 0; });
    const auto largest =
        std::max_element(contours.begin(), contours.end(), [](const Contour& a, const Contour& b) {
            return std::fabs(SignedArea(a)) < std::fabs(SignedArea(b));
        });
    if (largest != contours.end() && SignedArea(*largest) < 0)
        for (auto& c : contours)
            std::reverse(c.begin(), c.end());
}

struct TessState {
    std::deque<std::array<GLdouble, 3>> vertices;
    std::vector<TGlyphPoint> triangles;
    bool failed = false;
};

void GLAPIENTRY TessBegin(GLenum, void*) {}
void GLAPIENTRY TessEnd(void*) {}
void GLAPIENTRY TessEdgeFlag(GLboolean, void*) {}
void GLAPIENTRY TessVertex(void* vertex, void* state) {
    const auto* v = static_cast<const GLdouble*>(vertex);
    static_cast<TessState*>(state)->triangles.push_back({float(v[0]), float(v[1])});
}
void GLAPIENTRY TessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* state) {
    auto& s = *static_cast<TessState*>(state);
    s.vertices.push_back({coords[0], coords[1], 0});
    *out = s.vertices.back().data();
}
void GLAPIENTRY TessError(GLenum, void* state) {
    static_cast<TessState*>(state)->failed = true;
}

// Triangles of the area inside an odd number of contours, counter-clockwise.
std::vector<TGlyphPoint> Tessellate(const std::vector<Contour>& contours) {
    TessState state;
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        return {};
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(TessBegin));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(TessEnd));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(TessVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(TessCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(TessError));
    // An edge-flag callback makes the tessellator deliver separate triangles only.
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(TessEdgeFlag));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0, 0, 1);
    gluTessBeginPolygon(tess, &state);
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (const Point& p : c) {
            state.vertices.push_back({p.x, p.y, 0});
            gluTessVertex(tess, state.vertices.back().data(), state.vertices.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (state.failed)
        return {};
    auto& t = state.triangles;
    t.resize(t.size() / 3 * 3);
    for (std::size_t i = 0; i < t.size(); i += 3) {
        const double cross = double(t[i + 1].x - t[i].x) * (t[i + 2].y - t[i].y) -
                             double(t[i + 1].y - t[i].y) * (t[i + 2].x - t[i].x);
        if (cross < 0)
            std::swap(t[i + 1], t[i + 2]);
    }
    return std::move(t);
}

class Face {
public:
    Face(FT_Library library, const FontFile& file) {
        if (FT_New_Face(library, file.file.c_str(), file.index, &face_) != 0)
            face_ = nullptr;
        else if (!FT_IS_SCALABLE(face_) || face_->units_per_EM == 0)
            Close();
    }
    ~Face() { Close(); }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    explicit operator bool() const { return face_ != nullptr; }
    FT_Face get() const { return face_; }

private:
    void Close() {
        if (face_)
            FT_Done_Face(face_);
        face_ = nullptr;
    }
    FT_Face face_ = nullptr;
};

} // namespace

struct TGlyphSource::Impl {
    FT_Library library = nullptr;
    TFontStyles style = 0;
    FontFile primaryFile;
    bool requestedFound = false;
    std::unique_ptr<Face> primary;
    FontFile fallbackFile;
    std::unique_ptr<Face> fallback;
    bool fallbackTried = false;

    ~Impl() {
        primary.reset();
        fallback.reset();
        if (library)
            FT_Done_FreeType(library);
    }

    // The Japanese-capable face that stands in for missing faces and characters.
    Face* Fallback() {
        if (!fallbackTried) {
            fallbackTried = true;
            bool unused = false;
            if (Match("sans-serif", style, true, fallbackFile, unused)) {
                fallback = std::make_unique<Face>(library, fallbackFile);
                if (!*fallback)
                    fallback.reset();
            }
        }
        return fallback.get();
    }
};

TGlyphSource::TGlyphSource(std::string_view faceName, TFontStyles style)
    : impl_(std::make_unique<Impl>()) {
    const std::string name = ShiftJisToUtf8(faceName);
    const std::string detail = " (face \"" + name + "\")";
    if (FT_Init_FreeType(&impl_->library) != 0) {
        impl_->library = nullptr;
        throw EFontManagerError(std::string(cFontCreationFailed) + ": FreeType did not start" +
                                detail);
    }
    impl_->style = style;
    if (!name.empty() && Match(name, style, false, impl_->primaryFile, impl_->requestedFound) &&
        impl_->requestedFound) {
        impl_->primary = std::make_unique<Face>(impl_->library, impl_->primaryFile);
        if (!*impl_->primary) {
            impl_->primary.reset();
            impl_->requestedFound = false;
        }
    } else {
        impl_->requestedFound = false;
    }
    if (!impl_->primary) {
        if (!impl_->Fallback())
            throw EFontManagerError(std::string(cFontCreationFailed) +
                                    ": no outline font could be opened" + detail);
        impl_->primaryFile = impl_->fallbackFile;
        impl_->primary = std::make_unique<Face>(impl_->library, impl_->primaryFile);
    }
}

TGlyphSource::~TGlyphSource() = default;

const std::string& TGlyphSource::FamilyName() const {
    return impl_->primaryFile.family;
}

const std::string& TGlyphSource::FileName() const {
    return impl_->primaryFile.file;
}

bool TGlyphSource::FoundRequestedFace() const {
    return impl_->requestedFound;
}

TGlyphGeometry TGlyphSource::Glyph(char32_t character, float deviation) {
    TGlyphGeometry geometry;
    if (character == 0)
        return geometry;
    FT_Face face = impl_->primary->get();
    FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0) {
        Face* fallback = impl_->Fallback();
        if (!fallback)
            return geometry;
        face = fallback->get();
        index = FT_Get_Char_Index(face, character);
        if (index == 0)
            return geometry;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return geometry;
    FT_GlyphSlot slot = face->glyph;
    const double em = face->units_per_EM;
    double advance = double(slot->metrics.horiAdvance);
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
        geometry.Metrics.CellIncX = float(advance / em);
        return geometry;
    }
    if ((impl_->style & fsBold) && !(face->style_flags & FT_STYLE_FLAG_BOLD)) {
        const FT_Pos strength = static_cast<FT_Pos>(em / 24);
        FT_Outline_EmboldenXY(&slot->outline, strength, 0);
        advance += double(strength);
    }
    if ((impl_->style & fsItalic) && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }

    OutlineSink sink;
    sink.tolerance = (deviation > 0 ? deviation : cDefaultGlyphDeviation) * em;
    const FT_Outline_Funcs funcs{
        &OutlineSink::MoveTo, &OutlineSink::Line, &OutlineSink::Conic, &OutlineSink::Cubic, 0, 0};
    FT_Outline_Decompose(&slot->outline, &funcs, &sink);
    for (auto& c : sink.contours)
        for (Point& p : c)
            p = {p.x / em, p.y / em};
    Clean(sink.contours);

    geometry.Metrics.CellIncX = float(advance / em);
    if (sink.contours.empty())
        return geometry;
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    for (const Contour& c : sink.contours) {
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Point a = c[i], b = c[(i + 1) % c.size()];
            minX = std::min(minX, a.x), maxX = std::max(maxX, a.x);
            minY = std::min(minY, a.y), maxY = std::max(maxY, a.y);
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            geometry.Walls.push_back({float(a.x), float(a.y), float(b.x), float(b.y),
                                      float((b.y - a.y) / len), float(-(b.x - a.x) / len)});
        }
    }
    geometry.Metrics.BlackBoxX = float(maxX - minX);
    geometry.Metrics.BlackBoxY = float(maxY - minY);
    geometry.Metrics.OriginX = float(minX);
    geometry.Metrics.OriginY = float(maxY);
    geometry.FrontTriangles = Tessellate(sink.contours);
    return geometry;
}

void EmitGlyph(const TGlyphGeometry& glyph, float extrusion) {
    // Everything as separate triangles in one batch: walls are two triangles each.
    const auto& t = glyph.FrontTriangles;
    glBegin(GL_TRIANGLES);
    glNormal3f(0, 0, 1);
    for (const TGlyphPoint& p : t)
        glVertex3f(p.x, p.y, 0);
    if (extrusion != 0) {
        glNormal3f(0, 0, -1);
        for (std::size_t i = 0; i + 2 < t.size(); i += 3) {
            glVertex3f(t[i].x, t[i].y, -extrusion);
            glVertex3f(t[i + 2].x, t[i + 2].y, -extrusion);
            glVertex3f(t[i + 1].x, t[i + 1].y, -extrusion);
        }
        for (const TGlyphWall& w : glyph.Walls) {
            glNormal3f(w.nx, w.ny, 0);
            glVertex3f(w.x0, w.y0, 0);
            glVertex3f(w.x0, w.y0, -extrusion);
            glVertex3f(w.x1, w.y1, -extrusion);
            glVertex3f(w.x0, w.y0, 0);
            glVertex3f(w.x1, w.y1, -extrusion);
            glVertex3f(w.x1, w.y1, 0);
        }
    }
    glEnd();
    glTranslatef(glyph.Metrics.CellIncX, glyph.Metrics.CellIncY, 0);
}

} // namespace hk
