// The file watch: the data file's time, the watch tick's reload decision, the reload button and
// the file choice, over real files whose last-write times the tests set.
#include "app/file_watch.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <vector>

namespace hk {
namespace {

using test::TempFolder;

// Sets the file's last-write time (seconds since 1970 and nanoseconds).
void SetWriteTime(const std::string& file, std::time_t seconds, long nanoseconds = 0) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0) << file;
}

// The first second of a local date and time, as the file system counts it.
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

constexpr std::time_t cFirstSave = 1700000000;

TEST(GetDataFileTimeTest, IsTheLocalDateTimeValueOfTheLastWrite) {
    TempFolder folder;
    const std::string file = folder.Write("d.csv", {"1,,P1,rp,13,10,20,30,1"});
    SetWriteTime(file, LocalTime(2020, 1, 2, 3, 4, 5));
    // 1 January 2020 is day 43831 of the date-time values.
    EXPECT_NEAR(GetDataFileTime(file), 43832 + (3 * 3600 + 4 * 60 + 5) / 86400.0, 1e-9);

    SetWriteTime(file, LocalTime(1999, 12, 31, 23, 59, 59));
    EXPECT_NEAR(GetDataFileTime(file), 36525 + 86399 / 86400.0, 1e-9);
}

TEST(GetDataFileTimeTest, SeesWritesWithinOneSecond) {
    TempFolder folder;
    const std::string file = folder.Write("d.csv", {"1,,P1,rp,13,10,20,30,1"});
    SetWriteTime(file, cFirstSave, 1000);
    const double first = GetDataFileTime(file);
    SetWriteTime(file, cFirstSave, 2000000);
    EXPECT_NE(GetDataFileTime(file), first);
}

