// A throw-away program folder for the real hkviewer: the program itself with the sample
// drawing, colour rules, material script and model beside it, as start-up expects them.
// Also a reader of the settings file the program writes there.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace hk::test {

class ProgramFolder {
public:
    // Creates the folder under the system's temporary folder: "hkviewer" is a hard link to
    // `program` (a copy where no link can be made; the program finds its folder through its
    // own path, so a symbolic link would not do), and each of `samples` is copied from
    // `sampleDir`. Ok() tells whether everything is in place.
    ProgramFolder(const std::filesystem::path& program, const std::filesystem::path& sampleDir,
                  const std::initializer_list<const char*>& samples);
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
    // Removes the folder with everything in it.
    ~ProgramFolder();

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path Program() const { return path_ / "hkviewer"; }

private:
    std::filesystem::path path_;
    std::string error_;
};

// Section name -> key -> value, as the bytes stand in the file (Shift-JIS).
using IniSections = std::map<std::string, std::map<std::string, std::string>>;

// Reads an initialisation file ("[section]" lines, "key=value" lines, CR LF or LF); none with
// `error` set when the file cannot be read.
IniSections ReadIniFile(const std::filesystem::path& file, std::string* error);

} // namespace hk::test
