// The whole program: the real hkviewer, started as a process of its own in a program folder of
// its own, is driven through the X server as a user would drive it (clicks, key strokes and the
// window manager's close request) and observed through its automation channel. One session
// runs the collision check, picks an object, hides a group and changes the load scale; closing
// writes the settings file, and a second start reads it back.
#include "app/sjis.h"
#include "tests/program/program_folder.h"
#include "tests/program/viewer_process.h"
#include "tests/program/x_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace hk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Generous for the sanitizer build on a loaded machine; a healthy run takes a fraction.
constexpr auto cStartTime = 60s;
constexpr auto cStepTime = 20s;
constexpr auto cExitTime = 30s;

// The hot water line of the sample drawing, a two-point line on data-file lines 37 and 38
// (its item carries the second line's number), crossing the chilled water supply. The point
// lies on it where nothing stands in front of it in the start-up view.
constexpr int cHotWaterLine = 38;
constexpr const char* cHotWaterGroup = "温水送水";
constexpr double cHotWaterPoint[3] = {3000, 2000, 2500};
// The line is the only item of its group.
constexpr int cHotWaterObjects = 1;

// Polls `condition` every 50 ms until it holds or `timeout` passes; its last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(50ms);
    }
}

std::function<bool(const std::string&)> Is(const std::string& expected) {
    return [expected](const std::string& answer) { return answer == expected; };
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok()) << folder.Error();
        ASSERT_TRUE(x.Ok()) << x.Error();
    }

    // The standard output lines of the batch mode run in the program folder.
    std::vector<std::string> Batch(const std::vector<std::string>& args) {
        ChildProcess batch;
        std::string error;
        if (!batch.Start(folder.Program().string(), args, folder.Path().string(),
                         EnvironmentWith({}), &error)) {
            ADD_FAILURE() << error;
            return {};
        }
        const std::optional<int> status = batch.Wait(Clock::now() + cExitTime);
        EXPECT_EQ(status, 0) << batch.Errors();
        EXPECT_FALSE(HasSanitizerReport(batch.Errors())) << batch.Errors();
        return SplitLines(batch.Output());
    }

    // Starts the window and waits until it has drawn its first frame.
    void StartViewer(ViewerProcess& viewer) {
        std::string error;
        // Started from another folder: start-up finds its files beside the program.
        ASSERT_TRUE(
            viewer.Start(folder.Program().string(), fs::temp_directory_path().string(), &error))
            << error;
        const std::string frames = viewer.WaitFor(
            "frames", [](const std::string& a) { return std::atoi(a.c_str()) > 0; }, cStartTime);
        ASSERT_GT(std::atoi(frames.c_str()), 0) << "no frame drawn; the program wrote:\n"
                                                << viewer.Child().Errors();
    }

    // Closes the window as its window manager would and checks the program ended cleanly.
    void CloseViewer(ViewerProcess& viewer) {
        ASSERT_GE(x.CloseWindowsOf(viewer.Child().Pid()), 1) << "no window of the program";
        const std::optional<int> status = viewer.Child().Wait(Clock::now() + cExitTime);
        ASSERT_TRUE(status.has_value()) << "the program did not end after its window closed";
        EXPECT_EQ(*status, 0) << viewer.Child().Errors();
        EXPECT_FALSE(HasSanitizerReport(viewer.Child().Errors())) << viewer.Child().Errors();
    }

    void ClickCheckBox(ViewerProcess& viewer, const std::string& name) {
        const std::optional<ScreenRect> box = viewer.Geometry(name);
        ASSERT_TRUE(box.has_value()) << name;
        // On the indicator, at the left end of the box.
        x.Click(box->x + 7, box->CentreY());
    }

    IniSections Settings() {
        std::string error;
        IniSections ini = ReadIniFile(folder.Path() / "hkviewer.Ini", &error);
        EXPECT_TRUE(error.empty()) << error;
        return ini;
    }

    ProgramFolder folder{HK_RUNTIME_DIR "/hkviewer",
                         HK_TEST_DATA_DIR,
                         {"box.csv", "hkviewer.csv", "script1.txt", "pump.3ds"}};
    XInput x;
};

