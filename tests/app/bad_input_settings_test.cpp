// Settings and colour rule files edited by hand or damaged in transfer: repeated sections and
// keys, lost line ends, a Shift-JIS character cut in half, colours that are not integers. The
// first of anything counts, what is ignored is reported with the file and the line, and
// writing the settings back loses none of the user's lines.
#include "app/colour_rules.h"
#include "app/ini_file.h"
#include "app/settings.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

using test::CurrentDirectoryGuard;
using test::TempFolder;

bool Holds(const std::vector<std::string>& lines, std::string_view part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

TEST(BadSettingsFile, RepeatedSectionsAndKeysReadTheFirstAndKeepTheRest) {
    TempFolder folder;
    const std::string path = folder.Write(cSettingsFileName, {
                                                                 "[load]",
                                                                 "filename=first.csv",
                                                                 "ZScale=100",
                                                                 "FILENAME=second.csv",
                                                                 "[LOAD]",
                                                                 "ZScale=900",
                                                                 "extra=kept",
                                                             });
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("load", "filename", ""), "first.csv");
    EXPECT_EQ(ini.ReadInteger("load", "ZScale", 0), 100);
    EXPECT_FALSE(ini.ValueExists("load", "extra")) << "keys of a repeated section are not read";
    ASSERT_EQ(ini.Notices().size(), 2u);
    EXPECT_EQ(ini.Notices()[0], path + ": line 4: key 'FILENAME' of section [load] appears again "
                                       "(first on line 2); this line is not read");
    EXPECT_EQ(ini.Notices()[1],
              path + ": line 5: section [LOAD] appears again (first on line 1); its keys are not "
                     "read");

    CurrentDirectoryGuard guard;
    TDocument doc;
    TStartUpSettings settings = ReadStartUpSettings(doc, folder.Path(), false);
    EXPECT_EQ(doc.dataFileName, "first.csv");
    EXPECT_TRUE(Holds(settings.notices, "line 5: section [LOAD] appears again"));
    doc.dataFileName = "chosen.csv";
    WriteSettingsAtClose(doc, folder.Path(), "250");
    EXPECT_EQ(folder.Read(cSettingsFileName),
              "[load]\r\nfilename=chosen.csv\r\nZScale=250\r\nFILENAME=second.csv\r\n[LOAD]\r\n"
              "ZScale=900\r\nextra=kept\r\n[Name]\r\nNum=0\r\n");
}

TEST(BadSettingsFile, LostLineEnds) {
    TempFolder folder;
    // Every line end lost: one header line with the keys run on after it.
    TIniFile runOn(folder.WriteRaw("a.Ini", "[load]filename=x.csv ZScale=300"));
    EXPECT_EQ(runOn.ReadString("load", "filename", "box.csv"), "box.csv");
    ASSERT_EQ(runOn.Notices().size(), 1u);
    EXPECT_EQ(runOn.Notices()[0], folder.File("a.Ini") +
                                      ": line 1: text after the section header ignored: "
                                      "'filename=x.csv ZScale=300'");
    runOn.WriteString("load", "ZScale", "500");
    runOn.Save();
    EXPECT_EQ(folder.Read("a.Ini"), "[load]filename=x.csv ZScale=300\r\nZScale=500\r\n")
        << "the damaged line stays for the user to mend";

    TIniFile keysOnly(folder.WriteRaw("b.Ini", "filename=x.csv"));
    EXPECT_FALSE(keysOnly.ValueExists("load", "filename"));
    ASSERT_EQ(keysOnly.Notices().size(), 1u);
    EXPECT_NE(keysOnly.Notices()[0].find(": line 1: key 'filename' before the first section"),
              std::string::npos);

    TIniFile unclosed(folder.WriteRaw("c.Ini", "[load\r\nZScale=300"));
    EXPECT_EQ(unclosed.ReadInteger("load", "ZScale", 0), 300);
    ASSERT_EQ(unclosed.Notices().size(), 1u);
    EXPECT_NE(unclosed.Notices()[0].find(": line 1: section header without ']'"),
              std::string::npos);

    // Old Mac line ends, and no line end after the last line, are line ends as good as any.
    TIniFile mac(folder.WriteRaw("d.Ini", "[load]\rfilename=x.csv\rZScale=300"));
    EXPECT_EQ(mac.ReadString("load", "filename", ""), "x.csv");
    EXPECT_EQ(mac.ReadInteger("load", "ZScale", 0), 300);
    EXPECT_TRUE(mac.Notices().empty());
}

