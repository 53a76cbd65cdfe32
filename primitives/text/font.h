// The font description of a 3D text (face name, style, height, character set) and the error
// raised when no glyph set can be made for it.
#pragma once

#include "engine/errors.h"

#include <cstdint>
#include <string>

namespace hk {

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// A set of TFontStyle bits.
using TFontStyles = std::uint8_t;

// Character sets as the data names them; 128 is Shift-JIS.
inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SHIFTJIS_CHARSET = 128;

// Glyphs are generated with the em height scaled to 1, so only the face name and the style
// choose the outlines; the height and character set are kept for the application. Captions are
// Shift-JIS whatever the character set says, and the face name is Shift-JIS bytes too.
struct TFont {
    std::string Name = "Arial";
    TFontStyles Style = 0;
    int Height = -11;
    int Charset = DEFAULT_CHARSET;

    // Point size at 96 pixels per inch: Height = -Size * 96 / 72, rounded.
    int Size() const;
    void SetSize(int points);

    bool operator==(const TFont&) const = default;
};

// Glyph generation failed: "FontManager: font creation failed" or "FontManager: no more display
// lists available", followed by what was being opened.
class EFontManagerError : public Exception {
public:
    using Exception::Exception;
};

} // namespace hk
