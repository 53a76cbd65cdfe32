// Fixed-capacity text fields of the item tables: at most N bytes of Shift-JIS text. Storing a
// longer value keeps its first N bytes, which may cut a double-byte character in half; the
// conversion to UTF-8 (sjis.h) tolerates such a dangling lead byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hk {

template <std::size_t N> class ShortString {
public:
    static constexpr std::size_t Capacity = N;

    ShortString() = default;
    ShortString(std::string_view text) : text_(Cut(text)) {}
    ShortString(const std::string& text) : text_(Cut(text)) {}
    ShortString(const char* text) : text_(Cut(text)) {}

    // The stored bytes (at most N).
    const std::string& str() const { return text_; }
    operator std::string_view() const { return text_; }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }

    // The first N bytes of text: what storing it keeps.
    static std::string_view Cut(std::string_view text) { return text.substr(0, N); }

    friend bool operator==(const ShortString& a, const ShortString& b) {
        return a.text_ == b.text_;
    }
    friend bool operator==(const ShortString& a, std::string_view b) { return a.text_ == b; }
    friend bool operator==(const ShortString& a, const std::string& b) { return a.text_ == b; }
    friend bool operator==(const ShortString& a, const char* b) { return a.text_ == b; }

private:
    std::string text_;
};

using String20 = ShortString<20>;
using String40 = ShortString<40>;

} // namespace hk
