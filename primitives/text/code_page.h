// Decoding of the Shift-JIS (code page 932) bytes that every caption and font name of the
// viewer is held in: character boundaries for the glyph lists, and Unicode for the glyph source.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hk {

// True for the first byte of a double-byte character (0x81-0x9F and 0xE0-0xFC).
bool IsShiftJisLeadByte(std::uint8_t byte);

// True for a byte that may follow a lead byte (0x40-0x7E and 0x80-0xFC).
bool IsShiftJisTrailByte(std::uint8_t byte);

// The Unicode code point of one Shift-JIS character: a single byte (code < 256) or a
// double-byte character (lead byte × 256 + trail byte). 0 when the code stands for no character.
char32_t ShiftJisToUnicode(std::uint16_t code);

// UTF-8 for a Shift-JIS string; bytes that do not decode are dropped.
std::string ShiftJisToUtf8(std::string_view text);

// The characters of a Shift-JIS string in order: single bytes as their value, double-byte
// characters as lead × 256 + trail. A lead byte at the end of the text, or one whose next byte
// cannot follow it, counts as a single byte.
template <class Visit> void ForEachShiftJisCharacter(std::string_view text, Visit&& visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (IsShiftJisLeadByte(b) && i + 1 < text.size() &&
            IsShiftJisTrailByte(static_cast<std::uint8_t>(text[i + 1]))) {
            visit(static_cast<std::uint16_t>(b << 8 | static_cast<std::uint8_t>(text[i + 1])));
            ++i;
        } else {
            visit(static_cast<std::uint16_t>(b));
        }
    }
}

} // namespace hk
