// Shift-JIS <-> UTF-8 through glibc iconv ("CP932", the Windows variant of Shift-JIS).
#include "app/sjis.h"

#include <cerrno>
#include <iconv.h>

namespace hk {
namespace {

// Converts in with iconv. An input sequence that does not convert is written as replacement,
// and skip(remaining input) says how many bytes it covers. Without the converter (no CP932
// module installed) ASCII passes and every other byte becomes replacement.
template <class SkipFn>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, SkipFn skip) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : in)
            out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(replacement);
        return out;
    }
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): replace and step over it.
        out += replacement;
        std::size_t n = skip(std::string_view(src, srcLeft));
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

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
    return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", [](std::string_view) { return 1; });
}

std::string Utf8ToSjis(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, "?", Utf8SequenceLength);
}

} // namespace hk
