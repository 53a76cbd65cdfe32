// The batch mode run in-process: output, exit status, options and errors.
#include "app/batch.h"
#include "app/sjis.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

namespace hk {
namespace {

using test::CurrentDirectoryGuard;
using test::TempFolder;

class BatchTest : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunBatch(args, program.Path(), out, err);
    }

    TempFolder program;
    TempFolder work;
    std::ostringstream out, err;
};

TEST_F(BatchTest, PrintsTheSummaryLineInUtf8) {
    std::string file = work.Write("small.csv", {"1,,P,r,1,0,0,0,0", "7,0,0,1,F,r,,0,0,0,0"});
    program.Write("hkviewer.csv", {"P,,1,2,3"});
    EXPECT_EQ(Run({"--batch", file}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "点バッファ数:1　線バッファ数:0　円,円弧バッファ数:0　文字バッファ数:0"
              "　面,多角線バッファ数:1　寸法バッファ数:0　範囲バッファ数:0　マスタ数:2\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(BatchTest, RelativeNamesResolveAgainstTheCallersDirectory) {
    CurrentDirectoryGuard guard;
    work.Write("rel.csv", {"1,,P,r,1,0,0,0,0"});
    work.Write("rules.csv", {"P,,1,2,3"});
    std::filesystem::current_path(work.Path());
    EXPECT_EQ(Run({"--batch", "rel.csv", "--rules", "rules.csv", "--scale", "250", "--no-init"}), 0)
        << err.str();
    EXPECT_NE(out.str().find("点バッファ数:1"), std::string::npos);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), work.Path()));
}

// Notices go to stderr: stdout holds exactly the message area, one summary line after a load.
TEST_F(BatchTest, NoticesGoToStderrAndStdoutKeepsTheSummaryAlone) {
    std::string file = work.Write("small.csv", {"1,,P,r,1,0,0,0,0", "1,,Q,r,1,0,0,0,0,0"});
    EXPECT_EQ(Run({"--batch", file}), 0);
    const std::string shown = out.str();
    EXPECT_EQ(shown.find("点バッファ数:2"), 0u) << shown;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << shown;
    EXPECT_NE(err.str().find("hkviewer: Cannot open the colour rule file " +
                             program.File("hkviewer.csv")),
              std::string::npos)
        << "the missing default rules are a notice, not a failure: " << err.str();
    EXPECT_NE(err.str().find("small.csv: line 2: columns after"), std::string::npos) << err.str();
}

TEST_F(BatchTest, FailuresGoToStderrWithStatusOne) {
    EXPECT_EQ(Run({"--batch", work.File("absent.csv")}), 1);
    EXPECT_NE(err.str().find("absent.csv"), std::string::npos);
    EXPECT_EQ(out.str(), "");

    std::string bad = work.Write("bad.csv", {"1,,P,r,1,0,0,0,0", "1,,P,r,x,0,0,0,0"});
    EXPECT_EQ(Run({"--batch", bad}), 1);
    EXPECT_NE(err.str().find("'x' is not a valid floating point value"), std::string::npos);
    EXPECT_NE(err.str().find("bad.csv: line 2"), std::string::npos);
    EXPECT_EQ(out.str(), "");

    // Messages reach the terminal in UTF-8 also when the file's folder has a Japanese name.
    std::filesystem::create_directory(work.Path() / "図面");
    std::string named = work.Write("図面/bad.csv", {"1,,点,r,1,0,0,0,0", "1,,P,r,1,y,0,0,0"});
    EXPECT_EQ(Run({"--batch", named}), 1);
    EXPECT_NE(err.str().find("図面/bad.csv: line 2"), std::string::npos) << err.str();

    std::string good = work.Write("good.csv", {});
    EXPECT_EQ(Run({"--batch", good, "--rules", work.File("norules.csv")}), 1);
    EXPECT_NE(err.str().find("norules.csv"), std::string::npos);
}

// File names reach stderr in the file system's bytes, also those Shift-JIS cannot spell (an
// accent, a wave dash it maps to another character, bytes that are no text), while the drawing
// text they quote is converted once.
TEST_F(BatchTest, FileNamesReachStderrAsTheFileSystemSpellsThem) {
    const std::string piping = Utf8ToSjis("配管");
    for (const std::string name : {"caf\xC3\xA9", "\xE3\x80\x9C", "図面", "\xFF\xFE"}) {
        const std::string drawing = work.WriteRaw(name + ".csv", "1,,P,r,1,0,0,0,0," + piping);
        const std::string rules = work.WriteRaw(name + "-rules.csv", "P,,x,2,3");
        EXPECT_EQ(Run({"--batch", drawing, "--rules", rules}), 0) << err.str();
        EXPECT_NE(err.str().find("hkviewer: " + drawing +
                                 ": line 1: columns after the record's last one ignored: '配管'"),
                  std::string::npos)
            << err.str();
        EXPECT_NE(err.str().find("hkviewer: " + rules + ": line 1: red 'x' is not an integer"),
                  std::string::npos)
            << err.str();

        const std::string bad = work.WriteRaw(name + "-bad.csv", "1,,P,r,1,0," + piping + ",0,0");
        EXPECT_EQ(Run({"--batch", bad}), 1);
        EXPECT_NE(err.str().find("hkviewer: '配管' is not a valid floating point value\n" + bad +
                                 ": line 1\n"),
                  std::string::npos)
            << err.str();
    }
}

