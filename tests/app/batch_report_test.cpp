// The batch mode's clash reports end to end on the sample drawing: one clash per --clashes line
// in every format with the same ids in every run, the approvals file read and never written,
// and the exit statuses of --fail-on-clash.
#include "app/batch.h"
#include "app/report_data.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zip.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace hk {
namespace {

using test::TempFolder;

struct BatchRun {
    int status = 0;
    std::string out, err;
};

// A batch run on a folder holding a copy of the sample as plant.csv (and, when given, its
// approvals file); the sample's model and colour rules are found as the program's.
class BatchReportTest : public ::testing::Test {
protected:
    BatchReportTest() {
        std::ifstream in(std::string(HK_TEST_DATA_DIR) + "/box.csv", std::ios::binary);
        sample = std::string((std::istreambuf_iterator<char>(in)), {});
        drawing = work.WriteRaw("plant.csv", sample);
    }

    BatchRun Batch(std::vector<std::string> args) {
        std::ostringstream out, err;
        args.insert(args.begin(), {"--batch", drawing, "--show-all"});
        BatchRun run;
        run.status = RunBatch(args, HK_TEST_DATA_DIR, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    nlohmann::json Json(const std::string& file) { return nlohmann::json::parse(work.Read(file)); }

    std::vector<std::string> JsonIds(const std::string& file) {
        std::vector<std::string> ids;
        const nlohmann::json json = Json(file);
        for (const auto& clash : json["clashes"])
            ids.push_back(clash["id"]);
        return ids;
    }

    void Approve(const std::vector<std::string>& ids) {
        nlohmann::json list = nlohmann::json::array();
        for (const std::string& id : ids)
            list.push_back({{"id", id}, {"comment", "ok"}, {"by", "test"}, {"at", "2026"}});
        work.WriteRaw("plant.clash.json", nlohmann::json{{"approved", list}}.dump());
    }

    TempFolder work;
    std::string sample, drawing;
};

// The names of a zip's entries.
std::set<std::string> ZipNames(const std::string& path) {
    std::set<std::string> names;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
        names.insert(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
    zip_close(archive);
    return names;
}

TEST_F(BatchReportTest, EveryFormatListsTheClashesWithIdsThatStayTheSame) {
    const BatchRun plain = Batch({"--collide"});
    const BatchRun clashes = Batch({"--clashes"});
    const BatchRun first = Batch({"--report", work.File("r.json"), "--report", work.File("r.csv"),
                                  "--report", work.File("r.BCF")});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, plain.out);

    // JSON: one clash per --clashes line, same items, same order, same judgement.
    nlohmann::json json = Json("r.json");
    std::istringstream lines(clashes.out);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        ASSERT_LT(n, json["clashes"].size());
        const auto& c = json["clashes"][n];
        std::string expected =
            std::string(c["status"]) + "\t" + std::to_string(int(c["a"]["line"]));
        EXPECT_EQ(line.substr(0, expected.size()), expected);
        EXPECT_EQ(c["approved"], false);
        EXPECT_TRUE(line.ends_with("\t" + std::string(c["type"]) + "\t" +
                                   FixedDecimals(c["distance"].get<double>(), 1)))
            << line;
    }
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(json["clashes"].size(), 6u);
    EXPECT_EQ(json["counts"]["new"], 6);
    EXPECT_EQ(json["drawing"], drawing);
    EXPECT_EQ(json["loadScale"], 500);

    // CSV and BCF carry the same ids; a second run gives them again.
    std::vector<std::string> ids = JsonIds("r.json");
    std::string csv = work.Read("r.csv");
    std::set<std::string> folders;
    for (const std::string& id : ids) {
        EXPECT_NE(csv.find("\r\n" + id + ",new,false,"), std::string::npos) << id;
        folders.insert(id + "/");
    }
    for (const std::string& name : ZipNames(work.File("r.BCF")))
        if (name.ends_with("/"))
            folders.erase(name);
    EXPECT_TRUE(folders.empty());
    ASSERT_EQ(Batch({"--report", work.File("again.json")}).status, 0);
    EXPECT_EQ(JsonIds("again.json"), ids);
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
}

TEST_F(BatchReportTest, FailOnClashCountsWhatIsNeitherApprovedNorResolved) {
    ASSERT_EQ(Batch({"--report", work.File("r.json")}).status, 0);
    std::vector<std::string> ids = JsonIds("r.json");
    ASSERT_EQ(ids.size(), 6u);
    EXPECT_EQ(Batch({"--fail-on-clash"}).status, 3);

    // The sample's hard clashes: all but one approved, still open; all approved, the run
    // passes though the connected pair is not approved. Every report says so.
    std::vector<std::string> hard;
    const nlohmann::json first = Json("r.json");
    for (const auto& clash : first["clashes"])
        if (clash["type"] == "hard")
            hard.push_back(clash["id"]);
    ASSERT_EQ(hard.size(), 5u);
    Approve(std::vector<std::string>(hard.begin(), hard.end() - 1));
    EXPECT_EQ(Batch({"--fail-on-clash"}).status, 3);
    Approve(hard);
    EXPECT_EQ(Batch({"--fail-on-clash"}).status, 0);
    Approve(ids);
    const std::string approvals = work.Read("plant.clash.json");
    BatchRun run =
        Batch({"--fail-on-clash", "--report", work.File("r.json"), "--report", work.File("r.csv")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Json("r.json")["counts"]["approved"], 6);
    EXPECT_EQ(Json("r.json")["clashes"][0]["comment"], "ok");
    EXPECT_NE(work.Read("r.csv").find(ids[0] + ",new,true,"), std::string::npos);
    EXPECT_EQ(work.Read("plant.clash.json"), approvals) << "batch mode never writes approvals";

    // A damaged approvals file is named and approves nothing; it stays as it was.
    work.WriteRaw("plant.clash.json", "{\"approved\": [");
    run = Batch({"--fail-on-clash"});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find(work.File("plant.clash.json") + ": line 1: not JSON"), std::string::npos)
        << run.err;
    EXPECT_EQ(work.Read("plant.clash.json"), "{\"approved\": [");

    // Against the sample as baseline, a drawing without solids leaves every clash resolved:
    // nothing is open and the BCF holds no topic.
    std::string before = work.WriteRaw("before.csv", sample);
    work.WriteRaw("plant.csv", "5,1,0\r\n");
    run = Batch({"--baseline", before, "--fail-on-clash", "--report", work.File("r.json"),
                 "--report", work.File("r.bcfzip")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Json("r.json")["counts"]["resolved"], 6);
    EXPECT_EQ(JsonIds("r.json"), ids);
    EXPECT_EQ(ZipNames(work.File("r.bcfzip")), std::set<std::string>{"bcf.version"});
}

// Parallel pipes of radius 50 along x, one pair per height: axes 80 apart (a depth of 20), 100
// apart (touching), 110 apart (a gap of 10, whose boxes do not meet) and a straight joint.
std::string PipePairs() {
    auto pipe = [](int y, int x1, int x2, int z) {
        return "2,,1,P,R,50A,50,S," + std::to_string(x1) + "," + std::to_string(y) + "," +
               std::to_string(z) + ",4\r\n2,,0,,,,,E," + std::to_string(x2) + "," +
               std::to_string(y) + "," + std::to_string(z) + "\r\n";
    };
    return pipe(0, 0, 1000, 0) + pipe(80, 0, 1000, 0) + pipe(0, 0, 1000, 2000) +
           pipe(100, 0, 1000, 2000) + pipe(0, 0, 1000, 4000) + pipe(110, 0, 1000, 4000) +
           pipe(0, 0, 1000, 6000) + pipe(0, 1000, 2000, 6000);
}

// The reports and the CI verdict over the judgement: every format carries each clash's type
// and distance, the closest points lie |distance| apart at the pair's height, and only hard
// clashes and clearance breaches that nobody approved fail the run.
TEST_F(BatchReportTest, ReportsCarryTheJudgementAndOnlyHardOrClearanceClashesFail) {
    drawing = work.WriteRaw("plant.csv", PipePairs());
    struct Case {
        std::vector<std::string> args;
        std::set<std::string> approvedTypes;
        std::multiset<std::string> types;
        int status;
    };
    const std::vector<Case> cases{
        {{}, {}, {"hard", "touch", "connected"}, 3},
        {{}, {"hard"}, {"hard", "touch", "connected"}, 0},
        {{"--tolerance", "25"}, {}, {"touch", "touch", "connected"}, 0},
        {{"--clearance", "40"}, {}, {"hard", "touch", "clearance", "connected"}, 3},
        {{"--clearance", "40"}, {"hard"}, {"hard", "touch", "clearance", "connected"}, 3},
        {{"--clearance", "40"},
         {"hard", "clearance"},
         {"hard", "touch", "clearance", "connected"},
         0},
        {{"--clearance", "5"}, {"hard"}, {"hard", "touch", "connected"}, 0},
    };
    // The signed distance of the pair at each height.
    const std::map<int, double> expectedDistance{{0, -20}, {2000, 0}, {4000, 10}, {6000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::filesystem::remove(work.File("plant.clash.json"));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--report", work.File("r.json")});
        ASSERT_EQ(Batch(args).status, 0);
        std::vector<std::string> approve;
        const nlohmann::json before = Json("r.json");
        for (const auto& clash : before["clashes"])
            if (c.approvedTypes.contains(clash["type"]))
                approve.push_back(clash["id"]);
        Approve(approve);

        args.insert(args.end(), {"--report", work.File("r.csv"), "--report", work.File("r.bcf"),
                                 "--fail-on-clash"});
        const BatchRun run = Batch(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        const nlohmann::json json = Json("r.json");
        const std::string csv = work.Read("r.csv");
        const auto zip = ZipNames(work.File("r.bcf"));
        std::multiset<std::string> types;
        for (const auto& clash : json["clashes"]) {
            const std::string type = clash["type"];
            const double distance = clash["distance"];
            types.insert(type);
            std::array<double, 3> a = clash["nearA"], b = clash["nearB"];
            ASSERT_TRUE(expectedDistance.contains(int(std::lround(a[2])))) << a[2];
            EXPECT_NEAR(distance, expectedDistance.at(int(std::lround(a[2]))), 0.5) << type;
            EXPECT_NEAR(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), std::fabs(distance),
                        0.01)
                << type;
            EXPECT_NEAR(a[2], b[2], 0.01);
            EXPECT_NE(csv.find("\r\n" + std::string(clash["id"]) + ",new," +
                               (clash["approved"] ? "true," : "false,") + type + "," +
                               FixedDecimals(distance, 1) + ","),
                      std::string::npos)
                << type;
            EXPECT_TRUE(zip.contains(std::string(clash["id"]) + "/markup.bcf"));
        }
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(json["tolerance"], c.args.size() == 2 && c.args[0] == "--tolerance" ? 25.0 : 1.0);
        EXPECT_EQ(json["clearance"],
                  c.args.size() == 2 && c.args[0] == "--clearance" ? std::stod(c.args[1]) : 0.0);
    }
}

TEST_F(BatchReportTest, ReportsThatCannotBeWrittenAreNamed) {
    EXPECT_EQ(Batch({"--report", work.File("r.txt")}).status, 2);
    EXPECT_EQ(Batch({"--report"}).status, 2);
    BatchRun run = Batch(
        {"--report", work.File("no/r.json"), "--report", work.File("r.csv"), "--fail-on-clash"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(work.File("no/r.json")), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(work.File("r.csv")));
}

} // namespace
} // namespace hk
