// Shift-JIS decoding through glibc's iconv (code page 932, the Windows variant that the data
// files are written in).
#include "primitives/text/code_page.h"

#include <cerrno>
#include <iconv.h>

namespace hk {
namespace {

// One iconv descriptor from CP932 to UTF-32LE for the whole run.
class Cp932Decoder {
public:
    Cp932Decoder() : cd_(iconv_open("UTF-32LE", "CP932")) {}
    ~Cp932Decoder() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;

    char32_t Decode(const char* bytes, std::size_t size) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return size == 1 && static_cast<unsigned char>(bytes[0]) < 0x80 ? bytes[0] : 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[2] = {bytes[0], size > 1 ? bytes[1] : '\0'};
        unsigned char out[8] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = size;
        std::size_t outLeft = sizeof(out);
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0 || outLeft != sizeof(out) - 4)
            return 0;
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

private:
    iconv_t cd_;
};

Cp932Decoder& Decoder() {
    static Cp932Decoder decoder;
    return decoder;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool IsShiftJisLeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsShiftJisTrailByte(std::uint8_t byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

char32_t ShiftJisToUnicode(std::uint16_t code) {
    if (code < 0x100) {
        if (IsShiftJisLeadByte(static_cast<std::uint8_t>(code)))
            return 0;
        const char byte = static_cast<char>(code);
        return Decoder().Decode(&byte, 1);
    }
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return Decoder().Decode(bytes, 2);
}

std::string ShiftJisToUtf8(std::string_view text) {
    std::string out;
    ForEachShiftJisCharacter(text, [&](std::uint16_t code) {
        if (const char32_t c = ShiftJisToUnicode(code); c != 0)
            AppendUtf8(out, c);
    });
    return out;
}

} // namespace hk
