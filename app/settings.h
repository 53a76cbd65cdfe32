// Start-up and close of the viewer without its window: the settings file "hkviewer.Ini" and
// the colour rule file "hkviewer.csv" beside the program, the first load, the write-back at
// close. The window calls these in the order of its creation step; the scene build, the group
// grid and the material script stay with the window.
//
// Window creation, in order:
//   1-8  ReadStartUpSettings(doc, programDir, initialiseTicked)   -> show scaleBoxText
//   9    run "script1.txt" (window; the current directory is the program's folder by now)
//   10   LoadStartUpData(doc, settings, scaleBox, initialiseTicked, log), then BuildScene and
//        FillGroupGrid (window), also when it returns false
// Window close:
//        WriteSettingsAtClose(doc, programDir, scaleBoxText)
#pragma once

#include "app/clash_type.h"
#include "app/document.h"
#include "app/message_log.h"
#include "engine/errors.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

inline constexpr const char* cSettingsFileName = "hkviewer.Ini";
inline constexpr const char* cColourRuleFileName = "hkviewer.csv";
inline constexpr const char* cScriptFileName = "script1.txt";
inline constexpr const char* cDefaultDataFileName = "box.csv";

// The program's folder could not be made the current directory.
class EStartUpError : public Exception {
public:
    using Exception::Exception;
};

// The folder of the running program (from /proc/self/exe, else from argv0 made absolute).
std::filesystem::path ProgramFolder(const char* argv0);

// What start-up read before the first load.
struct TStartUpSettings {
    std::string scaleBoxText;         // the load scale to show in the load-scale box
    int groupSectionCount = 0;        // Name/Num of the settings file (not used further)
    bool colourRulesLoaded = false;   // false when the colour rule file could not be read
    TClashSettings clash;             // the [clash] section (clash_settings.h)
    std::vector<std::string> notices; // notices to add after the first load
};

// Creation steps 1 to 8: empties the groups, makes programDir the current directory, reads the
// settings file (dataFileName, loadScale; defaults "box.csv" and 500), empties the groups again
// when initialise is true, takes the [clash] section, and reads the colour rule file:
// rulesFile when given, else
// "hkviewer.csv" in programDir. A missing colour rule file is not an
// error here: the rules stay empty and a notice naming the file is returned for the message
// area. A settings file that exists but cannot be read is reported the same way and its keys
// take their defaults. The lines the settings file reader ignored (TIniFile::Notices), the
// [clash] values that fell back to their defaults and the colours of the rule file that
// needed a default are returned as notices too.
// Throws EStartUpError, naming the folder, when programDir cannot be made current; doc then
// holds no groups and no data file name.
TStartUpSettings ReadStartUpSettings(TDocument& doc, const std::filesystem::path& programDir,
                                     bool initialise, const std::filesystem::path& rulesFile = {});

// Creation step 10: LoadDataFile with doc.dataFileName and the load-scale box text, then the
// notices of settings added to the log's notices. Returns what LoadDataFile returns and
// throws what it throws (the notices are then not shown; the window reports the error).
bool LoadStartUpData(TDocument& doc, const TStartUpSettings& settings,
                     std::string_view scaleBoxText, bool initialise, TMessageLog& log);

// Window close: writes Name/Num, one section per group (kcode, name, dddname, ddd, onoff,
// Blue, Green, Red, rptname) and load/filename, load/ZScale (the box text as it stands) into
// the settings file in programDir, keeping everything else in the file.
// With clash settings, also their [clash] section (clash_settings.h).
// Throws EIniFileError, naming the file, when it cannot be read or written; the file on disk
// is then unchanged.
void WriteSettingsAtClose(const TDocument& doc, const std::filesystem::path& programDir,
                          std::string_view scaleBoxText, const TClashSettings* clash = nullptr);

} // namespace hk
