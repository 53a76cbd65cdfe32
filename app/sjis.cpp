// Shift-JIS <-> UTF-8 through glibc iconv ("CP932", the Windows variant of Shift-JIS).
#include "app/sjis.h"
#include "primitives/text/code_page.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace hk {
namespace {

// One conversion direction, opened on first use and kept for the thread's lifetime (opening
// a converter is far dearer than a short conversion, and the grids convert many short texts).
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in. An input sequence that does not convert is written as replacement, and
    // skip(remaining input) says how many bytes it covers. Without the converter (no CP932
    // module installed) ASCII passes and every other byte becomes replacement.
    template <class SkipFn>
    std::string Run(std::string_view in, std::string_view replacement, SkipFn skip) {
        std::string out;
        if (!Valid()) {
            for (unsigned char c : in)
                out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(replacement);
            return out;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG)
                continue;
            // EILSEQ, or EINVAL for a sequence cut off at the end: replace and step over it.
            out += replacement;
            std::size_t n = skip(std::string_view(src, srcLeft));
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t cd_;
};

// Length of the UTF-8 sequence at the start of text (1 for a byte that starts none).
std::size_t Utf8SequenceLength(std::string_view text) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    std::size_t i = 1;
    while (i < n && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Run(sjis, "\xEF\xBF\xBD", [](std::string_view) { return 1; });
}

std::string Utf8ToSjis(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Run(utf8, "?", Utf8SequenceLength);
}

std::string PrintableExcerpt(std::string_view sjis, std::size_t maxBytes) {
    std::size_t keep = 0;
    while (keep < sjis.size()) {
        std::size_t n = IsShiftJisLeadByte(static_cast<std::uint8_t>(sjis[keep])) ? 2 : 1;
        if (keep + n > maxBytes)
            break;
        keep += n;
    }
    keep = std::min(keep, sjis.size());
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : sjis.substr(0, keep)) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += c;
        }
    }
    if (keep < sjis.size())
        out += "...";
    return out;
}

std::string Utf8Excerpt(std::string_view sjis, std::size_t maxBytes) {
    return SjisToUtf8(PrintableExcerpt(sjis, maxBytes));
}

} // namespace hk
