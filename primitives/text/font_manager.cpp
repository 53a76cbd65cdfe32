#include "primitives/text/font_manager.h"

#include "primitives/text/code_page.h"

#include <GL/gl.h>
#include <algorithm>

namespace hk {
namespace {

bool SameFace(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Compiles one glyph into `list` and returns its metrics.
TGlyphMetrics CompileGlyph(TGlyphSource& source, char32_t character, unsigned list, float deviation,
                           float extrusion) {
    const TGlyphGeometry glyph = source.Glyph(character, deviation);
    glNewList(list, GL_COMPILE);
    EmitGlyph(glyph, extrusion);
    glEndList();
    return glyph.Metrics;
}

} // namespace

const TGlyphMetrics* TFontEntry::SingleByteMetrics(int code) const {
    if (code < FirstChar || code > LastChar)
        return nullptr;
    return &GlyphMetrics[std::size_t(code - FirstChar)];
}

const TDoubleByteGlyph* TFontEntry::DoubleByteGlyph(std::uint16_t code) const {
    const auto it = doubleByte_.find(code);
    return it == doubleByte_.end() ? nullptr : &it->second;
}

TFontManager& TFontManager::Instance() {
    static TFontManager manager;
    return manager;
}

TFontManager::~TFontManager() {
    while (!entries_.empty()) {
        TFontEntry& entry = *entries_.back();
        Free(entry);
        const auto clients = entry.Clients;
        entry.Clients.clear();
        for (TFontManagerClient* c : clients)
            c->GlyphSetGone(entry);
        entries_.pop_back();
    }
}

TFontEntry* TFontManager::Acquire(std::string_view faceName, TFontStyles style,
                                  TFontManagerClient* client, int first, int last, float deviation,
                                  float extrusion) {
    first = std::clamp(first, 0, 255);
    last = std::clamp(last, first, 255);
    TFontEntry* entry = nullptr;
    for (const auto& e : entries_) {
        if (SameFace(e->FaceName, faceName) && e->Styles == style && e->Extrusion == extrusion &&
            e->AllowedDeviation == deviation && e->FirstChar == first && e->LastChar == last) {
            entry = e.get();
            break;
        }
    }
    bool fresh = false;
    if (entry) {
        ++entry->UserCount;
    } else {
        auto made = std::make_unique<TFontEntry>();
        made->FaceName = std::string(faceName);
        made->Styles = style;
        made->Extrusion = extrusion;
        made->AllowedDeviation = deviation;
        made->FirstChar = first;
        made->LastChar = last;
        entry = made.get();
        entries_.push_back(std::move(made));
        fresh = true;
    }
    const bool listed = client && std::find(entry->Clients.begin(), entry->Clients.end(), client) !=
                                      entry->Clients.end();
    if (client && !listed)
        entry->Clients.push_back(client);
    if (fresh || entry->ListBase == 0) {
        try {
            Generate(*entry);
        } catch (...) {
            if (client && !listed)
                std::erase(entry->Clients, client);
            if (--entry->UserCount == 0)
                Remove(entry);
            throw;
        }
    }
    return entry;
}

void TFontManager::Release(TFontEntry* entry, TFontManagerClient* client) {
    if (!entry)
        return;
    --entry->UserCount;
    if (client) {
        std::erase(entry->Clients, client);
        client->GlyphSetGone(*entry);
    }
    if (entry->UserCount <= 0) {
        Free(*entry);
        const auto clients = entry->Clients;
        entry->Clients.clear();
        for (TFontManagerClient* c : clients)
            c->GlyphSetGone(*entry);
        Remove(entry);
    }
}

void TFontManager::PrepareDoubleByteGlyphs(TFontEntry& entry, std::string_view text) {
    if (!entry.source_)
        return;
    ForEachShiftJisCharacter(text, [&](std::uint16_t code) {
        if (code < 0x100 || entry.doubleByte_.contains(code))
            return;
        TDoubleByteGlyph glyph;
        glyph.List = glGenLists(1);
        if (glyph.List == 0)
            throw EFontManagerError("FontManager: no more display lists available");
        glyph.Metrics = CompileGlyph(*entry.source_, ShiftJisToUnicode(code), glyph.List,
                                     entry.AllowedDeviation, entry.Extrusion);
        entry.doubleByte_.emplace(code, glyph);
    });
}

void TFontManager::Generate(TFontEntry& entry) {
    if (!entry.source_)
        entry.source_ = std::make_unique<TGlyphSource>(entry.FaceName, entry.Styles);
    const int count = entry.LastChar - entry.FirstChar + 1;
    const unsigned base = glGenLists(count);
    if (base == 0)
        throw EFontManagerError("FontManager: no more display lists available (face \"" +
                                entry.source_->FamilyName() + "\")");
    entry.ListBase = base;
    for (int i = 0; i < count; ++i)
        entry.GlyphMetrics[std::size_t(i)] =
            CompileGlyph(*entry.source_, ShiftJisToUnicode(std::uint16_t(entry.FirstChar + i)),
                         base + unsigned(i), entry.AllowedDeviation, entry.Extrusion);
}

void TFontManager::Free(TFontEntry& entry) {
    if (entry.ListBase != 0)
        glDeleteLists(entry.ListBase, entry.LastChar - entry.FirstChar + 1);
    entry.ListBase = 0;
    for (const auto& [code, glyph] : entry.doubleByte_)
        glDeleteLists(glyph.List, 1);
    entry.doubleByte_.clear();
}

void TFontManager::Remove(TFontEntry* entry) {
    std::erase_if(entries_, [entry](const auto& e) { return e.get() == entry; });
}

} // namespace hk
