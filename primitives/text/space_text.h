// TGLSpaceText: a Shift-JIS string drawn as solid extruded glyphs from a shared glyph set of the
// font manager, aligned, fitted to a height, widened and slanted by its properties.
#pragma once

#include "engine/custom_scene_object.h"
#include "primitives/text/font.h"
#include "primitives/text/font_manager.h"

#include <string>
#include <string_view>

namespace hk {

enum TSpaceTextCharRange { stcrAlphaNum, stcrNumbers, stcrAll };

enum TGLTextHorzAdjust { haLeft, haCenter, haRight, haAligned, haCentrically, haFitIn };
enum TGLTextVertAdjust { vaTop, vaCenter, vaBottom, vaBaseLine };

// Only haCenter, haRight and the vertical values change the drawing; the other horizontal
// values draw as haLeft.
struct TGLTextAdjust {
    TGLTextHorzAdjust Horz = haLeft;
    TGLTextVertAdjust Vert = vaBaseLine;
    bool operator==(const TGLTextAdjust&) const = default;
};

// First and last code of a character range.
int FirstCharOf(TSpaceTextCharRange range);
int LastCharOf(TSpaceTextCharRange range);

struct TSpaceTextMetrics {
    float Width = 0;   // sum of the advances
    float Lowest = 0;  // lowest ink below the baseline (<= 0)
    float Highest = 0; // highest ink above it (>= 0)
};

class TGLSpaceText : public TGLCustomSceneObject, private TFontManagerClient {
public:
    TGLSpaceText();
    // Releases the glyph set.
    ~TGLSpaceText() override;

    // Setters compare, store and notify: Text, AspectRatio, TextHeight, Oblique and Adjust mark
    // the object's list for recompilation; Font, Extrusion, AllowedDeviation and
    // CharacterRange also ask for a new glyph set at the next render.
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    void SetFontName(std::string_view name);
    void SetFontStyle(TFontStyles style);
    void SetFontHeight(int height);
    void SetFontSize(int points);
    void SetFontCharset(int charset);
    float Extrusion() const { return extrusion_; }
    void SetExtrusion(float extrusion);
    // Values <= 0 are stored as 0 (the glyph source's fine default).
    float AllowedDeviation() const { return allowedDeviation_; }
    void SetAllowedDeviation(float deviation);
    TSpaceTextCharRange CharacterRange() const { return characterRange_; }
    void SetCharacterRange(TSpaceTextCharRange range);
    float AspectRatio() const { return aspectRatio_; }
    void SetAspectRatio(float ratio);
    float TextHeight() const { return textHeight_; }
    void SetTextHeight(float height);
    float Oblique() const { return oblique_; }
    void SetOblique(float degrees);
    const TGLTextAdjust& Adjust() const { return adjust_; }
    void SetAdjust(const TGLTextAdjust& adjust);

    // The glyph set in use (none before the first render and after a glyph-relevant change).
    const TFontEntry* FontEntry() const { return entry_; }
    bool GlyphRebuildPending() const { return rebuild_; }

    // Width and vertical extremes of a Shift-JIS text (Text() when none is given) in em units,
    // from the glyph set's metrics; all 0 without a set. Characters outside the range, and
    // double-byte characters whose glyphs are not made yet, count for nothing.
    TSpaceTextMetrics TextMetrics(std::string_view text) const;
    TSpaceTextMetrics TextMetrics() const { return TextMetrics(text_); }

    // Acquires the glyph set when the text is not empty and a rebuild is due or the set has no
    // lists, makes the glyphs of its double-byte characters, then renders as every object does.
    // Throws EFontManagerError from glyph generation; the object is then left without a set and
    // tries again at the next render.
    void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                             bool renderChildren) override;
    // Records the glyph lists of the characters between the alignment and scaling transforms.
    void EmitGeometry(TRenderContextInfo& rci) override;
    // The context that holds the lists is going away (it is current): releases the glyph set
    // with the object's own list, so that the next render acquires one in the next context.
    void DestroyHandles() override;

private:
    void GlyphSetGone(TFontEntry& entry) override;
    void GlyphsChanged();
    void AcquireGlyphs();

    std::string text_;
    TFont font_;
    float extrusion_ = 0;
    float allowedDeviation_ = 0;
    TSpaceTextCharRange characterRange_ = stcrAll;
    float aspectRatio_ = 0;
    float textHeight_ = 0;
    float oblique_ = 0;
    TGLTextAdjust adjust_;
    TFontEntry* entry_ = nullptr;
    bool rebuild_ = true;
    bool releasing_ = false;
};

} // namespace hk
