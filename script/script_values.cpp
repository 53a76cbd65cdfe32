// The text rules of the material script. Positions follow the script's own convention: the
// cuts are defined on 1-based character positions, where 0 means "not found".
#include "script/script_values.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>

namespace hk {
namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 1-based position of the first c in s, 0 when absent.
long Pos(char c, std::string_view s) {
    const auto at = s.find(c);
    return at == std::string_view::npos ? 0 : long(at) + 1;
}

// count characters from the 1-based index; an index before the start counts from the start,
// a count that is not positive or an index past the end gives nothing.
std::string_view Copy(std::string_view s, long index, long count) {
    if (index < 1)
        index = 1;
    if (count <= 0 || index > long(s.size()))
        return {};
    const auto from = std::size_t(index - 1);
    return s.substr(from, std::min<std::size_t>(std::size_t(count), s.size() - from));
}

// Removes everything up to and including the first c (nothing when there is none).
std::string_view DeleteThrough(char c, std::string_view s) {
    return s.substr(std::size_t(Pos(c, s)));
}

// The cut shared by colours, coordinates and vectors: the first number after "(", then
// count - 2 numbers ended by ";", then the last ended by ")".
template <std::size_t N> bool CutNumbers(std::string_view value, std::array<float, N>& c) {
    const long open = Pos('(', value);
    if (open == 0)
        return false;
    std::array<float, N> parts{};
    parts[0] = ScriptNumber(Copy(value, open + 1, Pos(';', value) - 2));
    std::string_view rest = value;
    for (std::size_t i = 1; i + 1 < N; ++i) {
        rest = DeleteThrough(';', rest);
        parts[i] = ScriptNumber(Copy(rest, 1, Pos(';', rest) - 1));
    }
    rest = DeleteThrough(';', rest);
    parts[N - 1] = ScriptNumber(Copy(rest, 1, Pos(')', rest) - 1));
    c = parts;
    return true;
}

} // namespace

std::string UpperCaseAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = UpperAscii(c);
    return upper;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

bool ContainsText(std::string_view text, std::string_view key) {
    return UpperCaseAscii(text).find(UpperCaseAscii(key)) != std::string::npos;
}

bool IsStatement(std::string_view line, std::string_view keyword) {
    if (keyword.empty())
        return false;
    const std::string upper = UpperCaseAscii(line);
    const std::string key = UpperCaseAscii(keyword);
    const auto keyAt = upper.find(key);
    const auto equalsAt = upper.find('=');
    if (keyAt == std::string::npos || equalsAt == std::string::npos || keyAt > equalsAt)
        return false;
    const auto start = upper.find_first_not_of(' ');
    if (start == std::string::npos || upper.compare(start, key.size(), key) != 0)
        return false;
    const auto after = start + key.size();
    return after < upper.size() && (upper[after] == ' ' || upper[after] == '=');
}

std::string_view StatementValue(std::string_view line) {
    const auto equalsAt = line.find('=');
    return equalsAt == std::string_view::npos ? std::string_view{} : line.substr(equalsAt + 1);
}

bool TryParseScriptNumber(std::string_view text, float& value) {
    // The accepted text is rebuilt as "[-]digits[.digits][e[sign]digits]" for from_chars, so
    // neither the comma separator nor the process locale matter.
    std::string plain;
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool signSeen = false;
    bool nonZeroSeen = false;
    bool separatorSeen = false;
    bool digitSeen = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == ' ' && !nonZeroSeen)
            continue;
        if ((c == '+' || c == '-') && !signSeen && !digitSeen && !separatorSeen) {
            signSeen = true;
            if (c == '-')
                plain += '-';
        } else if (IsDigit(c)) {
            digitSeen = true;
            nonZeroSeen = nonZeroSeen || c != '0';
            plain += c;
        } else if ((c == '.' || c == ',') && !separatorSeen) {
            separatorSeen = true;
            nonZeroSeen = true; // spaces after the separator are no longer skipped
            plain += '.';
        } else {
            break;
        }
    }
    if (!digitSeen)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        const std::size_t digitsFrom = i;
        while (i < n && IsDigit(text[i]))
            plain += text[i++];
        if (i == digitsFrom)
            return false;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return false;
    double parsed = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(parsed) ||
        std::fabs(parsed) > FLT_MAX)
        return false;
    value = float(parsed);
    return true;
}

float ScriptNumber(std::string_view text) {
    float value = 0;
    return TryParseScriptNumber(text, value) ? value : 0.0f;
}

bool TryParseScriptInteger(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX)
        return false;
    value = int(signedValue);
    return true;
}

bool CutFourNumbers(std::string_view value, std::array<float, 4>& c) {
    return CutNumbers(value, c);
}

bool CutThreeNumbers(std::string_view value, std::array<float, 3>& c) {
    return CutNumbers(value, c);
}

void CutOptionPair(std::string_view value, std::string& a, std::string& b) {
    const long comma = Pos(',', value);
    a = std::string(Copy(value, 2, comma - 2));
    b = std::string(Copy(value, comma + 1, Pos(']', value) - comma - 1));
}

} // namespace hk
