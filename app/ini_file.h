// A settings file with the semantics of Windows profile files: "[section]" headers and
// "key=value" lines, section and key names compared without regard to ASCII case, values as
// Shift-JIS bytes trimmed of surrounding blanks, booleans written as 1 and 0, missing keys
// giving the caller's default. Lines the program does not touch (other sections, other keys,
// comments) are written back as they were read. Saving writes a temporary file in the same
// folder and renames it over the old one, so a failed save leaves the old file intact.
// Where a file holds a section twice, or a key twice in one section, the first one counts
// (as with the profile functions); the later ones are kept in the file and reported in
// Notices(), as are text after a section header's ']' (a file whose lines ends were lost), a
// header without ']' and keys before the first section.
#pragma once

#include "engine/errors.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// The settings file could not be read or written.
class EIniFileError : public Exception {
public:
    using Exception::Exception;
};

class TIniFile {
public:
    // Reads path. A missing file gives an empty profile (it is created by Save).
    // Throws EIniFileError when the file exists but cannot be read.
    explicit TIniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }
    // What reading the file found and ignored: one notice (UTF-8) each, naming the file and the
    // line.
    const std::vector<std::string>& Notices() const { return notices_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // The value as a decimal integer; fallback when missing or not an integer.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // The value as a decimal number; fallback when missing or not a number.
    double ReadFloat(std::string_view section, std::string_view key, double fallback) const;
    // Any integer other than 0 is true; fallback when missing or not an integer.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The line (from 1) of the value that reading the key gives, 0 when it is missing.
    int LineOf(std::string_view section, std::string_view key) const;

    // Sets the value of the first matching key of the first matching section, adding the key
    // at the end of the section, or the section at the end of the file, when missing.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteFloat(std::string_view section, std::string_view key, double value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the profile to Path() with CR LF line ends, atomically. Throws EIniFileError,
    // naming the file, when it cannot be written; the file on disk is then unchanged.
    void Save() const;

private:
    struct Line {
        std::string text; // the line as read or written, without its line end
        bool isHeader = false;
        std::string section; // for a section header: its name
        std::string key;     // for a key line: its name; empty otherwise
        std::string value;   // for a key line: its trimmed value
    };

    // Index of the header line of the first section with this name, or -1.
    int FindSection(std::string_view section) const;
    // Index of the first line of this key within the section starting at header, or -1.
    int FindKey(int header, std::string_view key) const;
    // Index one past the last line belonging to the section starting at header.
    int SectionEnd(int header) const;

    // Fills notices_ with the lines that reading ignores.
    void NoteIgnoredLines();

    std::filesystem::path path_;
    std::vector<Line> lines_;
    std::vector<std::string> notices_;
};

} // namespace hk
