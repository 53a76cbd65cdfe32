#include "primitives/text/space_text.h"

#include "primitives/text/code_page.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

namespace hk {

int FirstCharOf(TSpaceTextCharRange range) {
    switch (range) {
    case stcrAlphaNum:
        return 32;
    case stcrNumbers:
        return 48;
    case stcrAll:
        break;
    }
    return 0;
}

int LastCharOf(TSpaceTextCharRange range) {
    switch (range) {
    case stcrAlphaNum:
        return 127;
    case stcrNumbers:
        return 57;
    case stcrAll:
        break;
    }
    return 255;
}

TGLSpaceText::TGLSpaceText() = default;

TGLSpaceText::~TGLSpaceText() {
    if (entry_) {
        releasing_ = true;
        TFontManager::Instance().Release(entry_, this);
    }
}

void TGLSpaceText::SetText(std::string_view text) {
    if (text_ == text)
        return;
    text_ = std::string(text);
    StructureChanged();
}

void TGLSpaceText::SetFont(const TFont& font) {
    if (font_ == font)
        return;
    font_ = font;
    GlyphsChanged();
}

void TGLSpaceText::SetFontName(std::string_view name) {
    TFont f = font_;
    f.Name = std::string(name);
    SetFont(f);
}

void TGLSpaceText::SetFontStyle(TFontStyles style) {
    TFont f = font_;
    f.Style = style;
    SetFont(f);
}

void TGLSpaceText::SetFontHeight(int height) {
    TFont f = font_;
    f.Height = height;
    SetFont(f);
}

void TGLSpaceText::SetFontSize(int points) {
    TFont f = font_;
    f.SetSize(points);
    SetFont(f);
}

void TGLSpaceText::SetFontCharset(int charset) {
    TFont f = font_;
    f.Charset = charset;
    SetFont(f);
}

void TGLSpaceText::SetExtrusion(float extrusion) {
    if (extrusion_ == extrusion)
        return;
    extrusion_ = extrusion;
    GlyphsChanged();
}

void TGLSpaceText::SetAllowedDeviation(float deviation) {
    deviation = deviation > 0 ? deviation : 0;
    if (allowedDeviation_ == deviation)
        return;
    allowedDeviation_ = deviation;
    GlyphsChanged();
}

void TGLSpaceText::SetCharacterRange(TSpaceTextCharRange range) {
    if (characterRange_ == range)
        return;
    characterRange_ = range;
    GlyphsChanged();
}

void TGLSpaceText::SetAspectRatio(float ratio) {
    if (aspectRatio_ == ratio)
        return;
    aspectRatio_ = ratio;
    StructureChanged();
}

void TGLSpaceText::SetTextHeight(float height) {
    if (textHeight_ == height)
        return;
    textHeight_ = height;
    StructureChanged();
}

void TGLSpaceText::SetOblique(float degrees) {
    if (oblique_ == degrees)
        return;
    oblique_ = degrees;
    StructureChanged();
}

void TGLSpaceText::SetAdjust(const TGLTextAdjust& adjust) {
    if (adjust_ == adjust)
        return;
    adjust_ = adjust;
    StructureChanged();
}

void TGLSpaceText::GlyphsChanged() {
    rebuild_ = true;
    StructureChanged();
}

void TGLSpaceText::GlyphSetGone(TFontEntry& entry) {
    if (entry_ != &entry)
        return;
    entry_ = nullptr;
    rebuild_ = true;
    // The list calls glyph lists that are gone; it is compiled anew with the next set. When
    // this object lets go itself, the change that made it do so has marked the list already.
    if (!releasing_)
        StructureChanged();
}

void TGLSpaceText::DestroyHandles() {
    if (entry_) {
        // The last user of the set deletes its lists now, while their context is current.
        releasing_ = true;
        TFontManager::Instance().Release(entry_, this);
        releasing_ = false;
        entry_ = nullptr;
        rebuild_ = true;
    }
    TGLCustomSceneObject::DestroyHandles();
}

void TGLSpaceText::AcquireGlyphs() {
    TFontManager& manager = TFontManager::Instance();
    releasing_ = true;
    manager.Release(entry_, this);
    releasing_ = false;
    entry_ = nullptr;
    rebuild_ = true;
    entry_ = manager.Acquire(font_.Name, font_.Style, this, FirstCharOf(characterRange_),
                             LastCharOf(characterRange_), allowedDeviation_, extrusion_);
    rebuild_ = false;
}

void TGLSpaceText::DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf,
                                       bool renderChildren) {
    if (renderSelf && !text_.empty()) {
        if (rebuild_ || !entry_ || entry_->ListBase == 0)
            AcquireGlyphs();
        TFontManager::Instance().PrepareDoubleByteGlyphs(*entry_, text_);
    }
    TGLCustomSceneObject::DrawSelfAndChildren(rci, renderSelf, renderChildren);
}

TSpaceTextMetrics TGLSpaceText::TextMetrics(std::string_view text) const {
    TSpaceTextMetrics m;
    if (!entry_)
        return m;
    ForEachShiftJisCharacter(text, [&](std::uint16_t code) {
        const TGlyphMetrics* g = nullptr;
        if (code < 0x100) {
            g = entry_->SingleByteMetrics(code);
        } else if (const TDoubleByteGlyph* d = entry_->DoubleByteGlyph(code)) {
            g = &d->Metrics;
        }
        if (!g)
            return;
        m.Width += g->CellIncX;
        m.Highest = std::max(m.Highest, g->OriginY);
        m.Lowest = std::min(m.Lowest, g->OriginY - g->BlackBoxY);
    });
    return m;
}

void TGLSpaceText::EmitGeometry(TRenderContextInfo&) {
    if (text_.empty() || !entry_)
        return;
    glPushMatrix();
    if (aspectRatio_ != 0)
        glScalef(aspectRatio_, 1, 1);
    if (oblique_ != 0)
        glRotatef(oblique_, 0, 0, 1);
    if (adjust_.Horz != haLeft || adjust_.Vert != vaBaseLine || textHeight_ != 0) {
        const TSpaceTextMetrics m = TextMetrics();
        // A text without ink above the baseline cannot be fitted to a height.
        if (textHeight_ != 0 && m.Highest > 0) {
            const float s = textHeight_ / m.Highest;
            glScalef(s, s, 1);
        }
        if (adjust_.Horz == haCenter)
            glTranslatef(-m.Width / 2, 0, 0);
        else if (adjust_.Horz == haRight)
            glTranslatef(-m.Width, 0, 0);
        switch (adjust_.Vert) {
        case vaTop:
            glTranslatef(0, -m.Highest, 0);
            break;
        case vaCenter:
            glTranslatef(0, std::fabs(m.Lowest) / 2 - m.Highest / 2, 0);
            break;
        case vaBottom:
            glTranslatef(0, std::fabs(m.Lowest), 0);
            break;
        case vaBaseLine:
            break;
        }
    }
    glPushAttrib(GL_POLYGON_BIT);
    ForEachShiftJisCharacter(text_, [&](std::uint16_t code) {
        if (code < 0x100) {
            if (entry_->SingleByteMetrics(code) && entry_->ListBase != 0)
                glCallList(entry_->ListBase + unsigned(code - entry_->FirstChar));
        } else if (const TDoubleByteGlyph* d = entry_->DoubleByteGlyph(code)) {
            glCallList(d->List);
        }
    });
    glPopAttrib();
    glPopMatrix();
}

} // namespace hk
