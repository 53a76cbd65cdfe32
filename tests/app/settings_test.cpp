// Start-up and close without a window: the settings file round trip, its defaults, start-up
// from another working directory and a missing colour rule file.
#include "app/data_file.h"
#include "app/ini_file.h"
#include "app/settings.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

using test::CurrentDirectoryGuard;
using test::TempFolder;

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.Write("box.csv", {"1,,P,r,1,0,0,0,0", "20,,PIP,rq,dq,60,50,A,0,0,0,B,0,0,9,4"});
        program.Write("hkviewer.csv", {"PIP,,10,20,30"});
    }
    // Window creation steps 1 to 8 and 10.
    bool Start(bool initialise = true) {
        settings = ReadStartUpSettings(doc, program.Path(), initialise);
        return LoadStartUpData(doc, settings, settings.scaleBoxText, initialise, log);
    }

    CurrentDirectoryGuard cwd;
    TempFolder program;
    TDocument doc;
    TMemoryLog log;
    TStartUpSettings settings;
};

TEST_F(StartUpTest, FirstStartUsesDefaultsAndCloseWritesThem) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(doc.dataFileName, "box.csv");
    EXPECT_EQ(doc.loadScale, 500);
    EXPECT_EQ(settings.scaleBoxText, "500");
    EXPECT_TRUE(settings.colourRulesLoaded);
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[2].Red, 10) << "colour rules were read and applied";
    ASSERT_EQ(log.Lines().size(), 1u);

    WriteSettingsAtClose(doc, program.Path(), settings.scaleBoxText);
    TIniFile ini(program.Path() / "hkviewer.Ini");
    EXPECT_EQ(ini.ReadString("load", "filename", ""), "box.csv");
    EXPECT_EQ(ini.ReadInteger("load", "ZScale", 0), 500);
    EXPECT_EQ(ini.ReadInteger("Name", "Num", 0), 2);
    EXPECT_EQ(ini.ReadInteger("1", "kcode", 0), 1);
    EXPECT_EQ(ini.ReadString("2", "name", ""), "PIP");
    EXPECT_EQ(ini.ReadString("2", "dddname", ""), "dq");
    EXPECT_EQ(ini.ReadFloat("2", "ddd", 0), 60);
    EXPECT_EQ(ini.ReadString("2", "onoff", ""), "1");
    EXPECT_EQ(ini.ReadInteger("2", "Red", 0), 10);
    EXPECT_EQ(ini.ReadInteger("2", "Blue", 0), 30);
    EXPECT_EQ(ini.ReadString("2", "rptname", "x"), "rq");
    EXPECT_EQ(program.Read("hkviewer.Ini").find("\r\n") != std::string::npos, true);
}

TEST_F(StartUpTest, SettingsChooseFileAndScaleAndBadScaleFallsBack) {
    program.Write("other.csv", {"1,,A,r,1,0,0,0,0", "1,,B,r,1,0,0,0,0", "1,,C,r,1,0,0,0,0"});
    program.Write("hkviewer.Ini", {"[load]", "filename=other.csv", "ZScale=250"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(doc.PointTable.Count(), 3);
    EXPECT_EQ(doc.loadScale, 250);

    WriteSettingsAtClose(doc, program.Path(), "abc");
    EXPECT_EQ(TIniFile(program.Path() / "hkviewer.Ini").ReadString("load", "ZScale", ""), "abc");
    TDocument next;
    TStartUpSettings again = ReadStartUpSettings(next, program.Path(), true);
    EXPECT_EQ(next.loadScale, 500);
    EXPECT_EQ(again.scaleBoxText, "500");
}

TEST_F(StartUpTest, GroupSectionsBeyondTheCountStay) {
    program.Write("hkviewer.Ini", {"[Name]", "Num=5", "[5]", "kcode=9", "[load]", "ZScale=500"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(settings.groupSectionCount, 5);
    WriteSettingsAtClose(doc, program.Path(), "500");
    TIniFile ini(program.Path() / "hkviewer.Ini");
    EXPECT_EQ(ini.ReadInteger("Name", "Num", 0), 2);
    EXPECT_EQ(ini.ReadInteger("5", "kcode", 0), 9);
}

TEST_F(StartUpTest, StartsFromAnotherWorkingDirectory) {
    TempFolder elsewhere;
    elsewhere.Write("box.csv", {});
    elsewhere.Write("hkviewer.Ini", {"[load]", "ZScale=7"});
    std::filesystem::current_path(elsewhere.Path());
    ASSERT_TRUE(Start());
    EXPECT_EQ(doc.PointTable.Count(), 1) << "the program folder's box.csv was loaded";
    EXPECT_EQ(doc.loadScale, 500) << "the program folder's settings (none) were read";
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), program.Path()));
}

TEST_F(StartUpTest, MissingRuleFileIsReportedOnceAndTheDataStillLoads) {
    std::filesystem::remove(program.File("hkviewer.csv"));
    ASSERT_TRUE(Start());
    EXPECT_FALSE(settings.colourRulesLoaded);
    EXPECT_EQ(doc.PipeTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[2].Red, 204);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(SjisToUtf8(log.Lines()[0]).rfind("点バッファ数:1", 0), 0u);
    ASSERT_EQ(log.Notices().size(), 1u);
    EXPECT_NE(log.Notices()[0].find("hkviewer.csv"), std::string::npos);
}

TEST_F(StartUpTest, UnreachableProgramFolderIsAnError) {
    AddGroup(doc, ikLine, "OLD", "", "", 0);
    EXPECT_THROW(ReadStartUpSettings(doc, program.Path() / "gone", true), EStartUpError);
    EXPECT_EQ(doc.GroupTable.Count(), 0);
}

TEST_F(StartUpTest, InitialiseEmptiesTheGroupsOfAnEarlierRun) {
    AddGroup(doc, ikLine, "OLD", "", "", 0);
    ASSERT_TRUE(Start(false));
    EXPECT_EQ(doc.GroupTable.Count(), 2) << "creation always starts with no groups";
}

} // namespace
} // namespace hk
