// TFontManager: the process-wide store of glyph sets, one per face, style, extrusion, deviation
// and character range, shared by every text that uses the same configuration and counted by its
// users. A glyph set holds one display list per single-byte code of its range and, made on
// demand, one per Shift-JIS double-byte character its texts show.
#pragma once

#include "primitives/text/font.h"
#include "primitives/text/glyph_source.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

class TFontEntry;

// A user of glyph sets; told when the set it uses goes away.
class TFontManagerClient {
public:
    // The set is gone (its lists are deleted or about to be): forget it and rebuild on the next
    // render.
    virtual void GlyphSetGone(TFontEntry& entry) = 0;

protected:
    ~TFontManagerClient() = default;
};

struct TDoubleByteGlyph {
    unsigned List = 0;
    TGlyphMetrics Metrics;
};

class TFontEntry {
public:
    std::string FaceName;
    TFontStyles Styles = 0;
    float Extrusion = 0;
    float AllowedDeviation = 0;
    int FirstChar = 0;
    int LastChar = 0;
    int UserCount = 1;
    // Base of LastChar - FirstChar + 1 consecutive lists; 0 while not generated.
    unsigned ListBase = 0;
    std::array<TGlyphMetrics, 256> GlyphMetrics{};
    std::vector<TFontManagerClient*> Clients;

    // The metrics of a single-byte code; none outside the range.
    const TGlyphMetrics* SingleByteMetrics(int code) const;
    // The list and metrics of a double-byte character; none until generated.
    const TDoubleByteGlyph* DoubleByteGlyph(std::uint16_t code) const;

private:
    friend class TFontManager;
    std::unique_ptr<TGlyphSource> source_;
    std::map<std::uint16_t, TDoubleByteGlyph> doubleByte_;
};

class TFontManager {
public:
    // The one manager, created on first use and destroyed at program exit, when every set's
    // lists are freed and its clients told.
    static TFontManager& Instance();

    TFontManager() = default;
    ~TFontManager();
    TFontManager(const TFontManager&) = delete;
    TFontManager& operator=(const TFontManager&) = delete;

    // The set for this configuration (face names compared without regard to case), its user
    // count raised and the client listed; glyphs are generated when the set is new or has no
    // lists (a context must be current). Throws EFontManagerError with "FontManager: font
    // creation failed" or "FontManager: no more display lists available"; the count raised for
    // this call is taken back then, and a set left without users is removed.
    TFontEntry* Acquire(std::string_view faceName, TFontStyles style, TFontManagerClient* client,
                        int first, int last, float deviation, float extrusion);
    // Lowers the user count; the client (when given) is told and unlisted. At count 0 the lists
    // are deleted, the remaining clients told and the set removed. Nothing for none.
    void Release(TFontEntry* entry, TFontManagerClient* client);
    // Generates the lists of the double-byte characters of a Shift-JIS text that the set lacks.
    // Call outside list compilation, with the context current.
    void PrepareDoubleByteGlyphs(TFontEntry& entry, std::string_view text);

    int Count() const { return static_cast<int>(entries_.size()); }
    const TFontEntry* Entry(int i) const { return entries_[std::size_t(i)].get(); }

private:
    void Generate(TFontEntry& entry);
    void Free(TFontEntry& entry);
    void Remove(TFontEntry* entry);

    std::vector<std::unique_ptr<TFontEntry>> entries_;
};

} // namespace hk