TEST(GetDataFileTimeTest, MissingFileGivesZeroAndIsNotCreated) {
    TempFolder folder;
    const std::string file = folder.File("absent.csv");
    EXPECT_EQ(GetDataFileTime(file), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(GetDataFileTime(""), 0);
}

// A watch over doc with counting steps.
class FileWatchTest : public ::testing::Test {
protected:
    FileWatchTest() {
        doc.dataFileName = folder.File("d.csv");
        controls.scaleBoxText = "500";
    }

    TReloadSteps CountingSteps() {
        TReloadSteps steps;
        steps.BuildScene = [this] { ++builds; };
        steps.FillGroupGrid = [this] { ++fills; };
        steps.Repaint = [this] { ++repaints; };
        steps.ReportError = [this](const std::string& m) { errors.push_back(SjisToUtf8(m)); };
        steps.ShowWatchStatus = [this](const std::string& m) { status = SjisToUtf8(m); };
        return steps;
    }

    // Writes the data file and gives it the write time `seconds`.
    void Save(std::initializer_list<std::string_view> lines, std::time_t seconds) {
        folder.Write("d.csv", lines);
        SetWriteTime(doc.dataFileName, seconds);
    }
    // A tick with "自動更新" ticked.
    TReloadOutcome Tick() { return watch.Tick(true, controls); }

    TempFolder folder;
    TDocument doc;
    TMemoryLog log;
    TLoadControls controls;
    int builds = 0;
    int fills = 0;
    int repaints = 0;
    std::vector<std::string> errors;
    std::string status = "unset";
    double now = 100; // the watch's clock, in seconds
    TFileWatch watch{doc, log, CountingSteps(), [this] { return now; }};
};

TEST_F(FileWatchTest, FirstTickAfterTickingAutoUpdateReloadsOnceThenOnlyOnChange) {
    Save({"1,,P1,rp,13,10,20,30,1"}, cFirstSave);
    EXPECT_EQ(watch.Tick(false, controls), TReloadOutcome::roNotRun);
    EXPECT_EQ(doc.PointTable.Count(), 0);

    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(doc.fileTime, GetDataFileTime(doc.dataFileName));

    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    EXPECT_EQ(builds, 1);

    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,11,21,31,1"}, cFirstSave + 5);
    EXPECT_EQ(watch.Tick(false, controls), TReloadOutcome::roNotRun);
    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable.Count(), 2);
    EXPECT_EQ(builds, 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileWatchTest, TwoSavesWithinOnePeriodReloadOnce) {
    Save({"1,,P1,rp,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,0,0,0,1"}, cFirstSave + 1);
    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,0,0,0,1", "1,,P3,rp,13,0,0,0,1"}, cFirstSave + 2);
    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(doc.PointTable.Count(), 3);
}

// A save caught half-written: no error box, the drawing stays, the error goes to the status and
// the notices; the finished save is loaded once it has kept its size and time for the settle
// time, without waiting for a later save.
TEST_F(FileWatchTest, HalfWrittenSaveIsNotedAndTheFinishedFileLoadsOnceSettled) {
    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,0,0,0,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(status, "");
    const std::vector<std::string> shown = log.Lines();

    // The second record is cut inside its size column.
    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,1x"}, cFirstSave + 3);
    EXPECT_EQ(Tick(), TReloadOutcome::roFailed);
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(status.rfind(doc.dataFileName + ": line 2: '1x' is not a valid", 0), 0u) << status;
    ASSERT_EQ(log.Notices().size(), 1u);
    EXPECT_EQ(SjisToUtf8(log.Notices()[0]), status);
    EXPECT_EQ(doc.PointTable.Count(), 2);
    EXPECT_EQ(doc.PointTable[2].name, "P2");
    EXPECT_EQ(log.Lines(), shown);
    EXPECT_EQ(builds, 1);

    // The same broken state is not loaded again.
    now += 2;
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    EXPECT_EQ(log.Notices().size(), 1u);

    // The writer finishes: the watch waits for the file to settle, then loads it.
    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,0,0,0,1", "1,,P3,rp,13,0,0,0,1"}, cFirstSave + 6);
    now += 2;
    EXPECT_EQ(Tick(), TReloadOutcome::roWaiting);
    now += cWatchSettleSeconds / 2;
    EXPECT_EQ(Tick(), TReloadOutcome::roWaiting);
    now += cWatchSettleSeconds;
    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable.Count(), 3);
    EXPECT_EQ(status, "");
    EXPECT_TRUE(log.Notices().empty()) << "a load that succeeds starts its own notices";
    EXPECT_TRUE(errors.empty());

    // Loads the user starts still report their errors.
    Save({"1,,P1,rp,zz"}, cFirstSave + 9);
    EXPECT_EQ(watch.Reload(controls), TReloadOutcome::roFailed);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(FileWatchTest, DeletedFileIsNotRecreatedAndTheDrawingStays) {
    Save({"1,,P1,rp,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    std::filesystem::remove(doc.dataFileName);

    EXPECT_EQ(Tick(), TReloadOutcome::roNoFile);
    EXPECT_FALSE(std::filesystem::exists(doc.dataFileName));
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(builds, 1);
    const std::size_t notices = log.Notices().size();
    EXPECT_NE(SjisToUtf8(log.Notices().back()).find("d.csv"), std::string::npos);

    // Told once: the missing file keeps time 0 and is not looked at again.
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    EXPECT_EQ(log.Notices().size(), notices);
    EXPECT_FALSE(std::filesystem::exists(doc.dataFileName));

    Save({"1,,P1,rp,13,10,20,30,1", "1,,P2,rp,13,0,0,0,1"}, cFirstSave + 8);
    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable.Count(), 2);
}

TEST_F(FileWatchTest, ReloadButtonTakesTheFileTimeSoTheWatchDoesNotRepeatIt) {
    Save({"1,,P1,rp,13,10,20,30,1"}, cFirstSave);
    EXPECT_EQ(watch.Reload(controls), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    EXPECT_EQ(builds, 1);

    // A broken file on the button: reported, drawing kept, and the watch leaves that state.
    Save({"1,,P1,rp,zz,10,20,30,1"}, cFirstSave + 2);
    EXPECT_EQ(watch.Reload(controls), TReloadOutcome::roFailed);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
}

TEST_F(FileWatchTest, ReloadKeepsGroupStates) {
    Save({"1,,P1,rp,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(watch.Reload(controls), TReloadOutcome::roReloaded);
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    doc.GroupTable[1].onoff = 1;
    doc.GroupTable[1].Red = 10;
    ASSERT_EQ(watch.Reload(controls), TReloadOutcome::roReloaded);
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].onoff, 1);
    EXPECT_EQ(doc.GroupTable[1].Red, 10);
}

TEST_F(FileWatchTest, ChoosingAFileWithoutInitialiseKeepsTheOldGroupsWithCountZero) {
    Save({"1,,PA,ra,13,10,20,30,1", "1,,PA,ra,13,11,21,31,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    const std::string other = folder.Write("other.csv", {"1,,PB,rb,13,0,0,0,1"});

    controls.initialise = false;
    EXPECT_EQ(watch.Choose(other, controls), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.dataFileName, other);
    EXPECT_EQ(doc.fileTime, GetDataFileTime(other));
    ASSERT_EQ(doc.GroupTable.Count(), 2);
    EXPECT_EQ(doc.GroupTable[1].name, "PA");
    EXPECT_EQ(doc.GroupTable[1].itemCount, 0);
    EXPECT_EQ(doc.GroupTable[2].name, "PB");
    EXPECT_EQ(doc.GroupTable[2].itemCount, 1);
    EXPECT_EQ(doc.PointTable.Count(), 1);
    // The chosen file is watched from its own time on.
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
}

TEST_F(FileWatchTest, ChoosingAFileWithInitialiseStartsTheGroupsAfresh) {
    Save({"1,,PA,ra,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    const std::string other = folder.Write("other.csv", {"1,,PB,rb,13,0,0,0,1"});

    controls.initialise = true;
    EXPECT_EQ(watch.Choose(other, controls), TReloadOutcome::roReloaded);
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].name, "PB");
    EXPECT_EQ(doc.PointTable[1].group, 1);
}

TEST_F(FileWatchTest, ChoosingABrokenFileKeepsTheDrawingAndItsGroups) {
    Save({"1,,PA,ra,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    const std::string broken = folder.Write("broken.csv", {"1,,PB,rb,13,0,0,0,1", "1,,PC,rc,?"});

    controls.initialise = true;
    EXPECT_EQ(watch.Choose(broken, controls), TReloadOutcome::roFailed);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("broken.csv"), std::string::npos) << errors[0];
    // The items shown still find their groups.
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].name, "PA");
    ASSERT_EQ(doc.PointTable.Count(), 1);
    EXPECT_EQ(doc.PointTable[1].name, "PA");
    EXPECT_EQ(builds, 1);

    // The broken file stays chosen; its next save reloads it.
    EXPECT_EQ(doc.dataFileName, broken);
    EXPECT_EQ(Tick(), TReloadOutcome::roNotRun);
    folder.Write("broken.csv", {"1,,PB,rb,13,0,0,0,1"});
    SetWriteTime(broken, cFirstSave + 9);
    EXPECT_EQ(Tick(), TReloadOutcome::roReloaded);
    EXPECT_EQ(doc.PointTable[1].name, "PB");
}

TEST_F(FileWatchTest, ChoosingAMissingFileWithInitialiseKeepsTheGroups) {
    Save({"1,,PA,ra,13,10,20,30,1"}, cFirstSave);
    ASSERT_EQ(Tick(), TReloadOutcome::roReloaded);
    controls.initialise = true;
    EXPECT_EQ(watch.Choose(folder.File("gone.csv"), controls), TReloadOutcome::roNoFile);
    EXPECT_FALSE(std::filesystem::exists(folder.File("gone.csv")));
    ASSERT_EQ(doc.GroupTable.Count(), 1);
    EXPECT_EQ(doc.GroupTable[1].name, "PA");
    EXPECT_EQ(doc.fileTime, 0);
}

} // namespace
} // namespace hk