TEST_F(ProgramTest, ASessionChecksClashesPicksAnObjectHidesAGroupAndKeepsItsSettings) {
    const std::vector<std::string> summary = Batch({"--batch", "box.csv"});
    const std::vector<std::string> clashes = Batch({"--batch", "box.csv", "--collide"});
    const std::vector<std::string> withDetails =
        Batch({"--batch", "box.csv", "--details", std::to_string(cHotWaterLine)});
    ASSERT_EQ(clashes.size(), 6u) << "the sample's deliberate clashes";
    ASSERT_EQ(withDetails.size(), summary.size() + 1);
    const std::string details = withDetails.back();

    ViewerProcess viewer;
    ASSERT_NO_FATAL_FAILURE(StartViewer(viewer));
    // First start without a settings file: the defaults.
    EXPECT_EQ(viewer.Query("datafile"), "box.csv");
    EXPECT_EQ(viewer.Query("text Edit1"), "500");
    EXPECT_EQ(viewer.Lines("Memo2"), summary);
    EXPECT_EQ(viewer.Query("text LATime"), "LATime");
    const std::optional<int> objects = viewer.Number("objects");
    ASSERT_TRUE(objects.has_value());
    ASSERT_GT(*objects, cHotWaterObjects);

    // 1. Ticking "衝突" starts the cycle: each pass lists the clashes in place of the load
    // summary, shows its time and turns the lamp red.
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "CheckBox1"));
    EXPECT_EQ(viewer.WaitFor("checked CheckBox1", Is("1"), cStepTime), "1");
    EXPECT_EQ(viewer.WaitFor("lamp", Is("255 0 0"), cStepTime), "255 0 0");
    const std::regex timeText("^[0-9]+\\.[0-9] ms$");
    const auto timeShown = [&] {
        const std::optional<std::string> t = viewer.Query("text LATime");
        return t && std::regex_match(*t, timeText);
    };
    EXPECT_TRUE(WaitUntil(timeShown, cStepTime)) << viewer.Query("text LATime").value_or("");
    EXPECT_TRUE(WaitUntil([&] { return viewer.Lines("Memo2") == clashes; }, cStepTime));
    // Later passes show the same: every pass starts from an empty message area.
    for (int pass = 0; pass < 3; ++pass) {
        std::this_thread::sleep_for(150ms);
        EXPECT_EQ(viewer.Lines("Memo2"), clashes);
        EXPECT_EQ(viewer.Query("lamp"), "255 0 0");
        EXPECT_TRUE(timeShown());
    }

    // 2. Unticking stops it; the last report stays.
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "CheckBox1"));
    EXPECT_EQ(viewer.WaitFor("checked CheckBox1", Is("0"), cStepTime), "0");
    EXPECT_EQ(viewer.Lines("Memo2"), clashes);

    // 3. A click on the hot water line picks it and prints its details.
    const std::optional<ScreenRect> view = viewer.Geometry("GLSceneViewer1");
    const std::optional<ScreenPoint> onLine =
        viewer.Project(cHotWaterPoint[0], cHotWaterPoint[1], cHotWaterPoint[2]);
    ASSERT_TRUE(view && onLine);
    ASSERT_TRUE(onLine->x > view->x && onLine->x < view->x + view->w && onLine->y > view->y &&
                onLine->y < view->y + view->h)
        << "the line is drawn at " << onLine->x << "," << onLine->y << ", outside the view";
    const std::vector<std::string> beforePick = viewer.Lines("Memo2");
    x.Click(onLine->x, onLine->y);
    std::vector<std::string> afterPick;
    EXPECT_TRUE(WaitUntil(
        [&] {
            afterPick = viewer.Lines("Memo2");
            return afterPick.size() > beforePick.size();
        },
        cStepTime));
    std::vector<std::string> expected = beforePick;
    expected.push_back(details);
    EXPECT_EQ(afterPick, expected);
    // The collision timer is off: three of its periods later no pass has wiped the details.
    std::this_thread::sleep_for(350ms);
    EXPECT_EQ(viewer.Lines("Memo2"), expected);

    // 4. A click on the group's "表示" cell hides it and rebuilds the scene without its line.
    const std::optional<int> rows = viewer.Number("rows StringGrid1");
    ASSERT_TRUE(rows.has_value());
    int groupRow = 0;
    for (int r = 1; r < *rows && groupRow == 0; ++r)
        if (viewer.Query("cell StringGrid1 0 " + std::to_string(r)) == cHotWaterGroup)
            groupRow = r;
    ASSERT_GT(groupRow, 0) << "no row for " << cHotWaterGroup;
    const std::string shownCell = "cell StringGrid1 1 " + std::to_string(groupRow);
    EXPECT_EQ(viewer.Query(shownCell), "on");
    const std::optional<int> framesBefore = viewer.Number("frames");
    const std::optional<ScreenRect> cell = viewer.CellGeometry("StringGrid1", 1, groupRow);
    ASSERT_TRUE(cell && framesBefore);
    x.Click(cell->CentreX(), cell->CentreY());
    EXPECT_EQ(viewer.WaitFor(shownCell, Is("off"), cStepTime), "off");
    EXPECT_TRUE(WaitUntil([&] { return viewer.Number("objects") == *objects - cHotWaterObjects; },
                          cStepTime))
        << "objects: " << viewer.Number("objects").value_or(-1);
    EXPECT_TRUE(WaitUntil([&] { return viewer.Number("frames") > framesBefore; }, cStepTime))
        << "the view was not drawn again";
    const std::vector<std::string> afterHide = viewer.Lines("Memo2");
    ASSERT_FALSE(afterHide.empty());
    EXPECT_EQ(afterHide.back().rfind(std::string("種別=:2:線 名称=") + cHotWaterGroup, 0), 0u)
        << afterHide.back();

    // 5. A new load scale typed into its box is written at close as the box's text, with the
    // data file and one section per group.
    const std::optional<ScreenRect> scaleBox = viewer.Geometry("Edit1");
    ASSERT_TRUE(scaleBox.has_value());
    x.Click(scaleBox->CentreX(), scaleBox->CentreY());
    ASSERT_TRUE(x.Key("End"));
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(x.Key("BackSpace"));
    ASSERT_TRUE(x.Type("400"));
    EXPECT_EQ(viewer.WaitFor("text Edit1", Is("400"), cStepTime), "400");

    std::vector<std::string> groupNames, groupShown;
    for (int r = 1; r < *rows; ++r) {
        groupNames.push_back(viewer.Query("cell StringGrid1 0 " + std::to_string(r)).value_or(""));
        groupShown.push_back(viewer.Query("cell StringGrid1 1 " + std::to_string(r)).value_or(""));
    }
    ASSERT_NO_FATAL_FAILURE(CloseViewer(viewer));

    IniSections ini = Settings();
    EXPECT_EQ(ini["load"]["filename"], "box.csv");
    EXPECT_EQ(ini["load"]["ZScale"], "400");
    EXPECT_EQ(ini["Name"]["Num"], std::to_string(groupNames.size()));
    for (std::size_t g = 0; g < groupNames.size(); ++g) {
        const std::string section = std::to_string(g + 1);
        ASSERT_EQ(ini.count(section), 1u) << "no section " << section;
        EXPECT_EQ(SjisToUtf8(ini[section]["name"]), groupNames[g]) << section;
        EXPECT_EQ(ini[section]["onoff"], groupShown[g] == "on" ? "1" : "0") << section;
    }
    EXPECT_EQ(ini[std::to_string(groupRow)]["onoff"], "0");
    EXPECT_EQ(ini.count(std::to_string(groupNames.size() + 1)), 0u);

    // 6. The next start takes the data file and the scale from the settings file.
    ViewerProcess again;
    ASSERT_NO_FATAL_FAILURE(StartViewer(again));
    EXPECT_EQ(again.Query("datafile"), "box.csv");
    EXPECT_EQ(again.Query("text Edit1"), "400");
    EXPECT_EQ(again.Number("objects"), objects);
    ASSERT_NO_FATAL_FAILURE(CloseViewer(again));
    IniSections second = Settings();
    EXPECT_EQ(second["load"]["filename"], "box.csv");
    EXPECT_EQ(second["load"]["ZScale"], "400");
}