TEST(BadSettingsFile, ShiftJisCutInTheMiddleOfACharacter) {
    TempFolder folder;
    const std::string cut = Utf8ToSjis("配管").substr(0, 3); // one character and a lead byte
    const std::string path = folder.WriteRaw(
        cSettingsFileName, "[load]\r\nfilename=" + cut + "\r\nZScale=300\r\n[1]\r\nname=" + cut);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("load", "filename", ""), cut) << "the line end is not swallowed";
    EXPECT_EQ(ini.ReadInteger("load", "ZScale", 0), 300);
    EXPECT_EQ(ini.ReadString("1", "name", ""), cut);
    EXPECT_TRUE(ini.Notices().empty());
    EXPECT_EQ(SjisToUtf8(cut), "配\xEF\xBF\xBD") << "shown with a replacement character";

    CurrentDirectoryGuard guard;
    TDocument doc;
    TStartUpSettings settings = ReadStartUpSettings(doc, folder.Path(), false);
    EXPECT_EQ(doc.dataFileName, cut);
    EXPECT_EQ(settings.scaleBoxText, "300");
    TMemoryLog log;
    EXPECT_FALSE(LoadStartUpData(doc, settings, settings.scaleBoxText, false, log));
    EXPECT_FALSE(log.Notices().empty()) << "the failed open is noted";
    WriteSettingsAtClose(doc, folder.Path(), settings.scaleBoxText);
    EXPECT_EQ(TIniFile(path).ReadString("load", "filename", ""), cut) << "written back unchanged";
}

TEST(BadSettingsFile, SecondBytesOfDoubleByteNamesAreNotCaseFolded) {
    TempFolder folder;
    // 0x83 0x41 and 0x83 0x61 are two different katakana whose second bytes are 'A' and 'a'.
    TIniFile ini(folder.WriteRaw("a.Ini", "[\x83\x41]\r\nk=1\r\n[\x83\x61]\r\nk=2\r\n"));
    EXPECT_EQ(ini.ReadInteger("\x83\x41", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("\x83\x61", "k", 0), 2);
    EXPECT_TRUE(ini.Notices().empty());
}

TEST(BadSettingsFile, QuotedValuesReadTheSameBeforeAndAfterSaving) {
    TempFolder folder;
    TIniFile ini(folder.File("a.Ini"));
    ini.WriteString("load", "filename", " 'my file.csv' ");
    ini.Save();
    EXPECT_EQ(ini.ReadString("load", "filename", ""), "my file.csv");
    EXPECT_EQ(TIniFile(folder.File("a.Ini")).ReadString("load", "filename", ""), "my file.csv");
}

TEST(BadColourRuleFile, Utf8RulesWithOrWithoutAMarkAreRead) {
    TempFolder folder;
    TDocument doc;
    for (std::string_view mark : {"\xEF\xBB\xBF", ""}) {
        LoadColourRules(doc,
                        folder.WriteRaw("rules.csv", std::string(mark) + "配管,送水,1,2,3\r\n"));
        ASSERT_EQ(doc.ColourRuleTable.Count(), 1);
        EXPECT_EQ(doc.ColourRuleTable[1].name, Utf8ToSjis("配管"));
        EXPECT_EQ(doc.ColourRuleTable[1].rptname, Utf8ToSjis("送水"));
    }
}

TEST(BadColourRuleFile, NonIntegerColoursDefaultTo255WithANotice) {
    TempFolder folder;
    TDocument doc;
    const std::string path = folder.Write("rules.csv", {
                                                           "A,,1.5,20,30",
                                                           "B,,red, 40 ,",
                                                           "C,,300,-1,20",
                                                           "D,,MatInner",
                                                       });
    std::vector<std::string> notices = LoadColourRules(doc, path);
    ASSERT_EQ(doc.ColourRuleTable.Count(), 4);
    const ColourRule& a = doc.ColourRuleTable[1];
    EXPECT_EQ(a.colourMode, 1);
    EXPECT_EQ(a.Red, 255);
    EXPECT_EQ(a.Green, 20);
    EXPECT_EQ(a.Blue, 30);
    const ColourRule& b = doc.ColourRuleTable[2];
    EXPECT_EQ(b.Red, 255);
    EXPECT_EQ(b.Green, 40);
    EXPECT_EQ(b.Blue, 255);
    EXPECT_EQ(doc.ColourRuleTable[3].Red, 300) << "kept; a group takes its low byte";
    EXPECT_EQ(doc.ColourRuleTable[4].colourMode, 2);
    EXPECT_EQ(notices, (std::vector<std::string>{
                           path + ": line 1: red '1.5' is not an integer; 255 is used",
                           path + ": line 2: red 'red' is not an integer; 255 is used",
                           path + ": line 2: blue '' is not an integer; 255 is used",
                           path + ": line 3: red 300 is outside 0 to 255; its low byte 44 is used",
                           path + ": line 3: green -1 is outside 0 to 255; its low byte 255 is "
                                  "used",
                       }));

    // At start-up the notices join those of the first load.
    folder.Write(cColourRuleFileName, {"A,,1.5,20,30"});
    CurrentDirectoryGuard guard;
    TStartUpSettings settings = ReadStartUpSettings(doc, folder.Path(), false);
    EXPECT_TRUE(settings.colourRulesLoaded);
    TMemoryLog log;
    LoadStartUpData(doc, settings, settings.scaleBoxText, false, log);
    EXPECT_TRUE(Holds(log.Notices(), ": line 1: red '1.5' is not an integer"));
}

} // namespace
} // namespace hk
