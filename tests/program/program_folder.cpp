// The temporary program folder and the settings file reader.
#include "tests/program/program_folder.h"

#include <fstream>
#include <sstream>

#include <stdlib.h>

namespace hk::test {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder(const fs::path& program, const fs::path& sampleDir,
                             const std::initializer_list<const char*>& samples) {
    std::string pattern = (fs::temp_directory_path() / "hkviewer_program_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ = "cannot create a folder like " + pattern;
        return;
    }
    path_ = pattern;
    std::error_code ec;
    fs::create_hard_link(program, Program(), ec);
    if (ec && !fs::copy_file(program, Program(), ec)) {
        error_ = "cannot copy " + program.string() + ": " + ec.message();
        return;
    }
    for (const char* name : samples) {
        if (!fs::copy_file(sampleDir / name, path_ / name, ec)) {
            error_ = "cannot copy " + (sampleDir / name).string() + ": " + ec.message();
            return;
        }
    }
}

ProgramFolder::~ProgramFolder() {
    if (!path_.empty()) {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
}

IniSections ReadIniFile(const fs::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = "cannot read " + file.string();
        return {};
    }
    IniSections sections;
    std::string section;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            sections[section];
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            sections[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return sections;
}

} // namespace hk::test
