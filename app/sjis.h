// Conversion between the Shift-JIS text of data, settings and captions (code page 932) and the
// UTF-8 of the window toolkit and the terminal. A text is converted once, where it leaves for
// the window, stdout or stderr, or where it is quoted in a notice or an error text (UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hk {

// Converts Shift-JIS bytes to UTF-8. Bytes that do not form a Shift-JIS character (a lead byte
// cut off at the end of a short string, a stray trail byte) become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);

// Converts UTF-8 to Shift-JIS. Characters that Shift-JIS cannot hold, and malformed UTF-8,
// become "?"; never fails.
std::string Utf8ToSjis(std::string_view utf8);

// Shift-JIS text as a message quotes it: at most maxBytes bytes, cut between characters and
// followed by "..." when cut; control bytes written as \xNN, so nothing unprintable reaches a
// message box.
std::string PrintableExcerpt(std::string_view sjis, std::size_t maxBytes = 60);

// PrintableExcerpt converted to UTF-8, as a notice or an error text quotes Shift-JIS text.
std::string Utf8Excerpt(std::string_view sjis, std::size_t maxBytes = 60);

} // namespace hk
