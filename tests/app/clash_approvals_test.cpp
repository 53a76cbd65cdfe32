// The approvals file: where it lies, a round trip through save and load, damaged files of every
// sort read as no approvals with a message naming the file, and kept as backups when saved over.
#include "app/clash_approvals.h"
#include "app/clash_id.h"
#include "tests/app/temp_folder.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

TEST(ClashApprovals, LieBesideTheDrawingAndSurviveSaveAndLoad) {
    EXPECT_EQ(TClashApprovals::FileFor("/d/plant.csv"), "/d/plant.clash.json");
    EXPECT_EQ(TClashApprovals::FileFor("plant.v2.CSV"), "plant.v2.clash.json");

    test::TempFolder folder;
    TClashApprovals missing = TClashApprovals::Load(folder.File("plant.clash.json"));
    EXPECT_TRUE(missing.All().empty());
    EXPECT_EQ(missing.Problem(), "");

    TClashApprovals approvals = missing;
    for (int i = 0; i < 5; ++i)
        approvals.Approve({ClashId(std::to_string(i)), i == 1 ? "配管側で \"回避\"\n済" : "",
                           "tanaka", "2026-12-09T07:30:00Z"});
    approvals.Approve({ClashId("3"), "again", "sato", "2026-12-10T00:00:00Z"});
    EXPECT_TRUE(approvals.Revoke(ClashId("0")));
    EXPECT_FALSE(approvals.Revoke(ClashId("0")));
    ASSERT_EQ(approvals.Save(), "");

    TClashApprovals read = TClashApprovals::Load(approvals.File());
    EXPECT_EQ(read.Problem(), "");
    ASSERT_EQ(read.All().size(), 4u);
    for (const TApproval& a : approvals.All()) {
        const TApproval* b = read.Find(a.id);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(std::tie(a.comment, a.by, a.at), std::tie(b->comment, b->by, b->at));
    }
    EXPECT_EQ(read.Find(ClashId("3"))->comment, "again");
    EXPECT_EQ(read.Find(ClashId("0")), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder.File("plant.clash.json.bak")));
    EXPECT_FALSE(CurrentUserName().empty());
}

TEST(ClashApprovals, DamagedFilesGiveNoneAreNamedAndAreBackedUpBeforeASave) {
    const std::string entry = "{\"id\": \"" + ClashId("x") + "\"}";
    const std::string good = "{\"approved\": [" + entry + "]}";
    struct Case {
        std::string text;
        std::string problem; // part of the message after the file name
    };
    std::vector<Case> cases{
        {"{\"approved\": [\r\n{\"id\": \r\n", "line 3: not JSON"},
        {"", "line 1: not JSON"},
        {"\xEF\xBB\xBF{\"approved\": [}", "line 1: not JSON"},
        {"[]", "no \"approved\" list"},
        {"{\"approved\": {}}", "no \"approved\" list"},
        {"{\"approved\": [1]}", "entry 1 is not an object"},
        {"{\"approved\": [" + entry + ", {\"id\": 5}]}", "entry 2 \"id\" is not a text"},
        {"{\"approved\": [{\"id\": \"x\"}]}", "entry 1 \"id\" is not a clash id"},
        {"{\"approved\": [{\"id\": \"" + ClashId("x") + "\", \"comment\": []}]}",
         "entry 1 \"comment\" is not a text"},
    };
    for (const Case& c : cases) {
        test::TempFolder folder;
        std::string file = folder.WriteRaw("p.clash.json", c.text);
        TClashApprovals approvals = TClashApprovals::Load(file);
        EXPECT_TRUE(approvals.All().empty()) << c.text;
        EXPECT_EQ(approvals.Problem(), file + ": " + c.problem + "; no clash is taken as approved")
            << c.text;

        // Saving keeps the damaged bytes as a backup; a second damaged file gets a second one.
        approvals.Approve({ClashId("y"), "", "me", "now"});
        ASSERT_EQ(approvals.Save(), "");
        EXPECT_EQ(folder.Read("p.clash.json.bak"), c.text);
        folder.WriteRaw("p.clash.json", "damaged again");
        ASSERT_EQ(approvals.Save(), "");
        EXPECT_EQ(folder.Read("p.clash.json.bak"), c.text);
        EXPECT_EQ(folder.Read("p.clash.json.bak2"), "damaged again");
        EXPECT_EQ(TClashApprovals::Load(file).All().size(), 1u);
    }
    // A good file is simply replaced.
    test::TempFolder folder;
    std::string file = folder.WriteRaw("p.clash.json", good);
    TClashApprovals approvals = TClashApprovals::Load(file);
    EXPECT_EQ(approvals.All().size(), 1u);
    approvals.Revoke(ClashId("x"));
    ASSERT_EQ(approvals.Save(), "");
    EXPECT_TRUE(TClashApprovals::Load(file).All().empty());
    EXPECT_FALSE(std::filesystem::exists(file + ".bak"));

    // A file that cannot be written is named, and nothing is left beside it.
    TClashApprovals lost = TClashApprovals::Load(folder.File("no/such/p.clash.json"));
    EXPECT_NE(lost.Save().find("no/such/p.clash.json"), std::string::npos);
}

} // namespace
} // namespace hk
