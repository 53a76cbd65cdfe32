// Fuzz target for the settings layer: any byte string as the settings file reads without
// failing, every notice names the file, a key written reads back the same from memory and from
// the saved file, saving keeps every line it did not rewrite, and start-up followed by the
// write-back at close gives a file that start-up reads back to the same data file name and
// load scale.
#include "app/ini_file.h"
#include "app/settings.h"
#include "app/text_file.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The program folder of the inputs, one per process, removed when the process ends.
struct TempFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("hk_fuzz_settings_" + std::to_string(::getpid()));
    TempFolder() {
        std::filesystem::create_directories(path);
        std::ofstream(path / hk::cColourRuleFileName, std::ios::binary) << "A,,10,20,30\r\n";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::filesystem::path& Folder() {
    static const TempFolder folder;
    return folder.path;
}

void Check(bool ok) {
    if (!ok)
        std::abort();
}

std::size_t LineCount(const std::string& path) {
    std::vector<std::string> lines;
    Check(hk::ReadTextLines(path, lines));
    return lines.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = (Folder() / hk::cSettingsFileName).string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    const std::size_t originalLines = LineCount(path);

    hk::TIniFile ini(path);
    for (const std::string& notice : ini.Notices())
        Check(notice.rfind(path + ": line ", 0) == 0);
    ini.ReadFloat("1", "ddd", 0);
    ini.ReadBool("1", "onoff", false);
    const std::string name = ini.ReadString("load", "filename", "box.csv");
    ini.WriteString("load", "filename", bytes.substr(0, 40));
    ini.WriteInteger("Name", "Num", ini.ReadInteger("Name", "Num", 0));
    const std::string written = ini.ReadString("load", "filename", "");
    ini.Save();
    Check(LineCount(path) >= originalLines);
    Check(hk::TIniFile(path).ReadString("load", "filename", "?") == written);

    // Start-up and close over the file as it was, with the name read from it.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    const auto cwd = std::filesystem::current_path();
    hk::TDocument doc;
    hk::TStartUpSettings settings = hk::ReadStartUpSettings(doc, Folder(), false);
    Check(doc.dataFileName == name);
    hk::GroupEntry group;
    group.name = bytes.substr(0, 20);
    doc.GroupTable.Append(group);
    hk::WriteSettingsAtClose(doc, Folder(), settings.scaleBoxText);
    hk::TDocument again;
    hk::TStartUpSettings reread = hk::ReadStartUpSettings(again, Folder(), false);
    Check(reread.scaleBoxText == settings.scaleBoxText);
    Check(hk::TIniFile(path).ReadInteger("Name", "Num", -1) == 1);
    std::filesystem::current_path(cwd);
    return 0;
}
