// The field helpers of the data-file loader: splitting a line at its commas, trimming names and
// converting decimal and integer columns, and the error of a data file they raise.
#include "app/data_file.h"
#include "app/data_file_reader.h"

#include "app/sjis.h"
#include "app/text_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace hk {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

EDataFileError::EDataFileError(std::string_view head, std::string fileName, int lineNo,
                               std::string_view tail)
    : Exception(std::string(head) + FileLinePlace(fileName, lineNo) + std::string(tail)),
      fileName_(std::move(fileName)), lineNo_(lineNo), headSize_(head.size()) {}

std::string EDataFileError::Utf8Text() const {
    const std::string_view text = what();
    return SjisToUtf8(text.substr(0, headSize_)) + std::string(text.substr(headSize_));
}

namespace detail {

std::string NotAFloatHead(std::string_view text) {
    return "'" + PrintableExcerpt(text) + "' is not a valid floating point value\n";
}

std::string OutOfRangeHead(std::string_view text) {
    return "'" + PrintableExcerpt(text) + "' is out of range\n";
}

} // namespace detail

std::string_view SplitField(std::string_view& rest) {
    std::size_t comma = rest.find(',');
    std::string_view field = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    return field;
}

std::string_view TrimName(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool TryParseFloat(std::string_view text, double& value) {
    text = TrimName(text);
    if (text.empty())
        return false;
    std::string_view digits = text;
    if (digits.front() == '+')
        digits.remove_prefix(1);
    std::string_view unsignedPart = digits;
    if (!unsignedPart.empty() && unsignedPart.front() == '-')
        unsignedPart.remove_prefix(1);
    // Only plain decimal notation: no infinities, NaNs or hexadecimal.
    if (unsignedPart.empty() ||
        !(std::isdigit(static_cast<unsigned char>(unsignedPart[0])) || unsignedPart[0] == '.'))
        return false;
    double v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v,
                                     std::chars_format::general);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return false;
    value = v;
    return true;
}

bool TryParseInt(std::string_view text, int& value) {
    text = TrimName(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return false;
    }
    if (text.empty())
        return false;
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

int ParseIntDef(std::string_view text, int fallback) {
    int v = fallback;
    return TryParseInt(text, v) ? v : fallback;
}

double SplitFloat(std::string_view& rest, const std::string& fileName, int lineNo) {
    std::string_view field = SplitField(rest);
    if (TrimName(field).empty())
        return 0;
    double v = 0;
    if (!TryParseFloat(field, v))
        throw EConvertError(detail::NotAFloatHead(field), fileName, lineNo);
    return v;
}

double Min3(double a, double b, double c) {
    return std::min(a, std::min(b, c));
}
double Max3(double a, double b, double c) {
    return std::max(a, std::max(b, c));
}

} // namespace hk
