// Start-up and close of the viewer, window-free.
#include "app/settings.h"

#include "app/clash_settings.h"
#include "app/colour_rules.h"
#include "app/data_file.h"
#include "app/ini_file.h"

#include <system_error>

namespace hk {
namespace {

std::filesystem::path SettingsPath(const std::filesystem::path& programDir) {
    return programDir / cSettingsFileName;
}

} // namespace

std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        exe = std::filesystem::absolute(argv0 ? argv0 : ".", ec);
    return exe.parent_path();
}

TStartUpSettings ReadStartUpSettings(TDocument& doc, const std::filesystem::path& programDir,
                                     bool initialise, const std::filesystem::path& rulesFile) {
    TStartUpSettings settings;
    doc.dataFileName.clear();
    doc.GroupTable.Clear();
    std::error_code ec;
    std::filesystem::current_path(programDir, ec);
    if (ec)
        throw EStartUpError("Cannot enter the program folder " + programDir.string() + ": " +
                            ec.message());

    doc.dataFileName = cDefaultDataFileName;
    doc.loadScale = cDefaultLoadScale;
    try {
        TIniFile ini(SettingsPath(programDir));
        settings.groupSectionCount = ini.ReadInteger("Name", "Num", 0);
        doc.dataFileName = ini.ReadString("load", "filename", cDefaultDataFileName);
        doc.loadScale = ini.ReadInteger("load", "ZScale", cDefaultLoadScale);
        settings.notices.insert(settings.notices.end(), ini.Notices().begin(), ini.Notices().end());
        settings.clash = ReadClashSettings(ini, settings.notices);
    } catch (const EIniFileError& e) {
        settings.notices.push_back(e.what());
    }
    settings.scaleBoxText = std::to_string(doc.loadScale);

    if (initialise)
        doc.GroupTable.Clear();

    try {
        const std::filesystem::path rules =
            rulesFile.empty() ? programDir / cColourRuleFileName : rulesFile;
        std::vector<std::string> notices = LoadColourRules(doc, rules.string());
        settings.notices.insert(settings.notices.end(), notices.begin(), notices.end());
        settings.colourRulesLoaded = true;
    } catch (const EColourRuleFileError& e) {
        doc.ColourRuleTable.Clear();
        settings.notices.push_back(e.what());
    }
    return settings;
}

bool LoadStartUpData(TDocument& doc, const TStartUpSettings& settings,
                     std::string_view scaleBoxText, bool initialise, TMessageLog& log) {
    bool loaded = LoadDataFile(doc, doc.dataFileName, scaleBoxText, initialise, log);
    for (const std::string& notice : settings.notices)
        log.AddNotice(notice);
    return loaded;
}

void WriteSettingsAtClose(const TDocument& doc, const std::filesystem::path& programDir,
                          std::string_view scaleBoxText, const TClashSettings* clash) {
    TIniFile ini(SettingsPath(programDir));
    ini.WriteInteger("Name", "Num", doc.GroupTable.Count());
    for (int i = 1; i <= doc.GroupTable.Count(); ++i) {
        const GroupEntry& g = doc.GroupTable[i];
        const std::string section = std::to_string(i);
        ini.WriteInteger(section, "kcode", g.kind);
        ini.WriteString(section, "name", g.name);
        ini.WriteString(section, "dddname", g.dddname);
        ini.WriteFloat(section, "ddd", g.ddd);
        ini.WriteBool(section, "onoff", g.onoff != 0);
        ini.WriteInteger(section, "Blue", g.Blue);
        ini.WriteInteger(section, "Green", g.Green);
        ini.WriteInteger(section, "Red", g.Red);
        ini.WriteString(section, "rptname", g.rptname);
    }
    ini.WriteString("load", "filename", doc.dataFileName);
    ini.WriteString("load", "ZScale", scaleBoxText);
    if (clash)
        WriteClashSettings(ini, *clash);
    ini.Save();
}

} // namespace hk
