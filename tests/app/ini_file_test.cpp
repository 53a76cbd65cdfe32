// The settings file layer: profile semantics, defaults, preservation of untouched content and
// the atomic save.
#include "app/ini_file.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <iterator>

namespace hk {
namespace {

using test::TempFolder;

TEST(IniFile, MissingFileGivesDefaultsAndSaveCreatesIt) {
    TempFolder folder;
    TIniFile ini(folder.Path() / "hkviewer.Ini");
    EXPECT_EQ(ini.ReadString("load", "filename", "box.csv"), "box.csv");
    EXPECT_EQ(ini.ReadInteger("load", "ZScale", 500), 500);
    EXPECT_FALSE(ini.SectionExists("load"));
    ini.WriteString("load", "filename", "box.csv");
    ini.WriteInteger("load", "ZScale", 500);
    ini.WriteBool("1", "onoff", true);
    ini.WriteFloat("1", "ddd", 12.5);
    ini.Save();
    EXPECT_EQ(folder.Read("hkviewer.Ini"),
              "[load]\r\nfilename=box.csv\r\nZScale=500\r\n[1]\r\nonoff=1\r\nddd=12.5\r\n");
}

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmedBytes) {
    TempFolder folder;
    folder.WriteRaw("s.ini", "; comment\n[Load]\n  FileName =  \x83\x65\x83\x58\x83\x67.csv  \n"
                             "zscale=abc\nquoted=\" padded \"\nflag=2\n[other]\nx=1\n");
    TIniFile ini(folder.File("s.ini"));
    EXPECT_EQ(ini.ReadString("LOAD", "filename", ""), "\x83\x65\x83\x58\x83\x67.csv");
    EXPECT_EQ(ini.ReadInteger("load", "ZScale", 500), 500) << "not an integer";
    EXPECT_EQ(ini.ReadString("load", "quoted", ""), " padded ");
    EXPECT_TRUE(ini.ReadBool("load", "flag", false));
    EXPECT_FALSE(ini.ReadBool("load", "none", false));
    EXPECT_EQ(ini.ReadFloat("load", "zscale", 1.5), 1.5);
    EXPECT_EQ(ini.ReadInteger("other", "x", 0), 1);
    EXPECT_FALSE(ini.ValueExists("other", "filename"));
}

TEST(IniFile, WritingKeepsEverythingElse) {
    TempFolder folder;
    folder.WriteRaw("s.ini", "; keep me\r\n[load]\r\nfilename=a.csv\r\nextra=7\r\n\r\n"
                             "[9]\r\nkcode=2\r\n");
    TIniFile ini(folder.File("s.ini"));
    ini.WriteString("LOAD", "FILENAME", "b.csv");
    ini.WriteString("load", "ZScale", "250");
    ini.WriteInteger("Name", "Num", 1);
    ini.Save();
    EXPECT_EQ(folder.Read("s.ini"), "; keep me\r\n[load]\r\nfilename=b.csv\r\nextra=7\r\n"
                                    "ZScale=250\r\n\r\n[9]\r\nkcode=2\r\n[Name]\r\nNum=1\r\n");
    ini.WriteString("load", "filename", "two\r\nlines");
    EXPECT_EQ(ini.ReadString("load", "filename", ""), "two  lines") << "no line end in a value";
    TIniFile again(folder.File("s.ini"));
    EXPECT_EQ(again.ReadString("load", "filename", ""), "b.csv");
    EXPECT_EQ(again.ReadInteger("9", "kcode", 0), 2);
}

TEST(IniFile, FailedSaveLeavesWhatIsOnDisk) {
    TempFolder folder;
    TIniFile ini(folder.Path() / "s.ini");
    ini.WriteString("load", "filename", "b.csv");
    // A folder in the file's place cannot be replaced by the rename.
    std::filesystem::create_directory(folder.Path() / "s.ini");
    folder.WriteRaw("s.ini/keep", "x");
    try {
        ini.Save();
        FAIL() << "the save did not fail";
    } catch (const EIniFileError& e) {
        EXPECT_NE(std::string(e.what()).find("s.ini"), std::string::npos);
    }
    EXPECT_EQ(folder.Read("s.ini/keep"), "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

} // namespace
} // namespace hk