// A drawing names its models relative to its own folder; drawings that rely on models in the
// program's folder still find them there.
TEST_F(BatchTest, ModelsAreFoundBesideTheDrawingThenInTheProgramsFolder) {
    const std::filesystem::path pump = std::filesystem::path(HK_TEST_DATA_DIR) / "pump.3ds";
    std::filesystem::create_directories(work.Path() / "other" / "dir");
    const std::string drawing =
        work.Write("other/dir/s.csv", {"22,,P,P-1,1750,1100,300,1,1,1,pump.3ds,5",
                                       "20,,D,DR,50A,30,26,A,1750,1100,-500,B,1750,1100,1500,4"});
    for (const std::filesystem::path& folder : {work.Path() / "other" / "dir", program.Path()}) {
        std::filesystem::copy_file(pump, folder / "pump.3ds");
        EXPECT_EQ(Run({"--batch", drawing, "--show-all", "--collide"}), 0) << err.str();
        EXPECT_EQ(err.str().find("cannot be read"), std::string::npos) << err.str();
        const std::string report = out.str();
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << "one clash: " << report;
        std::filesystem::remove(folder / "pump.3ds");
    }
}

TEST_F(BatchTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(err.str().find("usage: hkviewer --batch FILE"), std::string::npos);
    EXPECT_EQ(Run({"--batch"}), 2);
    EXPECT_EQ(Run({"--batch", "a.csv", "--frobnicate"}), 2);
    EXPECT_EQ(Run({"--batch", "a.csv", "--scale"}), 2);
    EXPECT_EQ(Run({"--batch", "a.csv", "--scale", "big"}), 2);
    EXPECT_EQ(Run({"--no-init"}), 2) << "no data file";
}

TEST(BatchCommandLine, HelpListsEveryOptionAndVersionPrintsOneLine) {
    char prog[] = "hkviewer", help[] = "--help", version[] = "--version", batch[] = "--batch";
    char* helpArgs[] = {prog, batch, help};
    char* versionArgs[] = {prog, version};
    char* neither[] = {prog, batch};
    EXPECT_TRUE(IsInfoCommandLine(3, helpArgs));
    EXPECT_TRUE(IsInfoCommandLine(2, versionArgs));
    EXPECT_FALSE(IsInfoCommandLine(2, neither));
    std::ostringstream out;
    EXPECT_EQ(RunInfo(3, helpArgs, out), 0);
    for (const char* option :
         {"--batch FILE", "--rules FILE", "--scale N", "--no-init", "--show-all", "--collide",
          "--details LINE", "--summary KIND INDEX", "--check-script FILE", "--screenshot OUT.png",
          "--automation", "--help", "--version"})
        EXPECT_NE(out.str().find(option), std::string::npos) << option;
    out.str({});
    EXPECT_EQ(RunInfo(2, versionArgs, out), 0);
    EXPECT_TRUE(std::regex_match(out.str(), std::regex("hkviewer [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << out.str();
}

TEST(BatchSample, PrintsTheSampleSummary) {
    std::ostringstream out, err;
    const std::string samples = HK_TEST_DATA_DIR;
    EXPECT_EQ(RunBatch({"--batch", samples + "/box.csv"}, samples, out, err), 0) << err.str();
    EXPECT_EQ(out.str(),
              "点バッファ数:4　線バッファ数:41　円,円弧バッファ数:2　文字バッファ数:0"
              "　面,多角線バッファ数:20　寸法バッファ数:3　範囲バッファ数:2　マスタ数:22\n");
}

// --passes N prints one time line per cycle on stderr (the baseline's first) and the report
// of the last cycle, which for a drawing that stands still is the first one's.
TEST(BatchPasses, OneTimeLinePerCycleAndTheLastReport) {
    const std::string sample = std::string(HK_TEST_DATA_DIR) + "/box.csv";
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"--batch", sample, "--show-all", "--collide"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch(args, HK_TEST_DATA_DIR, out, err), 0) << err.str();
        std::vector<std::string> times;
        std::istringstream lines(err.str());
        for (std::string line; std::getline(lines, line);)
            if (line.size() > 3 && line.compare(line.size() - 3, 3, " ms") == 0)
                times.push_back(line);
        return std::pair{out.str(), times.size()};
    };
    const auto once = run({});
    EXPECT_EQ(once.second, 1u);
    EXPECT_NE(once.first.find("  -  "), std::string::npos) << "the sample has clashes";
    for (int n : {1, 3}) {
        EXPECT_EQ(run({"--passes", std::to_string(n)}), std::pair(once.first, std::size_t(n)));
        EXPECT_EQ(run({"--passes", std::to_string(n), "--baseline", sample}).second,
                  std::size_t(n + 1));
    }
    std::ostringstream out, err;
    for (const char* bad : {"0", "-2", "x"})
        EXPECT_EQ(RunBatch({"--batch", sample, "--passes", bad}, ".", out, err), 2) << bad;
}

TEST(BatchCommandLine, RecognisesTheBatchOption) {
    char prog[] = "hkviewer", batch[] = "--batch", file[] = "x.csv", other[] = "-style";
    char* withBatch[] = {prog, other, batch, file};
    char* without[] = {prog, other, file};
    EXPECT_TRUE(IsBatchCommandLine(4, withBatch));
    EXPECT_FALSE(IsBatchCommandLine(3, without));
    EXPECT_FALSE(IsBatchCommandLine(1, withBatch));
}

} // namespace
} // namespace hk
