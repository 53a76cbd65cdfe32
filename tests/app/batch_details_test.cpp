// The batch options --details and --summary: order, output and the errors of bad requests.
#include "app/batch.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hk {
namespace {

using test::TempFolder;

class BatchDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.Write("hkviewer.csv", {"X,,1,2,3"});
        // Line 2 ends a shown line group; line 3 is a point of a hidden point group.
        file = work.Write("d.csv", {"2,,1,N,R,D,10,S,0,0,0,0", "2,,0,,,,,E,100,0,0",
                                    "1,,P,r,13,120.4,-350.6,0,0"});
    }
    int Run(std::vector<std::string> extra) {
        std::vector<std::string> args = {"--batch", file};
        args.insert(args.end(), extra.begin(), extra.end());
        out.str({});
        err.str({});
        return RunBatch(args, program.Path(), out, err);
    }
    // The lines printed after the load summary.
    std::vector<std::string> DetailLines() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }

    TempFolder program;
    TempFolder work;
    std::string file;
    std::ostringstream out, err;
};

TEST_F(BatchDetailsTest, RequestsRunInTheOrderGiven) {
    ASSERT_EQ(Run({"--summary", "1", "1", "--details", "2", "--summary", "2", "1"}), 0)
        << err.str();
    EXPECT_EQ(DetailLines(),
              (std::vector<std::string>{
                  "P      120     -351        0",
                  "名称１：N　名称２：R　直径名称：D　直径：10　点名称：S　Ｘ：0　Ｙ：0　Ｚ：0"
                  "　点名称：E　Ｘ：100　Ｙ：0　Ｚ：0　衝突：0　行：2",
                  "S        0        0        0E      100        0        0"}));
    EXPECT_EQ(err.str(), "");
}

TEST_F(BatchDetailsTest, ItemsOfHiddenGroupsPrintNothingWithoutFailing) {
    EXPECT_EQ(Run({"--details", "3"}), 0) << err.str();
    EXPECT_TRUE(DetailLines().empty());
}

TEST_F(BatchDetailsTest, RequestsNamingNoItemFailButKeepTheOtherLines) {
    EXPECT_EQ(Run({"--details", "1", "--summary", "2", "1"}), 1);
    EXPECT_NE(err.str().find("line 1"), std::string::npos) << err.str();
    EXPECT_EQ(DetailLines().size(), 1u);

    EXPECT_EQ(Run({"--summary", "1", "2"}), 1);
    EXPECT_NE(err.str().find("no item 2"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"--summary", "5", "1"}), 1);
    EXPECT_EQ(Run({"--summary", "1", "2147483647"}), 1);
}

TEST_F(BatchDetailsTest, DetailsFollowTheCollisionReport) {
    ASSERT_EQ(Run({"--details", "2", "--collide"}), 0) << err.str();
    const std::string text = out.str();
    const std::size_t detail = text.find("名称１：N");
    ASSERT_NE(detail, std::string::npos) << text;
    EXPECT_EQ(text.find('\n', detail), text.size() - 1) << text;
}

TEST_F(BatchDetailsTest, MalformedValuesAreUsageErrors) {
    EXPECT_EQ(Run({"--details", "x"}), 2);
    EXPECT_NE(err.str().find("--details"), std::string::npos);
    EXPECT_EQ(Run({"--summary", "1"}), 2);
    EXPECT_EQ(Run({"--summary", "0", "1"}), 2);
    EXPECT_EQ(Run({"--summary", "1", "1e3"}), 2);
    EXPECT_EQ(out.str(), "");
}

} // namespace
} // namespace hk
