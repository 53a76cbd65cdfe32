// The text rules of the material script: keyword tests on a line, the value after "=", the
// number parser, and the cutting of colour, coordinate, vector and option values out of a
// value. Lines are raw bytes (Shift-JIS); case is ignored for ASCII letters only.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace hk {

// ASCII upper-casing of every byte; other bytes are kept.
std::string UpperCaseAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);
// The text, upper-cased, contains key upper-cased.
bool ContainsText(std::string_view text, std::string_view key);

// A statement line for keyword: it contains keyword (ignoring case) and "=", the first
// occurrence of keyword lies before the first "=", and the line without its leading spaces
// starts with keyword followed by a space or "=".
bool IsStatement(std::string_view line, std::string_view keyword);
// Everything after the first "=" up to the end of the line, unchanged; empty without "=".
std::string_view StatementValue(std::string_view line);

// The engine's number parser: spaces are skipped until the first non-zero digit, "+" or "-"
// only in front, one "." or "," as decimal separator, an optional exponent "e"/"E" with an
// optional sign, trailing spaces. Returns false for anything else (value unchanged).
bool TryParseScriptNumber(std::string_view text, float& value);
// The same with 0 for an invalid number.
float ScriptNumber(std::string_view text);

// The runtime's integer conversion: leading spaces, an optional sign, decimal digits, within
// 32 bits. Returns false for anything else (value unchanged).
bool TryParseScriptInteger(std::string_view text, int& value);

// Four numbers "(c1;c2;c3;c4)". c1 starts right after the first "(" and is as long as the
// position of the first ";" less two, so "(" has to open the value for c1 to be read; c2 and
// c3 run to the next ";" once everything up to the previous ";" is gone; c4 runs to ")".
// Invalid parts are 0. Returns false, leaving c unchanged, when the value has no "(".
bool CutFourNumbers(std::string_view value, std::array<float, 4>& c);
// Three numbers "(c1;c2;c3)" cut the same way.
bool CutThreeNumbers(std::string_view value, std::array<float, 3>& c);

// The two parts of "[a,b]": a from the second character up to the first ",", b from there up
// to the first "]".
void CutOptionPair(std::string_view value, std::string& a, std::string& b);

// One name of an enumeration the script can set.
template <class E> struct TScriptEnumName {
    std::string_view name;
    E value;
};

// Sets value to the listed entry whose name equals text ignoring case; true when one did.
// A text that matches no name leaves value unchanged.
template <class E, std::size_t N>
bool MatchEnumeration(std::string_view text, const TScriptEnumName<E> (&names)[N], E& value) {
    for (const auto& entry : names) {
        if (SameTextAscii(entry.name, text)) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

} // namespace hk