// The fields of a clash line of the automation channel (the batch mode's --clashes line).
std::vector<std::string> ClashFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// The status of each row of the clash list, counted.
std::map<std::string, int> StatusCounts(ViewerProcess& viewer) {
    std::map<std::string, int> counts;
    const int rows = viewer.Number("clashes").value_or(0);
    for (int row = 0; row < rows; ++row)
        ++counts[ClashFields(viewer.Query("clash " + std::to_string(row)).value_or(""))[0]];
    return counts;
}

TEST_F(ProgramTest, TheClashListFollowsTheWatchAndShowsTheSelectedClash) {
    ViewerProcess viewer;
    ASSERT_NO_FATAL_FAILURE(StartViewer(viewer));
    // Home ("全体表示") brings every corner of the drawing into the view.
    const std::optional<ScreenRect> view = viewer.Geometry("GLSceneViewer1");
    ASSERT_TRUE(view.has_value());
    const auto inView = [&](double px, double py, double pz) {
        const std::optional<ScreenPoint> p = viewer.Project(px, py, pz);
        return p && p->x > view->x && p->x < view->x + view->w && p->y > view->y &&
               p->y < view->y + view->h;
    };
    const auto allCornersShown = [&] {
        for (double cx : {0, 6000})
            for (double cy : {0, 4000})
                for (double cz : {0, 3000})
                    if (!inView(cx, cy, cz))
                        return false;
        return true;
    };
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "CheckBox1"));
    EXPECT_EQ(viewer.WaitFor("lamp", Is("255 0 0"), cStepTime), "255 0 0");
    EXPECT_FALSE(allCornersShown()) << "the start-up view shows the drawing close up";
    x.Click(view->x + 5, view->y + view->h - 5);
    ASSERT_TRUE(x.Key("Home"));
    EXPECT_TRUE(WaitUntil(allCornersShown, cStepTime));

    // Ctrl+L over the main window opens the list with the sample's five hard clashes; its
    // joint shows when asked for: six clashes, all new.
    const std::optional<ScreenRect> memo = viewer.Geometry("Memo2");
    ASSERT_TRUE(memo.has_value());
    x.MoveTo(memo->CentreX(), memo->CentreY());
    ASSERT_TRUE(x.Key("l", "Control_L"));
    EXPECT_EQ(viewer
                  .WaitFor(
                      "clashgeometry 0",
                      [](const std::string& a) { return a.rfind("error", 0) != 0; }, cStepTime)
                  .rfind("error", 0),
              std::string::npos);
    EXPECT_EQ(viewer.WaitFor("clashes", Is("5"), cStepTime), "5");
    EXPECT_EQ(viewer.Query("text HiddenClashes"), "非表示 1件 (接続 1)");
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "ShowConnected"));
    EXPECT_EQ(viewer.WaitFor("clashes", Is("6"), cStepTime), "6");
    EXPECT_EQ(viewer.Query("text HiddenClashes"), "非表示 0件");
    EXPECT_EQ(StatusCounts(viewer), (std::map<std::string, int>{{"new", 6}}));

    // "自動更新" reloads the unchanged file once: the six become the baseline and stay.
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "CheckBox3"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return StatusCounts(viewer) == std::map<std::string, int>{{"active", 6}};
        },
        cStepTime));

    // A click on the row of the drain pipe and the lower bar along y selects it: both objects
    // are highlighted and the view turns to the clash point.
    int row = -1;
    std::vector<std::string> chosen;
    for (int r = 0; r < 6 && row < 0; ++r) {
        chosen = ClashFields(viewer.Query("clash " + std::to_string(r)).value_or(""));
        if (chosen.size() >= 14 && chosen[1] == "95" && chosen[6] == "62")
            row = r;
    }
    ASSERT_GE(row, 0) << "no clash of lines 95 and 62";
    const std::string rowGeometry =
        viewer.Query("clashgeometry " + std::to_string(row)).value_or("");
    ScreenRect r{};
    ASSERT_EQ(std::sscanf(rowGeometry.c_str(), "%d %d %d %d", &r.x, &r.y, &r.w, &r.h), 4)
        << rowGeometry;
    x.Click(r.x + 20, r.CentreY());
    EXPECT_EQ(viewer.WaitFor("highlighted", Is("95 62"), cStepTime), "95 62");
    std::optional<ScreenPoint> at;
    EXPECT_TRUE(WaitUntil(
        [&] {
            at =
                viewer.Project(std::stod(chosen[11]), std::stod(chosen[12]), std::stod(chosen[13]));
            return at && std::abs(at->x - view->CentreX()) < view->w / 10 &&
                   std::abs(at->y - view->CentreY()) < view->h / 10;
        },
        cStepTime))
        << "the clash point is drawn at " << (at ? at->x : -1) << "," << (at ? at->y : -1);

    // The saved edit: a row at the top shifts every line, the hot-water line rises 300 mm clear
    // of the chilled-water supply, a new pipe crosses the water supply.
    std::ifstream in(folder.Path() / "box.csv", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t found = text.find(from);
        ASSERT_NE(found, std::string::npos) << from;
        text.replace(found, from.size(), to);
    };
    replace(",300,2000,2500,4\r\n2,,0,,,,,H2,5700,2000,2500",
            ",300,2000,2800,4\r\n2,,0,,,,,H2,5700,2000,2800");
    text = "5,1,0\r\n" + text + "20,,NEW,CW,65A,38,33,N1,2500,2500,2000,N2,3500,2500,2000,4\r\n";
    std::ofstream(folder.Path() / "box.csv", std::ios::binary) << text;

    EXPECT_TRUE(WaitUntil(
        [&] {
            return StatusCounts(viewer) ==
                   std::map<std::string, int>{{"active", 5}, {"new", 1}, {"resolved", 1}};
        },
        cStepTime))
        << viewer.Query("clashes").value_or("");
    for (int shown = 0; shown < 7; ++shown) {
        const auto fields =
            ClashFields(viewer.Query("clash " + std::to_string(shown)).value_or(""));
        if (!fields.empty() && fields[0] == "resolved") {
            EXPECT_TRUE(fields[1] == std::to_string(cHotWaterLine) ||
                        fields[6] == std::to_string(cHotWaterLine));
        }
    }
    // The selection stays on the same clash, now on lines one further down.
    EXPECT_EQ(viewer.WaitFor("highlighted", Is("96 63"), cStepTime), "96 63");

    // Escape in the list clears the selection and the highlight.
    x.MoveTo(r.x + 20, r.CentreY());
    ASSERT_TRUE(x.Key("Escape"));
    EXPECT_EQ(viewer.WaitFor("highlighted", Is(""), cStepTime), "");
    ASSERT_NO_FATAL_FAILURE(CloseViewer(viewer));
}

