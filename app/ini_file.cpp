// The settings file: parsed into lines that remember what they are, so that writing a key
// changes only that key's line and everything else goes back to disk as it was read.
#include "app/ini_file.h"

#include "app/data_file.h"
#include "app/sjis.h"
#include "app/text_file.h"
#include "primitives/text/code_page.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace hk {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A value as the profile functions return it: trimmed, and one pair of surrounding quotes
// removed.
std::string ProfileValue(std::string_view raw) {
    std::string_view v = TrimName(raw);
    if (v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// A name as SameName compares it: ASCII letters in lower case, double-byte characters as they
// are.
std::string FoldedName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsShiftJisLeadByte(static_cast<std::uint8_t>(out[i])))
            ++i;
        else
            out[i] = AsciiLower(out[i]);
    }
    return out;
}

// Compares names without regard to ASCII case; the second byte of a Shift-JIS character is
// compared as it is, since it may fall in the range of ASCII letters.
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldedName(a) == FoldedName(b);
}

} // namespace

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec))
        return;
    std::vector<std::string> raw;
    if (!ReadTextLines(path_.string(), raw))
        throw EIniFileError("Cannot read the settings file " + path_.string());
    for (std::string& text : raw) {
        Line line;
        std::string_view t = TrimName(text);
        if (!t.empty() && t.front() == '[') {
            std::size_t close = t.find(']');
            line.section = std::string(TrimName(t.substr(1, close == t.npos ? t.npos : close - 1)));
            line.isHeader = true;
        } else if (!t.empty() && t.front() != ';') {
            std::size_t eq = t.find('=');
            if (eq != t.npos && !TrimName(t.substr(0, eq)).empty()) {
                line.key = std::string(TrimName(t.substr(0, eq)));
                line.value = ProfileValue(t.substr(eq + 1));
            }
        }
        line.text = std::move(text);
        lines_.push_back(std::move(line));
    }
    NoteIgnoredLines();
}

void TIniFile::NoteIgnoredLines() {
    std::unordered_map<std::string, std::size_t> sections; // folded name -> first header
    std::unordered_map<std::string, std::size_t> keys;     // of the current section
    bool inSection = false, repeatedSection = false;
    std::string section;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.isHeader) {
            std::string_view t = TrimName(line.text);
            std::size_t close = t.find(']');
            if (close == t.npos)
                notices_.push_back(FileLinePlace(path_.string(), int(i) + 1) +
                                   ": section header without ']'");
            else if (!TrimName(t.substr(close + 1)).empty())
                notices_.push_back(FileLinePlace(path_.string(), int(i) + 1) +
                                   ": text after the section header ignored: '" +
                                   Utf8Excerpt(TrimName(t.substr(close + 1))) + "'");
            section = Utf8Excerpt(line.section);
            auto [first, added] = sections.emplace(FoldedName(line.section), i);
            repeatedSection = !added;
            if (repeatedSection)
                notices_.push_back(FileLinePlace(path_.string(), int(i) + 1) + ": section [" +
                                   section + "] appears again (first on line " +
                                   std::to_string(first->second + 1) + "); its keys are not read");
            inSection = true;
            keys.clear();
            continue;
        }
        if (line.key.empty() || repeatedSection)
            continue;
        if (!inSection) {
            notices_.push_back(FileLinePlace(path_.string(), int(i) + 1) + ": key '" +
                               Utf8Excerpt(line.key) + "' before the first section is not read");
            continue;
        }
        auto [first, added] = keys.emplace(FoldedName(line.key), i);
        if (!added)
            notices_.push_back(FileLinePlace(path_.string(), int(i) + 1) + ": key '" +
                               Utf8Excerpt(line.key) + "' of section [" + section +
                               "] appears again (first on line " +
                               std::to_string(first->second + 1) + "); this line is not read");
    }
}

int TIniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].isHeader && SameName(lines_[i].section, section))
            return static_cast<int>(i);
    return -1;
}

int TIniFile::SectionEnd(int header) const {
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < lines_.size() && !lines_[i].isHeader)
        ++i;
    return static_cast<int>(i);
}

int TIniFile::FindKey(int header, std::string_view key) const {
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (!lines_[i].key.empty() && SameName(lines_[i].key, key))
            return i;
    return -1;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    int header = FindSection(section);
    int at = header < 0 ? -1 : FindKey(header, key);
    return at < 0 ? std::string(fallback) : lines_[at].value;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    if (!ValueExists(section, key))
        return fallback;
    return ParseIntDef(ReadString(section, key, {}), fallback);
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double fallback) const {
    double v = fallback;
    if (ValueExists(section, key) && TryParseFloat(ReadString(section, key, {}), v))
        return v;
    return fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

int TIniFile::LineOf(std::string_view section, std::string_view key) const {
    int header = FindSection(section);
    int at = header < 0 ? -1 : FindKey(header, key);
    return at + 1;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    // A line end inside a value would split the file's structure: it becomes a blank.
    std::string flat(value);
    for (char& c : flat)
        if (c == '\r' || c == '\n')
            c = ' ';
    value = flat;
    Line line;
    line.key = std::string(TrimName(key));
    line.value = ProfileValue(value);
    line.text = line.key + "=" + std::string(value);
    int header = FindSection(section);
    if (header < 0) {
        Line head;
        head.isHeader = true;
        head.section = std::string(section);
        head.text = "[" + head.section + "]";
        lines_.push_back(std::move(head));
        lines_.push_back(std::move(line));
        return;
    }
    int at = FindKey(header, key);
    if (at >= 0) {
        line.key = lines_[at].key;
        line.text = line.key + "=" + std::string(value);
        lines_[at] = std::move(line);
        return;
    }
    // Append after the section's last non-blank line, so a blank separator stays in place.
    int end = SectionEnd(header);
    while (end > header + 1 && TrimName(lines_[end - 1].text).empty())
        --end;
    lines_.insert(lines_.begin() + end, std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    WriteString(section, key, text);
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::Save() const {
    std::filesystem::path temp = path_;
    temp += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const Line& line : lines_)
            out << line.text << "\r\n";
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw EIniFileError("Cannot write the settings file " + path_.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path_, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw EIniFileError("Cannot write the settings file " + path_.string() + ": " +
                            ec.message());
    }
}

} // namespace hk
