// Whole-file reads split into lines, and the UTF-8 test of their text.
#include "app/text_file.h"

#include "app/sjis.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

namespace hk {
namespace {

constexpr std::string_view cUtf8Mark = "\xEF\xBB\xBF";

// The length of the well-formed UTF-8 sequence at the start of text (no overlong forms, no
// surrogates, nothing above U+10FFFF), 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

// True when every line is well-formed UTF-8 and one of them holds a multi-byte sequence.
bool IsUtf8Text(const std::vector<std::string>& lines) {
    bool multiByte = false;
    for (std::string_view line : lines) {
        while (!line.empty()) {
            const std::size_t n = Utf8SequenceLength(line);
            if (n == 0)
                return false;
            multiByte = multiByte || n > 1;
            line.remove_prefix(n);
        }
    }
    return multiByte;
}

} // namespace

std::string FileLinePlace(const std::string& fileName, int lineNo) {
    return fileName + ": line " + std::to_string(lineNo);
}

bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines) {
    lines.clear();
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    // Read in one block of the file's size, and the lines into a list sized by counting them:
    // chains of doubling buffers would leave their freed links scattered through the heap on
    // every reload. The size is a hint only; a file that changes meanwhile is read to its end.
    std::string content;
    const auto size = std::filesystem::file_size(fileName, ec);
    if (!ec && size > 0) {
        content.resize(static_cast<std::size_t>(size));
        in.read(content.data(), static_cast<std::streamsize>(size));
        content.resize(static_cast<std::size_t>(in.gcount()));
        in.clear(in.rdstate() & std::ios::badbit);
    }
    content.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    lines.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        char c = content[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.emplace_back(content, start, i - start);
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.emplace_back(content, start);
    return true;
}

TTextEncoding ToShiftJisLines(std::vector<std::string>& lines) {
    TTextEncoding encoding = TTextEncoding::teShiftJis;
    if (!lines.empty() && lines[0].starts_with(cUtf8Mark)) {
        lines[0].erase(0, cUtf8Mark.size());
        encoding = TTextEncoding::teUtf8WithMark;
    } else if (IsUtf8Text(lines)) {
        encoding = TTextEncoding::teUtf8;
    } else {
        return encoding;
    }
    for (std::string& line : lines)
        line = Utf8ToSjis(line);
    return encoding;
}

} // namespace hk