// Ticks "衝突", opens the clash list with Ctrl+L and waits for its rows.
void OpenClashList(ViewerProcess& viewer, XInput& x, const std::string& rows) {
    const std::optional<ScreenRect> memo = viewer.Geometry("Memo2");
    ASSERT_TRUE(memo.has_value());
    const auto shown = [](const std::string& answer) { return answer.rfind("error", 0) != 0; };
    // The rows count before the window is on the screen; its first row shows once it is. On a
    // busy machine the key can reach the window before it takes keys, so it is pressed again
    // (it only ever shows the list) until the list shows.
    std::string first = "error";
    for (int attempt = 0; attempt < 5 && !shown(first); ++attempt) {
        x.MoveTo(memo->CentreX(), memo->CentreY());
        ASSERT_TRUE(x.Key("l", "Control_L"));
        first = viewer.WaitFor("clashgeometry 0", shown, cStepTime / 5);
    }
    EXPECT_TRUE(shown(first)) << first;
    EXPECT_EQ(viewer.WaitFor("clashes", Is(rows), cStepTime), rows);
}

// A clash approved in the list stays approved in the next run of the program, and the batch
// mode, another process, reports it approved.
TEST_F(ProgramTest, AClashApprovedInTheWindowStaysApprovedAfterARestart) {
    {
        ViewerProcess viewer;
        ASSERT_NO_FATAL_FAILURE(StartViewer(viewer));
        ASSERT_NO_FATAL_FAILURE(ClickCheckBox(viewer, "CheckBox1"));
        // The sample's five hard clashes (its joint is not shown).
        ASSERT_NO_FATAL_FAILURE(OpenClashList(viewer, x, "5"));
        const std::string first = viewer.Query("clash 0").value_or("");
        ScreenRect r{};
        const std::string rowGeometry = viewer.Query("clashgeometry 0").value_or("");
        ASSERT_EQ(std::sscanf(rowGeometry.c_str(), "%d %d %d %d", &r.x, &r.y, &r.w, &r.h), 4)
            << rowGeometry;
        x.Click(r.x + 20, r.CentreY());
        const std::optional<ScreenRect> approve = viewer.Geometry("ApproveButton");
        ASSERT_TRUE(approve.has_value());
        x.Click(approve->CentreX(), approve->CentreY());
        // The comment dialog takes the keys once it holds the focus: a comment and Enter.
        EXPECT_EQ(viewer.WaitFor("focus", Is("ApproveDialog"), cStepTime), "ApproveDialog");
        const std::optional<ScreenRect> dialog = viewer.Geometry("ApproveDialog");
        ASSERT_TRUE(dialog.has_value());
        x.MoveTo(dialog->CentreX(), dialog->CentreY());
        ASSERT_TRUE(x.Type("ok"));
        ASSERT_TRUE(x.Key("Return"));
        EXPECT_EQ(viewer.WaitFor("clashes", Is("4"), cStepTime), "4");
        EXPECT_NE(viewer.Query("clash 0"), first);
        ASSERT_NO_FATAL_FAILURE(CloseViewer(viewer));
    }
    ASSERT_TRUE(fs::exists(folder.Path() / "box.clash.json"));

    ViewerProcess again;
    ASSERT_NO_FATAL_FAILURE(StartViewer(again));
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(again, "CheckBox1"));
    ASSERT_NO_FATAL_FAILURE(OpenClashList(again, x, "4"));
    ASSERT_NO_FATAL_FAILURE(CloseViewer(again));

    // One CSV row approved, with its comment last.
    Batch({"--batch", "box.csv", "--report", "clashes.csv"});
    std::ifstream in(folder.Path() / "clashes.csv", std::ios::binary);
    int approved = 0, rows = 0;
    for (std::string line; std::getline(in, line); ++rows)
        if (line.find(",new,true,") != std::string::npos && line.ends_with(",ok\r"))
            ++approved;
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(approved, 1);
}

} // namespace
} // namespace hk::test
