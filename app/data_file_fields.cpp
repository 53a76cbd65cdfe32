// The field helpers of the data-file loader: splitting a line at its commas, trimming names and
// converting decimal and integer columns.
#include "app/data_file.h"
#include "app/data_file_reader.h"

#include "app/sjis.h"
#include "app/text_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace hk {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

namespace detail {

std::string NotAFloatMessage(std::string_view text, const std::string& fileName, int lineNo) {
    return "'" + PrintableExcerpt(text) + "' is not a valid floating point value\n" +
           FileLinePlace(fileName, lineNo);
}

std::string OutOfRangeMessage(std::string_view text, const std::string& fileName, int lineNo) {
    return "'" + PrintableExcerpt(text) + "' is out of range\n" + FileLinePlace(fileName, lineNo);
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
        throw EConvertError(detail::NotAFloatMessage(field, fileName, lineNo), fileName, lineNo);
    return v;
}

double Min3(double a, double b, double c) {
    return std::min(a, std::min(b, c));
}
double Max3(double a, double b, double c) {
    return std::max(a, std::max(b, c));
}

} // namespace hk
