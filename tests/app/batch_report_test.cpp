// The batch mode's clash reports end to end on the sample drawing: one clash per --clashes line
// in every format with the same ids in every run, the approvals file read and never written,
// and the exit statuses of --fail-on-clash.
#include "app/batch.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zip.h>

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

    // JSON: one clash per --clashes line, same items, same order.
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
        EXPECT_TRUE(c["type"].is_null());
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

    // All but one approved: still open. All approved: passes, and every report says so.
    Approve(std::vector<std::string>(ids.begin(), ids.end() - 1));
    EXPECT_EQ(Batch({"--fail-on-clash"}).status, 3);
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
